// One display line of the text, as shown after word wrapping. A line's place follows from its
// number (the bottom of line n's band is n line heights down), so it is not stored.
#pragma once

#include <algorithm>
#include <cstdint>
#include <utility>
#include <vector>

#include "framework/ole/OleTypes.h"

namespace kestrix {

struct LineRecord {
  int32_t m_StartX = 0;         // x of the line's logical start, fixed at creation
  int32_t m_Highlighted = 0;    // the line carries a selection highlight
  int32_t m_HighlightLeft = 0;  // one end of the highlight span
  int32_t m_HighlightRight = 0; // the other end
  int32_t m_Direction = 0;      // 1 right-to-left, 0 left-to-right
  CString m_Chars;              // ends with one CR when the line ends a paragraph
  // When the highlight is several separate spans (a mixed line whose characters are placed
  // where they are drawn), those spans, smaller x first; m_HighlightLeft and Right then
  // hold the outer ends. Empty for a highlight of one span.
  std::vector<std::pair<int32_t, int32_t>> m_HighlightSpans;
};

using HighlightSpans = std::vector<std::pair<int32_t, int32_t>>;

// The spans a line shows highlighted, smaller x first; none when it shows no highlight.
inline HighlightSpans ShownSpans(const LineRecord& r) {
  if (!r.m_Highlighted) return {};
  if (!r.m_HighlightSpans.empty()) return r.m_HighlightSpans;
  const int32_t left = std::min(r.m_HighlightLeft, r.m_HighlightRight);
  const int32_t right = std::max(r.m_HighlightLeft, r.m_HighlightRight);
  if (left == right) return {};
  return {{left, right}};
}

inline void ClearHighlight(LineRecord& r) {
  r.m_Highlighted = r.m_HighlightLeft = r.m_HighlightRight = 0;
  r.m_HighlightSpans.clear();
}

// Stores spans (smaller x first, not empty) as the line's highlight.
inline void StoreHighlight(LineRecord& r, const HighlightSpans& spans) {
  r.m_Highlighted = 1;
  r.m_HighlightLeft = spans.front().first;
  r.m_HighlightRight = spans.back().second;
  if (spans.size() > 1)
    r.m_HighlightSpans = spans;
  else
    r.m_HighlightSpans.clear();
}

// A saved editing position, restored by PopPosition.
struct SavedPosition {
  int32_t hadDC = 0;
  int32_t lineStartX = 0;
  int32_t lineY = 0;
  int32_t curLine = 0;
  int32_t firstVisible = 0;
  int32_t lastVisible = 0;
  int32_t charIndex = 0;
};

}  // namespace kestrix
