// Drawing visits only what lies in the context's clip; what it draws there must be exactly
// what drawing unclipped would have left.
#include <ft2build.h>
#include FT_FREETYPE_H
#include <gtest/gtest.h>
#include <hb.h>

#include <algorithm>
#include <memory>
#include <string>
#include <vector>

#include "InkHelpers.h"
#include "arabtext/ClipBands.h"
#include "arabtext/FontResolver.h"
#include "arabtext/FontStore.h"
#include "arabtext/LoadedFont.h"
#include "arabtext/LineRenderer.h"

namespace kestrix::arabtext {
namespace {

using testing::Cp;
using testing::MakeFont;

constexpr int kWidth = 900;
constexpr int kHeight = 100;
constexpr int kX = 12;
constexpr int kBaseline = 60;
constexpr uint32_t kWhite = 0x00FFFFFF;

bool InClip(const std::vector<RECT>& clip, int x, int y) {
  for (const RECT& r : clip)
    if (x >= r.left && x < r.right && y >= r.top && y < r.bottom) return true;
  return false;
}

class ClippedDrawingTest : public ::testing::Test {
 protected:
  ClippedDrawingTest() {
    LOGFONT latin = MakeFont("Times New Roman", 40);
    LOGFONT arabic = MakeFont("Fonta", 40);
    latin.lfUnderline = arabic.lfUnderline = 1;
    fonts_ = store_.Pair(FontRequestFromLogFont(&latin), FontRequestFromLogFont(&arabic));
  }

  Surface Draw(LineRenderer& renderer, std::vector<RECT> clip, bool rtl) {
    Surface surface(kWidth, kHeight);
    DeviceContext dc(&surface, POINT{}, std::move(clip));
    renderer.Draw(dc, kX, kBaseline, *fonts_, text_, rtl);
    return surface;
  }

  // Draws through clip with a renderer that has drawn the line before and with a fresh one,
  // and compares both with the unclipped drawing pixel by pixel.
  void ExpectSameAsCropped(const std::vector<RECT>& clip, const char* what) {
    for (bool rtl : {false, true}) {
      const Surface whole = Draw(warm_, {RECT{0, 0, kWidth, kHeight}}, rtl);
      SegmentShaper shaper;
      LineRenderer cold(shaper);
      for (LineRenderer* renderer : {&cold, &warm_}) {
        const Surface clipped = Draw(*renderer, clip, rtl);
        int inked = 0;
        int wrong = 0;
        for (int y = 0; y < kHeight; ++y)
          for (int x = 0; x < kWidth; ++x) {
            const bool visible = InClip(clip, x, y);
            inked += visible && clipped.Pixel(x, y) != kWhite;
            wrong += clipped.Pixel(x, y) != (visible ? whole.Pixel(x, y) : kWhite);
          }
        EXPECT_EQ(wrong, 0) << what << (rtl ? ", right to left" : "");
        EXPECT_GT(inked, 100) << what;  // the clip does show part of the line
      }
    }
  }

  FontStore store_;
  std::shared_ptr<FontPair> fonts_;
  SegmentShaper shaper_;
  LineRenderer warm_{shaper_};
  const std::string text_ = Cp("مرحبا Hello (عالم) كِتَابٌ AVATAR سَسِ ffl 123!");
};

TEST_F(ClippedDrawingTest, ClippedDrawingShowsExactlyTheUnclippedPixelsInsideTheClip) {
  const int underline = kBaseline + fonts_->Font(FontSlot::kLatin).Metrics().underlineOffset;
  // Edges through the middle of glyphs both ways, and through the underline's thickness.
  ExpectSameAsCropped({RECT{kX + 57, kBaseline - 17, kX + 431, underline + 1}}, "one rectangle");
  ExpectSameAsCropped({RECT{kX + 3, 20, kX + 90, kBaseline - 5}, RECT{kX + 250, kBaseline - 9, kX + 520, kHeight}},
                      "two rectangles");
  // Where rectangles overlap, each pixel is still blended once.
  ExpectSameAsCropped({RECT{kX + 40, 30, kX + 300, 70}, RECT{kX + 200, 45, kX + 600, 95}, RECT{}},
                      "overlapping rectangles");
}

TEST_F(ClippedDrawingTest, NarrowStripsAnywhereShowTheUnclippedPixels) {
  // Strips a few pixels wide meet every glyph's edges, side bearings and marks' offsets
  // included, so a glyph box off by a pixel leaves a strip short of ink.
  for (bool rtl : {false, true}) {
    const Surface whole = Draw(warm_, {RECT{0, 0, kWidth, kHeight}}, rtl);
    std::vector<RECT> strips;
    for (int x = 0; x < kWidth; x += 3) strips.push_back(RECT{x, 0, x + 3, kHeight});
    for (int y = 0; y < kHeight; y += 2) strips.push_back(RECT{0, y, kWidth, y + 2});
    for (const RECT& strip : strips) {
      const Surface clipped = Draw(warm_, {strip}, rtl);
      int wrong = 0;
      for (int y = strip.top; y < strip.bottom; ++y)
        for (int x = strip.left; x < strip.right; ++x) wrong += clipped.Pixel(x, y) != whole.Pixel(x, y);
      ASSERT_EQ(wrong, 0) << "strip at " << strip.left << ", " << strip.top << (rtl ? ", right to left" : "");
    }
  }
}

TEST_F(ClippedDrawingTest, NothingOutsideTheClipIsDrawn) {
  DeviceContext offscreen(nullptr, POINT{}, {});
  const int width = warm_.Draw(offscreen, kX, kBaseline, *fonts_, text_, false);
  ASSERT_LT(kX + width + 20, kWidth);
  // Above every glyph, past the line's end, and an empty clip.
  for (const std::vector<RECT>& clip : {std::vector<RECT>{RECT{0, 0, kWidth, 2}},
                                        std::vector<RECT>{RECT{kX + width + 20, 0, kWidth, kHeight}},
                                        std::vector<RECT>{}})
    for (bool rtl : {false, true}) {
      const Surface surface = Draw(warm_, clip, rtl);
      EXPECT_TRUE(testing::FindInk(surface).Empty());
    }
}

// The outline's box is what lets glyphs outside the clip go unrendered; it must hold all of
// the rendered ink, synthetic bold and oblique included.
TEST(GlyphInkBoxTest, HoldsEveryInkedPixelOfTheRenderedGlyph) {
  FT_Library ftLibrary = nullptr;
  ASSERT_EQ(FT_Init_FreeType(&ftLibrary), 0);
  const std::shared_ptr<FT_LibraryRec_> library(ftLibrary, FT_Done_FreeType);
  for (FontRole role : {FontRole::kLatin, FontRole::kArabic}) {
    FontFile file = ResolveFontFile(role, role == FontRole::kLatin ? "Times New Roman" : "Fonta", 400, false);
    ASSERT_FALSE(file.path.empty());
    hb_blob_t* blob = hb_blob_create_from_file(file.path.c_str());
    hb_face_t* face = hb_face_create(blob, static_cast<unsigned>(file.index));
    for (bool synthetic : {false, true})
      for (int pixels : {13, 57}) {
        file.syntheticBold = file.syntheticOblique = synthetic;
        const LoadedFont font(library, face, file, pixels);
        const unsigned glyphs = std::min(hb_face_get_glyph_count(face), 600u);
        int outside = 0;
        for (uint32_t g = 0; g < glyphs; ++g) {
          const GlyphBitmap image = font.Rasterize(g);
          const GlyphBox box = font.InkBox(g);
          for (int row = 0; row < image.rows; ++row)
            for (int col = 0; col < image.width; ++col) {
              const int x = image.left + col;
              const int y = image.top - row;  // upward, as the boxes' tops are
              outside += image.coverage[static_cast<size_t>(row * image.width + col)] != 0 &&
                         (x < box.left || x >= box.left + box.width || y > box.top || y <= box.top - box.rows);
            }
        }
        EXPECT_EQ(outside, 0) << file.path << " at " << pixels << (synthetic ? " px, synthetic" : " px");
      }
    hb_face_destroy(face);
    hb_blob_destroy(blob);
  }
}

// Visiting a box's parts reaches each visible pixel exactly once, however the clip's
// rectangles overlap, touch or lie empty.
TEST(ClipBandsTest, PartsCoverEachVisiblePixelOnce) {
  uint32_t seed = 7;
  auto next = [&](int range) {
    seed = seed * 1664525u + 1013904223u;
    return static_cast<int>((seed >> 8) % static_cast<uint32_t>(range));
  };
  ClipBands bands;
  for (int round = 0; round < 200; ++round) {
    std::vector<RECT> clip;
    for (int n = next(5); n > 0; --n) {
      const int left = next(40);
      const int top = next(40);
      clip.push_back(RECT{left, top, left + next(30) - 4, top + next(30) - 4});
    }
    bands.Reset(clip);
    const PixelBox box{next(30) - 5, next(30) - 5, 20 + next(40), 20 + next(40)};
    int counts[80][80] = {};
    bands.ForEachPart(box, [&](const PixelBox& part) {
      for (int64_t y = part.top; y < part.bottom; ++y)
        for (int64_t x = part.left; x < part.right; ++x) ++counts[y + 10][x + 10];
    });
    int wrong = 0;
    for (int y = -10; y < 70; ++y)
      for (int x = -10; x < 70; ++x) {
        const bool inBox = x >= box.left && x < box.right && y >= box.top && y < box.bottom;
        wrong += counts[y + 10][x + 10] != (inBox && InClip(clip, x, y) ? 1 : 0);
      }
    ASSERT_EQ(wrong, 0) << "round " << round;
    EXPECT_EQ(bands.Touches(box), std::any_of(&counts[0][0], &counts[0][0] + 80 * 80, [](int c) { return c > 0; }));
  }
}

}  // namespace
}  // namespace kestrix::arabtext
