// The platform edge of a display: what a real window system adds to the display's own model of
// windows, messages and clock. The headless display runs without one (its clipboard, cursor and
// layout stay in memory for tests to read); a window-system backend attaches one and is told of
// each change as it happens, so that, say, the wait cursor shows during the long work itself.
#pragma once

#include <optional>
#include <string>

#include "../WinTypes.h"

namespace kestrix {

class DisplayPlatform {
 public:
  virtual ~DisplayPlatform() = default;

  // The display's clipboard text was replaced (code page 1256, CR breaks), or emptied.
  virtual void ClipboardChanged(const std::optional<std::string>& text) = 0;
  // The clipboard as the whole system sees it: own when this display still holds the system
  // clipboard, else whatever another program offers (nothing when it offers no text).
  virtual std::optional<std::string> ClipboardText(const std::optional<std::string>& own) = 0;
  // Whether the system's clipboard can be opened now: another program may hold it open, and
  // then the display's cannot be opened either.
  virtual bool ClipboardAvailable() { return true; }
  virtual void CursorChanged(PointerShape shape) = 0;
  // The state of Shift, Control or Alt as the window system keeps it for the message being
  // handled (negative while down), or nothing where the display's own record is to be used.
  // Keys go down and up while other windows have the focus, unseen by the display.
  virtual std::optional<short> ModifierState(int /*virtualKey*/) { return std::nullopt; }
  // A keyboard layout was asked for (0x04090409 English, 0x04010401 Arabic).
  virtual void LayoutRequested(LPARAM layout) = 0;
  // Input was refused, the code page having no place for it: the system's beep, and why where
  // the platform can show it.
  virtual void InputRefused(const std::string& /*why*/) {}
  // What the windows have drawn so far is to be seen now: a long task goes on before the
  // message loop next runs.
  virtual void ShowDrawing() {}
};

}  // namespace kestrix
