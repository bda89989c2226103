// What the parts of the X11 window share: the Xlib connection and the window's state. Xlib
// names its connection type Display and its window identifier Window in the global namespace,
// as the framework names its display and window records in its own; here they are XDisplay
// and XWindow.
#pragma once

#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "platform/x11/X11Window.h"

#include <X11/XKBlib.h>
#include <X11/Xatom.h>
#include <X11/Xlib.h>
#include <X11/Xutil.h>

namespace kestrix {

using XDisplay = ::Display;
using XWindow = ::Window;

struct X11Window::Impl {
  XDisplay* x = nullptr;
  int screen = 0;
  XWindow window = 0;
  Visual* visual = nullptr;
  GC gc = nullptr;
  XErrorHandler previousErrorHandler = nullptr;
  Colormap colormap = 0;
  int width = 0, height = 0;
  bool mapped = false;
  Time lastTime = CurrentTime;  // of the last event, for selection requests

  Atom wmProtocols = 0, wmDelete = 0, clipboard = 0, utf8 = 0, targets = 0, incr = 0,
       pasteProperty = 0, netWmName = 0;

  // Pixels as last sent to the server; an exposure sends them all again.
  std::vector<uint32_t> shown;
  bool showAll = true;

  ::Cursor textCursor = 0, waitCursor = 0, arrowCursor = 0;
  ::Cursor shownCursor = 0;  // the one defined on the window now
  bool waiting = false;      // the wait cursor stands until the work ends
  bool overText = true;      // the pointer is over the window that takes the keyboard

  // Keyboard groups: the US and Arabic layouts, and the symbols to put back at the end when
  // the window had to load them.
  bool xkb = false;
  int xkbEvent = 0;
  int usGroup = 0;
  int arabicGroup = -1;
  std::string restoreSymbols;

  // The last left press, to tell a double click.
  Time lastPress = 0;
  int lastPressX = 0, lastPressY = 0;
  bool lastPressWasDouble = false;

  // The CLIPBOARD selection while this window owns it.
  bool ownClipboard = false;
  std::optional<std::string> offered;
  // The PRIMARY selection while this window owns it: its text is asked for when wanted.
  bool ownPrimary = false;
  std::function<std::string()> primaryText;
  Atom fetching = 0;  // the selection a paste waits for

  // The keyboard group: the one the window asked for (-1 none yet), and the one the server
  // had when the window took the focus, given back when it loses it.
  int wantedGroup = -1;
  int groupOutside = -1;
  bool focused = false;

  // The input method and its context, when the server or the locale offers one: keys go
  // through it, so compose sequences, dead keys and input method servers type.
  XIM im = nullptr;
  XIC ic = nullptr;
  bool preeditAtSpot = false;  // the method draws its pre-edit text where the caret is
};

// Keyboard (X11Keyboard.cpp).
void SetUpLayouts(X11Window::Impl& x);
void RestoreLayouts(X11Window::Impl& x);
void LockGroup(X11Window::Impl& x, int group);
// The group the server has now (0 without XKB).
int CurrentGroup(X11Window::Impl& x);
// The focus comes and goes: the group asked for is taken while the window has the focus, and
// the group the server had before is given back when it goes (the group is the whole server's).
void GroupOnFocusIn(X11Window::Impl& x);
void GroupOnFocusOut(X11Window::Impl& x);
// The key state of Shift, Control and Alt as the server has it now (after the focus returns).
void SyncModifiers(X11Window::Impl& x, Display& display);
// Shift, Control and Alt as an input event's state gives them: the server's state just before
// the event, whichever window had the focus when they went down or up.
void SyncModifiersFromState(Display& display, unsigned state);
// A key press or release; the hook may take a press first.
void HandleKey(X11Window::Impl& x, Display& display, XKeyEvent& event, bool press,
               const X11Window::KeyHook& hook);

// Input method (X11InputMethod.cpp).
void OpenInputMethod(X11Window::Impl& x);
void CloseInputMethod(X11Window::Impl& x);
// Whether the input method took the event (a key of a sequence it composes).
bool InputMethodTakes(X11Window::Impl& x, XEvent& event);
// Where the caret is, for a method that shows its pre-edit text there (client pixels).
void MoveInputSpot(X11Window::Impl& x, int left, int baseline);
// The text a key press types through the method, UTF-8, and the key's symbol; nothing when no
// method is open.
struct MethodText {
  std::string utf8;
  unsigned long symbol = 0;
};
std::optional<MethodText> LookUpThroughMethod(X11Window::Impl& x, XKeyEvent& event);

// Clipboard (X11Clipboard.cpp).
void ServeSelectionRequest(X11Window::Impl& x, const XSelectionRequestEvent& request);
// Another program's clipboard text as control text; nothing when there is none, and then
// problem says why when the person should be told.
std::optional<std::string> FetchClipboard(X11Window::Impl& x, std::string& problem);
// The UTF-8 text of a selection another program holds (CLIPBOARD or PRIMARY), within the same
// limits of size and time.
std::optional<std::string> FetchSelectionUtf8(X11Window::Impl& x, Atom selection, std::string& problem);

// Popup menus (X11PopupMenu.cpp): the id chosen, or 0. The window's exposures and selection
// requests are still answered while the menu is up.
UINT RunPopupMenuWindow(X11Window::Impl& x, const std::vector<MenuItem>& items, POINT at);
// Answers the events that need an answer while a nested loop holds the input.
void HandleBackgroundEvent(X11Window::Impl& x, XEvent& event);

}  // namespace kestrix
