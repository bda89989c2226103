#include "arabtext/SegmentShaper.h"

#include <hb.h>

#include "arabtext/Cp1256.h"
#include "arabtext/LoadedFont.h"

namespace arabtext {
namespace {

int32_t RoundPixels(hb_position_t v) { return static_cast<int32_t>((static_cast<int64_t>(v) + 32) >> 6); }

}  // namespace

SegmentShaper::SegmentShaper(size_t capacity) : buffer_(hb_buffer_create()), cache_(capacity) {}

SegmentShaper::~SegmentShaper() { hb_buffer_destroy(buffer_); }

const ShapedSegment& SegmentShaper::Shape(const LoadedFont& font, FontSlot slot, std::string_view bytes) {
  const Probe probe{font.Serial(), static_cast<uint8_t>(slot), bytes};
  if (ShapedSegment* found = cache_.Find(probe)) return *found;
  ShapedSegment shaped;
  shaped.width = RunShaper(font, slot, bytes, &shaped.glyphs);
  return cache_.Insert(Key{probe.font, probe.slot, std::string(bytes)}, std::move(shaped));
}

int32_t SegmentShaper::Width(const LoadedFont& font, FontSlot slot, std::string_view bytes) {
  const auto slotByte = static_cast<uint8_t>(slot);
  const uint64_t hash = WidthCache::Hash(font.Serial(), slotByte, bytes);
  int32_t width = 0;
  if (widths_.Find(font.Serial(), slotByte, bytes, hash, width)) return width;
  if (bytes.size() > WidthCache::kMaxKeyBytes) return Shape(font, slot, bytes).width;
  width = RunShaper(font, slot, bytes, nullptr);
  widths_.Insert(font.Serial(), slotByte, bytes, hash, width);
  return width;
}

int32_t SegmentShaper::RunShaper(const LoadedFont& font, FontSlot slot, std::string_view bytes,
                                 std::vector<PlacedGlyph>* glyphs) {
  static hb_language_t const arabicLanguage = hb_language_from_string("ar", -1);
  codePoints_.clear();
  for (char c : bytes) codePoints_.push_back(UnicodeFromCp1256(static_cast<uint8_t>(c)));

  hb_buffer_clear_contents(buffer_);
  hb_buffer_add_codepoints(buffer_, codePoints_.data(), static_cast<int>(codePoints_.size()), 0,
                           static_cast<int>(codePoints_.size()));
  // Neutrals are shaped left to right even in the Arabic font: HarfBuzz would mirror them
  // in right-to-left buffers, and mirroring is the visual-order step's business.
  const bool arabicWord = slot == FontSlot::kArabic && !bytes.empty() &&
                          BaseByteClasses().kind[static_cast<uint8_t>(bytes[0])] == ByteKind::kArabicWord;
  hb_buffer_set_direction(buffer_, arabicWord ? HB_DIRECTION_RTL : HB_DIRECTION_LTR);
  hb_buffer_set_script(buffer_, slot == FontSlot::kArabic ? HB_SCRIPT_ARABIC : HB_SCRIPT_LATIN);
  if (slot == FontSlot::kArabic) hb_buffer_set_language(buffer_, arabicLanguage);
  hb_buffer_set_flags(buffer_, static_cast<hb_buffer_flags_t>(HB_BUFFER_FLAG_BOT | HB_BUFFER_FLAG_EOT));
  hb_shape(font.HbFont(), buffer_, nullptr, 0);

  unsigned count = 0;
  const hb_glyph_info_t* infos = hb_buffer_get_glyph_infos(buffer_, &count);
  const hb_glyph_position_t* positions = hb_buffer_get_glyph_positions(buffer_, &count);
  if (glyphs) glyphs->reserve(count);
  int32_t pen = 0;
  for (unsigned i = 0; i < count; ++i) {
    if (glyphs)
      glyphs->push_back(
          {infos[i].codepoint, pen + RoundPixels(positions[i].x_offset), RoundPixels(positions[i].y_offset)});
    pen += RoundPixels(positions[i].x_advance);
  }
  return pen;
}

}  // namespace arabtext
