// Injected keyboard and mouse input, key state and focus. Each input is sent to its window at
// once; anything its handlers post is then pumped, as a running message loop would.
#include <cctype>

#include "framework/window/Display.h"

namespace kestrix {

namespace {

constexpr LPARAM kPreviousDown = LPARAM{1} << 30;
constexpr LPARAM kTransition = LPARAM{1} << 31;
constexpr LPARAM kAltContext = LPARAM{1} << 29;
constexpr WPARAM kHitClient = 1;

LPARAM KeyLParam(UINT scanCode) { return 1 | (static_cast<LPARAM>(scanCode & 0xFF) << 16); }

// The key a typed byte comes from, where that is obvious.
int VirtualKeyOf(uint8_t ch) {
  if (std::isalpha(ch) && ch < 0x80) return std::toupper(ch);
  if (std::isdigit(ch) || ch == ' ') return ch;
  if (ch == '\r' || ch == '\n') return VK_RETURN;
  if (ch == '\t') return VK_TAB;
  if (ch == '\b') return VK_BACK;
  return 0;
}

}  // namespace

short Display::KeyState(int virtualKey) const {
  if (platform_ && (virtualKey == VK_SHIFT || virtualKey == VK_CONTROL || virtualKey == VK_MENU))
    if (std::optional<short> live = platform_->ModifierState(virtualKey)) return *live;
  return RecordedKeyState(virtualKey);
}

short Display::RecordedKeyState(int virtualKey) const {
  int state = 0;
  if (auto it = keysDown_.find(virtualKey); it != keysDown_.end() && it->second) state |= 0x8000;
  if (auto it = toggled_.find(virtualKey); it != toggled_.end() && it->second) state |= 1;
  return static_cast<short>(state);
}

void Display::SetKey(int virtualKey, bool down) {
  bool& isDown = keysDown_[virtualKey];
  if (down && !isDown) toggled_[virtualKey] = !toggled_[virtualKey];
  isDown = down;
}

HWND Display::SetFocus(HWND hwnd) {
  HWND old = focus_;
  // A disabled window (the owner of a modal dialog, or a window inside it) takes no keyboard.
  if (hwnd && !IsEnabledForInput(hwnd)) return nullptr;
  if (hwnd == old) return old;
  focus_ = hwnd;
  if (IsWindow(old)) Send(old, WM_KILLFOCUS, reinterpret_cast<WPARAM>(hwnd), 0);
  // The old focus may have moved the focus elsewhere while losing it.
  if (hwnd && focus_ == hwnd)
    Send(hwnd, WM_SETFOCUS, IsWindow(old) ? reinterpret_cast<WPARAM>(old) : 0, 0);
  return IsWindow(old) ? old : nullptr;
}

void Display::Deliver(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
  // While a modal loop waits for input, input is queued for it to find, as a real display
  // queues it; otherwise it is handled at once.
  if (waiting_ > 0)
    Post(hwnd, message, wParam, lParam);
  else
    Send(hwnd, message, wParam, lParam);
}

void Display::KeyDown(int virtualKey, UINT scanCode, bool system) {
  // Whether this message repeats a key already down, from the messages delivered.
  bool wasDown = RecordedKeyState(virtualKey) < 0;
  SetKey(virtualKey, true);
  bool alt = KeyState(VK_MENU) < 0;
  LPARAM lParam = KeyLParam(scanCode) | (wasDown ? kPreviousDown : 0) | (alt ? kAltContext : 0);
  if (focus_)
    Deliver(focus_, system || alt ? WM_SYSKEYDOWN : WM_KEYDOWN, static_cast<WPARAM>(virtualKey),
         lParam);
  PumpMessages();
}

void Display::KeyUp(int virtualKey, UINT scanCode, bool system) {
  // The Alt of a system key-up is read before the key itself goes up: releasing Alt is a
  // system key-up.
  bool alt = KeyState(VK_MENU) < 0;
  SetKey(virtualKey, false);
  LPARAM lParam = KeyLParam(scanCode) | kPreviousDown | kTransition | (alt ? kAltContext : 0);
  if (focus_)
    Deliver(focus_, system || alt ? WM_SYSKEYUP : WM_KEYUP, static_cast<WPARAM>(virtualKey), lParam);
  PumpMessages();
}

void Display::Char(uint8_t ch) {
  if (focus_) Deliver(focus_, WM_CHAR, ch, KeyLParam(0));
  PumpMessages();
}

void Display::TypeText(const std::string& text) {
  for (char c : text) {
    uint8_t ch = static_cast<uint8_t>(c);
    int vk = VirtualKeyOf(ch);
    KeyDown(vk);
    Char(ch);
    KeyUp(vk);
  }
}

namespace {

// The MK_ flags of a mouse message from the live key state.
WPARAM MouseFlags(const Display& d) {
  WPARAM flags = 0;
  if (d.KeyState(VK_LBUTTON) < 0) flags |= MK_LBUTTON;
  if (d.KeyState(VK_RBUTTON) < 0) flags |= MK_RBUTTON;
  if (d.KeyState(VK_SHIFT) < 0) flags |= MK_SHIFT;
  if (d.KeyState(VK_CONTROL) < 0) flags |= MK_CONTROL;
  return flags;
}

}  // namespace

void Display::MouseMove(HWND hwnd, int x, int y) {
  HWND target = nullptr;
  LPARAM at = 0;
  if (RouteMouse(hwnd, x, y, target, at)) Deliver(target, WM_MOUSEMOVE, MouseFlags(*this), at);
  PumpMessages();
}

void Display::MouseDown(HWND hwnd, int x, int y, bool right) {
  HWND target = nullptr;
  LPARAM at = 0;
  SetKey(right ? VK_RBUTTON : VK_LBUTTON, true);
  if (RouteMouse(hwnd, x, y, target, at)) {
    UINT message = right ? WM_RBUTTONDOWN : WM_LBUTTONDOWN;
    if (target != focus_) {
      const Window* top = Find(target);
      while (top->parent) top = top->parent;
      LRESULT activate = Send(target, WM_MOUSEACTIVATE, reinterpret_cast<WPARAM>(top->handle),
                              MAKELPARAM(static_cast<int>(kHitClient), static_cast<int>(message)));
      if (activate != MA_NOACTIVATE && IsWindow(target)) SetFocus(target);
    }
    if (IsWindow(target)) Deliver(target, message, MouseFlags(*this), at);
  }
  PumpMessages();
}

void Display::MouseUp(HWND hwnd, int x, int y, bool right) {
  HWND target = nullptr;
  LPARAM at = 0;
  // The button goes up even when no window is under the point.
  SetKey(right ? VK_RBUTTON : VK_LBUTTON, false);
  if (RouteMouse(hwnd, x, y, target, at))
    Deliver(target, right ? WM_RBUTTONUP : WM_LBUTTONUP, MouseFlags(*this), at);
  PumpMessages();
}

void Display::DoubleClick(HWND hwnd, int x, int y) {
  // As a real display reports it: the second press arrives as the double click.
  MouseDown(hwnd, x, y);
  MouseUp(hwnd, x, y);
  HWND target = nullptr;
  LPARAM at = 0;
  if (RouteMouse(hwnd, x, y, target, at)) {
    SetKey(VK_LBUTTON, true);
    Deliver(target, WM_LBUTTONDBLCLK, MouseFlags(*this), at);
  }
  PumpMessages();
  MouseUp(hwnd, x, y);
}

void Display::Click(HWND hwnd, int x, int y) {
  MouseDown(hwnd, x, y);
  MouseUp(hwnd, x, y);
}

void Display::DoubleClickDown(HWND hwnd, int x, int y) {
  HWND target = nullptr;
  LPARAM at = 0;
  SetKey(VK_LBUTTON, true);
  if (RouteMouse(hwnd, x, y, target, at)) Deliver(target, WM_LBUTTONDBLCLK, MouseFlags(*this), at);
  PumpMessages();
}

void Display::Wheel(HWND hwnd, int x, int y, int delta) {
  HWND under = nullptr;
  LPARAM at = 0;
  if (RouteMouse(hwnd, x, y, under, at)) {
    HWND target = focus_ ? focus_ : under;
    // The point of a wheel message is in screen coordinates.
    POINT origin = ClientOriginOnSurface(under);
    LPARAM screen = MAKELPARAM(origin.x + GET_X_LPARAM(at), origin.y + GET_Y_LPARAM(at));
    Deliver(target, WM_MOUSEWHEEL, MAKEWPARAM(static_cast<int>(MouseFlags(*this)), delta), screen);
  }
  PumpMessages();
}

bool Display::RouteMouse(HWND hwnd, int x, int y, HWND& target, LPARAM& at) const {
  if (hwnd && !IsWindow(hwnd)) return false;
  POINT origin = hwnd ? ClientOriginOnSurface(hwnd) : POINT{};
  POINT p{origin.x + x, origin.y + y};
  target = IsWindow(capture_) ? capture_ : WindowAt(nullptr, p);
  // A disabled window (the owner of a modal dialog) lets the input go by.
  if (!target || !IsEnabledForInput(target)) return false;
  POINT to = ClientOriginOnSurface(target);
  at = MAKELPARAM(p.x - to.x, p.y - to.y);
  return true;
}

}  // namespace kestrix
