// The Arabic Windows code page: every byte value maps to one Unicode character.
#pragma once

#include <cstdint>
#include <string>

// The Unicode character of a byte.
char16_t UnicodeFromCp1256(uint8_t byte);
// The byte of a Unicode character, or -1 when the code page has none.
int Cp1256FromUnicode(char32_t ch);

// Conversions of whole strings; characters with no byte become '?', and malformed UTF-8
// sequences become '?' too.
std::string Cp1256FromUtf8(const std::string& utf8);
std::string Utf8FromCp1256(const std::string& bytes);
