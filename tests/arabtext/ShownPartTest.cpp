// Long lines drawn from the part a window shows must give the very pixels of drawing them
// whole: left and right to left paragraphs, shown from either end or from the middle, with
// numbers, marks, direction marks and bracket pairs that span the places a line may be cut.
#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <tuple>
#include <vector>

#include "InkHelpers.h"
#include "arabtext/ArabTextLibrary.h"
#include "arabtext/FontStore.h"
#include "arabtext/LineRenderer.h"
#include "arabtext/ShownPart.h"

namespace kestrix::arabtext {
namespace {

using testing::Canvas;
using testing::Cp;
using testing::MakeFont;

// Pieces chosen at random until the line is longer than lines drawn whole.
std::string LongLine(const std::string& opening, uint32_t seed, size_t length = 6000, bool brackets = true) {
  std::vector<std::string> pieces{
      "word ", "Fig. ", Cp("كتاب "), Cp("مَدْرَسَة "), "2024 ", "3.14 ", Cp("«"), Cp("»"), "- ",
      Cp("، "), Cp("؟ "), "\xFD", "\xFE", "100% ", Cp("العربية"), "English", " "};
  if (brackets) pieces.insert(pieces.end(), {"(", ")", "[x] ", "{", "}"});
  std::string line = opening;
  while (line.size() < length) {
    seed = seed * 1664525u + 1013904223u;
    line += pieces[(seed >> 16) % pieces.size()];
  }
  return line;
}

class ShownPartTest : public ::testing::Test {
 protected:
  ShownPartTest() : latin_(MakeFont("Times New Roman")), arabic_(MakeFont("Fonta")) {
    library_.SelectFonts(nullptr, &latin_, &arabic_);
  }

  // Draws text at x both ways in a 400-pixel window and counts the pixels that differ.
  int Differing(const std::string& text, int x, bool rtlDefault) {
    Canvas shown(400, 40), whole(400, 40);
    library_.SelectFonts(&shown.dc, &latin_, &arabic_);
    library_.SetReadingOrder(rtlDefault ? 1 : 0);
    library_.TextOut(&shown.dc, x, 28, text.data(), static_cast<int>(text.size()));
    FontStore store;
    SegmentShaper shaper;
    LineRenderer renderer(shaper);
    auto fonts = store.Pair(FontRequestFromLogFont(&latin_), FontRequestFromLogFont(&arabic_));
    renderer.Draw(whole.dc, x, 28, *fonts, text, rtlDefault);
    int differing = 0;
    for (int y = 0; y < 40; ++y)
      for (int col = 0; col < 400; ++col) differing += shown.surface.Pixel(col, y) != whole.surface.Pixel(col, y);
    return differing;
  }

  int WidthOf(const std::string& text) {
    return library_.TextExtent(nullptr, text.data(), static_cast<int>(text.size())).cx;
  }

  LOGFONT latin_;
  LOGFONT arabic_;
  ArabTextLibrary library_;
};

TEST_F(ShownPartTest, LongLinesShowTheSamePixelsFromEitherEndAndTheMiddle) {
  const std::string openings[] = {"Start ", Cp("بداية "), "12 (", Cp("« "), "\xFE" "abc "};
  uint32_t seed = 1;
  for (const std::string& opening : openings)
    for (bool rtlDefault : {false, true}) {
      const std::string line = LongLine(opening, seed++);
      const int width = WidthOf(line);
      for (int x : {0, 7, 400 - width, 393 - width, -width / 2, 500, -width - 500})
        EXPECT_EQ(Differing(line, x, rtlDefault), 0) << "opening " << opening.size() << " x " << x;
    }
}

TEST_F(ShownPartTest, CutsNeverFallInsideABracketPairOrARunOfTheOtherDirection) {
  // In a left-to-right line, "(" between Arabic words resolves left to right only because
  // its pair holds Latin text; cut inside the pair, it would run right to left.
  std::string inside;
  while (inside.size() < 600) inside += Cp("كتاب ") + "word ";
  const std::string line = LongLine("Go " + Cp("كتاب (") + inside + ") ", 9, 7000);
  EXPECT_EQ(Differing(line, 0, false), 0);
  // And far more brackets open than are ever paired.
  std::string deep = "Go ";
  for (int i = 0; i < 80; ++i) deep += "( " + Cp("كتاب ") + "w ";
  EXPECT_EQ(Differing(LongLine(deep, 11, 7000), 0, false), 0);
  // Numbers end words but are not strong: cut after one, a right-to-left run would be split.
  std::string numbers = "Go ";
  while (numbers.size() < 6000) numbers += Cp("كتاب ") + "12 ";
  EXPECT_EQ(Differing(numbers, 0, false), 0);
  EXPECT_EQ(Differing(numbers, 400 - WidthOf(numbers), false), 0);
  // The same at the line's end, shown from there: a pair closing after the last possible cut,
  // and a tail of Arabic words and numbers with no strong left-to-right word to cut before.
  std::string pairAtEnd = LongLine("Go ", 12, 6000, false) + Cp("كتاب (");
  for (int i = 0; i < 60; ++i) pairAtEnd += "word " + Cp("كتاب ");
  pairAtEnd += Cp(") كتاب");
  EXPECT_EQ(Differing(pairAtEnd, 400 - WidthOf(pairAtEnd), false), 0);
  std::string numbersAtEnd = LongLine("Go ", 13, 6000, false);
  for (int i = 0; i < 100; ++i) numbersAtEnd += Cp("كتاب ") + "12 ";
  EXPECT_EQ(Differing(numbersAtEnd, 400 - WidthOf(numbersAtEnd), false), 0);
}

TEST_F(ShownPartTest, LongLinesAndLongWordsEditedInPlaceShowWhatAFreshRendererDraws) {
  // Letters typed into a word between letters of their own direction are the edits a drawn
  // line is brought up to date for; the others (a space, a mark, a letter of the other
  // direction or script, a deletion) make it arranged afresh. Each is followed by one of the
  // first kind, drawn from both ends and from the middle.
  std::string latinWord, arabicWord;
  while (latinWord.size() < 6000) latinWord += "kestrel";
  while (arabicWord.size() < 6000) arabicWord += Cp("بسملة");
  const std::string lines[] = {LongLine("Start ", 21) + latinWord, LongLine(Cp("بداية "), 22) + arabicWord,
                               latinWord, arabicWord};
  const std::string others[] = {" ", Cp("َ"), Cp("ب"), "e", "7", ""};
  uint32_t seed = 3;
  for (const std::string& start : lines)
    for (bool rtlDefault : {false, true}) {
      std::string line = start;
      for (int edit = 0; edit < 6; ++edit) {
        seed = seed * 1664525u + 1013904223u;
        // A letter of the line's last word, put inside it.
        const size_t inWord = line.size() - 1 - (seed >> 8) % 3000;
        line.insert(inWord, 1, line[inWord + 1]);
        const int width = WidthOf(line);
        for (int x : {0, 400 - width, -width / 2})
          ASSERT_EQ(Differing(line, x, rtlDefault), 0) << line.size() << " edit " << edit << " x " << x;
        const std::string& other = others[edit];
        const size_t at = 1 + (seed >> 4) % (line.size() - 2);
        if (other.empty())
          line.erase(at, 1);
        else
          line.insert(at, other);
        ASSERT_EQ(Differing(line, -WidthOf(line) / 3, rtlDefault), 0) << line.size() << " edit " << edit;
      }
    }
}

TEST_F(ShownPartTest, APartIsFoundAtTheEndOfTheLineTheWindowShows) {
  FontStore store;
  SegmentShaper shaper;
  ShownPart shown(shaper);
  auto fonts = store.Pair(FontRequestFromLogFont(&latin_), FontRequestFromLogFont(&arabic_));
  // Without brackets: one opened and never closed holds back every cut after it.
  const std::string ltr = LongLine("Start ", 3, 6000, false), rtl = LongLine(Cp("بداية "), 4, 6000, false);
  const int ltrWidth = WidthOf(ltr), rtlWidth = WidthOf(rtl);
  auto widthOf = [&](const std::string& line, const std::optional<LinePart>& part) {
    return WidthOf(line.substr(part->begin, part->end - part->begin));
  };
  // Each line shown from its left end and from its right end, in a 400-pixel window.
  for (const auto& [line, width, isRtl] : {std::tuple{ltr, ltrWidth, false}, std::tuple{rtl, rtlWidth, true}}) {
    const auto atLeft = shown.Find(0, 400, 0, *fonts, line, false, [&] { return width; });
    ASSERT_TRUE(atLeft);
    EXPECT_EQ(atLeft->x, 0);
    // The left end is the start of a left-to-right line and the end of a right-to-left one.
    EXPECT_EQ(atLeft->begin == 0, !isRtl);
    EXPECT_EQ(atLeft->end == line.size(), isRtl);
    EXPECT_LT(atLeft->end - atLeft->begin, line.size() / 4);
    const auto atRight = shown.Find(0, 400, 400 - width, *fonts, line, false, [&] { return width; });
    ASSERT_TRUE(atRight);
    EXPECT_EQ(atRight->x + widthOf(line, atRight), 400);
    EXPECT_EQ(atRight->begin == 0, isRtl);
    EXPECT_LT(atRight->end - atRight->begin, line.size() / 4);
  }
  // A window on the middle of a long line takes the nearer end, up to past the window.
  const auto middle = shown.Find(0, 400, -ltrWidth / 2, *fonts, ltr, false, [&] { return ltrWidth; });
  ASSERT_TRUE(middle);
  EXPECT_LT(middle->x, 0);
  EXPECT_GT(widthOf(ltr, middle), ltrWidth / 2);
  // Nothing of a line beside the window is drawn.
  const auto beside = shown.Find(0, 400, 2000, *fonts, ltr, false, [&] { return ltrWidth; });
  ASSERT_TRUE(beside);
  EXPECT_EQ(beside->begin, beside->end);
}

}  // namespace
}  // namespace kestrix::arabtext
