// Keys through the X input method: the server's method (named by XMODIFIERS, as IBus or fcitx
// set it) or Xlib's own, which composes with the Compose key and dead keys from the locale's
// tables. The pre-edit text is the method's to show: at the caret when it can place it there
// (over the spot), else in its own window.
#include <vector>

#include "platform/x11/X11Internal.h"

namespace kestrix {

namespace {

// The simplest style the method offers: pre-edit at the caret, else in the method's own window;
// no status area either way.
XIMStyle ChooseStyle(XIM im, bool& atSpot) {
  XIMStyles* styles = nullptr;
  if (XGetIMValues(im, XNQueryInputStyle, &styles, nullptr) != nullptr || !styles) return 0;
  // In order of preference: a style with no pre-edit at all (XIMPreeditNone) leaves the method
  // nothing to compose with.
  const XIMStyle preferred[] = {XIMPreeditPosition | XIMStatusNothing, XIMPreeditNothing | XIMStatusNothing,
                                XIMPreeditNone | XIMStatusNone};
  XIMStyle chosen = 0;
  for (XIMStyle wanted : preferred) {
    for (unsigned short i = 0; i < styles->count_styles && !chosen; ++i)
      if (styles->supported_styles[i] == wanted) chosen = wanted;
    if (chosen) break;
  }
  XFree(styles);
  atSpot = chosen == (XIMPreeditPosition | XIMStatusNothing);
  return chosen;
}

}  // namespace

void OpenInputMethod(X11Window::Impl& x) {
  if (!XSupportsLocale()) return;
  // XMODIFIERS names the method; without one, Xlib's own composes.
  XSetLocaleModifiers("");
  x.im = XOpenIM(x.x, nullptr, nullptr, nullptr);
  if (!x.im) {
    XSetLocaleModifiers("@im=none");
    x.im = XOpenIM(x.x, nullptr, nullptr, nullptr);
  }
  if (!x.im) return;
  bool atSpot = false;
  const XIMStyle style = ChooseStyle(x.im, atSpot);
  if (style == 0) {
    CloseInputMethod(x);
    return;
  }
  if (atSpot) {
    XPoint spot{0, 0};
    XVaNestedList preedit = XVaCreateNestedList(0, XNSpotLocation, &spot, nullptr);
    x.ic = XCreateIC(x.im, XNInputStyle, style, XNClientWindow, x.window, XNFocusWindow, x.window,
                     XNPreeditAttributes, preedit, nullptr);
    XFree(preedit);
  } else {
    x.ic = XCreateIC(x.im, XNInputStyle, style, XNClientWindow, x.window, XNFocusWindow, x.window, nullptr);
  }
  if (!x.ic) {
    CloseInputMethod(x);
    return;
  }
  x.preeditAtSpot = atSpot;
  // The method may want events the window does not ask for yet.
  long wanted = 0;
  XWindowAttributes attributes{};
  if (XGetICValues(x.ic, XNFilterEvents, &wanted, nullptr) == nullptr &&
      XGetWindowAttributes(x.x, x.window, &attributes))
    XSelectInput(x.x, x.window, attributes.your_event_mask | wanted);
}

void CloseInputMethod(X11Window::Impl& x) {
  if (x.ic) XDestroyIC(x.ic);
  if (x.im) XCloseIM(x.im);
  x.ic = nullptr;
  x.im = nullptr;
  x.preeditAtSpot = false;
}

bool InputMethodTakes(X11Window::Impl& x, XEvent& event) {
  return x.ic && XFilterEvent(&event, 0) == True;
}

void MoveInputSpot(X11Window::Impl& x, int left, int baseline) {
  if (!x.ic || !x.preeditAtSpot) return;
  XPoint spot{static_cast<short>(left), static_cast<short>(baseline)};
  XVaNestedList preedit = XVaCreateNestedList(0, XNSpotLocation, &spot, nullptr);
  XSetICValues(x.ic, XNPreeditAttributes, preedit, nullptr);
  XFree(preedit);
}

std::optional<MethodText> LookUpThroughMethod(X11Window::Impl& x, XKeyEvent& event) {
  if (!x.ic) return std::nullopt;
  std::vector<char> buffer(64);
  KeySym symbol = NoSymbol;
  Status status = 0;
  int length = Xutf8LookupString(x.ic, &event, buffer.data(), static_cast<int>(buffer.size()), &symbol, &status);
  if (status == XBufferOverflow) {
    buffer.resize(static_cast<size_t>(length) + 1);
    length = Xutf8LookupString(x.ic, &event, buffer.data(), static_cast<int>(buffer.size()), &symbol, &status);
  }
  MethodText out;
  if (status == XLookupChars || status == XLookupBoth) out.utf8.assign(buffer.data(), static_cast<size_t>(std::max(length, 0)));
  if (status == XLookupKeySym || status == XLookupBoth) out.symbol = symbol;
  return out;
}

}  // namespace kestrix
