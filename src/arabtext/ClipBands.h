// The visible part of a drawing context as horizontal bands, each with sorted, disjoint
// column spans, so that drawing visits just the visible pixels of a box, each once, even
// where the context's rectangles overlap.
#pragma once

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <vector>

#include "framework/WinTypes.h"

namespace kestrix::arabtext {

// Columns [left, right) and rows [top, bottom) in client coordinates; wide enough for
// positions far past either end of a long line.
struct PixelBox {
  int64_t left = 0;
  int64_t top = 0;
  int64_t right = 0;
  int64_t bottom = 0;
};

class ClipBands {
 public:
  void Reset(const std::vector<RECT>& rects);

  // The smallest box holding every clip rectangle.
  const PixelBox& Bounds() const { return bounds_; }

  bool Touches(const PixelBox& box) const {
    bool touched = false;
    ForEachPart(box, [&](const PixelBox&) { touched = true; });
    return touched;
  }

  // Calls visit(part) for each visible part of box, in rows top to bottom. The parts are
  // disjoint and lie within some clip rectangle, so their coordinates fit in an int.
  template <typename Visit>
  void ForEachPart(const PixelBox& box, Visit&& visit) const {
    if (box.left >= box.right || box.top >= box.bottom || box.right <= bounds_.left ||
        box.left >= bounds_.right || box.bottom <= bounds_.top || box.top >= bounds_.bottom)
      return;
    for (const Band& band : bands_) {
      if (band.bottom <= box.top) continue;
      if (band.top >= box.bottom) break;
      for (size_t i = band.firstSpan; i < band.endSpan; ++i) {
        const Span& span = spans_[i];
        if (span.right <= box.left) continue;
        if (span.left >= box.right) break;
        visit(PixelBox{std::max(span.left, box.left), std::max(band.top, box.top),
                       std::min(span.right, box.right), std::min(band.bottom, box.bottom)});
      }
    }
  }

 private:
  struct Span {
    int64_t left;
    int64_t right;
  };
  struct Band {
    int64_t top;
    int64_t bottom;
    size_t firstSpan;
    size_t endSpan;
  };

  std::vector<Band> bands_;
  std::vector<Span> spans_;
  std::vector<int64_t> edges_;
  PixelBox bounds_;
};

}  // namespace kestrix::arabtext
