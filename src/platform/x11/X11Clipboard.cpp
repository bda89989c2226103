// The CLIPBOARD and PRIMARY selections: offered to other programs while the control's copy
// (or its selection) holds them, and read from whichever program holds them for a paste.
#include <poll.h>

#include <algorithm>
#include <chrono>
#include <climits>

#include "platform/x11/ClipboardText.h"
#include "platform/x11/X11Internal.h"

namespace kestrix {

namespace {

// A program that does not answer a paste, or send its next piece, within this time has
// nothing to paste; a whole paste takes at most kPasteTotalMs and kPasteLimitBytes.
constexpr int kPasteTimeoutMs = 2000;
constexpr int kPasteTotalMs = 10000;
constexpr size_t kPasteLimitBytes = size_t{64} << 20;

// What the person is told when a paste is refused, of the clipboard or of the selection.
std::string TooLarge(const char* what) { return std::string("the ") + what + "'s text is larger than 64 MB"; }
std::string TooSlow(const char* what) { return std::string("the ") + what + "'s text took longer than 10 s to arrive"; }
std::string Stopped(const char* what) {
  return std::string("the program holding the ") + what + " stopped sending its text";
}
std::string NotText(const char* what) { return std::string("the ") + what + " sent something other than UTF-8 text"; }

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
         event->xselection.selection == x.fetching;
}

Bool IsNewPasteChunk(XDisplay*, XEvent* event, XPointer self) {
  const auto& x = *reinterpret_cast<X11Window::Impl*>(self);
  return event->type == PropertyNotify && event->xproperty.window == x.window &&
         event->xproperty.atom == x.pasteProperty && event->xproperty.state == PropertyNewValue;
}

enum class Taken { kMissing, kOverLimit, kText, kOtherType };

// Reads and deletes the paste property when it holds at most limit bytes of 8-bit data of
// type want (or of any type when want is 0); a larger value is deleted unread.
Taken TakeProperty(X11Window::Impl& x, Atom want, size_t limit, Atom& type, std::string& bytes) {
  int format = 0;
  unsigned long count = 0, after = 0;
  unsigned char* data = nullptr;
  const long longs = static_cast<long>(std::min<size_t>(limit / 4 + 1, LONG_MAX / 4));
  if (XGetWindowProperty(x.x, x.window, x.pasteProperty, 0, longs, True, AnyPropertyType, &type,
                         &format, &count, &after, &data) != Success)
    return Taken::kMissing;
  Taken taken = Taken::kText;
  if (type == 0) {
    taken = Taken::kMissing;
  } else if (want != 0 && (type != want || format != 8)) {
    taken = Taken::kOtherType;
  } else if (after > 0 || (format == 8 && count > limit)) {
    taken = Taken::kOverLimit;
    XDeleteProperty(x.x, x.window, x.pasteProperty);
  } else if (data && format == 8) {
    bytes.assign(reinterpret_cast<const char*>(data), count);
  }
  if (data) XFree(data);
  return taken;
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
  const bool clipboard = request.selection == x.clipboard && x.ownClipboard && x.offered;
  const bool primary = request.selection == XA_PRIMARY && x.ownPrimary && x.primaryText;
  if (clipboard || primary) {
    if (request.target == x.targets) {
      Atom offered[] = {x.targets, x.utf8, XA_STRING};
      XChangeProperty(x.x, request.requestor, property, XA_ATOM, 32, PropModeReplace,
                      reinterpret_cast<const unsigned char*>(offered), 3);
      reply.property = property;
    } else if (request.target == x.utf8 || request.target == XA_STRING) {
      // The selection's text as it is when another program asks for it.
      const std::string held = clipboard ? *x.offered : x.primaryText();
      std::string text = request.target == x.utf8 ? Utf8ForOtherPrograms(held) : Latin1ForOtherPrograms(held);
      XChangeProperty(x.x, request.requestor, property, request.target, 8, PropModeReplace,
                      reinterpret_cast<const unsigned char*>(text.data()), static_cast<int>(text.size()));
      reply.property = property;
    }
  }
  XSendEvent(x.x, request.requestor, False, 0, reinterpret_cast<XEvent*>(&reply));
  XFlush(x.x);
}

std::optional<std::string> FetchSelectionUtf8(X11Window::Impl& x, Atom selection, std::string& problem) {
  const char* what = selection == XA_PRIMARY ? "selection" : "clipboard";
  x.fetching = selection;
  XDeleteProperty(x.x, x.window, x.pasteProperty);
  XConvertSelection(x.x, selection, x.utf8, x.pasteProperty, x.window, x.lastTime);
  XFlush(x.x);
  const auto start = Clock::now();
  const auto end = start + std::chrono::milliseconds(kPasteTotalMs);
  auto deadline = start + std::chrono::milliseconds(kPasteTimeoutMs);
  XEvent event;
  if (!WaitForEvent(x, deadline, IsPasteNotify, event) || event.xselection.property == 0)
    return std::nullopt;
  Atom type = 0;
  std::string bytes;
  switch (TakeProperty(x, 0, kPasteLimitBytes, type, bytes)) {
    case Taken::kMissing: return std::nullopt;
    case Taken::kOverLimit: problem = TooLarge(what); return std::nullopt;
    default: break;
  }
  if (type == x.incr) {
    // A large text comes in pieces: each new value of the property is the next piece, and an
    // empty one ends it. The whole transfer has one deadline and one size limit, so a program
    // cannot keep the window waiting, or fill its memory, by sending for ever.
    bytes.clear();
    deadline = std::min(Clock::now() + std::chrono::milliseconds(kPasteTimeoutMs), end);
    for (;;) {
      if (!WaitForEvent(x, deadline, IsNewPasteChunk, event)) {
        problem = deadline == end ? TooSlow(what) : Stopped(what);
        return std::nullopt;
      }
      std::string piece;
      switch (TakeProperty(x, x.utf8, kPasteLimitBytes - bytes.size(), type, piece)) {
        case Taken::kMissing: continue;  // news of a value already taken (the INCR reply's)
        case Taken::kOverLimit: problem = TooLarge(what); return std::nullopt;
        case Taken::kOtherType: problem = NotText(what); return std::nullopt;
        case Taken::kText: break;
      }
      if (piece.empty()) break;
      bytes += piece;
      deadline = std::min(Clock::now() + std::chrono::milliseconds(kPasteTimeoutMs), end);
    }
  } else if (type != x.utf8) {
    problem = NotText(what);
    return std::nullopt;
  }
  return bytes;
}

std::optional<std::string> FetchClipboard(X11Window::Impl& x, std::string& problem) {
  std::optional<std::string> utf8 = FetchSelectionUtf8(x, x.clipboard, problem);
  if (!utf8) return std::nullopt;
  return ControlTextFromUtf8(*utf8);
}

}  // namespace kestrix
