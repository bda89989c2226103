// The highlight follows the moving end of a selection gesture: along its line by inverting the
// strip swept since the last point, across lines by recomputing the spans of the lines it
// leaves, passes and reaches.
#include <algorithm>

#include "control/KestrixCtrl.h"

void CKestrixCtrl::TrackMovingEnd(int n) {
  if (!ChangeActiveLine(n)) ExtendWithinLine(n);
  if (n == m_SelAnchorLine) m_SelDirection = 0;
}

int CKestrixCtrl::ChangeActiveLine(int n) {
  if (m_SelActiveLine <= 0 || n == m_SelActiveLine) return 0;
  // The spans of a line change use the last x seen on the old line.
  m_SelCurX = m_SelPrevX;
  ExtendAcrossLines(n, m_SelActiveLine);
  GotoLine(m_SelActiveLine);
  MoveActiveLine(n);
  SetPivot(n, m_SelDirection);
  return 1;
}

void CKestrixCtrl::ExtendAcrossLines(int n, int a) {
  // After an automatic scroll the walk starts below the view.
  const LineRecord* last = m_Lines.At(m_LastVisible);
  if (m_SelDirection == 2 && last && last->m_Highlighted && a != m_LastVisible) a = m_LastVisible + 1;
  const int anchor = m_SelAnchorLine;
  if (n > a + 1) {
    if (n > anchor && a < anchor) {
      for (int i = a; i <= anchor - 1; ++i) ClearLineHighlight(i);
      m_SelActiveLine = anchor;
      a = anchor - 1;
    }
    while (a < n - 1) MoveActiveLine(++a);
  } else if (n < a - 1) {
    if (n < anchor && a > anchor) {
      for (int i = a; i >= anchor + 1; --i) ClearLineHighlight(i);
      m_SelActiveLine = anchor;
      a = anchor + 1;
    }
    while (a > n + 1) MoveActiveLine(--a);
  }
}

void CKestrixCtrl::MoveActiveLine(int n) {
  const int o = m_SelActiveLine;
  m_SelActiveLine = n;
  LoadLineAsCurrent(o);
  const bool further = (m_SelDirection == 1 && o > n) || (m_SelDirection == 2 && o < n);
  if (o == m_SelAnchorLine || further) {
    UpdateLineHighlight(o);
  } else if (m_SelDirection == 1 || m_SelDirection == 2) {
    // Coming back toward the anchor: the line left behind leaves the selection.
    ClearLineHighlight(o);
  }
  UpdateLineHighlight(n);
}

void CKestrixCtrl::SetPivot(int n, int d) {
  const LineRecord* record = m_Lines.At(n);
  if (!record) return;
  LoadLineAsCurrent(n);
  const int L = m_LineLeft, R = m_LineRight;
  m_SelPrevX = m_SelCurX;
  m_SelPrevY = m_SelCurY;
  if (n == m_SelAnchorLine) {
    m_SelPivotX = m_SelAnchorX;
    if (d == 0 && (record->m_Direction == 0 || record->m_Direction == 1))
      m_SelPrevX = m_SelCurX = record->m_Direction == 1 ? R : L;
    return;
  }
  if (record->m_Direction != 0 && record->m_Direction != 1) return;
  const bool rtl = record->m_Direction == 1;
  // The edge of the line at which the selection enters it.
  if (d == 2)
    m_SelPivotX = rtl ? R : L;
  else
    m_SelPivotX = rtl ? L : R;
}

void CKestrixCtrl::ExtendWithinLine(int n) {
  LineRecord* record = m_Lines.At(n);
  if (!record) return;
  m_SelActiveLine = n;
  LoadLineAsCurrent(n);
  m_CharIndex = IndexFromX(m_SelCurX);
  const int x = CaretXFromIndex();
  m_LineStartX = x;
  m_SelCurX = x;
  const int L = m_LineLeft, R = m_LineRight;
  int lo = std::min(m_SelPrevX, x), hi = std::max(m_SelPrevX, x);
  // A strip outside the line's text changes nothing.
  if ((lo <= L && hi <= L) || (lo >= R && hi >= R)) return;
  lo = std::max(lo, L);
  hi = std::min(hi, R);
  InvertBand(lo, hi, BandTop(*record), BandBottom(*record));
  record->m_Highlighted = 1;
  NoteHighlighted(n);
  // The record holds what the screen shows, which stops at the line's text: a press beyond the
  // end of the text leaves the pivot outside it.
  record->m_HighlightLeft = std::clamp(m_SelPivotX, std::min(L, R), std::max(L, R));
  record->m_HighlightRight = std::clamp(m_SelCurX, std::min(L, R), std::max(L, R));
  m_SelPrevX = m_SelCurX;
}
