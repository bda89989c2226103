#include "arabtext/ClipBands.h"

namespace kestrix::arabtext {

void ClipBands::Reset(const std::vector<RECT>& rects) {
  bands_.clear();
  spans_.clear();
  edges_.clear();
  bounds_ = PixelBox{};
  for (const RECT& r : rects)
    if (r.left < r.right && r.top < r.bottom) {
      edges_.push_back(r.top);
      edges_.push_back(r.bottom);
    }
  std::sort(edges_.begin(), edges_.end());
  edges_.erase(std::unique(edges_.begin(), edges_.end()), edges_.end());

  for (size_t e = 0; e + 1 < edges_.size(); ++e) {
    const int64_t top = edges_[e];
    const int64_t bottom = edges_[e + 1];
    const size_t first = spans_.size();
    for (const RECT& r : rects)
      if (r.left < r.right && r.top <= top && r.bottom >= bottom) spans_.push_back({r.left, r.right});
    if (spans_.size() == first) continue;
    std::sort(spans_.begin() + static_cast<ptrdiff_t>(first), spans_.end(),
              [](const Span& a, const Span& b) { return a.left < b.left; });
    size_t end = first;
    for (size_t i = first + 1; i < spans_.size(); ++i) {
      if (spans_[i].left <= spans_[end].right)
        spans_[end].right = std::max(spans_[end].right, spans_[i].right);
      else
        spans_[++end] = spans_[i];
    }
    spans_.resize(end + 1);

    // A band that continues the one above with the same spans is merged into it.
    if (!bands_.empty()) {
      Band& above = bands_.back();
      const bool sameSpans =
          above.bottom == top && above.endSpan - above.firstSpan == spans_.size() - first &&
          std::equal(spans_.begin() + static_cast<ptrdiff_t>(first), spans_.end(),
                     spans_.begin() + static_cast<ptrdiff_t>(above.firstSpan),
                     [](const Span& a, const Span& b) { return a.left == b.left && a.right == b.right; });
      if (sameSpans) {
        above.bottom = bottom;
        spans_.resize(first);
        continue;
      }
    }
    bands_.push_back({top, bottom, first, spans_.size()});
  }

  if (bands_.empty()) return;
  bounds_ = {INT64_MAX, bands_.front().top, INT64_MIN, bands_.back().bottom};
  for (const Span& span : spans_) {
    bounds_.left = std::min(bounds_.left, span.left);
    bounds_.right = std::max(bounds_.right, span.right);
  }
}

}  // namespace kestrix::arabtext
