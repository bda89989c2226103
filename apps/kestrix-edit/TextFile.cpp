#include "TextFile.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <fstream>
#include <sstream>
#include <vector>

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

bool SaveAtomically(const std::string& path, std::string_view bytes, std::string& error) {
  std::string pattern = path + ".save-XXXXXX";
  std::vector<char> name(pattern.begin(), pattern.end());
  name.push_back('\0');
  int fd = mkstemp(name.data());
  if (fd < 0) {
    error = Reason("cannot write beside", path);
    return false;
  }
  auto fail = [&](const char* what) {
    error = Reason(what, path);
    close(fd);
    unlink(name.data());
    return false;
  };
  struct stat old {};
  mode_t mode = stat(path.c_str(), &old) == 0 ? (old.st_mode & 07777) : 0644;
  if (fchmod(fd, mode) != 0) return fail("cannot set the permissions for");
  size_t done = 0;
  while (done < bytes.size()) {
    ssize_t n = write(fd, bytes.data() + done, bytes.size() - done);
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) return fail("cannot write");
    done += static_cast<size_t>(n);
  }
  if (fsync(fd) != 0) return fail("cannot sync");
  if (close(fd) != 0) {
    error = Reason("cannot close", path);
    unlink(name.data());
    return false;
  }
  if (rename(name.data(), path.c_str()) != 0) {
    error = Reason("cannot replace", path);
    unlink(name.data());
    return false;
  }
  return true;
}
