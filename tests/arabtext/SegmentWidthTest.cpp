// Widths of segments as the measuring cache answers them: whatever was measured before, in
// whichever font and slot, a segment measures what a shaper that has seen nothing gives.
#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "InkHelpers.h"
#include "arabtext/FontStore.h"
#include "arabtext/SegmentShaper.h"

namespace kestrix::arabtext {
namespace {

using testing::MakeFont;

TEST(SegmentWidthTest, OneByteSegmentsMeasureAsAFreshShaperInEveryFontAndSlot) {
  FontStore store;
  // Four pairs and two slots, one face serving both: more fonts than the one-byte widths are
  // kept for at once.
  std::vector<std::shared_ptr<FontPair>> pairs;
  for (auto [latin, arabic, size] : {std::tuple{"Times New Roman", "Fonta", 16},
                                     std::tuple{"Arial", "Tahoma", 23}, std::tuple{"Courier New", "Fonta", 11},
                                     std::tuple{"Arial", "Arial", 16}}) {
    const LOGFONT l = MakeFont(latin, size), a = MakeFont(arabic, size);
    pairs.push_back(store.Pair(FontRequestFromLogFont(&l), FontRequestFromLogFont(&a)));
  }
  // What each font and slot gives on its own, measured by a shaper that knows no other.
  const FontSlot slots[] = {FontSlot::kLatin, FontSlot::kArabic};
  std::vector<std::vector<int32_t>> expected;
  for (const auto& pair : pairs)
    for (FontSlot slot : slots) {
      SegmentShaper alone;
      expected.emplace_back(256);
      for (int byte = 0x20; byte <= 0xFF; ++byte)
        expected.back()[byte] = alone.Width(pair->Font(slot), slot, std::string(1, static_cast<char>(byte)));
    }
  SegmentShaper shared;
  int differing = 0, compared = 0;
  for (int round = 0; round < 2; ++round)
    for (int byte = 0x20; byte <= 0xFF; ++byte)
      for (size_t p = 0; p < pairs.size(); ++p)
        for (size_t s = 0; s < 2; ++s) {
          const int32_t want = expected[p * 2 + s][byte];
          const std::string bytes(1, static_cast<char>(byte));
          ASSERT_EQ(shared.Width(pairs[p]->Font(slots[s]), slots[s], bytes), want)
              << "byte " << byte << " pair " << p << " slot " << s << " round " << round;
          // The fonts must tell the cases apart for the comparison to mean anything.
          if (want != expected[0][byte]) ++differing;
          ++compared;
        }
  EXPECT_GT(differing, compared / 2);
}

TEST(SegmentWidthTest, SegmentsTooLongForTheWidthSlotsMeasureAsAFreshShaperInEveryFont) {
  FontStore store;
  std::vector<std::shared_ptr<FontPair>> pairs;
  for (auto [latin, arabic, size] : {std::tuple{"Times New Roman", "Fonta", 16}, std::tuple{"Arial", "Tahoma", 23}}) {
    const LOGFONT l = MakeFont(latin, size), a = MakeFont(arabic, size);
    pairs.push_back(store.Pair(FontRequestFromLogFont(&l), FontRequestFromLogFont(&a)));
  }
  // Latin and Arabic words from just past the width slots up to the length shaped in chunks.
  std::vector<std::pair<FontSlot, std::string>> words;
  for (size_t length : {15, 16, 40, 97, 128}) {
    std::string latin, arabic;
    for (size_t i = 0; i < length; ++i) {
      latin += static_cast<char>('a' + (i * 7) % 26);
      arabic += static_cast<char>(0xC8 + (i * 5) % 16);
    }
    words.emplace_back(FontSlot::kLatin, latin);
    words.emplace_back(FontSlot::kArabic, arabic);
  }
  SegmentShaper shared;
  for (int round = 0; round < 2; ++round)
    for (const auto& [slot, word] : words)
      for (const auto& pair : pairs) {
        SegmentShaper fresh;
        const int32_t want = fresh.Width(pair->Font(slot), slot, word);
        ASSERT_EQ(shared.Width(pair->Font(slot), slot, word), want) << word.size() << " round " << round;
        // Drawing shapes the same segment into glyphs: the same width.
        ASSERT_EQ(shared.Shape(pair->Font(slot), slot, word).width, want) << word.size();
      }
  SegmentShaper one;
  EXPECT_NE(one.Width(pairs[0]->Font(FontSlot::kLatin), FontSlot::kLatin, words[4].second),
            one.Width(pairs[1]->Font(FontSlot::kLatin), FontSlot::kLatin, words[4].second));
}

}  // namespace
}  // namespace kestrix::arabtext
