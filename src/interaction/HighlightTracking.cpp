// The highlight follows the range it shows: each line's span is computed from the range's
// offsets, and only the lines whose span changes are inverted, by the difference between the
// old span and the new. The moving end of a gesture is a character boundary, so what the
// screen shows is always the range a release there would select.
#include <algorithm>

#include "control/KestrixCtrl.h"

namespace kestrix {

std::pair<int, int> CKestrixCtrl::SpanOfRange(int n, int from, int to) {
  const LineRecord* record = m_Lines.At(n);
  if (!record || to <= from) return {0, 0};
  const int64_t start = m_Lines.LengthBefore(n);
  const int64_t end = start + static_cast<int64_t>(record->m_Chars.size());
  if (to <= start || from >= end) return {0, 0};
  PushPosition(TRUE);
  LoadLineAsCurrent(n);
  const int L = m_LineLeft, R = m_LineRight;
  const bool rtl = record->m_Direction == 1;
  // The x of a boundary inside the line; the range's ends outside it stand at the line's
  // logical start and end.
  auto xAt = [&](int64_t offset) {
    m_CharIndex = static_cast<int>(offset - start);
    return CaretXFromIndex();
  };
  int a = from <= start ? (rtl ? R : L) : xAt(from);
  int b = to >= end ? (rtl ? L : R) : xAt(to);
  PopPosition();
  // What is shown stops at the line's text.
  const int lo = std::min(L, R), hi = std::max(L, R);
  a = std::clamp(a, lo, hi);
  b = std::clamp(b, lo, hi);
  return {std::min(a, b), std::max(a, b)};
}

HighlightSpans CKestrixCtrl::SpansOfRange(int n, int from, int to) {
  if (!m_VisualCaret) {
    auto [left, right] = SpanOfRange(n, from, to);
    if (left >= right) return {};
    return {{left, right}};
  }
  const LineRecord* record = m_Lines.At(n);
  if (!record || to <= from) return {};
  const int64_t start = m_Lines.LengthBefore(n);
  const int64_t end = start + static_cast<int64_t>(record->m_Chars.size());
  if (to <= start || from >= end) return {};
  PushPosition(TRUE);
  LoadLineAsCurrent(n);
  const int lo = std::min(m_LineLeft, m_LineRight), hi = std::max(m_LineLeft, m_LineRight);
  const auto first = static_cast<int>(std::max<int64_t>(from, start) - start);
  const auto last = static_cast<int>(std::min<int64_t>(to, end) - start);
  HighlightSpans spans = DrawnSpans(first, last, lo, hi);
  PopPosition();
  return spans;
}

std::pair<int, int> CKestrixCtrl::ImpliedRange() {
  if (m_MouseDown && m_Selecting) {
    const int caret = OffsetFromIndex(m_CharIndex);
    return {std::min(m_SelAnchorOffset, caret), std::max(m_SelAnchorOffset, caret)};
  }
  if (m_SelLength <= 0) return {0, 0};
  return {m_SelStart, m_SelStart + m_SelLength};
}

// Inverts the difference between line n's stored span and the one the range gives it, and
// stores the new span.
void CKestrixCtrl::UpdateLineSpan(int n, int from, int to, bool draw) {
  LineRecord* record = m_Lines.At(n);
  if (!record) return;
  const HighlightSpans now = SpansOfRange(n, from, to);
  const HighlightSpans before = ShownSpans(*record);
  if (!now.empty() && now == before) return;
  if (draw && BandOnScreen(n)) {
    const int top = BandTop(n), bottom = BandBottom(n);
    if (now.size() <= 1 && before.size() <= 1) {
      const bool newEmpty = now.empty(), oldEmpty = before.empty();
      const int left = newEmpty ? 0 : now[0].first, right = newEmpty ? 0 : now[0].second;
      const int oldLeft = oldEmpty ? 0 : before[0].first, oldRight = oldEmpty ? 0 : before[0].second;
      // Both spans when they do not meet, else the strips at either end.
      const bool overlap = !newEmpty && !oldEmpty && std::max(left, oldLeft) < std::min(right, oldRight);
      if (!overlap) {
        if (!oldEmpty) InvertBand(oldLeft, oldRight, top, bottom);
        if (!newEmpty) InvertBand(left, right, top, bottom);
      } else {
        InvertBand(oldLeft, left, top, bottom);
        InvertBand(oldRight, right, top, bottom);
      }
    } else {
      // Several spans: what lies in one set and not the other changes, strip by strip.
      std::vector<int> edges;
      for (const auto& [l, r] : now) edges.insert(edges.end(), {l, r});
      for (const auto& [l, r] : before) edges.insert(edges.end(), {l, r});
      std::sort(edges.begin(), edges.end());
      edges.erase(std::unique(edges.begin(), edges.end()), edges.end());
      auto covers = [](const HighlightSpans& spans, int x) {
        return std::any_of(spans.begin(), spans.end(), [x](const auto& s) { return s.first <= x && x < s.second; });
      };
      for (size_t i = 0; i + 1 < edges.size();) {
        if (covers(now, edges[i]) == covers(before, edges[i])) {
          ++i;
          continue;
        }
        size_t j = i + 1;
        while (j + 1 < edges.size() && covers(now, edges[j]) != covers(before, edges[j])) ++j;
        InvertBand(edges[i], edges[j], top, bottom);
        i = j;
      }
    }
  }
  if (now.empty()) {
    ClearHighlight(*record);
  } else {
    StoreHighlight(*record, now);
    NoteHighlighted(n);
  }
}

void CKestrixCtrl::ShowRange(int from, int to, bool draw) {
  if (to < from) std::swap(from, to);
  const int count = m_Lines.Count();
  if (count < 1) return;
  // Finding lines moves the current line; the caret stays where it is.
  PushPosition(TRUE);
  // The lines of a range: those holding its first and its last character.
  auto linesOf = [&](int f, int t) {
    return t > f ? std::pair<int, int>{LineFromOffset(f), LineFromOffset(t - 1)} : std::pair<int, int>{0, -1};
  };
  // What was shown is known only while some highlight is stored since the last collapse.
  const bool anyShown = m_HighlightLow > 0;
  auto [oldLow, oldHigh] = anyShown ? linesOf(m_ShownFrom, m_ShownTo) : std::pair<int, int>{0, -1};
  auto [newLow, newHigh] = linesOf(from, to);
  // Only the lines between the two ranges' first lines and between their last lines can
  // change: a line inside both stays wholly selected, and no line outside the old range holds
  // a highlight.
  std::pair<int, int> stretches[2] = {{newLow, newHigh}, {0, -1}};
  if (oldLow > 0 && newLow > 0) {
    stretches[0] = {std::min(oldLow, newLow), std::max(oldLow, newLow)};
    stretches[1] = {std::min(oldHigh, newHigh), std::max(oldHigh, newHigh)};
  } else if (oldLow > 0) {
    stretches[0] = {oldLow, oldHigh};
  }
  bool borrowed = BorrowDC();
  for (auto [first, last] : stretches)
    for (int n = std::max(first, 1); n <= std::min(last, count); ++n) UpdateLineSpan(n, from, to, draw);
  if (borrowed) ReleaseHeldDC();
  PopPosition();
  m_ShownFrom = from;
  m_ShownTo = to;
}

void CKestrixCtrl::RestateHighlight() {
  // A range none of whose lines showed a span (blanks past a wrapped line's edge) may show
  // one where the lines now stand.
  if (m_HighlightLow <= 0 && m_ShownTo <= m_ShownFrom) return;
  for (int n = m_HighlightLow; n <= std::min(m_HighlightHigh, m_Lines.Count()); ++n)
    if (LineRecord* record = m_Lines.At(n)) ClearHighlight(*record);
  m_HighlightLow = m_HighlightHigh = 0;
  ShowRange(m_ShownFrom, m_ShownTo, false);
}

void CKestrixCtrl::MoveEndTo(int n, int index) {
  if (!m_Lines.At(n)) return;
  GotoLine(n);
  m_CharIndex = index;
  const int x = CaretXFromIndex();
  m_LineStartX = x;
  m_SelCurX = x;
  m_SelPrevX = x;
  m_SelActiveLine = n;
  if (n < m_SelAnchorLine) m_SelDirection = 1;
  if (n > m_SelAnchorLine) m_SelDirection = 2;
  if (n == m_SelAnchorLine) m_SelDirection = 0;
  const int offset = OffsetFromIndex(m_CharIndex);
  ShowRange(m_SelAnchorOffset, offset);
}

}  // namespace kestrix
