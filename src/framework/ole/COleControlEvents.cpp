// The control's message table and its default handlers, which raise the stock events to the
// host's event sink.
#include "framework/ole/COleControl.h"

#include <algorithm>

#include "framework/ole/Variant.h"

namespace kestrix {

namespace {
constexpr USHORT kLeft = 1;
constexpr USHORT kRight = 2;
constexpr USHORT kMiddle = 4;
}  // namespace

BEGIN_MESSAGE_MAP(COleControl, CWnd)
  ON_WM_MOUSEMOVE()
  ON_WM_LBUTTONDOWN()
  ON_WM_LBUTTONUP()
  ON_WM_LBUTTONDBLCLK()
  ON_WM_RBUTTONDOWN()
  ON_WM_RBUTTONUP()
  ON_WM_CHAR()
  ON_WM_KEYDOWN()
  ON_WM_KEYUP()
  ON_WM_SYSKEYDOWN()
  ON_WM_MOUSEACTIVATE()
  ON_WM_PAINT()
END_MESSAGE_MAP()

short COleControl::ShiftState() {
  short shift = 0;
  if (GetKeyState(VK_SHIFT) < 0) shift |= SHIFT_MASK;
  if (GetKeyState(VK_CONTROL) < 0) shift |= CTRL_MASK;
  if (GetKeyState(VK_MENU) < 0) shift |= ALT_MASK;
  return shift;
}

void COleControl::OnMouseMove(UINT flags, CPoint point) {
  short button = 0;
  if (flags & MK_LBUTTON) button |= kLeft;
  if (flags & MK_RBUTTON) button |= kRight;
  if (flags & MK_MBUTTON) button |= kMiddle;
  FireMouseMove(button, ShiftState(), point.x, point.y);
}

void COleControl::OnLButtonDown(UINT, CPoint) {
  buttonsDown_ |= kLeft;
  SetCapture();
}

void COleControl::OnRButtonDown(UINT, CPoint) {
  buttonsDown_ |= kRight;
  SetCapture();
}

// A release is a Click when the button went down inside the control and comes up inside its
// client area, unless it ends a double click.
void COleControl::OnLButtonUp(UINT, CPoint point) {
  bool pressedHere = (buttonsDown_ & kLeft) != 0;
  bool endsDoubleClick = (dblClickButtons_ & kLeft) != 0;
  buttonsDown_ = static_cast<USHORT>(buttonsDown_ & ~kLeft);
  dblClickButtons_ = static_cast<USHORT>(dblClickButtons_ & ~kLeft);
  if (buttonsDown_ == 0) ReleaseCapture();
  CRect client;
  GetClientRect(&client);
  if (pressedHere && !endsDoubleClick && client.PtInRect(point)) OnClick(kLeft);
}

void COleControl::OnRButtonUp(UINT, CPoint point) {
  bool pressedHere = (buttonsDown_ & kRight) != 0;
  buttonsDown_ = static_cast<USHORT>(buttonsDown_ & ~kRight);
  if (buttonsDown_ == 0) ReleaseCapture();
  CRect client;
  GetClientRect(&client);
  if (pressedHere && client.PtInRect(point)) OnClick(kRight);
}

void COleControl::OnLButtonDblClk(UINT, CPoint) {
  // The second press of a double click: the button is down again, and its release is part of
  // the double click rather than a Click of its own.
  buttonsDown_ |= kLeft;
  dblClickButtons_ |= kLeft;
  SetCapture();
  FireDblClick();
}

void COleControl::OnClick(USHORT) { FireClick(); }

// Key handling. The host sees KeyDown first and may change or cancel (zero) the key code; the
// OnKeyDownEvent hook then gets the code as the host left it, and is skipped when cancelled.
// The control's own WM_KEYDOWN handler keeps the key as it was delivered.
void COleControl::OnKeyDown(UINT ch, UINT, UINT) {
  HWND self = m_hWnd;
  USHORT key = static_cast<USHORT>(ch);
  short shift = ShiftState();
  FireKeyDown(&key, shift);
  // The host may have destroyed the window from its event handler.
  if (key != 0 && m_hWnd == self) OnKeyDownEvent(key, shift);
}

void COleControl::OnSysKeyDown(UINT ch, UINT repeat, UINT flags) { OnKeyDown(ch, repeat, flags); }

void COleControl::OnKeyUp(UINT ch, UINT, UINT) {
  HWND self = m_hWnd;
  USHORT key = static_cast<USHORT>(ch);
  short shift = ShiftState();
  FireKeyUp(&key, shift);
  if (key != 0 && m_hWnd == self) OnKeyUpEvent(key, shift);
}

void COleControl::OnChar(UINT ch, UINT, UINT) {
  USHORT character = static_cast<USHORT>(ch);
  FireKeyPress(&character);
}

int COleControl::OnMouseActivate(CWnd*, UINT, UINT) { return static_cast<int>(Default()); }

void COleControl::OnKeyDownEvent(USHORT, short) {}

void COleControl::OnKeyUpEvent(USHORT, short) {}

// Stock event firing --------------------------------------------------------------------------

HRESULT COleControl::Advise(IDispatch* sink, DWORD* cookie) {
  if (!sink || !cookie) return E_POINTER;
  sink->AddRef();
  *cookie = nextCookie_++;
  dispatchSinks_.emplace_back(*cookie, sink);
  return S_OK;
}

HRESULT COleControl::Unadvise(DWORD cookie) {
  auto it = std::find_if(dispatchSinks_.begin(), dispatchSinks_.end(),
                         [cookie](const auto& entry) { return entry.first == cookie; });
  if (it == dispatchSinks_.end()) return E_INVALIDARG;
  IDispatch* sink = it->second;
  dispatchSinks_.erase(it);
  sink->Release();
  return S_OK;
}

void COleControl::FireToDispatchSinks(DISPID dispid, VARIANT* args, UINT count) {
  if (dispatchSinks_.empty()) return;
  // A sink may unadvise, or advise another, from its handler: walk a held copy.
  std::vector<IDispatch*> sinks;
  for (auto& entry : dispatchSinks_) {
    entry.second->AddRef();
    sinks.push_back(entry.second);
  }
  for (IDispatch* sink : sinks) {
    DISPPARAMS params;
    params.rgvarg = count ? args : nullptr;
    params.cArgs = count;
    sink->Invoke(dispid, IID_NULL, 0, DISPATCH_METHOD, &params, nullptr, nullptr, nullptr);
  }
  for (IDispatch* sink : sinks) sink->Release();
}

void COleControl::FireClick() {
  if (eventSink_) {
    StockEvent e;
    e.dispid = DISPID_CLICK;
    eventSink_->OnStockEvent(e);
  }
  FireToDispatchSinks(DISPID_CLICK, nullptr, 0);
}

void COleControl::FireDblClick() {
  if (eventSink_) {
    StockEvent e;
    e.dispid = DISPID_DBLCLICK;
    eventSink_->OnStockEvent(e);
  }
  FireToDispatchSinks(DISPID_DBLCLICK, nullptr, 0);
}

// Fires a key event whose code the host may change: the EventSink first, then each dispatch
// sink, each seeing the code as the one before left it.
void COleControl::FireKeyEvent(DISPID dispid, USHORT* code, short shift, bool withShift) {
  if (!code) return;
  short keyCode = static_cast<short>(*code);
  if (eventSink_) {
    StockEvent e;
    e.dispid = dispid;
    e.keyCode = keyCode;
    e.shift = shift;
    eventSink_->OnStockEvent(e);
    keyCode = e.keyCode;
  }
  VARIANT args[2];
  VariantInit(&args[0]);
  VariantInit(&args[1]);
  VARIANT& byRef = withShift ? args[1] : args[0];
  byRef.vt = VT_BYREF | VT_I2;
  byRef.piVal = &keyCode;
  if (withShift) args[0] = MakeVariantI2(shift);
  FireToDispatchSinks(dispid, args, withShift ? 2 : 1);
  *code = static_cast<USHORT>(keyCode);
}

void COleControl::FireKeyDown(USHORT* keyCode, short shift) {
  FireKeyEvent(DISPID_KEYDOWN, keyCode, shift, true);
}

void COleControl::FireKeyUp(USHORT* keyCode, short shift) {
  FireKeyEvent(DISPID_KEYUP, keyCode, shift, true);
}

void COleControl::FireKeyPress(USHORT* character) {
  FireKeyEvent(DISPID_KEYPRESS, character, 0, false);
}

void COleControl::FireMouseMove(short button, short shift, int x, int y) {
  if (eventSink_) {
    StockEvent e;
    e.dispid = DISPID_MOUSEMOVE;
    e.button = button;
    e.shift = shift;
    e.x = x;
    e.y = y;
    eventSink_->OnStockEvent(e);
  }
  VARIANT args[4] = {MakeVariantI4(y), MakeVariantI4(x), MakeVariantI2(shift),
                     MakeVariantI2(button)};
  FireToDispatchSinks(DISPID_MOUSEMOVE, args, 4);
}

void COleControl::FireReadyStateChange() {
  if (eventSink_) {
    StockEvent e;
    e.dispid = DISPID_READYSTATECHANGE;
    e.readyState = readyState_;
    eventSink_->OnStockEvent(e);
  }
  VARIANT state = MakeVariantI4(readyState_);
  FireToDispatchSinks(DISPID_READYSTATECHANGE, &state, 1);
}

}  // namespace kestrix
