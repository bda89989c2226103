// The levels resolved over plain arrays agree with FriBidi's on every paragraph of the code
// page's characters, and text FriBidi must resolve is handed back: FriBidi resolves what
// follows a paragraph separator inside the text in a way of its own.
#include <fribidi.h>
#include <gtest/gtest.h>

#include <cstdint>
#include <random>
#include <string>
#include <vector>

#include "arabtext/BidiLevels.h"
#include "arabtext/Cp1256.h"

namespace kestrix::arabtext {
namespace {

struct Reference {
  std::vector<int8_t> levels;
  bool rightToLeft = false;
};

Reference FriBidiLevels(const std::string& text, bool rightToLeftDefault) {
  std::vector<FriBidiChar> codes;
  for (char c : text) codes.push_back(UnicodeFromCp1256(static_cast<uint8_t>(c)));
  const auto n = static_cast<FriBidiStrIndex>(codes.size());
  std::vector<FriBidiCharType> types(codes.size());
  std::vector<FriBidiBracketType> brackets(codes.size());
  Reference out;
  out.levels.assign(codes.size(), 0);
  FriBidiParType base = rightToLeftDefault ? FRIBIDI_PAR_WRTL : FRIBIDI_PAR_WLTR;
  if (n > 0) {
    fribidi_get_bidi_types(codes.data(), n, types.data());
    fribidi_get_bracket_types(codes.data(), n, types.data(), brackets.data());
    const FriBidiLevel highest =
        fribidi_get_par_embedding_levels_ex(types.data(), brackets.data(), n, &base, out.levels.data());
    EXPECT_GT(highest, 0) << "FriBidi failed";
  }
  out.rightToLeft = FRIBIDI_IS_RTL(base);
  return out;
}

// Resolves text with BidiLevels; false when it hands the text back.
bool OurLevels(const std::string& text, bool rightToLeftDefault, Reference& out) {
  std::vector<const BidiByte*> bytes;
  for (char c : text) bytes.push_back(&BidiBytes()[static_cast<uint8_t>(c)]);
  out.levels.assign(text.size(), -1);
  out.rightToLeft = rightToLeftDefault;
  BidiLevels resolver;
  return resolver.Resolve(bytes.data(), bytes.size(), out.rightToLeft, out.levels.data());
}

std::string Shown(const std::string& text) {
  std::string out;
  for (char c : text) {
    const auto b = static_cast<uint8_t>(c);
    if (b >= 0x21 && b < 0x7F) {
      out.push_back(c);
    } else {
      char hex[8];
      std::snprintf(hex, sizeof hex, "<%02X>", b);
      out += hex;
    }
  }
  return out;
}

// Whether text was resolved, and then as FriBidi resolves it.
bool ExpectSameAsFriBidi(const std::string& text) {
  for (bool rightToLeft : {false, true}) {
    const Reference expected = FriBidiLevels(text, rightToLeft);
    Reference ours;
    if (!OurLevels(text, rightToLeft, ours)) return false;
    EXPECT_EQ(ours.rightToLeft, expected.rightToLeft) << Shown(text) << " default rtl " << rightToLeft;
    EXPECT_EQ(ours.levels, expected.levels) << Shown(text) << " default rtl " << rightToLeft;
  }
  return true;
}

TEST(BidiLevelsTest, NumbersSeparatorsBracketsAndMarksResolveAsFriBidiResolvesThem) {
  for (const char* text : {"", "abc", "\xC7\xE1\xD3\xE1\xC7\xE3", "abc \xC7\xE1\xD3 def", "\xC7 12.5% \xC8",
                           "a (\xC7\xC8) c", "\xC7 (ab) \xC8", "(a [\xC7) b]", "1+2=3 \xC7", "$12,000.5-3",
                           "\xC7\xF0\xF1 a\xF0 (b)", "a\tb \xC7 \t", "\xC7\xFD a\xFE 1", "  \xC7  ", "\xC7 12\r"})
    EXPECT_TRUE(ExpectSameAsFriBidi(text)) << Shown(text);
}

// Random paragraphs drawn mostly from characters of every class the code page offers (two
// of each kind of letter, digits, separators, terminators, marks, spaces, tabs, brackets,
// the direction marks), now and then from any byte that is neither removed nor a paragraph
// separator, and ended by a line break one time in four.
TEST(BidiLevelsTest, RandomParagraphsResolveAsFriBidiResolvesThem) {
  const std::string common = std::string("aZ\xC7\xE1" "09+-#$%,.:/ \t()[]{}!\"<>") + "\xA1\xBF\xF0\xF3\xFD\xFE\xAB\xBB";
  std::vector<char> any;
  for (int b = 0; b < 256; ++b)
    if (BidiBytes()[b].bidiClass != BidiClass::Removed && BidiBytes()[b].bidiClass != BidiClass::B)
      any.push_back(static_cast<char>(b));
  std::mt19937 random(1234);
  int resolved = 0;
  const int rounds = 30000;
  for (int round = 0; round < rounds; ++round) {
    const size_t length = random() % 24;
    std::string text;
    for (size_t i = 0; i < length; ++i)
      text.push_back(random() % 8 == 0 ? any[random() % any.size()] : common[random() % common.size()]);
    if (random() % 4 == 0) text.push_back(random() % 2 ? '\r' : '\n');  // a line's end
    if (ExpectSameAsFriBidi(text)) ++resolved;
    if (HasFailure()) return;
  }
  // Marks after neutrals are the only hand-back here; most paragraphs hold none.
  EXPECT_GT(resolved, rounds / 2);
}

// Deeper than the pairing goes: past 63 open brackets FriBidi pairs no more.
TEST(BidiLevelsTest, BracketsDeeperThanThePairingGoesResolveAsFriBidiResolvesThem) {
  for (int depth : {62, 63, 64, 80})
    for (const char* inside : {"\xC7", "a", "1"}) {
      std::string text = "a " + std::string(static_cast<size_t>(depth), '(') + inside + "\xC7" +
                         std::string(static_cast<size_t>(depth), ')') + " \xC8";
      EXPECT_TRUE(ExpectSameAsFriBidi(text));
      EXPECT_TRUE(ExpectSameAsFriBidi("\xC7 " + text));
    }
}

TEST(BidiLevelsTest, TextWithARemovedCharacterIsHandedBack) {
  Reference ours;
  EXPECT_FALSE(OurLevels("a\x9D\xC7", false, ours));  // zero-width non-joiner
  EXPECT_FALSE(OurLevels("\x01", true, ours));        // a control
  EXPECT_FALSE(OurLevels("a\r\xC7", true, ours));     // a paragraph separator inside
  EXPECT_FALSE(OurLevels("\xC7(\xF0)", true, ours));   // a mark on a neutral
  EXPECT_TRUE(OurLevels("a\xC7", false, ours));
}

}  // namespace
}  // namespace kestrix::arabtext
