#include "arabtext/LineRenderer.h"

#include <cstdint>

namespace arabtext {

int32_t LineRenderer::Draw(DeviceContext& dc, int32_t x, int32_t baseline, const FontPair& fonts,
                           std::string_view text, bool rightToLeftDefault) {
  segments_.clear();
  SplitSegments(text, 0, false, fonts.Classes(), segments_);
  const std::vector<OrderedSegment>& order = visualOrder_.Order(text, segments_, rightToLeftDefault);

  int64_t pen = x;
  for (const OrderedSegment& placed : order) {
    const Segment& s = segments_[placed.index];
    if (s.kind == SegmentKind::kInvisible) continue;
    const LoadedFont& font = fonts.Font(s.slot);
    const std::string_view bytes = text.substr(s.begin, s.end - s.begin);
    const int64_t left = pen;
    const ShapedSegment* shaped = &shaper_.Shape(font, s.slot, bytes);
    const int32_t width = shaped->width;
    const auto byte = static_cast<uint8_t>(bytes[0]);
    const uint8_t mirrored = fonts.Classes().mirror[byte];
    if (s.kind == SegmentKind::kSingle && placed.level % 2 == 1 && mirrored != byte) {
      // A bracket inside right-to-left text shows its mirror image, in the space the
      // measured character takes.
      const auto mirrorByte = static_cast<char>(mirrored);
      shaped = &shaper_.Shape(font, s.slot, std::string_view(&mirrorByte, 1));
    }
    DrawGlyphs(dc, left, baseline, font, *shaped);

    const SlotStyle& style = fonts.Style(s.slot);
    const FontMetrics& m = font.Metrics();
    if (style.underline) DrawBar(dc, left, width, int64_t{baseline} + m.underlineOffset, m.underlineThickness);
    if (style.strikeOut) DrawBar(dc, left, width, int64_t{baseline} - m.strikeOffset, m.strikeThickness);
    pen += width;
  }
  return static_cast<int32_t>(pen - x);
}

namespace {

// Pixels far outside the coordinate range are skipped rather than wrapped around.
void Blend(DeviceContext& dc, int64_t x, int64_t y, uint8_t coverage) {
  if (x < INT32_MIN || x > INT32_MAX || y < INT32_MIN || y > INT32_MAX) return;
  dc.BlendText(static_cast<int>(x), static_cast<int>(y), coverage);
}

}  // namespace

void LineRenderer::DrawGlyphs(DeviceContext& dc, int64_t left, int32_t baseline, const LoadedFont& font,
                              const ShapedSegment& shaped) {
  for (const PlacedGlyph& g : shaped.glyphs) {
    // The glyph cache is separate from the shaper's, so `shaped` stays valid here.
    const GlyphBitmap& bitmap = glyphs_.Get(font, g.glyph);
    const int64_t originX = left + g.x + bitmap.left;
    const int64_t originY = int64_t{baseline} - g.y - bitmap.top;
    for (int row = 0; row < bitmap.rows; ++row) {
      const uint8_t* coverage = bitmap.coverage.data() + static_cast<size_t>(row) * static_cast<size_t>(bitmap.width);
      for (int col = 0; col < bitmap.width; ++col)
        if (coverage[col]) Blend(dc, originX + col, originY + row, coverage[col]);
    }
  }
}

void LineRenderer::DrawBar(DeviceContext& dc, int64_t left, int32_t width, int64_t top, int32_t thickness) {
  for (int32_t row = 0; row < thickness; ++row)
    for (int32_t col = 0; col < width; ++col) Blend(dc, left + col, top + row, 255);
}

}  // namespace arabtext
