// What the window benchmark decides from a window's pixels alone: whether text has appeared
// since an empty window was seen, and whether a key changed more than the blinking caret.
#pragma once

#include <cstdint>
#include <vector>

namespace kestrix {

namespace bench {

struct Pixels {
  int width = 0;
  int height = 0;
  std::vector<uint32_t> rgb;  // row by row, 0x00RRGGBB
};

// Whether `now` shows lines of text that `empty` (the same program's window on an empty file)
// does not: enough pixel rows, each differing across a good part of the width and crossing many
// edges, that a caret, a scroll bar's thumb, a status bar's figures or a window not yet filled
// cannot account for them. Windows of different sizes (one still being laid out) show no text.
bool ShowsTextBeyond(const Pixels& empty, const Pixels& now);

// Whether `after` differs from `before` by more than a caret's blink: the caret is a stem with a
// flag two pixels to either side, so a blink changes at most five adjacent columns.
bool ChangedBeyondCaret(const Pixels& before, const Pixels& after);

}  // namespace bench

}  // namespace kestrix
