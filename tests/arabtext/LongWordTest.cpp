// Words far longer than the chunks they are shaped in: growing them letter by letter, as
// the control does, must measure what a cold library measures, what is drawn, and what
// shaping the word whole gives.
#include <gtest/gtest.h>
#include <hb.h>

#include <algorithm>
#include <string>
#include <vector>

#include "InkHelpers.h"
#include "arabtext/ArabTextLibrary.h"
#include "arabtext/ChunkedWords.h"
#include "arabtext/FontStore.h"
#include "arabtext/LineMeasurer.h"
#include "arabtext/LineRenderer.h"

namespace kestrix::arabtext {
namespace {

using testing::Canvas;
using testing::Cp;
using testing::MakeFont;

// Pieces drawn at random into a word; no spaces, so each script's run stays one segment.
std::string RandomWord(const std::vector<std::string>& pieces, size_t length, uint32_t seed) {
  std::string word;
  while (word.size() < length) {
    seed = seed * 1664525u + 1013904223u;
    word += pieces[(seed >> 16) % pieces.size()];
  }
  word.resize(length);
  return word;
}

std::string LatinWord(size_t length) {
  // Ligatures, kerned pairs and accented letters.
  return RandomWord({"a", "f", "fi", "ffl", "AV", "To", "W", "y", "\xE9", "\xE7", "Q", "x"}, length,
                    7);
}

std::string ArabicWord(size_t length) {
  // Joining and non-joining letters, lam-alef, marks, shadda, tatweel, ZWNJ and ZWJ.
  std::vector<std::string> pieces;
  for (const char* utf8 : {"ب",
                           "م",
                           "لا",
                           "سّ",
                           "كِ",
                           "تَ",
                           "ا",
                           "ة",
                           "ـ",
                           "يٌ",
                           "ع",
                           "ه",
                           "و",
                           "د",
                           "ر",
                           "ًّ",
                           "\xE2\x80\x8C",
                           "\xE2\x80\x8D",
                           "ف",
                           "ق"})
    pieces.push_back(Cp(utf8));
  return RandomWord(pieces, length, 11);
}

std::string MixedWord(size_t length) {
  // Runs of each script and of digits, some longer than a chunk, side by side.
  std::string word;
  uint32_t seed = 3;
  for (int run = 0; word.size() < length; ++run) {
    seed = seed * 1664525u + 1013904223u;
    const size_t runLength = 1 + (seed >> 16) % 300;
    word += run % 3 == 0   ? LatinWord(runLength)
            : run % 3 == 1 ? ArabicWord(runLength)
                           : std::string(runLength % 40 + 1, '7');
  }
  word.resize(length);
  return word;
}

struct WholeGlyph {
  uint32_t glyph;
  int32_t x;
  int32_t y;
  uint32_t cluster;  // index of the byte
  int32_t advance;
};

// The text shaped in one HarfBuzz pass, each advance rounded on its own.
std::vector<WholeGlyph> ShapeWhole(const LoadedFont& font, bool arabic,
                                   const std::u32string& text) {
  hb_buffer_t* buffer = hb_buffer_create();
  for (size_t i = 0; i < text.size(); ++i) hb_buffer_add(buffer, text[i], static_cast<unsigned>(i));
  hb_buffer_set_content_type(buffer, HB_BUFFER_CONTENT_TYPE_UNICODE);
  hb_buffer_set_direction(buffer, arabic ? HB_DIRECTION_RTL : HB_DIRECTION_LTR);
  hb_buffer_set_script(buffer, arabic ? HB_SCRIPT_ARABIC : HB_SCRIPT_LATIN);
  if (arabic) hb_buffer_set_language(buffer, hb_language_from_string("ar", -1));
  hb_buffer_set_flags(buffer,
                      static_cast<hb_buffer_flags_t>(HB_BUFFER_FLAG_BOT | HB_BUFFER_FLAG_EOT));
  hb_shape(font.HbFont(), buffer, nullptr, 0);
  unsigned count = 0;
  const hb_glyph_info_t* info = hb_buffer_get_glyph_infos(buffer, &count);
  const hb_glyph_position_t* pos = hb_buffer_get_glyph_positions(buffer, &count);
  std::vector<WholeGlyph> glyphs;
  int32_t pen = 0;
  for (unsigned i = 0; i < count; ++i) {
    const int32_t advance = (pos[i].x_advance + 32) >> 6;
    glyphs.push_back({info[i].codepoint, pen + ((pos[i].x_offset + 32) >> 6),
                      (pos[i].y_offset + 32) >> 6, info[i].cluster, advance});
    pen += advance;
  }
  hb_buffer_destroy(buffer);
  return glyphs;
}

std::u32string CodePoints(const std::string& bytes) {
  std::u32string text;
  for (char c : bytes) text.push_back(UnicodeFromCp1256(static_cast<uint8_t>(c)));
  return text;
}

int32_t WidthOf(const std::vector<WholeGlyph>& glyphs, uint32_t clusterLimit = UINT32_MAX) {
  int32_t width = 0;
  for (const WholeGlyph& g : glyphs)
    if (g.cluster < clusterLimit) width += g.advance;
  return width;
}

class LongWordTest : public ::testing::Test {
 protected:
  LongWordTest()
      : latin_(MakeFont("Times New Roman")),
        arabic_(MakeFont("Fonta")),
        fonts_(store_.Pair(FontRequestFromLogFont(&latin_), FontRequestFromLogFont(&arabic_))) {}

  int FreshWidth(const std::string& text) {
    ArabTextLibrary fresh;
    fresh.SelectFonts(nullptr, &latin_, &arabic_);
    return fresh.TextExtent(nullptr, text.data(), static_cast<int>(text.size())).cx;
  }

  int DrawnWidth(const std::string& text) {
    SegmentShaper shaper;
    LineRenderer renderer(shaper);
    Canvas canvas(64, 40);
    return renderer.Draw(canvas.dc, 0, 30, *fonts_, text, false);
  }

  // Prefixes worth checking against a cold library: some spread out, and runs of them long
  // enough to end at, just before and just after wherever a cut may fall.
  static std::vector<size_t> CheckedLengths(size_t length) {
    std::vector<size_t> lengths;
    for (size_t n = 1; n <= length; n += 97) lengths.push_back(n);
    for (size_t start = ChunkedWords::kMinChunk; start < length; start += 5 * ChunkedWords::kGrid)
      for (size_t n = start; n < start + ChunkedWords::kMaxChunk + ChunkedWords::kReach + 2 && n <= length; n += 3)
        lengths.push_back(n);
    lengths.push_back(length);
    return lengths;
  }

  LOGFONT latin_;
  LOGFONT arabic_;
  FontStore store_;
  std::shared_ptr<FontPair> fonts_;
};

constexpr size_t kLength = 1500;  // many chunks long

TEST_F(LongWordTest, GrowingWordMeasuresAsAColdLibraryAndAsDrawn) {
  const std::pair<const char*, std::string> words[] = {{"latin", LatinWord(kLength)},
                                                       {"arabic", ArabicWord(kLength)},
                                                       {"mixed", MixedWord(kLength)}};
  for (const auto& [name, word] : words) {
    ArabTextLibrary library;
    library.SelectFonts(nullptr, &latin_, &arabic_);
    auto width = [&](size_t n) {
      return library.TextExtent(nullptr, word.data(), static_cast<int>(n)).cx;
    };
    std::vector<int> grown(word.size() + 1);
    for (size_t n = 1; n <= word.size(); ++n) grown[n] = width(n);
    for (size_t n : CheckedLengths(word.size())) {
      const std::string prefix = word.substr(0, n);
      EXPECT_EQ(grown[n], FreshWidth(prefix)) << name << " " << n;
      EXPECT_EQ(grown[n], DrawnWidth(prefix)) << name << " " << n;
    }
    // Walking back down, and measuring an edited word, reuse less; answers stay the same.
    for (size_t n = word.size(); n > 0; n = n > 89 ? n - 89 : 0)
      EXPECT_EQ(width(n), grown[n]) << name << " " << n;
    std::string edited = word;
    edited[kLength / 2] = edited[kLength / 2 + 7];
    EXPECT_EQ(library.TextExtent(nullptr, edited.data(), static_cast<int>(edited.size())).cx,
              FreshWidth(edited))
        << name;
  }
}

TEST_F(LongWordTest, LongWordsHaveTheGlyphsOfShapingThemWhole) {
  const std::pair<FontSlot, std::string> words[] = {
      {FontSlot::kLatin, LatinWord(kLength)},
      {FontSlot::kLatin, LatinWord(20000)},
      {FontSlot::kArabic, ArabicWord(kLength)},
      {FontSlot::kArabic, std::string(kLength, '\xC8')}};
  for (const auto& [slot, word] : words) {
    const LoadedFont& font = fonts_->Font(slot);
    const std::vector<WholeGlyph> whole =
        ShapeWhole(font, slot == FontSlot::kArabic, CodePoints(word));
    SegmentShaper shaper;
    const ShapedSegment& shaped = shaper.Shape(font, slot, word);
    EXPECT_EQ(shaped.width, WidthOf(whole)) << word.size();
    ASSERT_EQ(shaped.glyphs.size(), whole.size()) << word.size();
    for (size_t i = 0; i < whole.size(); ++i) {
      const PlacedGlyph& g = shaped.glyphs[i];
      ASSERT_TRUE(g.glyph == whole[i].glyph && g.x == whole[i].x && g.y == whole[i].y)
          << "glyph " << i << " of a word of " << word.size();
    }
    SegmentShaper measurer;
    EXPECT_EQ(measurer.Width(font, slot, word), WidthOf(whole));
  }
}

TEST_F(LongWordTest, EditsInsideALongWordMeasureAsShapingItWholeAndReshapeOnlyNearThem) {
  const std::pair<FontSlot, std::string> words[] = {{FontSlot::kLatin, LatinWord(20000)},
                                                    {FontSlot::kArabic, ArabicWord(20000)},
                                                    {FontSlot::kArabic, std::string(3000, '\xC8')},
                                                    {FontSlot::kLatin, std::string(3000, 'a') + "b" + std::string(3000, 'a')}};
  for (const auto& [slot, start] : words) {
    const LoadedFont& font = fonts_->Font(slot);
    const bool periodic = start.find('a') != std::string::npos || start[0] == '\xC8';
    ChunkedWords chunked;
    std::string word = start;
    chunked.Width(font, slot, word);
    uint32_t seed = 5;
    for (int edit = 0; edit < 12; ++edit) {
      seed = seed * 1664525u + 1013904223u;
      const size_t at = 1 + (seed >> 8) % (word.size() - 2);
      if (edit % 3 == 0) {
        word.insert(at, 1, word[at / 2]);
      } else if (edit % 3 == 1) {
        word.erase(at, 1 + edit % 5);
      } else {
        word.insert(at, word.substr(at / 3, 40));
      }
      const uint64_t shapedBefore = chunked.ShapedCodePoints();
      const int32_t width = chunked.Width(font, slot, word);
      const uint64_t shaped = chunked.ShapedCodePoints() - shapedBefore;
      ASSERT_EQ(width, WidthOf(ShapeWhole(font, slot == FontSlot::kArabic, CodePoints(word))))
          << word.size() << " after edit " << edit << " at " << at;
      // The chunks next to the edit, the cuts checked there and the last chunk; text that
      // repeats one pattern may be cut anew up to its end, however far that is.
      if (!periodic) {
        EXPECT_LT(shaped, 40 * ChunkedWords::kGrid) << "edit " << edit << " at " << at;
      }
      // Drawn in part, the word shows the same glyphs where the whole shows them.
      SegmentShaper shaper;
      const ShapedSegment whole = shaper.Shape(font, slot, word);
      const ShapedSegment& part = shaper.ShapeSpan(font, slot, word, whole.width / 2, whole.width / 2 + 300);
      ASSERT_FALSE(part.glyphs.empty());
      EXPECT_LT(part.glyphs.size(), whole.glyphs.size() / 4);
      const auto first = std::find_if(whole.glyphs.begin(), whole.glyphs.end(), [&](const PlacedGlyph& g) {
        return g.x == part.glyphs[0].x && g.glyph == part.glyphs[0].glyph;
      });
      ASSERT_LE(first + static_cast<std::ptrdiff_t>(part.glyphs.size()), whole.glyphs.end());
      for (size_t i = 0; i < part.glyphs.size(); ++i) {
        ASSERT_TRUE(first[i].glyph == part.glyphs[i].glyph && first[i].x == part.glyphs[i].x && first[i].y == part.glyphs[i].y)
            << "glyph " << i << " of the part";
      }
    }
  }
}

TEST_F(LongWordTest, LongWordsAreCutBetweenClustersEvenWhereArabicLettersJoin) {
  // Without cuts every longer prefix would be shaped whole again.
  ChunkedWords chunked;
  const std::pair<FontSlot, std::string> words[] = {
      {FontSlot::kLatin, LatinWord(kLength)},
      {FontSlot::kArabic, ArabicWord(kLength)},
      {FontSlot::kArabic, std::string(kLength, '\xC8')}};
  for (const auto& [slot, word] : words) {
    const std::vector<uint32_t> cuts = chunked.CutsOf(fonts_->Font(slot), slot, word);
    EXPECT_GE(cuts.size(), kLength / ChunkedWords::kGrid / 2) << word.size();
    const std::vector<WholeGlyph> whole =
        ShapeWhole(fonts_->Font(slot), slot == FontSlot::kArabic, CodePoints(word));
    for (uint32_t cut : cuts) {
      // Every glyph of the whole word lies wholly on one side.
      bool clusterStarts = false;
      for (const WholeGlyph& g : whole) clusterStarts = clusterStarts || g.cluster == cut;
      EXPECT_TRUE(clusterStarts) << cut;
    }
  }
}

TEST_F(LongWordTest, TatweelJoinsTheLastLetterOfALongArabicWord) {
  const std::string word = ArabicWord(kLength) + "\xC8";  // ends in a letter that joins both ways
  const std::string tatweel = "\xDC";
  ArabTextLibrary library;
  library.SelectFonts(nullptr, &latin_, &arabic_);
  auto width = [&](const std::string& s) {
    return library.TextExtent(nullptr, s.data(), static_cast<int>(s.size())).cx;
  };
  for (size_t n = 1; n <= word.size(); ++n) width(word.substr(0, n));  // as typed
  const int viaTatweel = width(word + tatweel) - width(tatweel);
  const std::vector<WholeGlyph> whole =
      ShapeWhole(fonts_->Font(FontSlot::kArabic), true, CodePoints(word) + U'\u0640');
  EXPECT_EQ(viaTatweel, WidthOf(whole, static_cast<uint32_t>(word.size())));
  EXPECT_NE(viaTatweel, width(word));
  EXPECT_EQ(FreshWidth(word + tatweel) - FreshWidth(tatweel), viaTatweel);
}

}  // namespace
}  // namespace kestrix::arabtext
