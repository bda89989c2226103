// The caret: a one-pixel stem with a small flag at its top pointing in the reading direction.
// It is erased by repainting the current line.
#include "control/KestrixCtrl.h"

namespace kestrix {

namespace {
constexpr unsigned int kBlinkTimerId = 100;
}

void CKestrixCtrl::UpdateCaretSize() {
  m_CaretHeight = (m_Ascent * 3) / 4;
  UpdateCaret();
}

void CKestrixCtrl::UpdateCaret() {
  if (m_Busy != 0) return;
  EraseCaret();
  int x = CaretXFromIndex();
  m_CaretX = x;
  m_LineStartX = x;
  m_CaretY = m_LineY - m_ScrollOffset - m_BaselineLift;
  DrawCaret();
}

void CKestrixCtrl::DrawCaret() {
  if (!m_HasFocus || m_BlinkTimer != kBlinkTimerId || m_SelLength != 0) return;
  bool borrowed = BorrowDC();
  if (m_pDC) {
    CPen pen(PS_SOLID, 1, RGB(0, 0, 0));
    CPen* previous = m_pDC->SelectObject(&pen);
    int x = m_CaretX, y = m_CaretY, h = m_CaretHeight;
    int top = y - h + 1;
    m_pDC->MoveTo(x, y);
    m_pDC->LineTo(x, top);
    m_pDC->LineTo(m_ReadingOrder == 0 ? x + 2 : x - 2, top);
    m_pDC->LineTo(x, y - static_cast<int>(h * 0.8));
    m_pDC->SelectObject(previous);
    pen.DeleteObject();
  }
  if (borrowed) ReleaseHeldDC();
  m_CaretShown = TRUE;
  m_CaretDrawnOffset = m_ScrollOffset;
}

void CKestrixCtrl::EraseCaret() {
  if (!m_HasFocus || !m_CaretShown || m_SelLength != 0) return;
  bool borrowed = BorrowDC();
  // Every scroll repaints the view, so a caret drawn before the last scroll is gone already,
  // and its place now shows another line.
  if (m_pDC && m_CaretDrawnOffset == m_ScrollOffset) {
    // The stem and its flag, which reaches two pixels to either side.
    CRect mark(m_CaretX - 2, m_CaretY - m_CaretHeight - 1, m_CaretX + 3, m_CaretY + 1);
    CBrush brush(m_BackColor);
    m_pDC->FillRect(&mark, &brush);
    brush.DeleteObject();
    // The caret may have been drawn on the line it has just left, or on a line that typing has
    // since renumbered: the line now standing where it was drawn is repainted.
    if (m_LineHeight > 0) {
      int there = (m_CaretY + m_ScrollOffset + m_BaselineLift) / m_LineHeight;
      if (there != m_CurLine) RepaintStoredLine(there);
    }
  }
  PaintCurrentLine();
  if (borrowed) ReleaseHeldDC();
  m_CaretShown = FALSE;
}

}  // namespace kestrix
