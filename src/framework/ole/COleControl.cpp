// The control base: its window in the container, drawing contexts, colours, the wait cursor,
// ready state and property exchange. The stock-event handlers are in COleControlEvents.cpp.
#include "framework/ole/COleControl.h"

#include <algorithm>
#include <iterator>

#include "framework/window/Display.h"

namespace kestrix {

namespace {

// The system colours an OLE colour 0x80000000 | index stands for.
constexpr COLORREF kSystemColors[] = {
    RGB(200, 200, 200),  // 0 scroll bar
    RGB(0, 0, 0),        // 1 desktop
    RGB(153, 180, 209),  // 2 active caption
    RGB(191, 205, 219),  // 3 inactive caption
    RGB(240, 240, 240),  // 4 menu
    RGB(255, 255, 255),  // 5 window
    RGB(100, 100, 100),  // 6 window frame
    RGB(0, 0, 0),        // 7 menu text
    RGB(0, 0, 0),        // 8 window text
    RGB(0, 0, 0),        // 9 caption text
    RGB(180, 180, 180),  // 10 active border
    RGB(244, 247, 252),  // 11 inactive border
    RGB(171, 171, 171),  // 12 application workspace
    RGB(0, 120, 215),    // 13 highlight
    RGB(255, 255, 255),  // 14 highlight text
    RGB(240, 240, 240),  // 15 button face
    RGB(160, 160, 160),  // 16 button shadow
    RGB(109, 109, 109),  // 17 grey text
    RGB(0, 0, 0),        // 18 button text
    RGB(0, 0, 0),        // 19 inactive caption text
    RGB(255, 255, 255),  // 20 button highlight
    RGB(105, 105, 105),  // 21 3-D dark shadow
    RGB(227, 227, 227),  // 22 3-D light
    RGB(0, 0, 0),        // 23 tooltip text
    RGB(255, 255, 225),  // 24 tooltip background
    RGB(0, 0, 0),        // 25 unused
    RGB(0, 102, 204),    // 26 hot-tracked item
    RGB(185, 209, 234),  // 27 active caption gradient
    RGB(215, 228, 242),  // 28 inactive caption gradient
    RGB(51, 153, 255),   // 29 menu highlight
    RGB(240, 240, 240),  // 30 menu bar
};

}  // namespace

// No reference until a host asks for one.
COleControl::COleControl() : Counted(0) {}

COleControl::~COleControl() {
  for (auto& entry : dispatchSinks_) entry.second->Release();
}

BOOL COleControl::CreateControlWindow(CWnd* parent, const RECT& rectInContainer) {
  rectInContainer_ = rectInContainer;
  parentHwnd_ = parent ? parent->m_hWnd : nullptr;
  placed_ = true;
  DWORD style = WS_CHILD | WS_VISIBLE | (borderStyle_ == 1 ? WS_BORDER : 0);
  if (!CreateEx(0, style, rectInContainer_, parent)) return FALSE;
  InternalSetReadyState(READYSTATE_COMPLETE);
  return TRUE;
}

// The window gets its new size while the old rectangle is still on record, so the size
// handler can tell a change of width from the container's; then the new one is recorded.
void COleControl::SetRectInContainer(const RECT& rect) {
  if (m_hWnd) MoveWindow(rect);
  rectInContainer_ = rect;
}

BOOL COleControl::GetRectInContainer(RECT* rect) const {
  if (!rect) return FALSE;
  *rect = rectInContainer_;
  return TRUE;
}

BOOL COleControl::RecreateControlWindow() {
  if (!placed_) return FALSE;
  // A control that had the focus keeps it: the person goes on typing into the new window.
  CWnd* focus = GetFocus();
  bool hadFocus = m_hWnd && focus && (focus == this || focus->GetParent() == this);
  if (m_hWnd) DestroyWindow();
  // The container's window may have gone while the control had none.
  CWnd* parent = FromHandle(parentHwnd_);
  if (parentHwnd_ && !parent) return FALSE;
  DWORD style = WS_CHILD | WS_VISIBLE | (borderStyle_ == 1 ? WS_BORDER : 0);
  if (!CreateEx(0, style, rectInContainer_, parent)) return FALSE;
  if (hadFocus) SetFocus();
  return m_hWnd ? TRUE : FALSE;
}

void COleControl::SetBorderStyle(short style) {
  // Only none (0) and single (1) exist.
  if ((style != 0 && style != 1) || style == borderStyle_) return;
  borderStyle_ = style;
  if (m_hWnd) RecreateControlWindow();
}

// Drawing is limited to the rectangle asked for, if any.
CDC* COleControl::GetDC(const RECT* rect, DWORD) { return GetDCClippedTo(rect); }

int COleControl::ReleaseDC(CDC* dc) { return CWnd::ReleaseDC(dc); }

void COleControl::Redraw() {
  if (!m_hWnd || !IsWindowVisible()) return;
  CRect client;
  GetClientRect(&client);
  CDC* dc = GetDC(nullptr, 0);
  OnDraw(dc, client, client);
  ReleaseDC(dc);
}

void COleControl::OnPaint() { Redraw(); }

COLORREF COleControl::TranslateColor(OLE_COLOR color, void*) const {
  if ((color & 0xFF000000) != 0x80000000) return color & 0x00FFFFFF;
  uint32_t index = color & 0x00FFFFFF;
  return index < std::size(kSystemColors) ? kSystemColors[index] : RGB(0, 0, 0);
}

void COleControl::SetBackColor(OLE_COLOR color) {
  backColor_ = color;
  OnBackColorChanged();
}

void COleControl::BeginWaitCursor() {
  ++waitCursorDepth_;
  SetCursor(PointerShape::Wait);
}

void COleControl::EndWaitCursor() {
  if (waitCursorDepth_ == 0) return;
  if (--waitCursorDepth_ == 0) SetCursor(PointerShape::Arrow);
}

void COleControl::InitializeIIDs(const IID* dispatch, const IID* events) {
  dispatchIID_ = dispatch;
  eventsIID_ = events;
}

void COleControl::InternalSetReadyState(LONG state) {
  if (state == readyState_) return;
  readyState_ = state;
  FireReadyStateChange();
}

void COleControl::ResetProperties() { OnResetState(); }

void COleControl::OnResetState() {
  PropertyBag empty;
  CPropExchange px(CPropExchange::Mode::Reset, &empty);
  DoPropExchange(&px);
}

std::vector<std::string> COleControl::LoadProperties(const PropertyBag& bag) {
  // The exchange reads from its own copy, so the host's bag stays as it was.
  PropertyBag copy = bag;
  CPropExchange px(CPropExchange::Mode::Load, &copy);
  DoPropExchange(&px);
  modified_ = FALSE;
  InternalSetReadyState(READYSTATE_COMPLETE);
  return px.Problems();
}

void COleControl::SaveProperties(PropertyBag& bag) {
  CPropExchange px(CPropExchange::Mode::Save, &bag);
  DoPropExchange(&px);
  modified_ = FALSE;
}

void COleControl::DoPropExchange(CPropExchange*) {}

void COleControl::OnDraw(CDC*, const CRect&, const CRect&) {}

void COleControl::OnFontObjectChanged(FontObject*) { OnFontChanged(); }

void COleControl::OnFontChanged() {}

void COleControl::OnBackColorChanged() {}

LRESULT COleControl::DefWindowProc(UINT message, WPARAM wParam, LPARAM lParam) {
  return CWnd::DefWindowProc(message, wParam, lParam);
}

}  // namespace kestrix
