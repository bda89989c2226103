// Caret positions where the characters are drawn (VisualCaret on). The text library says
// where each character of a line stands as it draws it; the caret of index i > 0 stands on
// the trailing edge of character i - 1 (its right edge in a left-to-right run, its left edge
// in a right-to-left one) and that of index 0 on the leading edge of the first character. At a
// boundary between runs of different directions the same rule holds, and no other.
#include <algorithm>
#include <cstdlib>

#include "control/KestrixCtrl.h"

namespace kestrix {

namespace {

bool IsTrailingSpace(char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n' || c == '\v' || c == '\f'; }

// The caret never stands after a line's CR.
int LastCaretIndex(const CString& text) {
  const auto length = static_cast<int>(text.size());
  return text.find('\r') != CString::npos ? length - 1 : length;
}

}  // namespace

CKestrixCtrl::DrawnLine CKestrixCtrl::LayOutDrawnLine() {
  DrawnLine line;
  line.rightToLeft = m_ReadingOrder != 0;
  bool borrowed = BorrowDC();
  ComputeLineExtents();
  // Placed as PaintCurrentLine places the line: the text without its trailing white space
  // starts at x, and that white space stands beyond it at the paragraph's end.
  CString trimmed = m_LineText;
  while (!trimmed.empty() && IsTrailingSpace(trimmed.back())) trimmed.pop_back();
  const int x = XFromWidth(TextExtent(trimmed).cx, 0);
  if (!m_LineText.empty()) {
    CString shown = m_LineText;
    if (m_PasswordChar > 0) MaskPassword(shown);
    line.chars.resize(shown.size());
    HDC hdc = m_pDC ? m_pDC->GetSafeHdc() : nullptr;
    line.rightToLeft = m_TextLib->aDrawnChars(hdc, shown.data(), static_cast<int32_t>(shown.size()), line.chars.data());
    int shift = x;
    if (!trimmed.empty()) {
      int leftmost = line.chars[0].left;
      for (size_t i = 0; i < trimmed.size(); ++i) leftmost = std::min(leftmost, line.chars[i].left);
      shift = x - leftmost;
    } else if (line.rightToLeft) {
      int width = 0;
      for (const DrawnChar& c : line.chars) width = std::max(width, c.right);
      shift = x - width;
    }
    for (DrawnChar& c : line.chars) {
      c.left += shift;
      c.right += shift;
    }
  }
  if (borrowed) ReleaseHeldDC();
  return line;
}

int CKestrixCtrl::DrawnCaretX(const DrawnLine& line, int index) const {
  if (line.chars.empty()) return XFromWidth(0, 0);
  const auto count = static_cast<int>(line.chars.size());
  index = std::clamp(index, 0, count);
  if (index == 0) return line.chars[0].rightToLeft ? line.chars[0].right : line.chars[0].left;
  const DrawnChar& before = line.chars[static_cast<size_t>(index - 1)];
  return before.rightToLeft ? before.left : before.right;
}

bool CKestrixCtrl::DrawnCaretRunsRightToLeft(const DrawnLine& line, int index) const {
  if (line.chars.empty()) return line.rightToLeft;
  const auto count = static_cast<int>(line.chars.size());
  index = std::clamp(index, 0, count);
  return line.chars[static_cast<size_t>(index > 0 ? index - 1 : 0)].rightToLeft;
}

int CKestrixCtrl::DrawnIndexFromX(int x) {
  const DrawnLine line = LayOutDrawnLine();
  const int last = LastCaretIndex(m_LineText);
  int best = 0;
  long long bestDistance = -1;
  for (int i = 0; i <= last; ++i) {
    const long long distance = std::llabs(static_cast<long long>(DrawnCaretX(line, i)) - x);
    if (bestDistance < 0 || distance < bestDistance) {
      best = i;
      bestDistance = distance;
    }
  }
  return best;
}

HighlightSpans CKestrixCtrl::DrawnSpans(int from, int to, int left, int right) {
  const DrawnLine line = LayOutDrawnLine();
  HighlightSpans boxes;
  const auto count = static_cast<int>(line.chars.size());
  for (int i = std::max(from, 0); i < std::min(to, count); ++i) {
    const DrawnChar& c = line.chars[static_cast<size_t>(i)];
    const int l = std::clamp(c.left, left, right), r = std::clamp(c.right, left, right);
    if (l < r) boxes.emplace_back(l, r);
  }
  std::sort(boxes.begin(), boxes.end());
  HighlightSpans spans;
  for (const auto& box : boxes) {
    if (!spans.empty() && box.first <= spans.back().second)
      spans.back().second = std::max(spans.back().second, box.second);
    else
      spans.push_back(box);
  }
  return spans;
}

bool CKestrixCtrl::MoveToDrawnNeighbour(bool rightwards) {
  const DrawnLine line = LayOutDrawnLine();
  const int last = LastCaretIndex(m_LineText);
  const int here = DrawnCaretX(line, m_CharIndex);
  int best = -1, bestX = 0;
  for (int i = 0; i <= last; ++i) {
    const int x = DrawnCaretX(line, i);
    if (rightwards ? x <= here : x >= here) continue;
    if (best < 0 || (rightwards ? x < bestX : x > bestX)) {
      best = i;
      bestX = x;
    }
  }
  if (best >= 0) {
    m_CharIndex = best;
    return true;
  }
  // Past the line's edge the reading order decides, not the line's own direction, so that a
  // walk over lines of both directions never turns back: the way it reads goes on to the next
  // line's start, the other way back to the previous line's end.
  const bool forward = rightwards == (m_ReadingOrder == 0);
  const int lineStart = OffsetFromIndex(0);
  if (forward) {
    if (m_CurLine >= m_Lines.Count()) return false;
    m_CharIndex = IndexFromOffset(lineStart + static_cast<int>(m_LineText.size()));
  } else {
    if (lineStart <= 0) return false;
    m_CharIndex = IndexFromOffset(lineStart - 1);
  }
  return true;
}

void CKestrixCtrl::SetVisualCaret(BOOL visual) {
  visual = visual ? TRUE : FALSE;
  if (visual != m_VisualCaret) {
    m_VisualCaret = visual;
    // The highlight's spans and the caret move to where the new rule puts them.
    RestateHighlight();
    PaintLines(m_FirstVisible, m_LastVisible);
    UpdateCaret();
  }
  SetModifiedFlag(TRUE);
}

}  // namespace kestrix
