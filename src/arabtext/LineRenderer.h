// Draws a line: its segments in visual order from the left end, each segment's glyphs at
// the positions measuring counted, blended in the context's text colour. Only what lies in
// the context's clip is visited: a long line in a large font in a small window costs what
// the window shows, not what the line holds.
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "arabtext/ClipBands.h"
#include "arabtext/FontPair.h"
#include "arabtext/GlyphCache.h"
#include "arabtext/SegmentShaper.h"
#include "arabtext/Segmenter.h"
#include "arabtext/VisualOrder.h"
#include "framework/gdi/DeviceContext.h"

namespace kestrix::arabtext {

class LineRenderer {
 public:
  explicit LineRenderer(SegmentShaper& shaper) : shaper_(shaper) {}

  // Whether text is a long line known to be one segment: drawn last, or since edited inside
  // its word. Drawing any part of it costs what drawing the whole does.
  bool KnownAsOneWord(const FontPair& fonts, std::string_view text, bool rightToLeftDefault);

  // Returns the advance drawn, which equals the line's measured width.
  int32_t Draw(DeviceContext& dc, int32_t x, int32_t baseline, const FontPair& fonts, std::string_view text,
               bool rightToLeftDefault);

 private:
  const SegmentInk& InkOf(const LoadedFont& font, const ShapedSegment& shaped);
  void DrawGlyphs(DeviceContext& dc, int64_t left, int32_t baseline, const LoadedFont& font,
                  const ShapedSegment& shaped);
  void DrawBar(DeviceContext& dc, int64_t left, int32_t width, int64_t top, int32_t thickness) const;

  // A line's segments and their visual order. A keystroke that wraps draws the same lines
  // more than once, so the last few lines drawn are kept, those up to kKeptBytes long.
  struct Arranged {
    uint32_t pair = 0;
    bool rightToLeftDefault = false;
    std::string text;
    std::vector<Segment> segments;
    std::vector<OrderedSegment> order;
    uint64_t lastUse = 0;
  };
  const Arranged& Arrange(const FontPair& fonts, std::string_view text, bool rightToLeftDefault);
  // Brings a long line's arrangement up to text when an edit inside one word leaves every
  // segment in its visual place; false, leaving it alone, otherwise.
  bool Reuse(Arranged& a, const ByteClassTable& classes, std::string_view text);

  SegmentShaper& shaper_;
  GlyphCache glyphs_;
  VisualOrder visualOrder_;
  static constexpr size_t kKeptBytes = 4096;
  std::array<Arranged, 4> arranged_;
  Arranged long_;  // a longer line, arranged afresh unless an edit inside a word made it
  uint64_t clock_ = 0;
  ClipBands clip_;  // the clip of the context being drawn on
};

}  // namespace kestrix::arabtext
