// One HarfBuzz pass over a range of a word's code points, the code points around the range
// serving as context, and the pixel width of the result. Shaping a whole word and shaping
// it in pieces go through here, so both use the very same settings.
#pragma once

#include <hb.h>

#include <cstdint>
#include <string_view>
#include <vector>

#include "arabtext/ByteClass.h"

namespace kestrix::arabtext {

struct PlacedGlyph;

struct RunStyle {
  hb_direction_t direction = HB_DIRECTION_LTR;
  hb_script_t script = HB_SCRIPT_LATIN;
  bool arabicLanguage = false;
};

// Arabic-font words are shaped right to left as Arabic; everything else left to right.
RunStyle RunStyleOf(FontSlot slot, std::string_view word);

void AppendCodePoints(std::string_view bytes, std::vector<uint32_t>& out);

// Shapes codePoints[begin, end) into buffer. startOfWord and endOfWord say whether the range
// starts or ends the word.
void ShapeRange(hb_buffer_t* buffer, hb_font_t* font, const RunStyle& style,
                const std::vector<uint32_t>& codePoints, size_t begin, size_t end, bool startOfWord,
                bool endOfWord);

// The width of the shaped buffer, each advance rounded to whole pixels on its own; appends
// the glyphs placed from pen on when asked for them.
int32_t RoundedWidth(hb_buffer_t* buffer, int32_t pen, std::vector<PlacedGlyph>* glyphs);

// How many glyphs have been written into glyph lists in this process, counting those copied
// again when a list grew: the work laying out a long word does, for tests to count.
uint64_t GlyphsCopied();

}  // namespace kestrix::arabtext
