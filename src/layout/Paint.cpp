// Painting lines: the background band, then the whole trimmed line in one text call.
#include <algorithm>

#include "control/KestrixCtrl.h"

namespace kestrix {

namespace {
bool IsTrailingSpace(char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n' || c == '\v' || c == '\f'; }
}  // namespace

void CKestrixCtrl::PaintCurrentLine() {
  if (m_Busy != 0 || !m_pDC) return;
  std::string_view s = m_LineText;
  while (!s.empty() && IsTrailingSpace(s.back())) s.remove_suffix(1);
  ComputeLineExtents();
  const int width = s.size() == m_LineText.size() ? m_LineWidth : TextExtent(s).cx;
  int x = XFromWidth(width, 0);
  int y = m_LineY - m_BaselineLift - m_ScrollOffset;
  bool scrollBarHidden = !m_pScrollBar || !m_pScrollBar->IsWindowVisible();
  // From the client's left edge past the text and the scroll bar's strip, and one strip more
  // while the bar is hidden.
  const int bandWidth = m_TextRect.Width() + m_ScrollBarWidth + (scrollBarHidden ? m_ScrollBarWidth : 0);
  CRect band(0, y - m_Ascent, bandWidth, y + m_Descent);
  if (m_CurLine == m_FirstVisible) band.top = 0;
  CString masked;
  if (m_PasswordChar > 0) {
    masked.assign(s);
    MaskPassword(masked);
    s = masked;
  }
  CBrush brush(m_BackColor);
  m_pDC->FillRect(&band, &brush);
  brush.DeleteObject();
  m_pDC->SetTextColor(TranslateColor(m_ForeColor));
  m_TextLib->aTextOut(m_pDC->GetSafeHdc(), x, y, s.data(), static_cast<int32_t>(s.size()));
}

void CKestrixCtrl::PaintLines(int first, int last) {
  if (m_Lines.Empty() || m_Busy != 0) return;
  // Only lines in the view are painted, whatever range is asked for: drawing the others would
  // show nothing and cost time in proportion to the text.
  int from = std::max({first, m_FirstVisible, 1});
  int to = std::min({last, m_LastVisible, m_Lines.Count()});
  bool lastLineShown = m_LastVisible == m_Lines.Count();
  if (from > to && first != m_FirstVisible && !lastLineShown) return;
  PushPosition(FALSE);
  if (first == m_FirstVisible) UpdateScrollOffset();
  AcquireDC();
  for (int n = from; n <= to; ++n) {
    GotoLine(n);
    PaintCurrentLine();
  }
  if (lastLineShown) {
    GotoLine(m_LastVisible);
    FillBelowText(m_LineY - m_BaselineLift - m_ScrollOffset + m_Descent);
  }
  ReleaseHeldDC();
  PopPosition();
  RepaintHighlight();
  // The repaint may have covered the caret: it is drawn again where it stands. Once the view
  // has moved, its place is another line's, and the caret shows again when it is next placed.
  if (m_CaretShown) {
    if (m_CaretDrawnOffset == m_ScrollOffset)
      DrawCaret();
    else
      m_CaretShown = FALSE;
  }
}

void CKestrixCtrl::FillBelowText(int top) {
  CRect below = m_TextRect;
  below.top = top;
  // A hidden scroll bar's strip is filled too, on whichever side it stands, so that no
  // image of the bar is left behind.
  if (!m_pScrollBar || !m_pScrollBar->IsWindowVisible()) {
    if (m_ReadingOrder == 1)
      below.left -= m_ScrollBarWidth;
    else
      below.right += m_ScrollBarWidth;
  }
  if (m_pDC && below.bottom > below.top) {
    CBrush brush(m_BackColor);
    m_pDC->FillRect(&below, &brush);
    brush.DeleteObject();
  }
}

void CKestrixCtrl::RepaintStoredLine(int n) {
  if (n < m_FirstVisible || n > m_LastVisible) return;
  LineRecord* record = m_Lines.At(n);
  if (!record || !m_pDC) return;
  CString text = m_LineText;
  int length = m_LineLength, y = m_LineY, startX = m_LineStartX, dir = m_LineDir;
  int left = m_LineLeft, right = m_LineRight, current = m_CurLine;
  LoadLine(n);
  m_CurLine = n;
  PaintCurrentLine();
  m_LineText = std::move(text);
  m_LineLength = length;
  m_LineY = y;
  m_LineStartX = startX;
  m_LineDir = dir;
  m_LineLeft = left;
  m_LineRight = right;
  m_CurLine = current;
}

void CKestrixCtrl::MaskPassword(CString& s) const {
  for (char& c : s) c = static_cast<char>(m_PasswordChar & 0xFF);
}

void CKestrixCtrl::OnDraw(CDC* dc, const CRect& bounds, const CRect& /*invalid*/) {
  if (dc) {
    CBrush brush(m_BackColor);
    dc->FillRect(&bounds, &brush);
    brush.DeleteObject();
  }
  PaintLines(m_FirstVisible, m_LastVisible);
}

}  // namespace kestrix
