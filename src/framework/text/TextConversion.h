// Unicode text into the control's code page (1256), by one rule for every way text comes in:
// automation strings, the clipboard, typed characters, files and scripts.
//
// A character the code page holds becomes its byte. One it lacks but whose meaning it can say
// becomes the bytes that say it: Arabic-Indic and extended Arabic-Indic digits become ASCII
// digits, Arabic presentation forms the letters they are forms of, the figure and narrow
// no-break spaces the no-break space. Anything else has no place: the conversion names the
// first such character and where it stood instead of guessing, and the caller refuses the text.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace kestrix {

struct UnplacedCharacter {
  char32_t character = 0;            // U+FFFD for a malformed sequence
  std::optional<uint8_t> badByte;    // the byte that began a malformed UTF-8 sequence
  size_t position = 0;               // 0-based, in characters of the text given
  // "U+06CC at character 5" (counted from 1), or "the byte 0xFF (not UTF-8) at character 5".
  std::string Describe() const;
};

struct CodePageText {
  std::string bytes;                       // the converted text; empty when unplaced is set
  std::optional<UnplacedCharacter> unplaced;
  size_t mapped = 0;                       // characters taken by meaning rather than as they are
  bool Complete() const { return !unplaced.has_value(); }
};

CodePageText Cp1256FromUtf8Text(std::string_view utf8);
// Surrogate pairs are one character; a lone surrogate has no place.
CodePageText Cp1256FromUtf16Text(std::u16string_view utf16);
// One character's bytes (one for most, up to four for a ligature), or empty when it has no
// place; mapped tells whether it was taken by meaning.
std::string Cp1256ForCharacter(char32_t character, bool* mapped = nullptr);
// Decodes the UTF-8 character at text[i] and moves i past it; false (and i past one byte) when
// the bytes there are not UTF-8 (malformed, overlong, a surrogate, beyond U+10FFFF).
bool NextUtf8Character(std::string_view text, size_t& i, char32_t& out);

}  // namespace kestrix
