#include "TextFile.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <sstream>

#include "framework/text/Cp1256.h"
#include "framework/text/TextConversion.h"
#include "platform/x11/ClipboardText.h"

namespace kestrix {

namespace {

constexpr std::string_view kByteOrderMark = "\xEF\xBB\xBF";

std::string Reason(const char* what, const std::string& path) {
  return std::string(what) + " " + path + ": " + std::strerror(errno);
}

std::string CodePoint(char32_t c) {
  char buffer[16];
  std::snprintf(buffer, sizeof buffer, "U+%04X", static_cast<unsigned>(c));
  return buffer;
}

// Why the file cannot be written back as it was read, or nothing. Line ends are learnt from
// the first one; lines are counted from 1.
std::optional<std::string> FirstUnkept(std::string_view bytes, std::string& lineEnd) {
  if (bytes.substr(0, kByteOrderMark.size()) == kByteOrderMark)
    return "it begins with a byte order mark, which would not be written back";
  std::optional<std::string> seenEnd;
  size_t line = 1;
  for (size_t i = 0; i < bytes.size();) {
    const std::string where = " on line " + std::to_string(line);
    if (bytes[i] == '\r' || bytes[i] == '\n') {
      const std::string end = bytes.substr(i, 2) == "\r\n" ? "\r\n" : std::string(1, bytes[i]);
      if (end == "\r") return "a CR alone ends line " + std::to_string(line) + ", which would be written back as " + (seenEnd ? "the file's other line ends" : "LF");
      if (seenEnd && *seenEnd != end) return "the line ends are mixed (line " + std::to_string(line) + " ends unlike line 1)";
      seenEnd = end;
      i += end.size();
      ++line;
      continue;
    }
    const size_t start = i;
    char32_t c = 0;
    if (!NextUtf8Character(bytes, i, c)) {
      char byte[8];
      std::snprintf(byte, sizeof byte, "0x%02X", static_cast<uint8_t>(bytes[start]));
      return std::string("the byte ") + byte + where + " is not UTF-8";
    }
    if (c < 0x20 || c == 0x7F) {
      if (c == '\t') return "a tab" + where + ", which the control does not hold";
      return "the control character " + CodePoint(c) + where + ", which the control does not hold";
    }
    bool mapped = false;
    const std::string placed = Cp1256ForCharacter(c, &mapped);
    if (placed.empty()) return CodePoint(c) + where + " has no place in the Arabic code page (1256)";
    if (mapped) return CodePoint(c) + where + " would be written back as " + Utf8FromCp1256(placed);
  }
  if (seenEnd) lineEnd = *seenEnd;
  return std::nullopt;
}

}  // namespace

FileForEditing ReadForEditing(std::string_view fileBytes) {
  FileForEditing file;
  file.readOnlyBecause = FirstUnkept(fileBytes, file.lineEnd);
  std::string_view utf8 = fileBytes;
  if (utf8.substr(0, kByteOrderMark.size()) == kByteOrderMark) utf8.remove_prefix(kByteOrderMark.size());
  // A file shown for reading only shows what has no place as '?'.
  file.text = ControlTextFromUtf8MarkingUnplaced(utf8);
  // Whatever the reasons above missed, the bytes must come back whole to be written.
  if (!file.readOnlyBecause && FileBytesFromControl(file.text, file.lineEnd) != fileBytes)
    file.readOnlyBecause = "its text would not be written back byte for byte";
  return file;
}

std::string FileBytesFromControl(std::string_view cp1256, std::string_view lineEnd) {
  std::string out;
  out.reserve(cp1256.size() * 2);
  for (char c : cp1256) {
    if (c == '\r')
      out += lineEnd;
    else
      AppendUtf8(UnicodeFromCp1256(static_cast<uint8_t>(c)), out);
  }
  return out;
}

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

}  // namespace kestrix
