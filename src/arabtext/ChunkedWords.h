// Shapes long words in chunks, so that measuring a word as it grows ("a", "aa", "aaa", ...)
// or as a letter is typed into its middle reshapes only the chunks around the change, and
// drawing a part of it shapes only the chunks that part shows.
//
// A word is cut only where cutting changes nothing: at a cluster start where shaping the
// text on either side separately, each with the other as context, gives the same glyphs
// and positions as shaping them together. That holds where HarfBuzz reports the position
// safe to break, or where shaping both sides of a window around it reproduces the window
// exactly (joined Arabic letters are always reported unsafe, yet shaping them with context
// keeps their forms). Which positions are cut depends on the word's bytes alone, and
// measuring and drawing use the same cuts, so a word is drawn as wide as it measures
// whatever was measured before.
//
// The positions tried are chosen by the bytes just before them (a hash that hits about once
// in kGrid positions), not by their distance from the word's start: a letter typed into the
// middle of a word moves the later cuts with the text, so the chunks after it keep their
// widths. Only a stretch with no hit for kMaxChunk bytes (one letter repeated, say) falls
// back to trying every position.
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "arabtext/ByteClass.h"
#include "arabtext/ShapeRun.h"

namespace kestrix::arabtext {

class LoadedFont;
struct PlacedGlyph;

class ChunkedWords {
 public:
  // Words up to this length are shaped whole.
  static constexpr size_t kMinBytes = 128;
  // About one position in kGrid is tried as a cut; none closer than kMinChunk to the previous
  // cut, and every one kMaxChunk or more past it.
  static constexpr size_t kGrid = 64;
  static constexpr size_t kMinChunk = 32;
  static constexpr size_t kMaxChunk = 96;
  // Bytes before a position that decide whether it is tried.
  static constexpr size_t kHashBytes = 4;
  // Positions each side of a cut that are shaped to check it, and context code points
  // passed beyond every shaped range.
  static constexpr size_t kWindow = 16;
  static constexpr size_t kContext = 8;
  // How far past a position the decision whether to cut there looks.
  static constexpr size_t kReach = kWindow + kContext;

  ChunkedWords();
  ~ChunkedWords();
  ChunkedWords(const ChunkedWords&) = delete;
  ChunkedWords& operator=(const ChunkedWords&) = delete;

  // The width of a word longer than kMinBytes.
  int32_t Width(const LoadedFont& font, FontSlot slot, std::string_view word);
  // Its glyphs, left to right, placed as the chunks are; returns the same width.
  int32_t Shape(const LoadedFont& font, FontSlot slot, std::string_view word,
                std::vector<PlacedGlyph>& glyphs);
  // The glyphs of the chunks that reach into [left, right) (pixels from the word's left end),
  // placed as Shape places them; returns the word's width.
  int32_t ShapeSpan(const LoadedFont& font, FontSlot slot, std::string_view word, int64_t left,
                    int64_t right, std::vector<PlacedGlyph>& glyphs);
  // Where it is cut into chunks.
  std::vector<uint32_t> CutsOf(const LoadedFont& font, FontSlot slot, std::string_view word) {
    return Layout(font, slot, word).cuts;
  }
  // Code points passed to HarfBuzz so far, for tests to count the work an edit costs.
  uint64_t ShapedCodePoints() const { return shapedCodePoints_; }

 private:
  // A word's cuts and the width of the chunks before each.
  struct Memo {
    uint32_t font = 0;
    uint8_t slot = 0;
    RunStyle style;
    std::string text;
    std::vector<uint32_t> cuts;
    std::vector<int64_t> widthBefore;  // of the chunks before cuts[i]
    int64_t lastWidth = 0;             // of the chunk after the last cut
    uint64_t lastUse = 0;

    int64_t Width() const { return (widthBefore.empty() ? 0 : widthBefore.back()) + lastWidth; }
  };

  // The cuts of word and the widths of its chunks, worked out from the memo that shares most
  // of its bytes. An edit of a kept word takes that word's place; another word sharing much
  // with one is worked out aside; any other word replaces the word used longest ago.
  const Memo& Layout(const LoadedFont& font, FontSlot slot, std::string_view word);
  // Fills out with word's layout, taking from `from` (may be null) what its common start
  // (prefix bytes) and end (suffix bytes) decide.
  void Resolve(hb_font_t* font, const RunStyle& style, std::string_view word, const Memo* from,
               size_t prefix, size_t suffix, Memo& out);
  bool IsTried(std::string_view word, size_t at, size_t lastCut) const;
  bool IsSafeCut(hb_font_t* font, const RunStyle& style, std::string_view word, size_t at);
  // Shapes word[begin, end) with its context into buffer_.
  void ShapeChunk(hb_font_t* font, const RunStyle& style, std::string_view word, size_t begin,
                  size_t end);
  void CopyGlyphs(std::vector<hb_glyph_info_t>& infos, std::vector<hb_glyph_position_t>& positions);

  hb_buffer_t* buffer_;
  std::array<Memo, 4> memos_;
  Memo aside_;  // a word laid out without being kept
  Memo next_;   // a layout being worked out
  uint64_t clock_ = 0;
  uint64_t shapedCodePoints_ = 0;
  std::vector<uint32_t> codePoints_;
  std::vector<hb_glyph_info_t> windowInfos_, pieceInfos_;
  std::vector<hb_glyph_position_t> windowPositions_, piecePositions_;
};

}  // namespace kestrix::arabtext
