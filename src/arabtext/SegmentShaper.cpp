#include "arabtext/SegmentShaper.h"

#include <hb.h>

#include <algorithm>
#include <climits>

#include "arabtext/BidiLevels.h"
#include "arabtext/LoadedFont.h"
#include "arabtext/ShapeRun.h"

namespace kestrix::arabtext {

SegmentShaper::SegmentShaper(size_t capacity) : buffer_(hb_buffer_create()), cache_(capacity) {}

SegmentShaper::~SegmentShaper() { hb_buffer_destroy(buffer_); }

const ShapedSegment& SegmentShaper::Shape(const LoadedFont& font, FontSlot slot, std::string_view bytes) {
  const Probe probe{font.Serial(), static_cast<uint8_t>(slot), bytes};
  if (ShapedSegment* found = cache_.Find(probe)) return *found;
  ShapedSegment shaped;
  shaped.width = bytes.size() > ChunkedWords::kMinBytes
                     ? std::max(chunked_.Shape(font, slot, bytes, shaped.glyphs), 0)
                     : RunShaper(font, slot, bytes, &shaped.glyphs);
  return cache_.Insert(Key{probe.font, probe.slot, std::string(bytes)}, std::move(shaped));
}

const ShapedSegment& SegmentShaper::ShapeSpan(const LoadedFont& font, FontSlot slot, std::string_view bytes,
                                             int64_t left, int64_t right) {
  if (bytes.size() <= ChunkedWords::kMinBytes) return Shape(font, slot, bytes);
  span_.glyphs.clear();
  span_.ink.reset();
  span_.width = std::max(chunked_.ShapeSpan(font, slot, bytes, left, right, span_.glyphs), 0);
  return span_;
}

int32_t SegmentShaper::Width(const LoadedFont& font, FontSlot slot, std::string_view bytes) {
  // Long words are not kept whole in any cache: a growing word would fill it with every
  // prefix. Their chunks remember what can be reused.
  if (bytes.size() > ChunkedWords::kMinBytes) return std::max(chunked_.Width(font, slot, bytes), 0);
  if (bytes.size() > WidthCache::kMaxKeyBytes) {
    const Probe probe{font.Serial(), static_cast<uint8_t>(slot), bytes};
    if (const int32_t* known = longWidths_.Find(probe)) return *known;
    const ShapedSegment* shaped = cache_.Find(probe);
    const int32_t width = shaped ? shaped->width : RunShaper(font, slot, bytes, nullptr);
    return longWidths_.Insert(Key{probe.font, probe.slot, std::string(bytes)}, width);
  }
  const auto slotByte = static_cast<uint8_t>(slot);
  if (bytes.size() == 1) {
    int32_t& known = SingleWidthsOf(font.Serial(), slotByte).width[static_cast<uint8_t>(bytes[0])];
    if (known == kUnknownWidth) known = RunShaper(font, slot, bytes, nullptr);
    return known;
  }
  int32_t width = 0;
  if (widths_.Find(font.Serial(), slotByte, bytes, width)) return width;
  width = RunShaper(font, slot, bytes, nullptr);
  widths_.Insert(font.Serial(), slotByte, bytes, width);
  return width;
}

SegmentShaper::SingleWidths& SegmentShaper::SingleWidthsOf(uint32_t font, uint8_t slot) {
  SingleWidths* oldest = &singles_[0];
  for (SingleWidths& s : singles_) {
    if (s.lastUse != 0 && s.font == font && s.slot == slot) {
      s.lastUse = ++singleClock_;
      return s;
    }
    if (s.lastUse < oldest->lastUse) oldest = &s;
  }
  oldest->font = font;
  oldest->slot = slot;
  oldest->width.fill(kUnknownWidth);
  oldest->lastUse = ++singleClock_;
  return *oldest;
}

void SegmentShaper::ByteEdges(const LoadedFont& font, FontSlot slot, std::string_view bytes,
                              std::vector<int32_t>& left, std::vector<int32_t>& right) {
  const Probe probe{font.Serial(), static_cast<uint8_t>(slot), bytes};
  if (const Edges* known = edges_.Find(probe)) {
    left = known->left;
    right = known->right;
    return;
  }
  const size_t n = bytes.size();
  const int32_t width = Width(font, slot, bytes);
  left.assign(n, 0);
  right.assign(n, 0);
  if (n == 0) return;
  codePoints_.clear();
  AppendCodePoints(bytes, codePoints_);
  const RunStyle style = RunStyleOf(slot, bytes);
  const bool rightToLeft = style.direction == HB_DIRECTION_RTL;
  ShapeRange(buffer_, font.HbFont(), style, codePoints_, 0, n, true, true);
  unsigned count = 0;
  const hb_glyph_info_t* infos = hb_buffer_get_glyph_infos(buffer_, &count);
  const hb_glyph_position_t* positions = hb_buffer_get_glyph_positions(buffer_, &count);
  // The pixels each cluster's glyphs advance over, keyed by the cluster's first byte.
  std::vector<int32_t> low(n, INT32_MAX), high(n, INT32_MIN);
  std::vector<bool> starts(n, false);
  int32_t pen = 0;
  for (unsigned i = 0; i < count; ++i) {
    const size_t c = std::min<size_t>(infos[i].cluster, n - 1);
    const int32_t advance = static_cast<int32_t>((static_cast<int64_t>(positions[i].x_advance) + 32) >> 6);
    starts[c] = true;
    low[c] = std::min({low[c], pen, pen + advance});
    high[c] = std::max({high[c], pen, pen + advance});
    pen += advance;
  }
  starts[0] = true;
  const BidiByte* bidi = BidiBytes();
  auto isMark = [&](size_t i) { return bidi[static_cast<uint8_t>(bytes[i])].bidiClass == BidiClass::NSM; };
  for (size_t begin = 0; begin < n;) {
    size_t end = begin + 1;
    while (end < n && !starts[end]) ++end;
    int32_t lo = low[begin] <= high[begin] ? low[begin] : 0, hi = low[begin] <= high[begin] ? high[begin] : 0;
    lo = std::clamp(lo, 0, width);
    hi = std::clamp(hi, lo, width);
    size_t letters = 0;
    for (size_t i = begin; i < end; ++i) letters += isMark(i) ? 0 : 1;
    // Letters share the cluster from its leading edge on; a mark takes the trailing edge of
    // what comes before it.
    size_t k = 0;
    int32_t trailing = rightToLeft ? hi : lo;
    for (size_t i = begin; i < end; ++i) {
      if (isMark(i) && (letters > 0 || i > begin)) {
        left[i] = right[i] = trailing;
        continue;
      }
      const size_t parts = std::max<size_t>(letters, 1);
      const auto from = static_cast<int32_t>((hi - lo) * static_cast<int64_t>(k) / static_cast<int64_t>(parts));
      const auto to = static_cast<int32_t>((hi - lo) * static_cast<int64_t>(k + 1) / static_cast<int64_t>(parts));
      if (rightToLeft) {
        left[i] = hi - to;
        right[i] = hi - from;
        trailing = left[i];
      } else {
        left[i] = lo + from;
        right[i] = lo + to;
        trailing = right[i];
      }
      ++k;
    }
    begin = end;
  }
  edges_.Insert(Key{probe.font, probe.slot, std::string(bytes)}, Edges{left, right});
}

int32_t SegmentShaper::RunShaper(const LoadedFont& font, FontSlot slot, std::string_view bytes,
                                 std::vector<PlacedGlyph>* glyphs) {
  codePoints_.clear();
  AppendCodePoints(bytes, codePoints_);
  ShapeRange(buffer_, font.HbFont(), RunStyleOf(slot, bytes), codePoints_, 0, codePoints_.size(), true, true);
  // A segment never advances the pen backwards, whatever a font's positioning says: what
  // follows a segment in a line then never lies before it, which drawing only the part of a
  // long line the window shows relies on.
  return std::max(RoundedWidth(buffer_, 0, glyphs), 0);
}

}  // namespace kestrix::arabtext
