// Shapes long words in chunks, so that measuring a word as it grows ("a", "aa", "aaa", ...)
// reshapes only its end instead of the whole word each time.
//
// A word is cut only where cutting changes nothing: at a cluster start where shaping the
// text on either side separately, each with the other as context, gives the same glyphs
// and positions as shaping them together. That holds where HarfBuzz reports the position
// safe to break, or where shaping both sides of a window around it reproduces the window
// exactly (joined Arabic letters are always reported unsafe, yet shaping them with context
// keeps their forms). Which positions are cut depends on the word's bytes alone, and
// measuring and drawing use the same cuts, so a word is drawn as wide as it measures
// whatever was measured before.
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "arabtext/ByteClass.h"
#include "arabtext/ShapeRun.h"

namespace arabtext {

class LoadedFont;
struct PlacedGlyph;

class ChunkedWords {
 public:
  // Words up to this length are shaped whole.
  static constexpr size_t kMinBytes = 128;
  // A cut is looked for in the first kSearch positions from each multiple of kGrid.
  static constexpr size_t kGrid = 64;
  static constexpr size_t kSearch = 16;
  // Positions each side of a cut that are shaped to check it, and context code points
  // passed beyond every shaped range.
  static constexpr size_t kWindow = 16;
  static constexpr size_t kContext = 8;

  ChunkedWords();
  ~ChunkedWords();
  ChunkedWords(const ChunkedWords&) = delete;
  ChunkedWords& operator=(const ChunkedWords&) = delete;

  // The width of a word longer than kMinBytes.
  int32_t Width(const LoadedFont& font, FontSlot slot, std::string_view word);
  // Its glyphs, left to right, placed as the chunks are; returns the same width.
  int32_t Shape(const LoadedFont& font, FontSlot slot, std::string_view word,
                std::vector<PlacedGlyph>& glyphs);
  // Where it is cut into chunks.
  std::vector<uint32_t> CutsOf(const LoadedFont& font, FontSlot slot, std::string_view word) {
    bool known = false;
    return Cut(font, slot, word, known).cuts;
  }

 private:
  // The cuts found in a word measured earlier, with the width of the chunks before each,
  // and the next position to try as a cut.
  struct Memo {
    uint32_t font = 0;
    uint8_t slot = 0;
    std::string text;
    std::vector<uint32_t> cuts;
    std::vector<int64_t> widthBefore;
    size_t scan = kGrid;
    int32_t width = 0;  // of the whole text, once measured
    bool measured = false;
    uint64_t lastUse = 0;
  };

  // The memo holding the cuts of word, brought up to date.
  // known tells that the memo already holds the word and its width.
  Memo& Cut(const LoadedFont& font, FontSlot slot, std::string_view word, bool& known);
  bool IsSafeCut(hb_font_t* font, const RunStyle& style, std::string_view word, size_t at);
  // Shapes word[begin, end) with its context into buffer_.
  void ShapeChunk(hb_font_t* font, const RunStyle& style, std::string_view word, size_t begin,
                  size_t end);
  void CopyGlyphs(std::vector<hb_glyph_info_t>& infos, std::vector<hb_glyph_position_t>& positions);

  hb_buffer_t* buffer_;
  std::array<Memo, 4> memos_;
  uint64_t clock_ = 0;
  std::vector<uint32_t> codePoints_;
  std::vector<hb_glyph_info_t> windowInfos_, pieceInfos_;
  std::vector<hb_glyph_position_t> windowPositions_, piecePositions_;
};

}  // namespace arabtext
