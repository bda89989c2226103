// A property bag as a text file that a host keeps with its own document.
//
// The file is 7-bit ASCII, one line per item, every line ended by LF (a CR before the LF is
// tolerated on reading). Example:
//
//   kestrix-properties 1.0
//   _Version dword 65536
//   FontAr font {
//     name "Fonta"
//     size 120000
//     weight 400
//     charset 1
//     italic false
//     underline false
//     strikethrough false
//   }
//   WordWrap bool true
//   Style short 1
//   m_Text string "\xC8\xC7 ab\rcd \"quoted\" \\"
//   BackColor long 16777215
//   end
//
// Header: "kestrix-properties MAJOR.MINOR". This is version 1.0. A reader takes any minor
// version of major 1 (what it does not know it skips); another major version is refused.
//
// Values: NAME TYPE VALUE, separated by spaces or tabs, in the bag's order. NAME is a bare word
// of letters, digits, '_', '.' and '-', or else a quoted string. TYPE and VALUE:
//   bool    true | false
//   short   decimal, -32768..32767
//   long    decimal, -2147483648..2147483647 (colours are longs)
//   dword   decimal, 0..4294967295
//   string  a quoted string of bytes
//   font    "{" at the end of the line, then one field a line, then a line "}". The fields,
//           each exactly once, in any order: name (quoted string of wide characters),
//           size (decimal points × 10000, 64-bit signed), weight and charset (short),
//           italic, underline, strikethrough (bool). Indentation is cosmetic.
// The last line is "end"; it tells a complete file from one cut at a line boundary.
// Blank lines and lines whose first non-blank character is '#' are comments.
//
// Quoted strings: between double quotes, the characters 0x20..0x7E stand for themselves except
// '"' and '\', which are escaped. Escapes: \\  \"  \r  \n  \t  \xHH (one byte or character,
// exactly two hex digits) and \u{H...} (one to eight hex digits, a character code; in a byte
// string at most FF). Every other byte, 0x00 and 0x80..0xFF included, is written as \xHH, so
// any byte and any CR or LF survive and the file never carries 8-bit text. Font names write
// characters outside 0x20..0x7E as \u{...}.
//
// Reading trusts nothing. The header must be right, or nothing is read. After it each line is
// taken on its own: a line that is too long, unterminated (a cut file), of an unknown type,
// with a malformed or out-of-range value or a name already read is left out, and the bag
// simply lacks that name, so the property exchange gives its default. A font group missing a
// field, holding a bad or repeated field, or not closed by "}" is left out whole; a line that
// cannot be a field ends the group and is read as an ordinary line. Unknown names are kept.
// Sizes are capped (PropertyFileLimits) and reading is linear in the input.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

#include "PropExchange.h"

namespace kestrix {

inline constexpr const char* kPropertyFileFormat = "kestrix-properties";
inline constexpr int kPropertyFileMajor = 1;
inline constexpr int kPropertyFileMinor = 0;

struct PropertyFileLimits {
  size_t maxFileBytes = size_t{80} << 20;   // a longer file is read as if cut there
  size_t maxLineBytes = size_t{36} << 20;   // room for a longest string, fully escaped
  size_t maxStringChars = size_t{8} << 20;  // decoded length of a string or font name
  size_t maxNameBytes = 255;                // decoded length of a value's name
  size_t maxEntries = 4096;                 // values kept; later ones are left out
};

// Saving fails, writing nothing, when the bag holds something a reader with the same limits
// would refuse (an empty or overlong name, an overlong string, too many values).
bool SavePropertyBagToString(const PropertyBag& bag, std::string& text,
                             std::string* error = nullptr, const PropertyFileLimits& limits = {});

// Replaces out with every value that could be read. Returns false, and describes the first
// problem in error (and every one in problems, in file order), when anything was left out; out
// is usable either way.
bool LoadPropertyBagFromString(std::string_view text, PropertyBag& out,
                               std::string* error = nullptr, const PropertyFileLimits& limits = {},
                               std::vector<std::string>* problems = nullptr);

// Replaces the file at path durably (WriteFileDurably): a reader sees the old file or the new
// one, never a part. False, with the reason in error and the file as it was, when it cannot.
bool SavePropertyBagFile(const PropertyBag& bag, const std::string& path,
                         std::string* error = nullptr, const PropertyFileLimits& limits = {});

// Reads a regular file (at most limits.maxFileBytes of it) as LoadPropertyBagFromString does.
bool LoadPropertyBagFile(const std::string& path, PropertyBag& out, std::string* error = nullptr,
                         const PropertyFileLimits& limits = {},
                         std::vector<std::string>* problems = nullptr);

}  // namespace kestrix
