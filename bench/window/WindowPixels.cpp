#include "WindowPixels.h"

#include <algorithm>

namespace kestrix {

namespace bench {
namespace {

constexpr int kCaretColumns = 5;
// About four lines of text at the editors' usual sizes.
constexpr int kTextRows = 30;
constexpr int kTextEdges = 12;

bool SameSize(const Pixels& a, const Pixels& b) {
  return a.width == b.width && a.height == b.height && a.width > 0 && a.height > 0 &&
         a.rgb.size() == b.rgb.size() && a.rgb.size() == static_cast<size_t>(a.width) * static_cast<size_t>(a.height);
}

}  // namespace

bool ShowsTextBeyond(const Pixels& empty, const Pixels& now) {
  if (!SameSize(empty, now)) return false;
  const int wideEnough = std::max(8, now.width / 16);
  int rows = 0;
  for (int y = 0; y < now.height; ++y) {
    const uint32_t* a = &empty.rgb[static_cast<size_t>(y) * static_cast<size_t>(now.width)];
    const uint32_t* b = &now.rgb[static_cast<size_t>(y) * static_cast<size_t>(now.width)];
    int differing = 0, edges = 0;
    for (int x = 0; x < now.width; ++x) {
      differing += a[x] != b[x];
      edges += x > 0 && b[x] != b[x - 1];
    }
    // A row through text crosses many glyph edges; a window's first fill, or the edge of one
    // being painted, crosses few.
    if (differing >= wideEnough && edges >= kTextEdges && ++rows >= kTextRows) return true;
  }
  return false;
}

bool ChangedBeyondCaret(const Pixels& before, const Pixels& after) {
  if (before.width != after.width || before.height != after.height) return true;
  if (!SameSize(before, after)) return false;
  int left = after.width, right = -1;
  for (int y = 0; y < after.height; ++y) {
    const size_t row = static_cast<size_t>(y) * static_cast<size_t>(after.width);
    for (int x = 0; x < after.width; ++x) {
      if (before.rgb[row + static_cast<size_t>(x)] == after.rgb[row + static_cast<size_t>(x)]) continue;
      left = std::min(left, x);
      right = std::max(right, x);
      if (right - left + 1 > kCaretColumns) return true;
    }
  }
  return false;
}

}  // namespace bench

}  // namespace kestrix
