// A renderer keeps the lines it drew last; whatever it drew before, each line it draws again
// must come out as a renderer that never drew anything draws it.
#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "InkHelpers.h"
#include "arabtext/FontStore.h"
#include "arabtext/LineRenderer.h"

namespace kestrix::arabtext {
namespace {

using testing::Cp;
using testing::MakeFont;

Surface DrawLine(LineRenderer& renderer, const FontPair& fonts, const std::string& text, bool rtl) {
  Surface surface(700, 80);
  DeviceContext dc(&surface, POINT{}, {RECT{0, 0, 700, 80}});
  renderer.Draw(dc, 20, 50, fonts, text, rtl);
  return surface;
}

TEST(RepeatedDrawingTest, LinesDrawnAgainInAnyOrderMatchAFreshRenderer) {
  FontStore store;
  LOGFONT latin = MakeFont("Times New Roman", 30), arabic = MakeFont("Fonta", 30);
  const std::shared_ptr<FontPair> small = store.Pair(FontRequestFromLogFont(&latin), FontRequestFromLogFont(&arabic));
  latin.lfHeight = arabic.lfHeight = -40;
  const std::shared_ptr<FontPair> large = store.Pair(FontRequestFromLogFont(&latin), FontRequestFromLogFont(&arabic));
  // Lines that differ only in their direction's default, in one byte, or in the fonts.
  const std::vector<std::string> lines{Cp("(123) !?"), Cp("مرحبا Hello (عالم) 12"), Cp("مرحبا Hello (عالم) 13"),
                                       Cp("abc def"), Cp("abc deg"), Cp("كِتَابٌ"), std::string(5000, 'w')};
  SegmentShaper shaper;
  LineRenderer warm(shaper);
  uint32_t seed = 11;
  int different = 0;
  for (int round = 0; round < 120; ++round) {
    seed = seed * 1664525u + 1013904223u;
    const std::string& text = lines[(seed >> 8) % lines.size()];
    const bool rtl = (seed >> 20) & 1;
    const FontPair& fonts = (seed >> 21) & 1 ? *large : *small;
    SegmentShaper freshShaper;
    LineRenderer fresh(freshShaper);
    const Surface expected = DrawLine(fresh, fonts, text, rtl);
    ASSERT_EQ(DrawLine(warm, fonts, text, rtl).Pixels(), expected.Pixels()) << "round " << round;
    different += DrawLine(fresh, fonts, text, !rtl).Pixels() != expected.Pixels();
  }
  // The direction's default does change how some of these lines are drawn.
  EXPECT_GT(different, 10);
}

}  // namespace
}  // namespace kestrix::arabtext
