#include "arabtext/SegmentShaper.h"

#include <hb.h>

#include <algorithm>

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
