#include "TextFile.h"

#include <cerrno>
#include <cstring>
#include <fstream>
#include <sstream>

#include "framework/text/Cp1256.h"
#include "platform/x11/ClipboardText.h"

namespace {

constexpr std::string_view kByteOrderMark = "\xEF\xBB\xBF";

// How many characters of well-formed UTF-8 the code page cannot hold.
size_t CountUnmappable(std::string_view utf8) {
  std::string bytes = Cp1256FromUtf8(utf8);
  size_t questionMarks = 0;
  for (char c : utf8) questionMarks += c == '?';
  size_t after = 0;
  for (char c : bytes) after += c == '?';
  return after - questionMarks;
}

std::string Reason(const char* what, const std::string& path) {
  return std::string(what) + " " + path + ": " + std::strerror(errno);
}

}  // namespace

LoadedText ControlTextFromFile(std::string_view utf8) {
  if (utf8.substr(0, kByteOrderMark.size()) == kByteOrderMark) utf8.remove_prefix(kByteOrderMark.size());
  return LoadedText{ControlTextFromUtf8MarkingUnplaced(utf8), CountUnmappable(utf8)};
}

std::string FileTextFromControl(std::string_view cp1256) { return Utf8ForOtherPrograms(cp1256); }

bool ReadWholeFile(const std::string& path, std::string& bytes, std::string& error) {
  std::ifstream in(path, std::ios::binary);
  if (!in) {
    error = Reason("cannot open", path);
    return false;
  }
  std::ostringstream all;
  all << in.rdbuf();
  bytes = all.str();
  return true;
}
