#include "framework/text/TextConversion.h"

#include <algorithm>
#include <array>
#include <cstdio>

#include "framework/text/Cp1256.h"

namespace kestrix {

namespace {

struct FormMapping {
  char16_t form;
  const char* bytes;
};

constexpr FormMapping kPresentationForms[] = {
#include "framework/text/PresentationForms.inc"
};

constexpr char32_t kFigureSpace = 0x2007;
constexpr char32_t kNarrowNoBreakSpace = 0x202F;
constexpr char kNoBreakSpace = '\xA0';

bool InRange(char32_t c, char32_t low, char32_t high) { return c >= low && c <= high; }

// The meaning-keeping mappings for a character the code page lacks.
std::string MappedBytes(char32_t c) {
  if (InRange(c, 0x0660, 0x0669)) return std::string(1, static_cast<char>('0' + (c - 0x0660)));
  if (InRange(c, 0x06F0, 0x06F9)) return std::string(1, static_cast<char>('0' + (c - 0x06F0)));
  if (c == kFigureSpace || c == kNarrowNoBreakSpace) return std::string(1, kNoBreakSpace);
  if (InRange(c, 0xFB50, 0xFDFF) || InRange(c, 0xFE70, 0xFEFF)) {
    const auto* end = std::end(kPresentationForms);
    const auto* found = std::lower_bound(std::begin(kPresentationForms), end, c,
                                         [](const FormMapping& m, char32_t v) { return m.form < v; });
    if (found != end && found->form == c) return found->bytes;
  }
  return {};
}

}  // namespace

bool NextUtf8Character(std::string_view text, size_t& i, char32_t& out) {
  const auto lead = static_cast<uint8_t>(text[i]);
  int length = 0;
  char32_t value = 0;
  if (lead < 0x80) {
    out = lead;
    ++i;
    return true;
  }
  if ((lead & 0xE0) == 0xC0) {
    length = 2;
    value = lead & 0x1Fu;
  } else if ((lead & 0xF0) == 0xE0) {
    length = 3;
    value = lead & 0x0Fu;
  } else if ((lead & 0xF8) == 0xF0) {
    length = 4;
    value = lead & 0x07u;
  } else {
    ++i;
    return false;
  }
  if (i + static_cast<size_t>(length) > text.size()) {
    ++i;
    return false;
  }
  for (int k = 1; k < length; ++k) {
    const auto next = static_cast<uint8_t>(text[i + static_cast<size_t>(k)]);
    if ((next & 0xC0) != 0x80) {
      ++i;
      return false;
    }
    value = (value << 6) | (next & 0x3Fu);
  }
  static constexpr char32_t kMinimum[5] = {0, 0, 0x80, 0x800, 0x10000};
  if (value < kMinimum[length] || value > 0x10FFFF || (value >= 0xD800 && value <= 0xDFFF)) {
    ++i;
    return false;
  }
  i += static_cast<size_t>(length);
  out = value;
  return true;
}

namespace {

// Appends one character's bytes; false when it has no place.
bool Append(char32_t c, CodePageText& text) {
  bool mapped = false;
  std::string bytes = Cp1256ForCharacter(c, &mapped);
  if (bytes.empty()) return false;
  text.bytes += bytes;
  text.mapped += mapped ? 1 : 0;
  return true;
}

CodePageText Refused(UnplacedCharacter unplaced) {
  CodePageText text;
  text.unplaced = unplaced;
  return text;
}

}  // namespace

std::string UnplacedCharacter::Describe() const {
  char buffer[96];
  if (badByte)
    std::snprintf(buffer, sizeof buffer, "the byte 0x%02X (not UTF-8) at character %zu", *badByte, position + 1);
  else
    std::snprintf(buffer, sizeof buffer, "U+%04X at character %zu", static_cast<unsigned>(character), position + 1);
  return buffer;
}

std::string Cp1256ForCharacter(char32_t c, bool* mapped) {
  if (mapped) *mapped = false;
  if (c <= 0xFFFF) {
    const int byte = Cp1256FromUnicode(c);
    if (byte >= 0) return std::string(1, static_cast<char>(byte));
  }
  std::string bytes = MappedBytes(c);
  if (mapped) *mapped = !bytes.empty();
  return bytes;
}

CodePageText Cp1256FromUtf8Text(std::string_view utf8) {
  CodePageText text;
  text.bytes.reserve(utf8.size());
  size_t position = 0;
  for (size_t i = 0; i < utf8.size(); ++position) {
    const size_t start = i;
    char32_t c = 0;
    if (!NextUtf8Character(utf8, i, c))
      return Refused({0xFFFD, static_cast<uint8_t>(utf8[start]), position});
    if (!Append(c, text)) return Refused({c, std::nullopt, position});
  }
  return text;
}

std::string Cp1256FromUtf8(std::string_view utf8) {
  std::string out;
  out.reserve(utf8.size());
  for (size_t i = 0; i < utf8.size();) {
    // A run of ASCII stands for itself.
    size_t ascii = i;
    while (ascii < utf8.size() && static_cast<uint8_t>(utf8[ascii]) < 0x80) ++ascii;
    if (ascii > i) {
      out.append(utf8.data() + i, ascii - i);
      i = ascii;
      continue;
    }
    // Arabic letters come as two-byte sequences: decoded here, without the general decoder.
    const auto lead = static_cast<uint8_t>(utf8[i]);
    if (lead >= 0xC2 && lead <= 0xDF && i + 1 < utf8.size() && (static_cast<uint8_t>(utf8[i + 1]) & 0xC0) == 0x80) {
      const int byte = Cp1256FromUnicode(static_cast<char32_t>(((lead & 0x1Fu) << 6) | (static_cast<uint8_t>(utf8[i + 1]) & 0x3Fu)));
      if (byte >= 0) {
        out += static_cast<char>(byte);
        i += 2;
        continue;
      }
    }
    char32_t c = 0;
    if (!NextUtf8Character(utf8, i, c)) {
      out += '?';
      continue;
    }
    // Most characters have a byte of their own; only the others need a mapping looked up.
    const int byte = c <= 0xFFFF ? Cp1256FromUnicode(c) : -1;
    if (byte >= 0) {
      out += static_cast<char>(byte);
      continue;
    }
    const std::string bytes = Cp1256ForCharacter(c);
    out += bytes.empty() ? std::string("?") : bytes;
  }
  return out;
}

CodePageText Cp1256FromUtf16Text(std::u16string_view utf16) {
  CodePageText text;
  text.bytes.reserve(utf16.size());
  size_t position = 0;
  for (size_t i = 0; i < utf16.size(); ++i, ++position) {
    char32_t c = utf16[i];
    if (c >= 0xD800 && c <= 0xDBFF && i + 1 < utf16.size() && utf16[i + 1] >= 0xDC00 && utf16[i + 1] <= 0xDFFF) {
      c = 0x10000 + ((c - 0xD800) << 10) + (utf16[i + 1] - 0xDC00);
      ++i;
    }
    if (!Append(c, text)) return Refused({c, std::nullopt, position});
  }
  return text;
}

}  // namespace kestrix
