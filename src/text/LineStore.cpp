// The line store: lines by number, the working copy of the current line, offsets, saved
// positions, and the reset to one empty line.
#include <algorithm>
#include <limits>

#include "control/KestrixCtrl.h"

namespace kestrix {

namespace {
int ClampToInt(int64_t v) {
  return static_cast<int>(std::clamp<int64_t>(v, std::numeric_limits<int>::min(),
                                              std::numeric_limits<int>::max()));
}
}  // namespace

LineRecord* CKestrixCtrl::LineAt(int n) {
  m_CurLine = n;
  return m_Lines.At(n);
}

void CKestrixCtrl::LoadLine(int n) {
  const LineRecord* record = m_Lines.At(n);
  if (!record) return;
  m_LineY = LineBottom(n);
  m_LineStartX = record->m_StartX;
  m_LineText = record->m_Chars;
  m_SpaceFreeLine = 0;
  m_LineDir = m_ReadingOrder;
  m_LineLength = static_cast<int>(m_LineText.size());
  ComputeLineExtents();
}

void CKestrixCtrl::GotoLine(int n) {
  if (n <= 0 || m_Lines.Empty()) return;
  // A line number past the end (it may come from the host) means the last line.
  n = std::min(n, m_Lines.Count());
  m_CurLine = n;
  LoadLine(n);
  if (m_CharIndex > m_LineLength) m_CharIndex = m_LineLength;
  // The caret never stands after a hard break.
  if (m_CharIndex == m_LineLength && m_LineText.find('\r') != CString::npos)
    m_CharIndex = m_LineLength - 1;
}

void CKestrixCtrl::StoreLine() {
  LineRecord* record = LineAt(m_CurLine);
  if (!record) return;
  m_Lines.SetChars(m_CurLine, m_LineText);
  if (m_Busy == 1) record->m_Direction = DetectLineDirection();
}

void CKestrixCtrl::NewLine(int n, BOOL insert) {
  if (!m_MultiLines && n > 1) return;
  auto record = std::make_unique<LineRecord>();
  m_LineY += m_LineHeight;
  m_LineStartX = m_LineDir == 1 ? m_LineRight : m_LineLeft;
  record->m_StartX = m_LineStartX;
  record->m_Direction = m_ReadingOrder;
  if (insert && n >= 1 && n <= m_Lines.Count()) {
    m_Lines.InsertBefore(n, std::move(record));
  } else {
    // Appended: the new line's number is the count, whatever number was asked for.
    m_Lines.Append(std::move(record));
    n = m_Lines.Count();
  }
  m_LineText.clear();
  m_SpaceFreeLine = 0;
  m_LineLength = 0;
  m_CharIndex = 0;
  m_CurLine = n;
  SetFirstVisible(m_FirstVisible);
  if (m_CurLine - m_FirstVisible + 1 > m_VisibleLines) ScrollLineDown();
  ShowOrHideScrollBar();
  UpdateScrollInfo();
  // Setting the range puts the thumb at 0; it goes back to where the view is.
  SyncScrollPos();
}

CString CKestrixCtrl::GetText() {
  PushPosition(TRUE);
  CString text;
  text.reserve(static_cast<size_t>(m_Lines.PrefixLength(m_Lines.Count())));
  for (int n = 1; n <= m_Lines.Count(); ++n) text += m_Lines.At(n)->m_Chars;
  PopPosition();
  return text;
}

uint64_t CKestrixCtrl::TextRevision() {
  if (m_Busy != 0) return 0;
  if (m_Lines.At(m_CurLine)) StoreLine();
  return m_Lines.Revision();
}

int CKestrixCtrl::OffsetFromIndex(int index) {
  PushPosition(TRUE);
  int64_t result = index + m_Lines.LengthBefore(m_CurLine);
  PopPosition();
  return ClampToInt(result);
}

// Going to lines 1..k in turn loads line k and leaves the caret index clamped by every one of
// them; the running totals give the same end state without loading the lines before k.
int CKestrixCtrl::IndexFromOffset(int offset) {
  m_LineLength = 0;
  if (offset < 0) offset = 0;  // an offset before the text means its start
  int count = m_Lines.Count();
  int64_t total = 0;
  if (count > 0) {
    int last = std::min(m_Lines.FirstLineEndingAfter(offset), count);
    int64_t limit = m_Lines.PrefixCaretLimit(last - 1);
    if (m_CharIndex > limit) m_CharIndex = static_cast<int>(limit);
    GotoLine(last);
    total = m_Lines.PrefixLength(last);
  }
  int64_t target = offset;
  if (total < target) target = total;  // an offset beyond the text means its end
  return ClampToInt(target - total + m_LineLength);
}

int CKestrixCtrl::LineFromOffset(int offset) {
  int count = m_Lines.Count();
  if (count <= 1 || offset <= 0) return 1;
  // The walk stops at the first line whose running total reaches the offset, or before the
  // last line; a boundary offset belongs to the following line.
  int visited = std::min(m_Lines.FirstLineEndingAfter(static_cast<int64_t>(offset) - 1), count - 1);
  int result = visited;
  if (m_Lines.PrefixLength(visited) <= offset) result = visited + 1;
  int64_t limit = m_Lines.PrefixCaretLimit(visited - 1);
  if (m_CharIndex > limit) m_CharIndex = static_cast<int>(limit);
  GotoLine(visited);
  return std::min(result, count);
}

// A lookup only: the current line stays as it is, so that it never names a line other than
// the one in the working copy. A y in the gap between two lines' bands belongs to the line
// above it.
int CKestrixCtrl::LineFromY(int y) {
  LineRecord* first = m_Lines.At(m_FirstVisible);
  if (!first) return std::clamp(m_FirstVisible, 1, std::max(1, m_Lines.Count()));
  const int64_t firstY = LineBottom(m_FirstVisible);
  int64_t d = static_cast<int64_t>(y) + firstY - m_LineHeight;
  if (d < firstY - m_Ascent) return m_FirstVisible;
  for (int n = m_FirstVisible; n <= m_LastVisible; ++n) {
    LineRecord* record = m_Lines.At(n);
    if (!record) break;
    if (d < LineBottom(n) - m_Ascent) return n - 1;
    if (d < LineBottom(n) + m_Descent) return n;
  }
  return std::min(m_LastVisible, m_Lines.Count());
}

void CKestrixCtrl::PushPosition(BOOL store) {
  if (store) StoreLine();
  m_PositionStack.push_back(SavedPosition{m_pDC ? 1 : 0, m_LineStartX, m_LineY, m_CurLine,
                                          m_FirstVisible, m_LastVisible, m_CharIndex});
}

void CKestrixCtrl::PopPosition() {
  if (m_PositionStack.empty()) return;  // an unpaired pop restores nothing
  SavedPosition saved = m_PositionStack.back();
  if (saved.hadDC) AcquireDC();
  m_LineStartX = saved.lineStartX;
  m_LineY = saved.lineY;
  m_FirstVisible = saved.firstVisible;
  m_CurLine = saved.curLine;
  m_LastVisible = saved.lastVisible;
  m_CharIndex = saved.charIndex;
  if (m_CurLine > m_Lines.Count()) m_CurLine = m_Lines.Count();
  GotoLine(m_CurLine);
  m_PositionStack.pop_back();
}

void CKestrixCtrl::LayoutTextRect() {
  GetClientRect(&m_TextRect);
  if (m_ReadingOrder == 1)
    m_TextRect.left += m_ScrollBarWidth;
  else
    m_TextRect.right -= m_ScrollBarWidth;
  m_LineRight = m_TextRect.right - m_Margin;
  m_LineLeft = m_TextRect.left + m_Margin;
}

void CKestrixCtrl::ResetLines() {
  m_CurLine = m_FirstVisible = m_LastVisible = 1;
  m_LineY = m_CharIndex = m_LineLength = m_CharCount = m_ScrollOffset = 0;
  m_Margin = 5;
  m_ScrollBarWidth = kScrollBarWidth;
  // A context still held is given back rather than forgotten, so that none is ever lost;
  // callers that need one afterwards take their own.
  ReleaseHeldDC();
  m_Busy = 0;
  m_LineText.clear();
  LayoutTextRect();
  // A font too small for a line height of one pixel leaves room for one line.
  m_VisibleLines = m_LineHeight > 0 ? m_TextRect.Height() / m_LineHeight : 1;
  if (m_VisibleLines <= 0) m_VisibleLines = 1;
  ClearSelectionBlock();
  FreeLines();
  // The first line starts at the reading order's end, as every loaded line does.
  m_LineDir = m_ReadingOrder;
  NewLine(1, FALSE);
  ShowOrHideScrollBar();
}

void CKestrixCtrl::FreeLines() { m_Lines.Clear(); }

void CKestrixCtrl::ClearSelectionBlock() {
  m_SelPivotX = m_SelAnchorX = m_SelAnchorLine = m_SelActiveLine = 0;
  m_SelStart = m_SelLength = m_Selecting = m_SelPrevX = m_SelPrevY = 0;
  m_SelCurX = m_SelCurY = m_SelDirection = 0;
  m_SelAnchorOffset = 0;
  m_HighlightLow = m_HighlightHigh = 0;
  m_ShownFrom = m_ShownTo = 0;
  // A gesture whose anchor is gone is over: later moves must not extend a selection from it.
  m_MouseDown = FALSE;
}

void CKestrixCtrl::ScrollCaretIntoView() {
  int before = m_FirstVisible;
  if (m_CurLine > m_LastVisible) SetFirstVisible(m_CurLine - m_VisibleLines + 1);
  if (m_CurLine < m_FirstVisible) SetFirstVisible(m_CurLine);
  if (m_FirstVisible != before) PaintLines(m_FirstVisible, m_LastVisible);
  UpdateCaret();
}

}  // namespace kestrix
