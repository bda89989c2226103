// Shapes segments with HarfBuzz and remembers the results. Each glyph advance is rounded to
// whole pixels on its own, and a segment's width is the sum of those advances: measuring
// and drawing use the very same numbers, so a drawn line is exactly as wide as measured,
// and widths add up the same way however a line is cut into pieces.
#pragma once

#include <array>
#include <climits>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "arabtext/BoundedCache.h"
#include "arabtext/ByteClass.h"
#include "arabtext/ChunkedWords.h"
#include "arabtext/WidthCache.h"

struct hb_buffer_t;

namespace kestrix::arabtext {

class LoadedFont;

struct PlacedGlyph {
  uint32_t glyph = 0;
  int32_t x = 0;  // pixels right of the segment's left end
  int32_t y = 0;  // pixels above the baseline
};

// Where a segment's glyphs ink, relative to its left end on the baseline (rows downward);
// left == right when they ink nothing.
struct SegmentInk {
  int64_t left = 0;
  int64_t top = 0;
  int64_t right = 0;
  int64_t bottom = 0;
};

struct ShapedSegment {
  int32_t width = 0;
  std::vector<PlacedGlyph> glyphs;  // left to right
  // Worked out by the renderer the first time it draws the segment, and kept with the
  // glyphs it depends on, so later paints can pass over segments outside the clip whole.
  mutable std::optional<SegmentInk> ink;
};

class SegmentShaper {
 public:
  // capacity bounds the cached glyph lists; widths have their own bound.
  explicit SegmentShaper(size_t capacity = 4096);
  ~SegmentShaper();
  SegmentShaper(const SegmentShaper&) = delete;
  SegmentShaper& operator=(const SegmentShaper&) = delete;

  // The shaped segment of code page bytes in a font. Arabic-font words are shaped right to
  // left as Arabic; everything else left to right. The reference is valid until the next
  // call.
  const ShapedSegment& Shape(const LoadedFont& font, FontSlot slot, std::string_view bytes);
  // Its width alone, which is all measuring needs: cached apart from the glyphs and
  // computed by the same shaping, so it always equals Shape(...).width. Segments longer
  // than ChunkedWords::kMinBytes are shaped in chunks, the same way for both.
  int32_t Width(const LoadedFont& font, FontSlot slot, std::string_view bytes);
  // The part of a segment that reaches into [left, right) (pixels from its left end): a long
  // segment gives the glyphs of its chunks there alone, a short one all of its glyphs. The
  // width is the whole segment's. The reference is valid until the next call.
  const ShapedSegment& ShapeSpan(const LoadedFont& font, FontSlot slot, std::string_view bytes, int64_t left,
                                 int64_t right);

  size_t CachedWidths() const { return widths_.Size() + longWidths_.Size(); }

 private:
  struct Key {
    uint32_t font;
    uint8_t slot;
    std::string bytes;
  };
  struct Probe {
    uint32_t font;
    uint8_t slot;
    std::string_view bytes;
  };
  struct KeyHash {
    using is_transparent = void;
    size_t operator()(const Key& k) const { return HashOf(k.font, k.slot, k.bytes); }
    size_t operator()(const Probe& k) const { return HashOf(k.font, k.slot, k.bytes); }
    static size_t HashOf(uint32_t font, uint8_t slot, std::string_view bytes) {
      return static_cast<size_t>(WidthCache::Hash(font, slot, bytes));
    }
  };
  struct KeyEqual {
    using is_transparent = void;
    template <typename A, typename B>
    bool operator()(const A& a, const B& b) const {
      return a.font == b.font && a.slot == b.slot && std::string_view(a.bytes) == std::string_view(b.bytes);
    }
  };

  // Shapes bytes whole and returns the width; fills glyphs when asked for them.
  int32_t RunShaper(const LoadedFont& font, FontSlot slot, std::string_view bytes,
                    std::vector<PlacedGlyph>* glyphs);

  // Widths of one-byte segments (spaces, punctuation, a word's first letter), which are a
  // large share of all lookups: an array per font and slot, kept for the fonts used last.
  struct SingleWidths {
    uint32_t font = 0;
    uint8_t slot = 0;
    uint64_t lastUse = 0;
    std::array<int32_t, 256> width;  // kUnknownWidth until measured
  };
  static constexpr int32_t kUnknownWidth = INT32_MIN;
  SingleWidths& SingleWidthsOf(uint32_t font, uint8_t slot);

  hb_buffer_t* buffer_;
  std::vector<uint32_t> codePoints_;
  std::array<SingleWidths, 4> singles_{};
  uint64_t singleClock_ = 0;
  BoundedCache<Key, ShapedSegment, KeyHash, KeyEqual> cache_;
  WidthCache widths_;
  // Widths of segments too long for the width cache's slots yet shaped whole: many more are
  // kept than glyph lists, so a long line measured again finds them all.
  static constexpr size_t kLongWidthCapacity = size_t{1} << 15;
  BoundedCache<Key, int32_t, KeyHash, KeyEqual> longWidths_{kLongWidthCapacity};
  ChunkedWords chunked_;
  ShapedSegment span_;  // the part of a long segment asked for last
};

}  // namespace kestrix::arabtext
