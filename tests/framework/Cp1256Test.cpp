#include "framework/text/Cp1256.h"
#include "framework/ole/OleTypes.h"

#include <gtest/gtest.h>

#include <string>

namespace {

TEST(Cp1256, EveryByteRoundTripsThroughUtf8) {
  for (int b = 0; b < 256; ++b) {
    const std::string byte(1, static_cast<char>(b));
    EXPECT_EQ(Cp1256FromUtf8(Utf8FromCp1256(byte)), byte) << "byte " << b;
    EXPECT_EQ(Cp1256FromUnicode(UnicodeFromCp1256(static_cast<uint8_t>(b))), b) << "byte " << b;
  }
}

TEST(Cp1256, MapsArabicPersianAndMarksToTheirCodePoints) {
  EXPECT_EQ(UnicodeFromCp1256(0xC7), U'\u0627');  // alef
  EXPECT_EQ(UnicodeFromCp1256(0xDC), U'\u0640');  // tatweel
  EXPECT_EQ(UnicodeFromCp1256(0x81), U'\u067E');  // peh
  EXPECT_EQ(UnicodeFromCp1256(0xF8), U'\u0651');  // shadda
  EXPECT_EQ(UnicodeFromCp1256(0x9D), U'\u200C');  // ZWNJ
  EXPECT_EQ(UnicodeFromCp1256(0xFE), U'\u200F');  // RLM
  EXPECT_EQ(UnicodeFromCp1256(0x80), U'\u20AC');  // euro
  EXPECT_EQ(UnicodeFromCp1256(0xE9), U'\u00E9');  // e acute
  EXPECT_EQ(Utf8FromCp1256("\xC8\xC7"), "\xD8\xA8\xD8\xA7");
}

TEST(Cp1256, UnmappableAndMalformedInputBecomesQuestionMarks) {
  EXPECT_EQ(Cp1256FromUtf8("a\xE6\x97\xA5z"), "a?z");      // CJK: no byte for it
  EXPECT_EQ(Cp1256FromUtf8("\xF0\x9F\x98\x80"), "?");      // emoji, one '?' per code point
  EXPECT_EQ(Cp1256FromUtf8("\xC0\xAF"), "??");             // overlong
  EXPECT_EQ(Cp1256FromUtf8("\xED\xA0\x80"), "???");        // surrogate
  EXPECT_EQ(Cp1256FromUtf8("ab\xD8"), "ab?");              // truncated at the end
  EXPECT_EQ(Cp1256FromUtf8("\x80x"), "?x");                // stray continuation
  EXPECT_EQ(Cp1256FromUnicode(0x110000), -1);
}

}  // namespace

namespace {

TEST(Cp1256, AutomationStringsCarryTheCodePage) {
  const CString bytes = "a\xC7\xDC\xF3 \xA1";
  EXPECT_EQ(BstrFromCp1256(bytes), L"a\u0627\u0640\u064E \u060C");
  EXPECT_EQ(Cp1256FromBstr(BstrFromCp1256(bytes)), bytes);
  EXPECT_EQ(Cp1256FromBstr(L"\u4E2D!"), "?!");  // no byte for it
}

}  // namespace
