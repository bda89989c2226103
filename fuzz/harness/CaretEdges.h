// The caret's x against the text library's own layout of the caret's line, worked out here
// rather than by the control's caret arithmetic. Positions on a line are logical: the caret
// stands as far from the line's measured end (its left end, or its right end when the line is
// right-aligned, or centred and read right to left) as the characters before it are wide, in
// the shapes they take in the line. With the fixed-metric library those widths are its glyph
// boxes, laid side by side; with the shipped library they are the widths of the line's words
// and single characters, each asked of the library, the caret's own word cut at the caret with
// its last letter in the form it takes before what follows. The ends of the line are the
// edges of the whole line as the library measures it, placed by the alignment.
#pragma once

#include <optional>
#include <string>

#include "framework/WinTypes.h"

namespace kestrix {

class CKestrixCtrl;

namespace fuzzing {

// Checks one control after each step. What the check depends on is remembered, and a step that
// changed none of it (the clock, a property the layout does not use) is not measured again.
class CaretEdges {
 public:
  // fixedMetrics: the control measures with the fixed-metric library.
  explicit CaretEdges(bool fixedMetrics) : fixedMetrics_(fixedMetrics) {}
  // Empty when the caret stands where its line's layout puts it (or the control has no caret
  // position to check: no window, a rebuild or hit test under way), else what differs.
  std::string Check(CKestrixCtrl& c);

 private:
  struct Seen {
    std::string line;
    int caret = 0, caretX = 0, alignment = 0, lineDir = 0, readingOrder = 0, scrollBar = 0;
    RECT client{};
    LOGFONT latin{}, arabic{};
    bool operator==(const Seen& o) const;
  };
  const bool fixedMetrics_;
  std::optional<Seen> lastKept_;
};

}  // namespace fuzzing

}  // namespace kestrix
