#include "arabtext/ArabTextLibrary.h"

#include <gtest/gtest.h>
#include <hb.h>

#include <cstdlib>
#include <memory>
#include <string>
#include <vector>

#include "InkHelpers.h"
#include "arabtext/FontStore.h"
#include "arabtext/LineMeasurer.h"
#include "arabtext/LineRenderer.h"

namespace kestrix::arabtext {
namespace {

using testing::Canvas;
using testing::Cp;
using testing::FindInk;
using testing::InkBounds;
using testing::MakeFont;

constexpr int kBaseline = 30;

class ArabTextLibraryTest : public ::testing::Test {
 protected:
  ArabTextLibraryTest() : latin_(MakeFont("Times New Roman")), arabic_(MakeFont("Fonta")) {}

  int Width(const std::string& text) { return library_.TextExtent(nullptr, text.data(), static_cast<int>(text.size())).cx; }

  // Draws text at x on a fresh canvas and returns it.
  std::unique_ptr<Canvas> Draw(const std::string& text, int x, int readingOrder = 0, int width = 600) {
    auto canvas = std::make_unique<Canvas>(width, 60);
    library_.SelectFonts(&canvas->dc, &latin_, &arabic_);
    library_.SetReadingOrder(readingOrder);
    library_.TextOut(&canvas->dc, x, kBaseline, text.data(), static_cast<int>(text.size()));
    library_.ReleaseDC(&canvas->dc);
    return canvas;
  }

  void SetUp() override { library_.SelectFonts(nullptr, &latin_, &arabic_); }

  LOGFONT latin_;
  LOGFONT arabic_;
  ArabTextLibrary library_;
};

const char* const kMixedLines[] = {
    "مرحبا Hello (عالم) 123!",
    "The word كِتَابٌ means book.",
    "«قال» - said, 2024 ؟",
    "AVATAR fi ffl ـــ لا",
    "\xD9\x84\xD8\xA7 joined and \xD9\x84\xD8\xA7\xD9\x85 [x]",
};

TEST_F(ArabTextLibraryTest, InkStaysWithinTheMeasuredAdvanceInBothReadingOrders) {
  for (const char* utf8 : kMixedLines) {
    const std::string text = Cp(utf8);
    const int cx = Width(text);
    ASSERT_GT(cx, 0) << utf8;
    for (int order : {0, 1}) {
      const int x = 40;
      const InkBounds ink = FindInk(Draw(text, x, order)->surface);
      ASSERT_FALSE(ink.Empty()) << utf8;
      // Side bearings may hang over by a pixel or two.
      EXPECT_GE(ink.left, x - 2) << utf8;
      EXPECT_LE(ink.right, x + cx + 2) << utf8;
      EXPECT_GT(ink.right - ink.left, cx * 3 / 4) << utf8;  // the advance is not padded
    }
  }
}

TEST_F(ArabTextLibraryTest, DrawnAdvanceEqualsMeasuredWidthWhateverTheCacheHolds) {
  // The renderer reports the advance it drew; the measurer starts from a cold cache and
  // the renderer from another, so neither can lean on the other's results.
  FontStore store;
  const auto fonts = store.Pair(FontRequestFromLogFont(&latin_), FontRequestFromLogFont(&arabic_));
  SegmentShaper measureShaper;
  SegmentShaper drawShaper(2);  // tiny: glyph lists are shaped again and again
  LineMeasurer measurer(measureShaper);
  LineRenderer renderer(drawShaper);
  Canvas canvas(800, 60);
  std::vector<std::string> lines;
  for (const char* utf8 : kMixedLines) lines.push_back(Cp(utf8));
  // Arbitrary bytes too: every value of the code page, controls and lone marks included.
  uint32_t seed = 12345;
  for (int i = 0; i < 300; ++i) {
    std::string bytes;
    for (int n = 0; n < 1 + i % 40; ++n) {
      seed = seed * 1664525u + 1013904223u;
      bytes.push_back(static_cast<char>(seed >> 24));
    }
    lines.push_back(bytes);
  }
  for (const std::string& text : lines)
    for (bool rtl : {false, true})
      EXPECT_EQ(renderer.Draw(canvas.dc, 5, kBaseline, *fonts, text, rtl), measurer.Width(*fonts, text))
          << Utf8FromCp1256(text);
}

TEST_F(ArabTextLibraryTest, MeasuringGrowingLinesAgreesWithMeasuringThemAfresh) {
  // The control measures "a", "ab", "abc", ...; earlier work is reused, and the answers
  // must be those of a library that never saw the shorter lines.
  const std::string text = Cp("كتب، abc (قلم) 12 - ـد\r\nxy «ع» لا  ") + "\xFE" + Cp("ب.");
  std::string line;
  for (char c : text) {
    line.push_back(c);
    ArabTextLibrary fresh;
    fresh.SelectFonts(nullptr, &latin_, &arabic_);
    EXPECT_EQ(Width(line), fresh.TextExtent(nullptr, line.data(), static_cast<int>(line.size())).cx)
        << Utf8FromCp1256(line);
  }
}

// Width of s, ending in a letter that joins forward, with that letter in its joined form:
// shaped independently with HarfBuzz, adding the pixel advances of all but the tatweel.
int JoinedWidthByHarfBuzz(const LoadedFont& font, const std::string& s) {
  hb_buffer_t* buffer = hb_buffer_create();
  for (char c : s) hb_buffer_add(buffer, UnicodeFromCp1256(static_cast<uint8_t>(c)), 0);
  hb_buffer_add(buffer, 0x0640, 1);
  hb_buffer_set_content_type(buffer, HB_BUFFER_CONTENT_TYPE_UNICODE);
  hb_buffer_set_direction(buffer, HB_DIRECTION_RTL);
  hb_buffer_set_script(buffer, HB_SCRIPT_ARABIC);
  hb_buffer_set_language(buffer, hb_language_from_string("ar", -1));
  hb_shape(font.HbFont(), buffer, nullptr, 0);
  unsigned count = 0;
  const hb_glyph_info_t* info = hb_buffer_get_glyph_infos(buffer, &count);
  const hb_glyph_position_t* pos = hb_buffer_get_glyph_positions(buffer, &count);
  int width = 0;
  for (unsigned i = 0; i < count; ++i)
    if (info[i].cluster == 0) width += (pos[i].x_advance + 32) >> 6;
  hb_buffer_destroy(buffer);
  return width;
}

TEST_F(ArabTextLibraryTest, TatweelMeasuresAPrefixWithItsLastLetterJoined) {
  FontStore store;
  const auto fonts = store.Pair(FontRequestFromLogFont(&latin_), FontRequestFromLogFont(&arabic_));
  const std::string tatweel = "\xDC";
  for (const char* utf8 : {"ب", "كت", "مرحب", "سلّم", "abc كتب"}) {
    const std::string s = Cp(utf8);
    const int viaTatweel = Width(s + tatweel) - Width(tatweel);
    const size_t wordStart = s.rfind(' ') == std::string::npos ? 0 : s.rfind(' ') + 1;
    const int before = wordStart ? Width(s.substr(0, wordStart)) : 0;
    EXPECT_EQ(viaTatweel, before + JoinedWidthByHarfBuzz(fonts->Font(FontSlot::kArabic), s.substr(wordStart))) << utf8;
  }
  // The joined form really is another width than the final one.
  EXPECT_NE(Width(Cp("ب") + tatweel) - Width(tatweel), Width(Cp("ب")));
}

TEST_F(ArabTextLibraryTest, ArabicWordIsShapedNotDrawnLetterByLetter) {
  const std::string word = Cp("سلام");
  const auto joined = Draw(word, 100);
  Canvas separate(600, 60);
  library_.SelectFonts(&separate.dc, &latin_, &arabic_);
  int x = 100;
  for (char c : word) {  // isolated letters side by side, in visual order right to left
    x += Width(std::string(1, c));
  }
  for (char c : word) {
    const int w = Width(std::string(1, c));
    x -= w;
    library_.TextOut(&separate.dc, x, kBaseline, &c, 1);
  }
  EXPECT_FALSE(testing::SameInkShape(joined->surface, separate.surface));
  int isolatedTotal = 0;
  for (char c : word) isolatedTotal += Width(std::string(1, c));
  EXPECT_NE(Width(word), isolatedTotal);
}

TEST_F(ArabTextLibraryTest, MixedLineIsDrawnInVisualOrder) {
  const std::string arabicWord = Cp("مرحبا");
  const std::string english = "Hello";
  const int arabicWidth = Width(arabicWord);
  const int x = 50;

  // Right-to-left paragraph: the Arabic word comes first, at the right.
  const auto rtl = Draw(arabicWord + " " + english, x, 1);
  const int englishEnd = x + Width(english);
  const InkBounds englishInk = FindInk(rtl->surface, 0, englishEnd + 1);
  const InkBounds arabicInk = FindInk(rtl->surface, englishEnd + 1);
  ASSERT_FALSE(englishInk.Empty());
  ASSERT_FALSE(arabicInk.Empty());
  EXPECT_GE(arabicInk.left, englishEnd);
  EXPECT_LE(arabicInk.right, x + Width(arabicWord + " " + english) + 2);
  // The English word reads left to right inside it: same pixels as drawn alone.
  Canvas alone(600, 60);
  library_.SelectFonts(&alone.dc, &latin_, &arabic_);
  library_.TextOut(&alone.dc, x, kBaseline, english.data(), static_cast<int>(english.size()));
  EXPECT_TRUE(testing::SameInkShape(rtl->surface.Crop(RECT{0, 0, englishEnd + 1, 60}), alone.surface));

  // Left-to-right default, but the first strong character is Arabic: still right to left.
  const auto firstStrong = Draw(arabicWord + " " + english, x, 0);
  EXPECT_TRUE(testing::SameInkShape(firstStrong->surface, rtl->surface));

  // An English-first line in a right-to-left reading order reads left to right.
  const auto ltr = Draw(english + " " + arabicWord, x, 1);
  const InkBounds arabicRight = FindInk(ltr->surface, x + Width(english + " "));
  EXPECT_GE(arabicRight.left, x + Width(english + " ") - 2);
  EXPECT_LE(arabicRight.right, x + Width(english + " ") + arabicWidth + 2);
}

TEST_F(ArabTextLibraryTest, ReportedMetricsGiveALineBothScriptsFitIn) {
  for (int pixels : {9, 16, 23, 40}) {
    LOGFONT latin = MakeFont("Times New Roman", pixels);
    LOGFONT arabic = MakeFont("Fonta", pixels);
    Canvas canvas(900, 3 * pixels + 40);
    library_.SelectFonts(&canvas.dc, &latin, &arabic);
    const TEXTMETRIC tm = canvas.dc.selectedFontMetrics;
    const auto lineHeight = static_cast<int>(tm.tmHeight * 0.7501875468867217);
    const auto ascent = static_cast<int>(tm.tmAscent * 0.7501875468867217);
    EXPECT_GE(lineHeight, library_.LineHeight(&canvas.dc));
    EXPECT_GE(ascent, library_.Ascent(&canvas.dc));
    EXPECT_EQ(library_.TextExtent(&canvas.dc, "x", 1).cy, library_.LineHeight(&canvas.dc));
    // Tall and deep glyphs of both scripts, stacked marks included, stay inside the line.
    const std::string text = Cp("ÁÉ|gjpq] ـٍّ ـًّ إِلى جيقٌ ﻷ ؟ ÂÊ[");
    const int top = 20;
    library_.TextOut(&canvas.dc, 10, top + ascent, text.data(), static_cast<int>(text.size()));
    const InkBounds ink = FindInk(canvas.surface);
    ASSERT_FALSE(ink.Empty());
    EXPECT_GE(ink.top, top) << pixels;
    EXPECT_LE(ink.bottom, top + lineHeight) << pixels;
  }
}

TEST_F(ArabTextLibraryTest, UnknownAndOverlongFaceNamesFallBack) {
  // A face name filling all 32 bytes with no terminator, as a corrupt 40-character name
  // would: only the 32 bytes may be read (the heap block ends right after them).
  auto corrupt = std::make_unique<LOGFONT>(MakeFont(""));
  std::memset(corrupt->lfFaceName, 'Q', sizeof corrupt->lfFaceName);
  const LOGFONT unknown = MakeFont("No Such Face At All");
  for (const LOGFONT* face : {static_cast<const LOGFONT*>(corrupt.get()), &unknown}) {
    Canvas canvas(400, 60);
    library_.SelectFonts(&canvas.dc, face, face);
    const std::string text = Cp("abc كتب");
    EXPECT_GT(library_.TextExtent(&canvas.dc, text.data(), static_cast<int>(text.size())).cx, 0);
    library_.TextOut(&canvas.dc, 10, kBaseline, text.data(), static_cast<int>(text.size()));
    // Arabic draws with a font that has the letters: its ink differs from a missing glyph's.
    Canvas arabicOnly(400, 60);
    library_.SelectFonts(&arabicOnly.dc, face, face);
    library_.TextOut(&arabicOnly.dc, 10, kBaseline, "\xC8", 1);
    Canvas otherLetter(400, 60);
    library_.SelectFonts(&otherLetter.dc, face, face);
    library_.TextOut(&otherLetter.dc, 10, kBaseline, "\xD3", 1);
    EXPECT_FALSE(testing::SameInkShape(arabicOnly.surface, otherLetter.surface));
    EXPECT_FALSE(FindInk(canvas.surface).Empty());
  }
}

TEST_F(ArabTextLibraryTest, FontsResolveToAnAliasForLatinAndAnArabicFaceForArabic) {
  EXPECT_NE(ResolveFontFile(FontRole::kLatin, "Times New Roman", 400, false).path.find("LiberationSerif"),
            std::string::npos);
  const FontFile arabic = ResolveFontFile(FontRole::kArabic, "Fonta", 700, false);
  EXPECT_NE(arabic.path.find("Arabic"), std::string::npos) << arabic.path;
  EXPECT_FALSE(arabic.syntheticBold);  // a bold Arabic face is installed
  EXPECT_TRUE(ResolveFontFile(FontRole::kArabic, "Noto Naskh Arabic", 400, true).syntheticOblique);
}

TEST_F(ArabTextLibraryTest, ControlBytesAreZeroWidthAndDrawNothing) {
  EXPECT_EQ(Width("\r"), 0);
  EXPECT_EQ(Width("\r\n\t\x01\x1f\x7f"), 0);
  EXPECT_EQ(Width("ab\r\n"), Width("ab"));
  EXPECT_EQ(Width(Cp("\rكتب")), Width(Cp("كتب")));
  EXPECT_TRUE(FindInk(Draw("\r\n\t\x7f", 10)->surface).Empty());
}

TEST_F(ArabTextLibraryTest, NullContextsAndEmptyTextAreSafe) {
  const SIZE none{0, 0};
  EXPECT_EQ(library_.TextExtent(nullptr, "abc", 0).cx, none.cx);
  EXPECT_EQ(library_.TextExtent(nullptr, "abc", -5).cy, none.cy);
  EXPECT_EQ(library_.TextExtent(nullptr, nullptr, 3).cx, none.cx);
  library_.TextOut(nullptr, 0, 0, "abc", 3);
  library_.SelectFonts(nullptr, nullptr, nullptr);  // defaults, no crash
  EXPECT_GT(Width("abc"), 0);

  // A context measures with its own fonts; after release, with those selected last.
  Canvas canvas(100, 40);
  const LOGFONT big = MakeFont("Times New Roman", 40);
  library_.SelectFonts(&canvas.dc, &big, &big);
  const int bigWidth = library_.TextExtent(&canvas.dc, "abc", 3).cx;
  library_.SelectFonts(nullptr, &latin_, &arabic_);
  EXPECT_EQ(library_.TextExtent(&canvas.dc, "abc", 3).cx, bigWidth);
  EXPECT_LT(Width("abc"), bigWidth);
  library_.ReleaseDC(&canvas.dc);
  EXPECT_EQ(library_.TextExtent(&canvas.dc, "abc", 3).cx, Width("abc"));
  library_.ReleaseDC(nullptr);
}

TEST_F(ArabTextLibraryTest, UnderlineSpansTheTextBelowTheBaseline) {
  LOGFONT underlined = latin_;
  underlined.lfUnderline = 1;
  Canvas canvas(300, 60);
  library_.SelectFonts(&canvas.dc, &underlined, &arabic_);
  const int cx = library_.TextExtent(&canvas.dc, "ab cd", 5).cx;
  library_.TextOut(&canvas.dc, 10, kBaseline, "ab cd", 5);
  bool solidRow = false;
  for (int y = kBaseline + 1; y < 60 && !solidRow; ++y) {
    int run = 0;
    for (int x = 10; x < 10 + cx; ++x) run += canvas.surface.Pixel(x, y) == 0 ? 1 : 0;
    solidRow = run == cx;
  }
  EXPECT_TRUE(solidRow);
}

TEST_F(ArabTextLibraryTest, WritesAMixedLineForLookingAt) {
  const char* dir = std::getenv("KESTRIX_TEST_OUTPUT");
  const std::string path = std::string(dir && *dir ? dir : "/tmp") + "/arabtext_mixed_line.png";
  const auto canvas = Draw(Cp(kMixedLines[0]) + Cp(" — The word كِتَابٌ means book."), 8, 1, 560);
  ASSERT_TRUE(WritePng(canvas->surface, path));
  Surface back;
  ASSERT_TRUE(ReadPng(path, back));
  EXPECT_EQ(back.Pixels(), canvas->surface.Pixels());
}

}  // namespace
}  // namespace kestrix::arabtext
