#include "TextFile.h"

#include <array>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <sys/stat.h>

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
    const auto byte = static_cast<uint8_t>(bytes[i]);
    // Printable ASCII stands for itself in both encodings, and so do the Arabic letters of
    // two-byte sequences that have a byte of their own.
    if (byte >= 0x20 && byte < 0x7F) {
      ++i;
      continue;
    }
    if (byte >= 0xC2 && byte <= 0xDF && i + 1 < bytes.size() && (static_cast<uint8_t>(bytes[i + 1]) & 0xC0) == 0x80 &&
        Cp1256FromUnicode(static_cast<char32_t>(((byte & 0x1Fu) << 6) | (static_cast<uint8_t>(bytes[i + 1]) & 0x3Fu))) >= 0) {
      i += 2;
      continue;
    }
    const auto where = [&line] { return " on line " + std::to_string(line); };
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
      char hex[8];
      std::snprintf(hex, sizeof hex, "0x%02X", static_cast<uint8_t>(bytes[start]));
      return std::string("the byte ") + hex + where() + " is not UTF-8";
    }
    if (c < 0x20 || c == 0x7F) {
      if (c == '\t') return "a tab" + where() + ", which the control does not hold";
      return "the control character " + CodePoint(c) + where() + ", which the control does not hold";
    }
    if (c <= 0xFFFF && Cp1256FromUnicode(c) >= 0) continue;
    bool mapped = false;
    const std::string placed = Cp1256ForCharacter(c, &mapped);
    if (placed.empty()) return CodePoint(c) + where() + " has no place in the Arabic code page (1256)";
    if (mapped) return CodePoint(c) + where() + " would be written back as " + Utf8FromCp1256(placed);
  }
  if (seenEnd) lineEnd = *seenEnd;
  return std::nullopt;
}

const std::array<std::string, 256>& Utf8OfBytes() {
  static const std::array<std::string, 256> table = [] {
    std::array<std::string, 256> utf8;
    for (int b = 0; b < 256; ++b) AppendUtf8(UnicodeFromCp1256(static_cast<uint8_t>(b)), utf8[static_cast<size_t>(b)]);
    return utf8;
  }();
  return table;
}

bool WritesBackAs(std::string_view cp1256, std::string_view lineEnd, std::string_view fileBytes) {
  const std::array<std::string, 256>& utf8 = Utf8OfBytes();
  size_t at = 0;
  for (char c : cp1256) {
    const std::string_view written = c == '\r' ? lineEnd : std::string_view(utf8[static_cast<uint8_t>(c)]);
    if (written.size() > fileBytes.size() - at) return false;
    for (char w : written)
      if (fileBytes[at++] != w) return false;
  }
  return at == fileBytes.size();
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
  if (!file.readOnlyBecause && !WritesBackAs(file.text, file.lineEnd, fileBytes))
    file.readOnlyBecause = "its text would not be written back byte for byte";
  return file;
}

std::string FileBytesFromControl(std::string_view cp1256, std::string_view lineEnd) {
  const std::array<std::string, 256>& kUtf8 = Utf8OfBytes();
  std::string out;
  out.reserve(cp1256.size() * 2);
  for (char c : cp1256) {
    if (c == '\r')
      out += lineEnd;
    else
      out += kUtf8[static_cast<uint8_t>(c)];
  }
  return out;
}

bool ReadWholeFile(const std::string& path, std::string& bytes, std::string& error) {
  std::FILE* in = std::fopen(path.c_str(), "rb");
  if (!in) {
    error = Reason("cannot open", path);
    return false;
  }
  // Read in large pieces to the end, whatever size the file claimed when it was opened.
  bytes.clear();
  struct stat st {};
  if (fstat(fileno(in), &st) == 0 && st.st_size > 0) bytes.reserve(static_cast<size_t>(st.st_size));
  std::array<char, 1 << 16> piece;
  for (size_t got; (got = std::fread(piece.data(), 1, piece.size(), in)) > 0;) bytes.append(piece.data(), got);
  const bool failed = std::ferror(in) != 0;
  if (failed) error = Reason("cannot read", path);
  std::fclose(in);
  return !failed;
}

}  // namespace kestrix
