// The CLIPBOARD selection: offered to other programs while the control's copy holds it, and
// read from whichever program holds it for a paste.
#include <poll.h>

#include <chrono>
#include <climits>

#include "platform/x11/ClipboardText.h"
#include "platform/x11/X11Internal.h"

namespace {

// A program that does not answer a paste within this time has nothing to paste.
constexpr int kPasteTimeoutMs = 2000;

using Clock = std::chrono::steady_clock;

// Waits for an event that matches, leaving the others queued for the loop; false when the time
// runs out.
bool WaitForEvent(X11Window::Impl& x, Clock::time_point deadline,
                  Bool (*matches)(XDisplay*, XEvent*, XPointer), XEvent& out) {
  for (;;) {
    if (XCheckIfEvent(x.x, &out, matches, reinterpret_cast<XPointer>(&x))) return true;
    auto left = std::chrono::duration_cast<std::chrono::milliseconds>(deadline - Clock::now()).count();
    if (left <= 0) return false;
    pollfd fd{ConnectionNumber(x.x), POLLIN, 0};
    poll(&fd, 1, static_cast<int>(std::min<long long>(left, 50)));
  }
}

Bool IsPasteNotify(XDisplay*, XEvent* event, XPointer self) {
  const auto& x = *reinterpret_cast<X11Window::Impl*>(self);
  return event->type == SelectionNotify && event->xselection.requestor == x.window &&
         event->xselection.selection == x.clipboard;
}

Bool IsNewPasteChunk(XDisplay*, XEvent* event, XPointer self) {
  const auto& x = *reinterpret_cast<X11Window::Impl*>(self);
  return event->type == PropertyNotify && event->xproperty.window == x.window &&
         event->xproperty.atom == x.pasteProperty && event->xproperty.state == PropertyNewValue;
}

// Reads and deletes the paste property; false when it is missing.
bool TakeProperty(X11Window::Impl& x, Atom& type, std::string& bytes) {
  int format = 0;
  unsigned long count = 0, after = 0;
  unsigned char* data = nullptr;
  if (XGetWindowProperty(x.x, x.window, x.pasteProperty, 0, LONG_MAX / 4, True, AnyPropertyType,
                         &type, &format, &count, &after, &data) != Success)
    return false;
  if (data) {
    bytes.assign(reinterpret_cast<const char*>(data), count * static_cast<unsigned long>(format / 8));
    XFree(data);
  }
  return type != 0;
}

}  // namespace

void ServeSelectionRequest(X11Window::Impl& x, const XSelectionRequestEvent& request) {
  XSelectionEvent reply{};
  reply.type = SelectionNotify;
  reply.display = request.display;
  reply.requestor = request.requestor;
  reply.selection = request.selection;
  reply.target = request.target;
  reply.time = request.time;
  reply.property = 0;
  // Old clients name no property: the target stands for it.
  Atom property = request.property ? request.property : request.target;
  if (request.selection == x.clipboard && x.ownClipboard && x.offered) {
    if (request.target == x.targets) {
      Atom offered[] = {x.targets, x.utf8, XA_STRING};
      XChangeProperty(x.x, request.requestor, property, XA_ATOM, 32, PropModeReplace,
                      reinterpret_cast<const unsigned char*>(offered), 3);
      reply.property = property;
    } else if (request.target == x.utf8 || request.target == XA_STRING) {
      std::string text = request.target == x.utf8 ? Utf8ForOtherPrograms(*x.offered)
                                                  : Latin1ForOtherPrograms(*x.offered);
      XChangeProperty(x.x, request.requestor, property, request.target, 8, PropModeReplace,
                      reinterpret_cast<const unsigned char*>(text.data()), static_cast<int>(text.size()));
      reply.property = property;
    }
  }
  XSendEvent(x.x, request.requestor, False, 0, reinterpret_cast<XEvent*>(&reply));
  XFlush(x.x);
}

std::optional<std::string> FetchClipboard(X11Window::Impl& x) {
  XDeleteProperty(x.x, x.window, x.pasteProperty);
  XConvertSelection(x.x, x.clipboard, x.utf8, x.pasteProperty, x.window, x.lastTime);
  XFlush(x.x);
  auto deadline = Clock::now() + std::chrono::milliseconds(kPasteTimeoutMs);
  XEvent event;
  if (!WaitForEvent(x, deadline, IsPasteNotify, event) || event.xselection.property == 0)
    return std::nullopt;
  Atom type = 0;
  std::string bytes;
  if (!TakeProperty(x, type, bytes)) return std::nullopt;
  if (type == x.incr) {
    // A large text comes in pieces: each new value of the property is the next piece, and an
    // empty one ends it.
    bytes.clear();
    for (;;) {
      deadline = Clock::now() + std::chrono::milliseconds(kPasteTimeoutMs);
      if (!WaitForEvent(x, deadline, IsNewPasteChunk, event)) return std::nullopt;
      std::string piece;
      if (!TakeProperty(x, type, piece)) return std::nullopt;
      if (piece.empty()) break;
      bytes += piece;
    }
  }
  return ControlTextFromUtf8(bytes);
}
