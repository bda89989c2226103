// A real window on an X server for a display: the display's surface is shown in a top-level X
// window, X input becomes the display's input, its timers run on the real clock, and its
// clipboard, cursor, popup menus and keyboard layouts are the X server's. No Xlib type shows
// here, so hosts and tests include this without the X headers.
#pragma once

#include <poll.h>

#include <cstdint>
#include <functional>
#include <memory>
#include <stdexcept>
#include <string>
#include <vector>

#include "framework/resource/ImageResource.h"
#include "framework/window/Display.h"
#include "framework/window/DisplayPlatform.h"

namespace kestrix {

// Thrown when no X server can be reached or it cannot show the window.
struct X11Unavailable : std::runtime_error {
  using std::runtime_error::runtime_error;
};

// Other input the window's loop serves beside the X connection (an accessibility bus): before
// each wait the source adds the descriptors it watches and may shorten the wait; after the
// wait it handles what is ready, given its descriptors back with their events, and says
// whether it did anything (which counts as input: the host looks at the control again).
class LoopSource {
 public:
  virtual ~LoopSource() = default;
  virtual void Prepare(std::vector<pollfd>& fds, int& timeoutMs) = 0;
  virtual bool Dispatch(const pollfd* fds, size_t count) = 0;
};

class X11Window final : public DisplayPlatform {
 public:
  struct Options {
    std::string server;  // the X display name; empty for $DISPLAY
    std::string title = "kestrix";
    // The program's name in WM_CLASS; its class there is the name with a capital.
    std::string program = "kestrix";
    ImageResource icon;  // none when empty
  };
  // The window has the size of the display's surface. Throws X11Unavailable.
  X11Window(Display& display, const Options& options);
  ~X11Window() override;
  X11Window(const X11Window&) = delete;
  X11Window& operator=(const X11Window&) = delete;

  // The window that takes the keyboard when the X window gets the focus.
  void SetFocusWindow(HWND hwnd) { focusWindow_ = hwnd; }
  void SetTitle(const std::string& utf8);
  // A shortcut of the host, asked before the key reaches the display: true when it took the
  // key (virtual-key code and the Shift, Control and Alt state).
  using KeyHook = std::function<bool(int virtualKey, bool shift, bool control, bool alt)>;
  void SetKeyHook(KeyHook hook) { keyHook_ = std::move(hook); }
  // Lets the person resize the window: hook is called with the new size once the display's
  // surface has it, for the host to lay its windows out anew. Without a hook the window keeps
  // the surface's size.
  void SetResizeHook(std::function<void(int width, int height)> hook);
  // Gives the display's surface a new size, tells the host, and shows it all again.
  void Resize(int width, int height);
  // Served by every turn of the loop from now on; null stops. It must outlive the window or
  // be taken away first.
  void SetLoopSource(LoopSource* source) { loopSource_ = source; }
  // Where the window's top-left pixel is on the screen.
  void ScreenOrigin(int& x, int& y) const;
  // Where the caret is (client pixels: its left and its line's baseline), for an input method
  // that shows the text it is composing there.
  void SetInputSpot(int left, int baseline);
  // Whether keys go through an input method (the server's, or Xlib's own composing one).
  bool HasInputMethod() const;
  // The PRIMARY selection: held while the host has a selection (it calls HoldPrimary when its
  // selection becomes one or ends), its text asked of selected() when another program wants it.
  void SetPrimaryText(std::function<std::string()> selected);
  void HoldPrimary(bool hold);
  // A middle click pastes the PRIMARY selection, whoever holds it, at the point clicked: the
  // hook gets the point and the text in the code page. A text the code page cannot hold is
  // refused aloud, as a paste is.
  using MiddleClickHook = std::function<void(int x, int y, const std::string& text)>;
  void SetMiddleClickHook(MiddleClickHook hook) { middleClickHook_ = std::move(hook); }
  void PastePrimaryAt(int x, int y);
  // Called after every turn of the loop that handled input.
  void SetAfterInput(std::function<void()> after) { afterInput_ = std::move(after); }

  // Runs the loop until the window is closed or Quit is called.
  void Run();
  // Runs the loop until done() holds or timeoutMs of real time pass; whether done() held.
  bool RunUntil(const std::function<bool()>& done, uint32_t timeoutMs);
  void Quit() { quit_ = true; }
  // Asked when the person closes the window: true lets it close (the default).
  void SetCloseHook(std::function<bool()> hook) { closeHook_ = std::move(hook); }
  void RequestClose() {
    if (!closeHook_ || closeHook_()) Quit();
  }
  bool Closed() const { return quit_; }

  // Shows every pixel of the surface that changed since it was last shown.
  void Present();
  // The window's pixels as the X server holds them, read back (xRGB).
  Surface Screenshot() const;
  // The X identifier of the top-level window, for tools that address it.
  unsigned long XWindowId() const;
  // The X group of each layout (for tests).
  int ActiveGroup() const;

  // DisplayPlatform.
  void ClipboardChanged(const std::optional<std::string>& text) override;
  std::optional<std::string> ClipboardText(const std::optional<std::string>& own) override;
  void CursorChanged(PointerShape shape) override;
  void LayoutRequested(LPARAM layout) override;
  // The bell, and the reason to the host's hook (the editor shows it).
  void InputRefused(const std::string& why) override;
  void ShowDrawing() override { Present(); }
  void SetRefusalHook(std::function<void(const std::string& why)> hook) { refusalHook_ = std::move(hook); }

  struct Impl;

 private:
  // One turn: waits up to timeoutMs for X events, handles them, lets due timers run.
  void Turn(uint32_t timeoutMs);
  // Waits until X input comes, the loop source's input comes, or timeoutMs pass, and lets the
  // source handle its own; whether the source did anything.
  bool Wait(uint32_t timeoutMs);
  // While the control's own loop waits: X input is queued for it, and the real time that
  // passed is answered.
  int64_t FeedWaitingLoop(uint32_t timeoutMs);
  void CatchUpClock();

  Display& display_;
  std::unique_ptr<Impl> impl_;
  HWND focusWindow_ = nullptr;
  KeyHook keyHook_;
  std::function<void()> afterInput_;
  std::function<bool()> closeHook_;
  std::function<void(const std::string&)> refusalHook_;
  std::function<void(int, int)> resizeHook_;
  LoopSource* loopSource_ = nullptr;
  MiddleClickHook middleClickHook_;
  bool quit_ = false;
  uint64_t startMs_ = 0;  // the real clock when the display's clock stood at its start
};

}  // namespace kestrix
