// The Arabic Windows code page (1256): every byte maps to one Unicode code point, and text
// moves between it and UTF-8 here.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace kestrix {

// Unicode code point of a code page byte; all 256 values are defined.
char32_t UnicodeFromCp1256(uint8_t byte);
// The byte for a code point, or -1 when the code page has none.
int Cp1256FromUnicode(char32_t codePoint);

// UTF-8 to code page bytes by the conversion every text coming in takes (TextConversion.h),
// for text known to fit or shown as read: what has no place, and each malformed byte, becomes
// '?'.
std::string Cp1256FromUtf8(std::string_view utf8);
std::string Utf8FromCp1256(std::string_view bytes);

// Appends the UTF-8 form of a code point (U+FFFD for values that are not scalar values).
void AppendUtf8(char32_t codePoint, std::string& out);

}  // namespace kestrix
