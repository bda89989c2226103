#include "framework/text/Cp1256.h"
#include "framework/ole/OleTypes.h"
#include "framework/text/TextConversion.h"

#include <gtest/gtest.h>

#include <fstream>
#include <map>
#include <sstream>
#include <string>
#include <vector>

namespace kestrix {

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

namespace {

// Every code page byte converts back to itself, as it is (not by meaning).
TEST(TextConversion, EveryCodePageCharacterIsTakenAsItIs) {
  for (int b = 0; b < 256; ++b) {
    bool mapped = true;
    EXPECT_EQ(Cp1256ForCharacter(UnicodeFromCp1256(static_cast<uint8_t>(b)), &mapped), std::string(1, static_cast<char>(b)));
    EXPECT_FALSE(mapped) << "byte " << b;
  }
}

struct MappingRow {
  char32_t character;
  const char* bytes;  // empty: no place
};

TEST(TextConversion, CharactersTheCodePageLacksAreTakenByMeaningOrNotAtAll) {
  const MappingRow rows[] = {
      {U'\u0660', "0"}, {U'\u0663', "3"}, {U'\u0669', "9"},          // Arabic-Indic digits
      {U'\u06F0', "0"}, {U'\u06F5', "5"}, {U'\u06F9', "9"},          // extended Arabic-Indic
      {U'\u2007', "\xA0"}, {U'\u202F', "\xA0"},                      // no-break spaces
      {U'\uFE8D', "\xC7"}, {U'\uFE8E', "\xC7"},                      // alef, isolated and final
      {U'\uFB56', "\x81"},                                           // peh, isolated
      {U'\uFEFB', "\xE1\xC7"},                                       // lam-alef ligature
      {U'\uFDF2', "\xC7\xE1\xE1\xE5"},                               // the ligature of a word
      {U'\uFEF0', "\xEC"}, {U'\uFEF2', "\xED"},                      // alef maksura, yeh
      // No place: Persian yeh and its forms, a presentation form of a letter the code page
      // lacks, a mark alone on a space, the byte order mark, other scripts, an emoji.
      {U'\u06CC', ""}, {U'\uFBFC', ""}, {U'\uFB50', ""}, {U'\uFE70', ""}, {U'\uFEFF', ""},
      {U'\u066B', ""}, {U'\u00F1', ""}, {U'\u0416', ""}, {U'\u2260', ""}, {U'\U0001F600', ""},
  };
  for (const MappingRow& row : rows) {
    bool mapped = false;
    EXPECT_EQ(Cp1256ForCharacter(row.character, &mapped), row.bytes) << std::hex << static_cast<unsigned>(row.character);
    EXPECT_EQ(mapped, *row.bytes != 0) << std::hex << static_cast<unsigned>(row.character);
  }
}

// Every presentation form against Debian's copy of the Unicode Character Database: taken as the
// letters of its compatibility decomposition exactly when the code page holds each of them and
// none is a space, and refused otherwise.
TEST(TextConversion, EveryPresentationFormFollowsItsDecomposition) {
  std::ifstream data("/usr/share/unicode/UnicodeData.txt");
  ASSERT_TRUE(data) << "the unicode-data package is missing (scripts/setup.sh installs it)";
  std::map<char32_t, std::string> decompositions;
  for (std::string line; std::getline(data, line);) {
    std::vector<std::string> fields;
    std::stringstream in(line);
    for (std::string field; std::getline(in, field, ';');) fields.push_back(field);
    if (fields.size() > 5) decompositions[static_cast<char32_t>(std::stoul(fields[0], nullptr, 16))] = fields[5];
  }
  int taken = 0;
  for (char32_t form = 0xFB50; form <= 0xFEFF; ++form) {
    if (form >= 0xFE00 && form < 0xFE70) continue;
    std::string expected;
    std::stringstream parts(decompositions.count(form) ? decompositions[form] : "");
    bool whole = !parts.str().empty();
    for (std::string part; parts >> part;) {
      if (part[0] == '<') continue;
      const auto piece = static_cast<char32_t>(std::stoul(part, nullptr, 16));
      const int byte = Cp1256FromUnicode(piece);
      if (byte < 0 || piece == U' ') whole = false;
      expected += static_cast<char>(byte);
    }
    if (!whole) expected.clear();
    EXPECT_EQ(Cp1256ForCharacter(form), expected) << std::hex << static_cast<unsigned>(form);
    taken += !expected.empty();
  }
  EXPECT_GT(taken, 600);
}

TEST(TextConversion, TextWithNoPlaceForACharacterIsRefusedNamingIt) {
  CodePageText ok = Cp1256FromUtf8Text("\xD9\xA3 \xEF\xBB\xBB x");  // U+0663, U+FEFB
  ASSERT_TRUE(ok.Complete());
  EXPECT_EQ(ok.bytes, "3 \xE1\xC7 x");
  EXPECT_EQ(ok.mapped, 2u);

  CodePageText persian = Cp1256FromUtf8Text("ab \xDB\x8C");  // Persian yeh at character 4
  ASSERT_FALSE(persian.Complete());
  EXPECT_TRUE(persian.bytes.empty());
  EXPECT_EQ(persian.unplaced->Describe(), "U+06CC at character 4");
  CodePageText invalid = Cp1256FromUtf8Text("a\xFF\xFE");
  EXPECT_EQ(invalid.unplaced->Describe(), "the byte 0xFF (not UTF-8) at character 2");

  // UTF-16: a pair is one character; a lone surrogate has no place.
  EXPECT_EQ(Cp1256FromUtf16Text(u"a\U0001F600b").unplaced->Describe(), "U+1F600 at character 2");
  EXPECT_EQ(Cp1256FromUtf16Text(u"ab\xD800").unplaced->Describe(), "U+D800 at character 3");
  EXPECT_EQ(Cp1256FromUtf16Text(u"\u0661\u0662").bytes, "12");
}

}  // namespace

}  // namespace kestrix
