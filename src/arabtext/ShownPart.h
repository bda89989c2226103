// The part of a long line that a clip can show. A window shows a long line from one of its
// ends, so drawing its whole length would split, order and place text nobody sees. A line
// is cut after a word whose last character is strong in the paragraph's direction and where
// no bracket pair spans the cut: the text before such a word's end resolves and reorders
// exactly as it does in the whole line, and in the line's visual order it stands together at
// the paragraph's start (the left of a left-to-right line, the right of a right-to-left one).
#pragma once

#include <cstdint>
#include <functional>
#include <optional>
#include <string_view>
#include <utility>
#include <vector>

#include "arabtext/FontPair.h"
#include "arabtext/Segmenter.h"
#include "arabtext/SegmentShaper.h"

namespace kestrix::arabtext {

struct LinePart {
  size_t begin = 0;  // the part is text[begin, end)
  size_t end = 0;
  int64_t x = 0;  // where its left end is drawn
};

class ShownPart {
 public:
  explicit ShownPart(SegmentShaper& shaper) : shaper_(shaper) {}

  // The start or the end of text, drawn at x, that holds everything the columns
  // [clipLeft, clipRight) can show, or nothing when no such part is found short of the whole
  // line (a window on its middle). lineWidth gives the whole line's measured width.
  std::optional<LinePart> Find(int64_t clipLeft, int64_t clipRight, int32_t x, const FontPair& fonts,
                               std::string_view text, bool rightToLeftDefault,
                               const std::function<int32_t()>& lineWidth);

  // Whether the paragraph runs right to left: its first strong character's direction, else
  // the default.
  static bool RightToLeft(std::string_view text, bool rightToLeftDefault);

 private:
  // Where a start of text at least `needed` wide may end, and its width.
  std::optional<std::pair<size_t, int64_t>> StartPart(const FontPair& fonts, std::string_view text, bool rtl,
                                                      int64_t needed);
  // Where an end of text at least `needed` wide may begin, and its width.
  std::optional<std::pair<size_t, int64_t>> EndPart(const FontPair& fonts, std::string_view text, bool rtl,
                                                    int64_t needed);

  SegmentShaper& shaper_;
  std::vector<Segment> segments_;
  std::vector<bool> pairsClosed_;
};

}  // namespace kestrix::arabtext
