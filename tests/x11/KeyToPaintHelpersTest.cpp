// The window benchmark's pure parts: the files it opens and what it reads from pixels.
#include <gtest/gtest.h>

#include <sstream>

#include "MixedWordsFile.h"
#include "TextFile.h"
#include "WindowPixels.h"

namespace kestrix {

namespace {

TEST(KeyToPaintFile, OpensForEditingWithParagraphsOfBothScripts) {
  const std::string bytes = bench::MixedWordsFile(64 << 10);
  EXPECT_EQ(bytes, bench::MixedWordsFile(64 << 10));
  EXPECT_GE(bytes.size(), size_t{64 << 10});
  const FileForEditing file = ReadForEditing(bytes);
  EXPECT_FALSE(file.readOnlyBecause) << *file.readOnlyBecause;
  EXPECT_EQ(file.lineEnd, "\n");
  EXPECT_NE(file.text.find('\xC7'), std::string::npos);  // alef
  EXPECT_NE(file.text.find("the"), std::string::npos);
  std::istringstream lines(bytes);
  std::string line;
  while (std::getline(lines, line)) {
    std::istringstream words(line);
    size_t count = 0;
    for (std::string w; words >> w;) ++count;
    ASSERT_GE(count, 20u) << line;
    ASSERT_LE(count, 120u) << line;
  }
}

// A white window 200 × 100 with marks of a colour drawn into it.
struct Canvas {
  bench::Pixels p{200, 100, std::vector<uint32_t>(200 * 100, 0xFFFFFF)};
  Canvas& Fill(int left, int top, int width, int height, uint32_t colour) {
    for (int y = top; y < top + height; ++y)
      for (int x = left; x < left + width; ++x) p.rgb[static_cast<size_t>(y * 200 + x)] = colour;
    return *this;
  }
  // Rows of glyph-like strokes: every third pixel dark across most of the width.
  Canvas& Text(int top, int rows) {
    for (int y = top; y < top + rows; ++y)
      for (int x = 10; x < 190; x += 3) p.rgb[static_cast<size_t>(y * 200 + x)] = 0x202020;
    return *this;
  }
};

TEST(KeyToPaintPixels, ACaretsBlinkIsNoChangeAnythingWiderIs) {
  const bench::Pixels before = Canvas().Text(10, 12).p;
  EXPECT_FALSE(bench::ChangedBeyondCaret(before, before));
  EXPECT_FALSE(bench::ChangedBeyondCaret(before, Canvas(Canvas{before}).Fill(50, 20, 5, 14, 0).p));
  EXPECT_TRUE(bench::ChangedBeyondCaret(before, Canvas(Canvas{before}).Fill(50, 20, 6, 14, 0).p));
  // A caret blinking while a letter appears elsewhere.
  EXPECT_TRUE(bench::ChangedBeyondCaret(before, Canvas(Canvas{before}).Fill(50, 20, 1, 14, 0).Fill(120, 60, 1, 9, 0).p));
  EXPECT_TRUE(bench::ChangedBeyondCaret(before, bench::Pixels{100, 100, std::vector<uint32_t>(100 * 100, 0xFFFFFF)}));
}

TEST(KeyToPaintPixels, TextShowsOnlyAsManyRowsCrossingGlyphs) {
  const bench::Pixels empty = Canvas().Fill(190, 0, 10, 100, 0xC0C0C0).p;  // a scroll bar
  EXPECT_TRUE(bench::ShowsTextBeyond(empty, Canvas(Canvas{empty}).Text(5, 40).p));
  EXPECT_FALSE(bench::ShowsTextBeyond(empty, Canvas(Canvas{empty}).Text(5, 20).p));
  // A window not yet filled, or filled only in part.
  EXPECT_FALSE(bench::ShowsTextBeyond(empty, Canvas().Fill(0, 0, 200, 100, 0).p));
  EXPECT_FALSE(bench::ShowsTextBeyond(empty, Canvas(Canvas{empty}).Fill(0, 0, 100, 100, 0).p));
  // The scroll bar's thumb moving, and a caret.
  EXPECT_FALSE(bench::ShowsTextBeyond(empty, Canvas(Canvas{empty}).Fill(192, 0, 6, 100, 0x404040).Fill(30, 10, 1, 90, 0).p));
  // A window still being laid out at another size.
  bench::Pixels narrower = Canvas().Text(5, 40).p;
  narrower.width = 100;
  narrower.height = 200;
  EXPECT_FALSE(bench::ShowsTextBeyond(empty, narrower));
}

}  // namespace

}  // namespace kestrix
