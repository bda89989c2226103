#include "PhysicalKeys.h"

#include <vector>

#include <X11/Xlib.h>
#include <X11/extensions/XTest.h>

namespace kestrix {

namespace {
KeyCode CodeOf(::Display* x, const std::string& name) {
  std::string symbol = name == "ctrl" ? "Control_L" : name == "shift" ? "Shift_L" : name;
  return XKeysymToKeycode(x, XStringToKeysym(symbol.c_str()));
}
}  // namespace

PhysicalKeys::PhysicalKeys(const std::string& display) {
  ::Display* x = XOpenDisplay(display.c_str());
  int event = 0, error = 0, major = 0, minor = 0;
  if (x && !XTestQueryExtension(x, &event, &error, &major, &minor)) {
    XCloseDisplay(x);
    x = nullptr;
  }
  connection_ = x;
}

PhysicalKeys::~PhysicalKeys() {
  if (connection_) XCloseDisplay(static_cast<::Display*>(connection_));
}

void PhysicalKeys::Hold(const std::string& key, bool down) {
  auto* x = static_cast<::Display*>(connection_);
  if (!x) return;
  XTestFakeKeyEvent(x, CodeOf(x, key), down ? True : False, CurrentTime);
  XSync(x, False);
}

void PhysicalKeys::FocusElsewhere() {
  auto* x = static_cast<::Display*>(connection_);
  if (!x) return;
  XSetInputFocus(x, DefaultRootWindow(x), RevertToNone, CurrentTime);
  XSync(x, False);
}

bool PhysicalKeys::AddKey(const std::string& symbol) {
  auto* x = static_cast<::Display*>(connection_);
  if (!x || nextSpareKey_ > 255) return false;
  KeySym both[2] = {XStringToKeysym(symbol.c_str()), XStringToKeysym(symbol.c_str())};
  if (both[0] == NoSymbol) return false;
  XChangeKeyboardMapping(x, nextSpareKey_++, 2, both, 1);
  XSync(x, False);
  // This connection's own table, for CodeOf.
  XEvent event;
  while (XCheckTypedEvent(x, MappingNotify, &event)) XRefreshKeyboardMapping(&event.xmapping);
  return true;
}

void PhysicalKeys::AskToClose(unsigned long window) {
  auto* x = static_cast<::Display*>(connection_);
  if (!x) return;
  XEvent event{};
  event.xclient.type = ClientMessage;
  event.xclient.window = window;
  event.xclient.message_type = XInternAtom(x, "WM_PROTOCOLS", False);
  event.xclient.format = 32;
  event.xclient.data.l[0] = static_cast<long>(XInternAtom(x, "WM_DELETE_WINDOW", False));
  event.xclient.data.l[1] = CurrentTime;
  XSendEvent(x, window, False, NoEventMask, &event);
  XSync(x, False);
}

void PhysicalKeys::Press(const std::string& chord) {
  auto* x = static_cast<::Display*>(connection_);
  if (!x) return;
  std::vector<KeyCode> codes;
  size_t start = 0;
  for (;;) {
    size_t plus = chord.find('+', start);
    codes.push_back(CodeOf(x, chord.substr(start, plus - start)));
    if (plus == std::string::npos) break;
    start = plus + 1;
  }
  for (KeyCode c : codes) XTestFakeKeyEvent(x, c, True, CurrentTime);
  for (auto it = codes.rbegin(); it != codes.rend(); ++it) XTestFakeKeyEvent(x, *it, False, CurrentTime);
  XSync(x, False);
}

}  // namespace kestrix
