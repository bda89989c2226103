// The window benchmark's view of the X server: finding a program's top-level window, reading
// its pixels and pressing keys through XTest, as a person's keyboard would.
#pragma once

#include <X11/Xlib.h>
#include <sys/types.h>

#include <optional>
#include <string>

#include "WindowPixels.h"

namespace kestrix {

namespace bench {

class ScreenReader {
 public:
  // Opens the display; Open() tells whether it worked. Errors about windows that go away or are
  // not yet viewable are expected and ignored.
  explicit ScreenReader(const std::string& display);
  ~ScreenReader();
  ScreenReader(const ScreenReader&) = delete;
  ScreenReader& operator=(const ScreenReader&) = delete;

  bool Open() const { return x_ != nullptr; }
  bool HasXTest() const { return xtest_; }

  // The viewable top-level window of process `pid` (_NET_WM_PID), or else the largest viewable
  // top-level window: the benchmark runs one program at a time on a server of its own.
  std::optional<Window> TopLevelOf(pid_t pid);
  // The window's pixels, or nothing while it is not viewable.
  std::optional<Pixels> Read(Window window);
  void Focus(Window window);
  // Presses and lets go of one key, with Control held when asked.
  void Press(const char* keysymName, bool control = false);

 private:
  Display* x_ = nullptr;
  bool xtest_ = false;
};

}  // namespace bench

}  // namespace kestrix
