// The vertical scroll bar and the range of visible lines.
#include <cstdlib>

#include "control/KestrixCtrl.h"

namespace kestrix {

namespace {
constexpr UINT kScrollBarId = 100;
constexpr DWORD kSbsRightAlign = 0x0004;
}  // namespace

void CKestrixCtrl::CreateScrollBar() {
  // A second run (Clear) replaces the earlier child window instead of leaving it behind.
  if (m_pScrollBar && m_pScrollBar->GetSafeHwnd()) m_pScrollBar->DestroyWindow();
  m_pScrollBar = std::make_unique<CScrollBar>();
  m_pScrollBar->Create(SBS_VERT | kSbsRightAlign, CRect(0, 0, kScrollBarWidth, 100), this, kScrollBarId);
  PlaceScrollBar();
}

void CKestrixCtrl::PlaceScrollBar() {
  if (m_Busy != 0 || !m_pScrollBar || !m_pScrollBar->GetSafeHwnd()) return;
  CRect client;
  GetClientRect(&client);
  int height = client.bottom - client.top + 1;
  int x = m_ReadingOrder == 1 ? client.left : client.right - kScrollBarWidth;
  m_pScrollBar->MoveWindow(x, client.top, kScrollBarWidth, height, TRUE);
}

int CKestrixCtrl::ShowOrHideScrollBar() {
  if (m_Busy != 0 || !m_pScrollBar || !m_pScrollBar->GetSafeHwnd()) return 0;
  int64_t textHeight = static_cast<int64_t>(m_Lines.Count()) * m_LineHeight - m_BaselineLift;
  if (textHeight < m_TextRect.Height()) {
    int before = m_FirstVisible;
    SetFirstVisible(1);
    m_pScrollBar->ShowScrollBar(FALSE);
    // The view went back to the top: the screen and the scroll offset follow it at once, so
    // that no caller leaves the lines drawn where the view no longer is.
    if (before != m_FirstVisible) {
      PaintLines(m_FirstVisible, m_LastVisible);
      UpdateCaret();
    }
    return 0;
  }
  m_pScrollBar->ShowScrollBar(TRUE);
  return 1;
}

void CKestrixCtrl::UpdateScrollInfo() {
  if (m_Lines.Empty() || !m_pScrollBar || !m_pScrollBar->GetSafeHwnd()) return;
  SCROLLINFO info;
  info.cbSize = 28;
  info.fMask = SIF_ALL;
  info.nMin = 0;
  info.nMax = m_Lines.Count() - 1;
  info.nPage = static_cast<UINT>(m_VisibleLines);
  info.nPos = 0;
  info.nTrackPos = 0;
  m_pScrollBar->SetScrollInfo(&info, FALSE);
}

void CKestrixCtrl::SyncScrollPos() {
  if (m_Busy != 0 || !m_pScrollBar || !m_pScrollBar->IsWindowVisible()) return;
  if (m_LastVisible >= m_Lines.Count())
    m_pScrollBar->SetScrollPos(m_Lines.Count(), TRUE);
  else
    m_pScrollBar->SetScrollPos(m_FirstVisible - 1, TRUE);
}

void CKestrixCtrl::UpdateScrollBar() {
  if (m_Busy != 0) return;
  ShowOrHideScrollBar();
  PlaceScrollBar();
  UpdateScrollInfo();
  SyncScrollPos();
}

void CKestrixCtrl::SetFirstVisible(int n) {
  int count = m_Lines.Count();
  if (n > count) n = count;
  if (n < 1) n = 1;
  m_FirstVisible = n;
  m_LastVisible = n + m_VisibleLines - 1;
  if (m_LastVisible > count) m_LastVisible = count;
}

void CKestrixCtrl::UpdateScrollOffset() {
  // LineAt leaves the first visible line current, as callers expect.
  if (LineAt(m_FirstVisible)) m_ScrollOffset = LineBottom(m_FirstVisible) - m_LineHeight;
}

void CKestrixCtrl::ScrollLineUp() {
  if (m_FirstVisible <= 1) return;
  SetFirstVisible(m_FirstVisible - 1);
  if (m_pScrollBar && m_pScrollBar->GetSafeHwnd()) m_pScrollBar->SetScrollPos(m_FirstVisible - 1, TRUE);
  PaintLines(m_FirstVisible, m_LastVisible);
}

void CKestrixCtrl::ScrollLineDown() {
  if (m_FirstVisible >= m_Lines.Count()) return;
  SetFirstVisible(m_FirstVisible + 1);
  if (m_pScrollBar && m_pScrollBar->GetSafeHwnd()) m_pScrollBar->SetScrollPos(m_FirstVisible - 1, TRUE);
  PaintLines(m_FirstVisible, m_LastVisible);
}

void CKestrixCtrl::OnVScroll(UINT code, UINT pos, CScrollBar* scrollBar) {
  COleControl::OnVScroll(code, pos, scrollBar);
  if (!scrollBar || scrollBar != m_pScrollBar.get() || m_Lines.Empty()) return;
  StoreLine();
  switch (code) {
    case SB_LINEUP:
      MoveUp(TRUE);
      break;
    case SB_LINEDOWN:
      MoveDown(FALSE);
      break;
    case SB_PAGEUP:
      PageUp();
      break;
    case SB_PAGEDOWN:
      PageDown();
      break;
    case SB_THUMBPOSITION:
    case SB_THUMBTRACK:
      m_pScrollBar->SetScrollPos(static_cast<int>(pos), TRUE);
      SetFirstVisible(static_cast<int>(pos) + 1);
      Redraw();
      // The caret stays on its line and index; its place on screen follows the text, so it is
      // never left drawn over another line (off the view it is clipped away).
      UpdateCaret();
      break;
    case SB_TOP:
      MoveHome();
      break;
    case SB_BOTTOM:
      MoveEnd();
      break;
    default:
      break;
  }
}

void CKestrixCtrl::OnMouseWheel(UINT, short delta, CPoint) {
  // A text that fits the window has nothing to scroll: the view stays at its first line.
  if (m_Busy != 0 || m_Lines.Empty() || !m_pScrollBar || !m_pScrollBar->IsWindowVisible()) return;
  constexpr int kLinesPerNotch = 3;
  m_WheelRest += delta;
  int notches = m_WheelRest / WHEEL_DELTA;
  if (notches == 0) return;
  m_WheelRest -= notches * WHEEL_DELTA;
  StoreLine();
  EraseCaret();
  for (int i = 0; i < std::abs(notches) * kLinesPerNotch; ++i) {
    if (notches > 0)
      ScrollLineUp();
    else
      ScrollLineDown();
  }
  UpdateCaret();
}

}  // namespace kestrix
