#include "StreamingClipboardOwner.h"

#include <X11/Xatom.h>
#include <X11/Xlib.h>
#include <poll.h>

#include <chrono>

namespace kestrix {

StreamingClipboardOwner::StreamingClipboardOwner(const std::string& display, Plan plan) : plan_(plan) {
  thread_ = std::thread([this, display] { Serve(display); });
  while (ready_ == 0) std::this_thread::sleep_for(std::chrono::milliseconds(5));
}

StreamingClipboardOwner::~StreamingClipboardOwner() {
  stop_ = true;
  thread_.join();
}

void StreamingClipboardOwner::Serve(const std::string& name) {
  Display* x = XOpenDisplay(name.c_str());
  if (!x) {
    ready_ = -1;
    return;
  }
  const Window own = XCreateSimpleWindow(x, DefaultRootWindow(x), 0, 0, 1, 1, 0, 0, 0);
  const Atom clipboard = XInternAtom(x, "CLIPBOARD", False);
  const Atom utf8 = XInternAtom(x, "UTF8_STRING", False);
  const Atom incr = XInternAtom(x, "INCR", False);
  XSetSelectionOwner(x, clipboard, own, CurrentTime);
  ready_ = XGetSelectionOwner(x, clipboard) == own ? 1 : -1;

  using Clock = std::chrono::steady_clock;
  const std::string piece(plan_.pieceBytes, 'k');
  Window requestor = 0;
  Atom property = 0;
  bool taken = false;  // the requestor took the last piece: the next one is due
  Clock::time_point due{};
  int left = 0;
  while (!stop_ && ready_ == 1) {
    while (XPending(x)) {
      XEvent e;
      XNextEvent(x, &e);
      if (e.type == SelectionRequest) {
        const XSelectionRequestEvent& r = e.xselectionrequest;
        XSelectionEvent reply{};
        reply.type = SelectionNotify;
        reply.requestor = r.requestor;
        reply.selection = r.selection;
        reply.target = r.target;
        reply.time = r.time;
        if (r.target == utf8 && r.property) {
          requestor = r.requestor;
          property = r.property;
          left = plan_.pieces;
          XSelectInput(x, requestor, PropertyChangeMask);
          long size = static_cast<long>(plan_.pieceBytes);
          XChangeProperty(x, requestor, property, incr, 32, PropModeReplace,
                          reinterpret_cast<unsigned char*>(&size), 1);
          reply.property = property;
        }
        XSendEvent(x, r.requestor, False, 0, reinterpret_cast<XEvent*>(&reply));
      } else if (e.type == PropertyNotify && e.xproperty.window == requestor &&
                 e.xproperty.atom == property && e.xproperty.state == PropertyDelete && left >= 0) {
        taken = true;
        due = Clock::now() + std::chrono::milliseconds(plan_.delayMs);
      }
    }
    if (taken && Clock::now() >= due) {
      taken = false;
      const Atom type = plan_.asString ? XA_STRING : utf8;
      const int bytes = left > 0 ? static_cast<int>(piece.size()) : 0;
      XChangeProperty(x, requestor, property, type, 8, PropModeReplace,
                      reinterpret_cast<const unsigned char*>(piece.data()), bytes);
      --left;
      ++sent_;
    }
    XFlush(x);
    pollfd fd{ConnectionNumber(x), POLLIN, 0};
    poll(&fd, 1, 5);
  }
  XDestroyWindow(x, own);
  XCloseDisplay(x);
}

}  // namespace kestrix
