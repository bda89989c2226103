// A scroll-bar child window that draws itself and turns clicks on its arrows, track and thumb
// into WM_VSCROLL messages to its parent.
#pragma once

#include "CWnd.h"

namespace kestrix {

class CScrollBar : public CWnd {
 public:
  BOOL Create(DWORD style, const RECT& rect, CWnd* parent, UINT id);
  BOOL SetScrollInfo(const SCROLLINFO* info, BOOL redraw = TRUE);
  BOOL GetScrollInfo(SCROLLINFO* info, UINT mask = SIF_ALL) const;
  int SetScrollPos(int pos, BOOL redraw = TRUE);
  int GetScrollPos() const;
  void ShowScrollBar(BOOL show = TRUE);
  static CScrollBar* FromHandleScrollBar(HWND hwnd);

  DECLARE_MESSAGE_MAP()
  void OnPaint();
  void OnLButtonDown(UINT flags, CPoint point);
  void OnMouseMove(UINT flags, CPoint point);
  void OnLButtonUp(UINT flags, CPoint point);

 private:
  SCROLLINFO info_;
  bool tracking_ = false;
  int trackOffset_ = 0;
};

}  // namespace kestrix
