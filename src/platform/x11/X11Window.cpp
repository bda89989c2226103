// The top-level window, the event loop with its real clock, showing the surface, the mouse,
// the focus and the cursor.
#include "platform/x11/X11Window.h"

#include <poll.h>

#include <algorithm>
#include <cctype>
#include <chrono>
#include <cstdlib>
#include <cstring>

#include <unistd.h>

#include <X11/cursorfont.h>

#include "platform/x11/ClipboardText.h"
#include "platform/x11/X11Internal.h"

namespace kestrix {

namespace {

uint64_t RealMs() {
  using namespace std::chrono;
  return static_cast<uint64_t>(duration_cast<milliseconds>(steady_clock::now().time_since_epoch()).count());
}

// A second press within this time and distance of the first is a double click.
constexpr Time kDoubleClickMs = 500;
constexpr int kDoubleClickSlop = 4;
constexpr int kWheelNotch = 120;

// Xlib's own handler ends the program on any protocol error. Errors here come from other
// programs' windows going away while we answer them (a paste asked for by a program that has
// since quit): they cost that one answer, nothing more.
int IgnoreProtocolError(XDisplay*, XErrorEvent*) { return 0; }

// Smallest size a resizable window takes.
constexpr int kMinWidth = 100;
constexpr int kMinHeight = 60;

// Without a host that lays its windows out anew, the window keeps the surface's size.
void SetSizeHints(X11Window::Impl& x, bool resizable) {
  XSizeHints* size = XAllocSizeHints();
  size->flags = PMinSize | (resizable ? 0 : PMaxSize);
  size->min_width = resizable ? kMinWidth : x.width;
  size->min_height = resizable ? kMinHeight : x.height;
  size->max_width = x.width;
  size->max_height = x.height;
  XSetWMNormalHints(x.x, x.window, size);
  XFree(size);
}

// The wait cursor during long work; else the text cursor over the window that takes the
// keyboard (the control) and the arrow over the rest (its scroll bar).
void ShowCursor(X11Window::Impl& x) {
  ::Cursor wanted = x.waiting ? x.waitCursor : x.overText ? x.textCursor : x.arrowCursor;
  if (wanted == x.shownCursor) return;
  x.shownCursor = wanted;
  XDefineCursor(x.x, x.window, wanted);
  XFlush(x.x);
}

// The innermost visible window at a point of the surface.
HWND WindowAtPoint(Display& display, HWND root, POINT p) {
  std::vector<HWND> candidates = root ? display.ChildrenOf(root) : display.TopLevelWindows();
  for (auto it = candidates.rbegin(); it != candidates.rend(); ++it) {
    if (!display.IsVisibleOnScreen(*it) || !display.WindowRectOnSurface(*it).PtInRect(p)) continue;
    HWND inner = WindowAtPoint(display, *it, p);
    return inner ? inner : *it;
  }
  return nullptr;
}

// Waits until the connection has input or timeoutMs pass.
void WaitForInput(XDisplay* x, uint32_t timeoutMs) {
  if (XPending(x) > 0) return;
  pollfd fd{ConnectionNumber(x), POLLIN, 0};
  poll(&fd, 1, static_cast<int>(std::min<uint32_t>(timeoutMs, 60000)));
}

// What the window manager and other programs read of the window: its program and class
// (WM_CLASS), the process and machine it runs on, and its icon.
void DescribeWindow(X11Window::Impl& x, const X11Window::Options& options) {
  std::string name = options.program, className = options.program;
  if (!className.empty()) className[0] = static_cast<char>(std::toupper(static_cast<unsigned char>(className[0])));
  XClassHint* hint = XAllocClassHint();
  hint->res_name = name.data();
  hint->res_class = className.data();
  XSetClassHint(x.x, x.window, hint);
  XFree(hint);

  // A process id means something only beside the machine's name.
  char host[256] = {};
  if (gethostname(host, sizeof host - 1) == 0) {
    XChangeProperty(x.x, x.window, XA_WM_CLIENT_MACHINE, XA_STRING, 8, PropModeReplace,
                    reinterpret_cast<const unsigned char*>(host), static_cast<int>(std::strlen(host)));
    long pid = static_cast<long>(getpid());
    XChangeProperty(x.x, x.window, XInternAtom(x.x, "_NET_WM_PID", False), XA_CARDINAL, 32,
                    PropModeReplace, reinterpret_cast<const unsigned char*>(&pid), 1);
  }

  const ImageResource& icon = options.icon;
  if (icon.width > 0 && icon.height > 0 &&
      icon.pixels.size() == static_cast<size_t>(icon.width) * static_cast<size_t>(icon.height)) {
    // Width, height, then ARGB pixels row by row; a 32-bit property travels as longs.
    std::vector<long> data{icon.width, icon.height};
    for (uint32_t pixel : icon.pixels) data.push_back(static_cast<long>(pixel));
    XChangeProperty(x.x, x.window, XInternAtom(x.x, "_NET_WM_ICON", False), XA_CARDINAL, 32,
                    PropModeReplace, reinterpret_cast<const unsigned char*>(data.data()),
                    static_cast<int>(data.size()));
  }
}

}  // namespace

X11Window::X11Window(Display& display, const Options& options)
    : display_(display), impl_(std::make_unique<Impl>()) {
  Impl& x = *impl_;
  x.x = XOpenDisplay(options.server.empty() ? nullptr : options.server.c_str());
  if (!x.x) {
    const char* name = options.server.empty() ? std::getenv("DISPLAY") : options.server.c_str();
    throw X11Unavailable(std::string("cannot open the X display ") +
                         (name && *name ? name : "(DISPLAY is not set)"));
  }
  x.screen = DefaultScreen(x.x);
  x.previousErrorHandler = XSetErrorHandler(IgnoreProtocolError);
  XVisualInfo info{};
  // The surface's pixels go to the server as they are: 0x00RRGGBB in 32 bits.
  if (!XMatchVisualInfo(x.x, x.screen, 24, TrueColor, &info) || info.red_mask != 0xFF0000 ||
      info.green_mask != 0xFF00 || info.blue_mask != 0xFF) {
    XCloseDisplay(x.x);
    XSetErrorHandler(x.previousErrorHandler);
    throw X11Unavailable("the X server offers no 24-bit TrueColor visual with 8-bit RGB masks");
  }
  x.visual = info.visual;
  x.width = display.GetSurface().Width();
  x.height = display.GetSurface().Height();

  XSetWindowAttributes attributes{};
  // No background: the server leaves exposed parts alone until the surface covers them, so
  // nothing flickers.
  attributes.background_pixmap = 0;
  attributes.border_pixel = 0;
  x.colormap = XCreateColormap(x.x, RootWindow(x.x, x.screen), x.visual, AllocNone);
  attributes.colormap = x.colormap;
  attributes.event_mask = ExposureMask | KeyPressMask | KeyReleaseMask | ButtonPressMask |
                          ButtonReleaseMask | PointerMotionMask | FocusChangeMask |
                          StructureNotifyMask | PropertyChangeMask;
  x.window = XCreateWindow(x.x, RootWindow(x.x, x.screen), 0, 0, static_cast<unsigned>(x.width),
                           static_cast<unsigned>(x.height), 0, 24, InputOutput, x.visual,
                           CWBackPixmap | CWBorderPixel | CWColormap | CWEventMask, &attributes);
  x.gc = XCreateGC(x.x, x.window, 0, nullptr);

  SetSizeHints(x, false);
  XWMHints* hints = XAllocWMHints();
  hints->flags = InputHint;
  hints->input = True;
  XSetWMHints(x.x, x.window, hints);
  XFree(hints);

  x.wmProtocols = XInternAtom(x.x, "WM_PROTOCOLS", False);
  x.wmDelete = XInternAtom(x.x, "WM_DELETE_WINDOW", False);
  x.clipboard = XInternAtom(x.x, "CLIPBOARD", False);
  x.utf8 = XInternAtom(x.x, "UTF8_STRING", False);
  x.targets = XInternAtom(x.x, "TARGETS", False);
  x.incr = XInternAtom(x.x, "INCR", False);
  x.pasteProperty = XInternAtom(x.x, "KESTRIX_PASTE", False);
  x.netWmName = XInternAtom(x.x, "_NET_WM_NAME", False);
  XSetWMProtocols(x.x, x.window, &x.wmDelete, 1);

  x.textCursor = XCreateFontCursor(x.x, XC_xterm);
  x.waitCursor = XCreateFontCursor(x.x, XC_watch);
  x.arrowCursor = XCreateFontCursor(x.x, XC_left_ptr);
  ShowCursor(x);

  DescribeWindow(x, options);
  SetUpLayouts(x);
  OpenInputMethod(x);
  SetTitle(options.title);
  XMapWindow(x.x, x.window);
  XFlush(x.x);

  startMs_ = RealMs() - display.NowMs();
  display.SetPlatform(this);
  display.SetMenuChooser([this](const std::vector<MenuItem>& items, POINT at) {
    Present();
    return RunPopupMenuWindow(*impl_, items, at);
  });
  display.SetIdleHandler([this](uint32_t timeoutMs) { return FeedWaitingLoop(timeoutMs); });
}

X11Window::~X11Window() {
  display_.SetPlatform(nullptr);
  display_.SetMenuChooser(nullptr);
  display_.SetIdleHandler(nullptr);
  Impl& x = *impl_;
  CloseInputMethod(x);
  RestoreLayouts(x);
  XFreeCursor(x.x, x.textCursor);
  XFreeCursor(x.x, x.waitCursor);
  XFreeCursor(x.x, x.arrowCursor);
  XFreeGC(x.x, x.gc);
  XDestroyWindow(x.x, x.window);
  XFreeColormap(x.x, x.colormap);
  XCloseDisplay(x.x);
  XSetErrorHandler(x.previousErrorHandler);
}

unsigned long X11Window::XWindowId() const { return impl_->window; }

Surface X11Window::Screenshot() const {
  Impl& x = *impl_;
  XSync(x.x, False);
  XImage* image = XGetImage(x.x, x.window, 0, 0, static_cast<unsigned>(x.width),
                            static_cast<unsigned>(x.height), AllPlanes, ZPixmap);
  if (!image) return Surface();
  Surface out(x.width, x.height);
  for (int y = 0; y < x.height; ++y)
    for (int col = 0; col < x.width; ++col)
      out.SetPixel(col, y, static_cast<uint32_t>(XGetPixel(image, col, y)) & 0xFFFFFF);
  XDestroyImage(image);
  return out;
}

void X11Window::SetTitle(const std::string& utf8) {
  Impl& x = *impl_;
  XChangeProperty(x.x, x.window, x.netWmName, x.utf8, 8, PropModeReplace,
                  reinterpret_cast<const unsigned char*>(utf8.data()), static_cast<int>(utf8.size()));
  // The old property for window managers that read only Latin-1: the ASCII of the title.
  std::string ascii;
  for (char c : utf8) ascii.push_back(static_cast<unsigned char>(c) < 0x80 ? c : '?');
  XStoreName(x.x, x.window, ascii.c_str());
  XFlush(x.x);
}

void X11Window::Present() {
  Impl& x = *impl_;
  const Surface& surface = display_.GetSurface();
  const std::vector<uint32_t>& pixels = surface.Pixels();
  const int w = surface.Width(), h = surface.Height();
  if (w != x.width || h != x.height || pixels.empty()) return;
  if (x.shown.size() != pixels.size()) {
    x.shown.assign(pixels.size(), 0);
    x.showAll = true;
  }
  XImage* image = XCreateImage(x.x, x.visual, 24, ZPixmap, 0,
                               const_cast<char*>(reinterpret_cast<const char*>(pixels.data())),
                               static_cast<unsigned>(w), static_cast<unsigned>(h), 32, w * 4);
  if (!image) return;
  image->byte_order = LSBFirst;
  // Bands of changed rows, each sent once over the columns that changed in it.
  int bandTop = -1, bandLeft = w, bandRight = 0;
  auto sendBand = [&](int bottom) {
    if (bandTop < 0) return;
    XPutImage(x.x, x.window, x.gc, image, bandLeft, bandTop, bandLeft, bandTop,
              static_cast<unsigned>(bandRight - bandLeft), static_cast<unsigned>(bottom - bandTop));
    bandTop = -1;
    bandLeft = w;
    bandRight = 0;
  };
  for (int y = 0; y < h; ++y) {
    const uint32_t* now = pixels.data() + static_cast<size_t>(y) * static_cast<size_t>(w);
    uint32_t* before = x.shown.data() + static_cast<size_t>(y) * static_cast<size_t>(w);
    bool changed = x.showAll || std::memcmp(now, before, static_cast<size_t>(w) * 4) != 0;
    if (!changed) {
      sendBand(y);
      continue;
    }
    int left = 0, right = w;
    if (!x.showAll) {
      while (now[left] == before[left]) ++left;
      while (now[right - 1] == before[right - 1]) --right;
    }
    if (bandTop < 0) bandTop = y;
    bandLeft = std::min(bandLeft, left);
    bandRight = std::max(bandRight, right);
    std::memcpy(before, now, static_cast<size_t>(w) * 4);
  }
  sendBand(h);
  x.showAll = false;
  image->data = nullptr;  // the pixels belong to the surface
  XDestroyImage(image);
  XFlush(x.x);
}

void X11Window::SetResizeHook(std::function<void(int, int)> hook) {
  resizeHook_ = std::move(hook);
  SetSizeHints(*impl_, resizeHook_ != nullptr);
  XFlush(impl_->x);
}

void X11Window::Resize(int width, int height) {
  Impl& x = *impl_;
  if (!resizeHook_ || width < 1 || height < 1 || (width == x.width && height == x.height)) return;
  display_.GetSurface().Reset(width, height);
  x.width = width;
  x.height = height;
  x.shown.clear();
  resizeHook_(width, height);
  Present();
}

void X11Window::CatchUpClock() {
  uint64_t real = RealMs() - startMs_;
  if (real > display_.NowMs()) display_.AdvanceClock(real - display_.NowMs());
}

namespace {

// Handles one X event for the display; true when it was input.
bool HandleEvent(X11Window& window, X11Window::Impl& x, Display& display, HWND& focusWindow,
                 const X11Window::KeyHook& hook, XEvent& event) {
  switch (event.type) {
    case KeyPress:
    case KeyRelease:
      x.lastTime = event.xkey.time;
      SyncModifiersFromState(display, event.xkey.state);
      HandleKey(x, display, event.xkey, event.type == KeyPress, hook);
      return true;
    case ButtonPress: {
      const XButtonEvent& b = event.xbutton;
      x.lastTime = b.time;
      SyncModifiersFromState(display, b.state);
      if (b.button == Button1) {
        bool twice = !x.lastPressWasDouble && b.time - x.lastPress < kDoubleClickMs &&
                     std::abs(b.x - x.lastPressX) <= kDoubleClickSlop &&
                     std::abs(b.y - x.lastPressY) <= kDoubleClickSlop;
        if (twice)
          display.DoubleClickDown(nullptr, b.x, b.y);
        else
          display.MouseDown(nullptr, b.x, b.y);
        x.lastPressWasDouble = twice;
        x.lastPress = b.time;
        x.lastPressX = b.x;
        x.lastPressY = b.y;
      } else if (b.button == Button2) {
        window.PastePrimaryAt(b.x, b.y);
      } else if (b.button == Button3) {
        display.MouseDown(nullptr, b.x, b.y, true);
      } else if (b.button == Button4 || b.button == Button5) {
        display.Wheel(nullptr, b.x, b.y, b.button == Button4 ? kWheelNotch : -kWheelNotch);
      }
      return true;
    }
    case ButtonRelease: {
      const XButtonEvent& b = event.xbutton;
      x.lastTime = b.time;
      SyncModifiersFromState(display, b.state);
      if (b.button == Button1 || b.button == Button3) display.MouseUp(nullptr, b.x, b.y, b.button == Button3);
      return true;
    }
    case MotionNotify: {
      // Only the latest of the moves waiting one after the other matters; a move after a
      // press or release stays behind it.
      while (XPending(x.x) > 0) {
        XEvent next;
        XPeekEvent(x.x, &next);
        if (next.type != MotionNotify || next.xmotion.window != x.window) break;
        XNextEvent(x.x, &event);
      }
      x.lastTime = event.xmotion.time;
      SyncModifiersFromState(display, event.xmotion.state);
      HWND under = WindowAtPoint(display, nullptr, POINT{event.xmotion.x, event.xmotion.y});
      x.overText = under == nullptr || under == display.GetFocus() || under == focusWindow;
      ShowCursor(x);
      display.MouseMove(nullptr, event.xmotion.x, event.xmotion.y);
      return true;
    }
    case FocusIn:
      if (event.xfocus.mode == NotifyGrab || event.xfocus.mode == NotifyUngrab) return false;
      SyncModifiers(x, display);
      GroupOnFocusIn(x);
      if (x.ic) XSetICFocus(x.ic);
      if (display.IsWindow(focusWindow)) display.SetFocus(focusWindow);
      return true;
    case FocusOut:
      if (event.xfocus.mode == NotifyGrab || event.xfocus.mode == NotifyUngrab) return false;
      if (event.xfocus.detail == NotifyInferior || event.xfocus.detail == NotifyPointer) return false;
      if (display.GetFocus()) focusWindow = display.GetFocus();
      display.SetFocus(nullptr);
      GroupOnFocusOut(x);
      if (x.ic) XUnsetICFocus(x.ic);
      return true;
    case MapNotify:
      x.mapped = true;
      return false;
    case ConfigureNotify: {
      // Only the last of the sizes waiting matters: each one lays the text out anew.
      XEvent next;
      while (XCheckTypedWindowEvent(x.x, x.window, ConfigureNotify, &next)) event = next;
      window.Resize(event.xconfigure.width, event.xconfigure.height);
      return false;
    }
    case DestroyNotify:
      // Another program destroyed the window: nothing is left to show or type into.
      if (event.xdestroywindow.window == x.window) window.Quit();
      return false;
    case ClientMessage:
      if (event.xclient.message_type == x.wmProtocols &&
          static_cast<Atom>(event.xclient.data.l[0]) == x.wmDelete)
        window.RequestClose();
      return false;
    case MappingNotify:
      XRefreshKeyboardMapping(&event.xmapping);
      return false;
    default:
      HandleBackgroundEvent(x, event);
      return false;
  }
}

}  // namespace

void HandleBackgroundEvent(X11Window::Impl& x, XEvent& event) {
  switch (event.type) {
    case Expose:
      x.showAll = true;
      break;
    case SelectionRequest:
      ServeSelectionRequest(x, event.xselectionrequest);
      break;
    case SelectionClear:
      if (event.xselectionclear.selection == x.clipboard) {
        x.ownClipboard = false;
        x.offered.reset();
      }
      if (event.xselectionclear.selection == XA_PRIMARY) x.ownPrimary = false;
      break;
    default:
      break;
  }
}

bool X11Window::Wait(uint32_t timeoutMs) {
  Impl& x = *impl_;
  if (!loopSource_) {
    WaitForInput(x.x, timeoutMs);
    return false;
  }
  std::vector<pollfd> fds{pollfd{ConnectionNumber(x.x), POLLIN, 0}};
  int wait = XPending(x.x) > 0 ? 0 : static_cast<int>(std::min<uint32_t>(timeoutMs, 60000));
  loopSource_->Prepare(fds, wait);
  poll(fds.data(), fds.size(), wait);
  return loopSource_->Dispatch(fds.data() + 1, fds.size() - 1);
}

void X11Window::ScreenOrigin(int& left, int& top) const {
  const Impl& x = *impl_;
  XWindow child = 0;
  left = top = 0;
  XTranslateCoordinates(x.x, x.window, RootWindow(x.x, x.screen), 0, 0, &left, &top, &child);
}

void X11Window::Turn(uint32_t timeoutMs) {
  Impl& x = *impl_;
  Present();
  uint32_t wait = timeoutMs;
  if (std::optional<uint64_t> due = display_.NextTimerDueMs()) {
    uint64_t now = RealMs() - startMs_;
    wait = static_cast<uint32_t>(std::min<uint64_t>(wait, *due > now ? *due - now : 0));
  }
  bool input = Wait(wait);
  while (!quit_ && XPending(x.x) > 0) {
    XEvent event;
    XNextEvent(x.x, &event);
    if (InputMethodTakes(x, event)) continue;
    input |= HandleEvent(*this, x, display_, focusWindow_, keyHook_, event);
  }
  CatchUpClock();
  if (input && afterInput_) afterInput_();
  Present();
}

int64_t X11Window::FeedWaitingLoop(uint32_t timeoutMs) {
  Impl& x = *impl_;
  if (quit_) return -1;
  uint64_t start = RealMs();
  Present();
  WaitForInput(x.x, timeoutMs);
  // Input found here is queued for the waiting loop, which takes what it wants.
  while (XPending(x.x) > 0) {
    XEvent event;
    XNextEvent(x.x, &event);
    if (InputMethodTakes(x, event)) continue;
    HandleEvent(*this, x, display_, focusWindow_, keyHook_, event);
  }
  uint64_t passed = RealMs() - start;
  return static_cast<int64_t>(std::min<uint64_t>(passed, timeoutMs));
}

void X11Window::Run() {
  while (!quit_) Turn(1000);
}

bool X11Window::RunUntil(const std::function<bool()>& done, uint32_t timeoutMs) {
  uint64_t end = RealMs() + timeoutMs;
  for (;;) {
    if (done()) return true;
    uint64_t now = RealMs();
    if (now >= end || quit_) return done();
    Turn(static_cast<uint32_t>(std::min<uint64_t>(end - now, 20)));
  }
}

int X11Window::ActiveGroup() const {
  XkbStateRec state{};
  if (!impl_->xkb || XkbGetState(impl_->x, XkbUseCoreKbd, &state) != Success) return 0;
  return state.group;
}

void X11Window::CursorChanged(PointerShape shape) {
  Impl& x = *impl_;
  x.waiting = shape == PointerShape::Wait;
  ShowCursor(x);
}

void X11Window::InputRefused(const std::string& why) {
  XBell(impl_->x, 0);
  XFlush(impl_->x);
  if (refusalHook_) refusalHook_(why);
}

void X11Window::LayoutRequested(LPARAM layout) {
  Impl& x = *impl_;
  constexpr LPARAM kArabic = 0x04010401;
  constexpr LPARAM kEnglish = 0x04090409;
  if (layout == kArabic && x.arabicGroup >= 0)
    x.wantedGroup = x.arabicGroup;
  else if (layout == kEnglish)
    x.wantedGroup = x.usGroup;
  else
    return;
  // Without the focus the group is another program's: it is taken when the focus comes.
  if (x.focused) LockGroup(x, x.wantedGroup);
}

void X11Window::SetInputSpot(int left, int baseline) { MoveInputSpot(*impl_, left, baseline); }

bool X11Window::HasInputMethod() const { return impl_->ic != nullptr; }

void X11Window::SetPrimaryText(std::function<std::string()> selected) { impl_->primaryText = std::move(selected); }

void X11Window::HoldPrimary(bool hold) {
  Impl& x = *impl_;
  if (hold) {
    XSetSelectionOwner(x.x, XA_PRIMARY, x.window, x.lastTime);
    x.ownPrimary = XGetSelectionOwner(x.x, XA_PRIMARY) == x.window;
  } else if (x.ownPrimary) {
    XSetSelectionOwner(x.x, XA_PRIMARY, 0, x.lastTime);
    x.ownPrimary = false;
  }
  XFlush(x.x);
}

void X11Window::PastePrimaryAt(int px, int py) {
  Impl& x = *impl_;
  std::optional<std::string> text;
  XWindow owner = XGetSelectionOwner(x.x, XA_PRIMARY);
  if (owner == x.window) {
    if (x.primaryText) text = x.primaryText();
  } else if (owner != 0) {
    std::string problem;
    std::optional<std::string> utf8 = FetchSelectionUtf8(x, XA_PRIMARY, problem);
    if (utf8) {
      std::string unplaced;
      text = ControlTextFromUtf8(*utf8, unplaced);
      if (!text) problem = "the selection's text holds " + unplaced;
    }
    if (!problem.empty()) {
      InputRefused("Nothing was pasted: " + problem);
      return;
    }
  }
  if (text && !text->empty() && middleClickHook_) middleClickHook_(px, py, *text);
}

void X11Window::ClipboardChanged(const std::optional<std::string>& text) {
  Impl& x = *impl_;
  x.offered = text;
  XSetSelectionOwner(x.x, x.clipboard, x.window, x.lastTime);
  x.ownClipboard = XGetSelectionOwner(x.x, x.clipboard) == x.window;
  XFlush(x.x);
}

std::optional<std::string> X11Window::ClipboardText(const std::optional<std::string>& own) {
  Impl& x = *impl_;
  XWindow owner = XGetSelectionOwner(x.x, x.clipboard);
  if (owner == x.window) return own;
  if (owner == 0) return std::nullopt;
  std::string problem;
  std::optional<std::string> text = FetchClipboard(x, problem);
  if (!problem.empty()) display_.NoteClipboardRefused(problem);
  return text;
}

}  // namespace kestrix
