#include "arabtext/LineRenderer.h"

#include <algorithm>
#include <cstdint>

#include "arabtext/BidiLevels.h"
#include "framework/text/CommonEnds.h"

namespace kestrix::arabtext {

int32_t LineRenderer::Draw(DeviceContext& dc, int32_t x, int32_t baseline, const FontPair& fonts,
                           std::string_view text, bool rightToLeftDefault) {
  clip_.Reset(dc.ClipRects());
  const Arranged& arranged = Arrange(fonts, text, rightToLeftDefault);

  int64_t pen = x;
  for (const OrderedSegment& placed : arranged.order) {
    const Segment& s = arranged.segments[placed.index];
    if (s.kind == SegmentKind::kInvisible) continue;
    const LoadedFont& font = fonts.Font(s.slot);
    const std::string_view bytes = text.substr(s.begin, s.end - s.begin);
    const int64_t left = pen;
    // Glyphs ink at most a few times the font's height beyond their advance, so a segment
    // whose advance lies farther than that from the clip shows nothing: it needs its width
    // alone, which measuring has cached, and is not shaped into glyphs. A long line in a
    // small window is thus shaped only where the window shows it.
    const FontMetrics& metrics = font.Metrics();
    const int64_t reach = 4 * (int64_t{metrics.ascent} + metrics.descent) + 64;
    const int32_t advance = shaper_.Width(font, s.slot, bytes);
    if (!clip_.Touches({left - reach, int64_t{baseline} - reach, left + advance + reach, int64_t{baseline} + reach})) {
      pen += advance;
      continue;
    }
    // Of a long word, only the chunks near the clip are shaped.
    const PixelBox& clip = clip_.Bounds();
    const ShapedSegment* shaped = &shaper_.ShapeSpan(font, s.slot, bytes, clip.left - left - reach,
                                                     clip.right - left + reach);
    const int32_t width = shaped->width;
    const auto byte = static_cast<uint8_t>(bytes[0]);
    const uint8_t mirrored = fonts.Classes().mirror[byte];
    if (s.kind == SegmentKind::kSingle && placed.level % 2 == 1 && mirrored != byte) {
      // A bracket inside right-to-left text shows its mirror image, in the space the
      // measured character takes.
      const auto mirrorByte = static_cast<char>(mirrored);
      shaped = &shaper_.Shape(font, s.slot, std::string_view(&mirrorByte, 1));
    }
    // Glyphs may hang past the segment's advance, so it is the ink that decides.
    const SegmentInk& ink = InkOf(font, *shaped);
    if (clip_.Touches({left + ink.left, baseline + ink.top, left + ink.right, baseline + ink.bottom}))
      DrawGlyphs(dc, left, baseline, font, *shaped);

    const SlotStyle& style = fonts.Style(s.slot);
    if (style.underline)
      DrawBar(dc, left, width, int64_t{baseline} + metrics.underlineOffset, metrics.underlineThickness);
    if (style.strikeOut) DrawBar(dc, left, width, int64_t{baseline} - metrics.strikeOffset, metrics.strikeThickness);
    pen += width;
  }
  return static_cast<int32_t>(pen - x);
}

bool LineRenderer::KnownAsOneWord(const FontPair& fonts, std::string_view text, bool rightToLeftDefault) {
  return text.size() > kKeptBytes && long_.lastUse != 0 && long_.segments.size() == 1 &&
         long_.pair == fonts.Serial() && long_.rightToLeftDefault == rightToLeftDefault &&
         Reuse(long_, fonts.Classes(), text);
}

const LineRenderer::Arranged& LineRenderer::Arrange(const FontPair& fonts, std::string_view text,
                                                    bool rightToLeftDefault) {
  if (text.size() > kKeptBytes) {
    if (long_.lastUse != 0 && long_.pair == fonts.Serial() && long_.rightToLeftDefault == rightToLeftDefault &&
        Reuse(long_, fonts.Classes(), text))
      return long_;
    long_.pair = fonts.Serial();
    long_.rightToLeftDefault = rightToLeftDefault;
    long_.text.assign(text);
    long_.segments.clear();
    SplitSegments(text, 0, false, fonts.Classes(), long_.segments);
    long_.order = visualOrder_.Order(text, long_.segments, rightToLeftDefault);
    long_.lastUse = ++clock_;
    return long_;
  }
  Arranged* oldest = &arranged_[0];
  for (Arranged& a : arranged_) {
    if (a.lastUse != 0 && a.pair == fonts.Serial() && a.rightToLeftDefault == rightToLeftDefault && a.text == text) {
      a.lastUse = ++clock_;
      return a;
    }
    if (a.lastUse < oldest->lastUse) oldest = &a;
  }
  Arranged& a = *oldest;
  a.pair = fonts.Serial();
  a.rightToLeftDefault = rightToLeftDefault;
  a.text.assign(text);
  a.segments.clear();
  SplitSegments(text, 0, false, fonts.Classes(), a.segments);
  a.order = visualOrder_.Order(text, a.segments, rightToLeftDefault);
  a.lastUse = ++clock_;
  return a;
}

bool LineRenderer::Reuse(Arranged& a, const ByteClassTable& classes, std::string_view text) {
  const size_t prefix = CommonPrefix(text, a.text);
  if (prefix == text.size() && prefix == a.text.size()) return true;
  const size_t suffix = CommonSuffix(text, a.text, std::min(text.size(), a.text.size()) - prefix);
  const size_t k = WordHoldingEdit(a.segments, classes, a.text, text, prefix, suffix);
  if (k == std::string_view::npos) return false;
  // Letters of one direction put between or taken from letters of that direction change no
  // level either: every segment keeps its place in the visual order.
  const size_t oldEnd = a.text.size() - suffix, newEnd = text.size() - suffix;
  const BidiByte* bidi = BidiBytes();
  const BidiClass side = bidi[static_cast<uint8_t>(text[prefix - 1])].bidiClass;
  if (side != BidiClass::L && side != BidiClass::R && side != BidiClass::AL) return false;
  const auto sameSide = [&](char c) { return bidi[static_cast<uint8_t>(c)].bidiClass == side; };
  if (!std::all_of(text.begin() + static_cast<std::ptrdiff_t>(prefix), text.begin() + static_cast<std::ptrdiff_t>(newEnd) + 1, sameSide) ||
      !std::all_of(a.text.begin() + static_cast<std::ptrdiff_t>(prefix), a.text.begin() + static_cast<std::ptrdiff_t>(oldEnd), sameSide))
    return false;
  const auto shift = static_cast<int64_t>(newEnd) - static_cast<int64_t>(oldEnd);
  a.segments[k].end = static_cast<uint32_t>(a.segments[k].end + shift);
  for (size_t later = k + 1; later < a.segments.size(); ++later) {
    a.segments[later].begin = static_cast<uint32_t>(a.segments[later].begin + shift);
    a.segments[later].end = static_cast<uint32_t>(a.segments[later].end + shift);
  }
  a.text.replace(prefix, oldEnd - prefix, text.substr(prefix, newEnd - prefix));
  a.lastUse = ++clock_;
  return true;
}

const SegmentInk& LineRenderer::InkOf(const LoadedFont& font, const ShapedSegment& shaped) {
  if (shaped.ink) return *shaped.ink;
  SegmentInk ink;
  bool any = false;
  for (const PlacedGlyph& g : shaped.glyphs) {
    const GlyphBox box = glyphs_.Box(font, g.glyph);
    if (box.width <= 0 || box.rows <= 0) continue;
    const int64_t left = int64_t{g.x} + box.left;
    const int64_t top = -int64_t{g.y} - box.top;
    const SegmentInk glyph{left, top, left + box.width, top + box.rows};
    if (!any) {
      ink = glyph;
      any = true;
      continue;
    }
    ink.left = std::min(ink.left, glyph.left);
    ink.top = std::min(ink.top, glyph.top);
    ink.right = std::max(ink.right, glyph.right);
    ink.bottom = std::max(ink.bottom, glyph.bottom);
  }
  return *(shaped.ink = ink);
}

void LineRenderer::DrawGlyphs(DeviceContext& dc, int64_t left, int32_t baseline, const LoadedFont& font,
                              const ShapedSegment& shaped) {
  for (const PlacedGlyph& g : shaped.glyphs) {
    // A glyph rasterised before is clipped by its image. Otherwise the box, which comes
    // from the outline alone, decides first: a glyph outside the clip is never rendered.
    const GlyphBitmap* image = glyphs_.Cached(font, g.glyph);
    if (!image) {
      const GlyphBox box = glyphs_.Box(font, g.glyph);
      const int64_t boxX = left + g.x + box.left;
      const int64_t boxY = int64_t{baseline} - g.y - box.top;
      if (!clip_.Touches({boxX, boxY, boxX + box.width, boxY + box.rows})) continue;
      // The glyph cache is separate from the shaper's, so `shaped` stays valid here.
      image = &glyphs_.Get(font, g.glyph);
    }
    const GlyphBitmap& bitmap = *image;
    const int64_t originX = left + g.x + bitmap.left;
    const int64_t originY = int64_t{baseline} - g.y - bitmap.top;
    const auto stride = static_cast<size_t>(bitmap.width);
    clip_.ForEachPart({originX, originY, originX + bitmap.width, originY + bitmap.rows}, [&](const PixelBox& part) {
      const uint8_t* corner =
          bitmap.coverage.data() + static_cast<size_t>(part.top - originY) * stride + (part.left - originX);
      dc.BlendTextImage(static_cast<int>(part.left), static_cast<int>(part.top), corner,
                        static_cast<int>(part.right - part.left), static_cast<int>(part.bottom - part.top), stride);
    });
  }
}

void LineRenderer::DrawBar(DeviceContext& dc, int64_t left, int32_t width, int64_t top, int32_t thickness) const {
  clip_.ForEachPart({left, top, left + width, top + thickness}, [&](const PixelBox& part) {
    for (int64_t y = part.top; y < part.bottom; ++y)
      for (int64_t x = part.left; x < part.right; ++x) dc.BlendText(static_cast<int>(x), static_cast<int>(y), 255);
  });
}

}  // namespace kestrix::arabtext
