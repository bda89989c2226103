// A vertical scroll bar: arrow boxes at both ends, a track between them and a thumb whose size
// and place show the page and the position. It never moves itself on a click: the parent hears
// WM_VSCROLL and sets the new position.
#include "framework/window/CScrollBar.h"

#include <algorithm>

#include "framework/window/CDC.h"
#include "framework/window/Display.h"

namespace kestrix {

namespace {

constexpr int kMinThumb = 8;
constexpr COLORREF kTrackColor = RGB(240, 240, 240);
constexpr COLORREF kArrowBoxColor = RGB(225, 225, 225);
constexpr COLORREF kArrowColor = RGB(96, 96, 96);
constexpr COLORREF kThumbColor = RGB(168, 168, 168);

// Highest position the thumb can take: the last page ends at nMax.
int64_t MaxPos(const SCROLLINFO& si) {
  int64_t page = std::max<int64_t>(si.nPage, 1);
  return std::max<int64_t>(si.nMin, int64_t{si.nMax} - page + 1);
}

int ClampPos(const SCROLLINFO& si, int64_t pos) {
  return static_cast<int>(std::clamp<int64_t>(pos, si.nMin, MaxPos(si)));
}

// Where the parts of the bar lie, in client y coordinates.
struct Layout {
  int width = 0;
  int height = 0;
  int arrow = 0;       // height of each arrow box
  int trackTop = 0;    // the track is [trackTop, trackBottom)
  int trackBottom = 0;
  int thumbLength = 0;  // 0 when there is no room for a thumb

  int Travel() const { return trackBottom - trackTop - thumbLength; }

  int ThumbTopFor(const SCROLLINFO& si, int pos) const {
    int64_t span = MaxPos(si) - si.nMin;
    if (span <= 0 || Travel() <= 0) return trackTop;
    return trackTop + static_cast<int>((int64_t{pos} - si.nMin) * Travel() / span);
  }

  int PosForThumbTop(const SCROLLINFO& si, int thumbTop) const {
    int64_t span = MaxPos(si) - si.nMin;
    if (span <= 0 || Travel() <= 0) return si.nMin;
    int64_t offset = std::clamp(thumbTop - trackTop, 0, Travel());
    return ClampPos(si, si.nMin + (offset * span + Travel() / 2) / Travel());
  }
};

Layout LayoutFor(const CRect& client, const SCROLLINFO& si) {
  Layout l;
  l.width = client.Width();
  l.height = client.Height();
  // Arrow boxes are square unless the bar is too short for two of them.
  l.arrow = std::min(l.width, l.height / 2);
  l.trackTop = l.arrow;
  l.trackBottom = l.height - l.arrow;
  int track = l.trackBottom - l.trackTop;
  int64_t range = std::max<int64_t>(int64_t{si.nMax} - si.nMin + 1, 1);
  int64_t length = si.nPage ? track * std::min<int64_t>(si.nPage, range) / range : l.width;
  length = std::max<int64_t>(length, kMinThumb);
  l.thumbLength = track >= kMinThumb ? static_cast<int>(std::min<int64_t>(length, track)) : 0;
  return l;
}

// A small solid triangle pointing up or down, centred in box.
void DrawArrow(CDC& dc, const CRect& box, bool up) {
  int half = std::max(1, std::min(box.Width(), box.Height()) / 4);
  int cx = box.left + box.Width() / 2;
  int top = box.top + (box.Height() - half) / 2;
  for (int row = 0; row < half; ++row) {
    int spread = up ? row : half - 1 - row;
    CRect line(cx - spread, top + row, cx + spread + 1, top + row + 1);
    dc.FillSolidRect(&line, kArrowColor);
  }
}

}  // namespace

BEGIN_MESSAGE_MAP(CScrollBar, CWnd)
  ON_WM_PAINT()
  ON_WM_LBUTTONDOWN()
  ON_WM_MOUSEMOVE()
  ON_WM_LBUTTONUP()
  // Clicking the bar leaves the focus with the window it scrolls.
  {WM_MOUSEACTIVATE, 0, [](CWnd*, WPARAM, LPARAM) -> LRESULT { return MA_NOACTIVATE; }},
END_MESSAGE_MAP()

BOOL CScrollBar::Create(DWORD style, const RECT& rect, CWnd* parent, UINT id) {
  info_ = SCROLLINFO{};
  info_.nMax = 100;
  tracking_ = false;
  if (!CreateEx(0, style | WS_CHILD, rect, parent, id)) return FALSE;
  OnPaint();
  return TRUE;
}

BOOL CScrollBar::SetScrollInfo(const SCROLLINFO* info, BOOL redraw) {
  if (!info) return FALSE;
  if (info->fMask & SIF_RANGE) {
    info_.nMin = info->nMin;
    info_.nMax = std::max(info->nMin, info->nMax);
  }
  if (info->fMask & SIF_PAGE) info_.nPage = info->nPage;
  // A page larger than the whole range shows everything.
  int64_t range = int64_t{info_.nMax} - info_.nMin + 1;
  if (info_.nPage > range) info_.nPage = static_cast<UINT>(range);
  if (info->fMask & SIF_POS) info_.nPos = info->nPos;
  info_.nPos = ClampPos(info_, info_.nPos);
  if (redraw) OnPaint();
  return TRUE;
}

BOOL CScrollBar::GetScrollInfo(SCROLLINFO* info, UINT mask) const {
  if (!info) return FALSE;
  info->fMask = mask;
  if (mask & SIF_RANGE) info->nMin = info_.nMin, info->nMax = info_.nMax;
  if (mask & SIF_PAGE) info->nPage = info_.nPage;
  if (mask & SIF_POS) info->nPos = info_.nPos;
  if (mask & SIF_TRACKPOS) info->nTrackPos = tracking_ ? info_.nTrackPos : info_.nPos;
  return TRUE;
}

int CScrollBar::SetScrollPos(int pos, BOOL redraw) {
  int previous = info_.nPos;
  info_.nPos = ClampPos(info_, pos);
  if (redraw) OnPaint();
  return previous;
}

int CScrollBar::GetScrollPos() const { return info_.nPos; }

void CScrollBar::ShowScrollBar(BOOL show) {
  ShowWindow(show ? SW_SHOW : SW_HIDE);
  if (show) OnPaint();
}

CScrollBar* CScrollBar::FromHandleScrollBar(HWND hwnd) {
  return dynamic_cast<CScrollBar*>(FromHandle(hwnd));
}

void CScrollBar::OnPaint() {
  if (!IsWindowVisible()) return;
  CRect client;
  GetClientRect(&client);
  Layout l = LayoutFor(client, info_);
  CDC* dc = GetDC();
  CRect track(0, l.trackTop, l.width, l.trackBottom);
  dc->FillSolidRect(&track, kTrackColor);
  CRect up(0, 0, l.width, l.arrow), down(0, l.trackBottom, l.width, l.height);
  dc->FillSolidRect(&up, kArrowBoxColor);
  dc->FillSolidRect(&down, kArrowBoxColor);
  DrawArrow(*dc, up, true);
  DrawArrow(*dc, down, false);
  if (l.thumbLength > 0) {
    // While dragged, the thumb follows the mouse rather than the position.
    int top = l.ThumbTopFor(info_, tracking_ ? info_.nTrackPos : info_.nPos);
    CRect thumb(1, top, l.width - 1, top + l.thumbLength);
    dc->FillSolidRect(&thumb, kThumbColor);
  }
  ReleaseDC(dc);
}

namespace {
// Tells the parent of bar about a scroll; false when the bar went away meanwhile.
bool Notify(CScrollBar& bar, UINT code, int pos) {
  HWND self = bar.m_hWnd;
  CWnd* parent = bar.GetParent();
  if (!parent) return false;
  parent->SendMessage(WM_VSCROLL, MAKEWPARAM(static_cast<int>(code), pos),
                      reinterpret_cast<LPARAM>(self));
  return bar.m_hWnd == self && self != nullptr;
}
}  // namespace

void CScrollBar::OnLButtonDown(UINT, CPoint point) {
  CRect client;
  GetClientRect(&client);
  Layout l = LayoutFor(client, info_);
  UINT code = SB_ENDSCROLL;
  if (point.y < l.trackTop) {
    code = SB_LINEUP;
  } else if (point.y >= l.trackBottom) {
    code = SB_LINEDOWN;
  } else if (l.thumbLength > 0) {
    int top = l.ThumbTopFor(info_, info_.nPos);
    if (point.y < top) {
      code = SB_PAGEUP;
    } else if (point.y >= top + l.thumbLength) {
      code = SB_PAGEDOWN;
    } else {
      tracking_ = true;
      trackOffset_ = point.y - top;
      info_.nTrackPos = info_.nPos;
      SetCapture();
      return;
    }
  }
  if (code == SB_ENDSCROLL) return;  // a track with no thumb: nothing to scroll
  if (Notify(*this, code, 0)) Notify(*this, SB_ENDSCROLL, 0);
}

void CScrollBar::OnMouseMove(UINT, CPoint point) {
  if (!tracking_) return;
  CRect client;
  GetClientRect(&client);
  Layout l = LayoutFor(client, info_);
  int pos = l.PosForThumbTop(info_, point.y - trackOffset_);
  if (pos == info_.nTrackPos) return;
  info_.nTrackPos = pos;
  OnPaint();
  Notify(*this, SB_THUMBTRACK, pos);
}

void CScrollBar::OnLButtonUp(UINT, CPoint) {
  if (!tracking_) return;
  tracking_ = false;
  ReleaseCapture();
  OnPaint();
  if (Notify(*this, SB_THUMBPOSITION, info_.nTrackPos)) Notify(*this, SB_ENDSCROLL, 0);
}

}  // namespace kestrix
