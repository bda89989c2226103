#include "arabtext/ShapeRun.h"

#include "arabtext/Cp1256.h"
#include "arabtext/SegmentShaper.h"

namespace kestrix::arabtext {
namespace {

uint64_t g_glyphsCopied = 0;

int32_t RoundPixels(hb_position_t v) {
  return static_cast<int32_t>((static_cast<int64_t>(v) + 32) >> 6);
}

}  // namespace

uint64_t GlyphsCopied() { return g_glyphsCopied; }

RunStyle RunStyleOf(FontSlot slot, std::string_view word) {
  // Neutrals are shaped left to right even in the Arabic font: HarfBuzz would mirror them
  // in right-to-left buffers, and mirroring is the visual-order step's business.
  const bool arabicWord =
      slot == FontSlot::kArabic && !word.empty() &&
      BaseByteClasses().kind[static_cast<uint8_t>(word[0])] == ByteKind::kArabicWord;
  RunStyle style;
  style.direction = arabicWord ? HB_DIRECTION_RTL : HB_DIRECTION_LTR;
  style.script = slot == FontSlot::kArabic ? HB_SCRIPT_ARABIC : HB_SCRIPT_LATIN;
  style.arabicLanguage = slot == FontSlot::kArabic;
  return style;
}

void AppendCodePoints(std::string_view bytes, std::vector<uint32_t>& out) {
  for (char c : bytes) out.push_back(UnicodeFromCp1256(static_cast<uint8_t>(c)));
}

void ShapeRange(hb_buffer_t* buffer, hb_font_t* font, const RunStyle& style,
                const std::vector<uint32_t>& codePoints, size_t begin, size_t end, bool startOfWord,
                bool endOfWord) {
  static hb_language_t const arabicLanguage = hb_language_from_string("ar", -1);
  hb_buffer_clear_contents(buffer);
  hb_buffer_add_codepoints(buffer, codePoints.data(), static_cast<int>(codePoints.size()),
                           static_cast<unsigned>(begin), static_cast<int>(end - begin));
  hb_buffer_set_direction(buffer, style.direction);
  hb_buffer_set_script(buffer, style.script);
  if (style.arabicLanguage) hb_buffer_set_language(buffer, arabicLanguage);
  unsigned flags = 0;
  if (startOfWord) flags |= HB_BUFFER_FLAG_BOT;
  if (endOfWord) flags |= HB_BUFFER_FLAG_EOT;
  hb_buffer_set_flags(buffer, static_cast<hb_buffer_flags_t>(flags));
  hb_shape(font, buffer, nullptr, 0);
}

int32_t RoundedWidth(hb_buffer_t* buffer, int32_t pen, std::vector<PlacedGlyph>* glyphs) {
  unsigned count = 0;
  const hb_glyph_info_t* infos = hb_buffer_get_glyph_infos(buffer, &count);
  const hb_glyph_position_t* positions = hb_buffer_get_glyph_positions(buffer, &count);
  const int32_t start = pen;
  // The list grows by the vector's own doubling: a word shaped in many chunks appends to it
  // once per chunk, and reserving just enough each time would copy every glyph so far.
  const size_t sizeBefore = glyphs ? glyphs->size() : 0;
  for (unsigned i = 0; i < count; ++i) {
    if (glyphs) {
      if (glyphs->size() == glyphs->capacity()) g_glyphsCopied += glyphs->size();
      glyphs->push_back({infos[i].codepoint, pen + RoundPixels(positions[i].x_offset),
                         RoundPixels(positions[i].y_offset)});
    }
    pen += RoundPixels(positions[i].x_advance);
  }
  if (glyphs) g_glyphsCopied += glyphs->size() - sizeBefore;
  return pen - start;
}

}  // namespace kestrix::arabtext
