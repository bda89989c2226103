// The selection: a range of absolute offsets, shown by inverting a span of each selected
// line's band. Inverting twice restores the pixels, so the highlight grows, shrinks and goes
// by inverting exactly what changes, and the text is never repainted for it.
#include <algorithm>

#include "control/KestrixCtrl.h"

namespace kestrix {

int CKestrixCtrl::BandTop(int n) const {
  return LineBottom(n) - m_Ascent - m_ScrollOffset + 1;
}

int CKestrixCtrl::BandBottom(int n) const {
  return LineBottom(n) + m_Descent - m_ScrollOffset;
}

// A line partly below the view is on the screen too, and keeps what was inverted there.
bool CKestrixCtrl::BandOnScreen(int n) const {
  CRect client;
  GetClientRect(&client);
  return BandBottom(n) - m_BaselineLift > 0 && BandTop(n) - m_BaselineLift < client.bottom;
}

void CKestrixCtrl::NoteHighlighted(int n) {
  m_HighlightLow = m_HighlightLow > 0 ? std::min(m_HighlightLow, n) : n;
  m_HighlightHigh = std::max(m_HighlightHigh, n);
}

bool CKestrixCtrl::HighlightHidden() const {
  return m_HideSelection && CWnd::GetFocus() != this;
}

// A gesture's highlight (a drag, Shift held with the arrows) may be on the screen while the
// selection's length is still 0.
bool CKestrixCtrl::HighlightStored() const { return m_SelLength != 0 || m_HighlightLow > 0; }

void CKestrixCtrl::InvertSpan(int x1, int x2, int top, int bottom) {
  CRect r(std::min(x1, x2), top - m_BaselineLift, std::max(x1, x2), bottom - m_BaselineLift);
  // The first line in view is painted from the window's top, over whatever part of the line
  // above reaches into it, so no highlight is ever shown above its band: every path that
  // inverts (tracking, scrolling, repaint, focus) then agrees on that strip.
  if (m_Lines.At(m_FirstVisible)) r.top = std::max(r.top, BandTop(m_FirstVisible) - m_BaselineLift);
  if (r.IsRectEmpty()) return;
  bool borrowed = BorrowDC();
  if (m_pDC) m_pDC->InvertRect(&r);
  if (borrowed) ReleaseHeldDC();
}

void CKestrixCtrl::InvertBand(int x1, int x2, int top, int bottom) {
  // A selection hidden while another window has the focus is kept in the records only.
  if (HighlightHidden()) return;
  InvertSpan(x1, x2, top, bottom);
}

void CKestrixCtrl::LoadLineAsCurrent(int n) {
  // The line measured is also the current one, so that the working copy never holds one line
  // while the current line names another; the caret index is kept within it as on any move.
  if (!m_Lines.At(n)) return;
  GotoLine(n);
}

void CKestrixCtrl::InvertShownSpans(const LineRecord& record, int n, bool always) {
  if (!record.m_Highlighted) return;
  // A highlight of one span is inverted as stored, whichever way round and however narrow.
  HighlightSpans spans = record.m_HighlightSpans;
  if (spans.empty()) spans.emplace_back(record.m_HighlightLeft, record.m_HighlightRight);
  for (const auto& [left, right] : spans) {
    if (always)
      InvertSpan(left, right, BandTop(n), BandBottom(n));
    else
      InvertBand(left, right, BandTop(n), BandBottom(n));
  }
}

void CKestrixCtrl::ClearLineHighlight(int n) {
  LineRecord* record = m_Lines.At(n);
  if (!record) return;
  const LineRecord shown = *record;
  ClearHighlight(*record);
  InvertShownSpans(shown, n, false);
}

void CKestrixCtrl::CollapseSelection() {
  // The highlight of a gesture shows before its length is known, so the lines it touched are
  // cleared whenever an anchor was set.
  if (m_SelLength != 0 || m_Selecting || m_HighlightLow > 0) {
    PushPosition(TRUE);
    int from = std::max(1, std::min(m_SelAnchorLine, m_SelActiveLine));
    int to = std::min(m_Lines.Count(), std::max(m_SelAnchorLine, m_SelActiveLine));
    // Every line a highlight was stored on since the last collapse.
    if (m_HighlightLow > 0) {
      from = std::max(1, from > 0 ? std::min(from, m_HighlightLow) : m_HighlightLow);
      to = std::min(m_Lines.Count(), std::max(to, m_HighlightHigh));
    }
    for (int n = from; n <= to; ++n) {
      LineRecord* record = m_Lines.At(n);
      if (BandOnScreen(n))
        ClearLineHighlight(n);
      else
        ClearHighlight(*record);
    }
    PopPosition();
  }
  ClearSelectionBlock();
  m_HighlightLow = m_HighlightHigh = 0;
  m_ShownFrom = m_ShownTo = 0;
  // The caret shows again, but only in a control that has the focus.
  m_HasFocus = CWnd::GetFocus() == this ? TRUE : FALSE;
  DrawCaret();
}

void CKestrixCtrl::InvertVisibleHighlights() {
  for (int n = std::max(m_FirstVisible, 1); n <= std::min(m_LastVisible, m_Lines.Count()); ++n) {
    InvertShownSpans(*m_Lines.At(n), n, true);
  }
}

void CKestrixCtrl::RepaintHighlight() {
  if (HighlightHidden() || m_Busy != 0 || !HighlightStored()) return;
  PushPosition(FALSE);
  InvertVisibleHighlights();
  PopPosition();
}

// The focus has already gone when this runs; the highlight on the screen goes with it, and
// comes back when the focus returns.
void CKestrixCtrl::HideSelectionOnFocusLoss() {
  if (m_HideSelection && HighlightStored() && m_Busy == 0) InvertHighlightsOnScreen();
}

void CKestrixCtrl::ShowSelectionOnFocusGain() {
  if (m_HideSelection && HighlightStored() && m_Busy == 0) InvertHighlightsOnScreen();
}

void CKestrixCtrl::InvertHighlightsOnScreen() {
  for (int n = std::max(m_FirstVisible, 1); n <= m_Lines.Count(); ++n) {
    const LineRecord* record = m_Lines.At(n);
    if (!BandOnScreen(n)) break;
    InvertShownSpans(*record, n, true);
  }
}

// The host's write: a selection that the change shows or hides is inverted on or off the
// screen at once.
void CKestrixCtrl::SetHideSelection(BOOL hide) {
  const bool hiddenBefore = HighlightHidden();
  m_HideSelection = hide;
  SetModifiedFlag(TRUE);
  if (HighlightHidden() != hiddenBefore && HighlightStored() && m_Busy == 0) InvertHighlightsOnScreen();
}

int CKestrixCtrl::XOfOffset(int offset) {
  m_CurLine = LineFromOffset(offset);
  m_CharIndex = IndexFromOffset(offset);
  return CaretXFromIndex();
}

void CKestrixCtrl::SetSelectionRange(int length) {
  CString text = GetText();
  const int size = static_cast<int>(text.size());
  if (m_SelStart < 0 || m_SelStart >= size) return;
  int s = m_SelStart;
  CollapseSelection();
  // The caret hides while the range is selected: left drawn, it would stay where it was while
  // the caret moves to the range's end.
  EraseCaret();
  m_SelStart = s;
  // A negative length selects nothing; with nothing selected the caret goes to the start.
  m_SelLength = std::max(length, 0);
  if (m_SelLength == 0) {
    m_CharIndex = IndexFromOffset(s);
    UpdateCaret();
    return;
  }
  if (m_SelLength > size - s) m_SelLength = size - s;
  int e = s + m_SelLength;
  m_SelAnchorLine = LineFromOffset(s);
  m_SelActiveLine = LineFromOffset(e);
  ShowRange(s, e);
  m_CharIndex = IndexFromOffset(e);
  UpdateCaret();
}

void CKestrixCtrl::SelectAll() {
  CollapseSelection();
  EraseCaret();  // hidden while the selection lasts
  const int64_t total = m_Lines.PrefixLength(m_Lines.Count());
  m_SelAnchorLine = 1;
  m_SelActiveLine = m_Lines.Count();
  m_SelStart = 0;
  m_SelLength = static_cast<int>(std::min<int64_t>(total, INT32_MAX));
  // An empty text has nothing to select: no highlight is left, and the caret shows again.
  if (m_SelLength == 0) {
    CollapseSelection();
    return;
  }
  ShowRange(0, m_SelLength);
}

// The host's writes: a start before the text counts as 0, a negative length as none, and a
// range past the end is cut at the end, so that every later operation sees a valid range.
void CKestrixCtrl::SetSelStart(long start) {
  SetModifiedFlag(TRUE);
  m_History.CloseTyping();
  const int64_t size = m_Lines.PrefixLength(m_Lines.Count());
  int s = static_cast<int>(std::clamp<int64_t>(start, 0, size));
  m_SelStart = s;
  if (m_SelLength == 0) return;
  if (s < size) {
    SetSelectionRange(m_SelLength);
  } else {
    // At the end of the text nothing can be selected.
    CollapseSelection();
    m_SelStart = s;
  }
}

void CKestrixCtrl::SetSelLength(long length) {
  SetModifiedFlag(TRUE);
  m_History.CloseTyping();
  SetSelectionRange(static_cast<int>(std::clamp<long>(length, 0, INT32_MAX)));
}

}  // namespace kestrix
