// Presses keys of the X server's own keyboard, as a person does, through the XTEST extension:
// the server decides what a key types in the layout that is active, so the test sees what
// the control's layout request did. (xdotool instead picks the layout of each symbol it types.)
#pragma once

#include <memory>
#include <string>

namespace kestrix {

class PhysicalKeys {
 public:
  explicit PhysicalKeys(const std::string& display);
  ~PhysicalKeys();
  bool Ready() const { return connection_ != nullptr; }
  // Presses the keys of a chord in order and lets them go in reverse: "h", "ctrl+Shift_R".
  // Each key is named by its symbol in the US layout.
  void Press(const std::string& chord);
  // Holds one key down, or lets it go.
  void Hold(const std::string& key, bool down);
  // Moves the keyboard focus to the root window, as a click into another program does.
  void FocusElsewhere();
  // Puts symbol on a key the keyboard does not use (a dead key, the Compose key), so that
  // Press can press it by its name.
  bool AddKey(const std::string& symbol);
  // Asks a top-level window to close (WM_DELETE_WINDOW), as a window manager's close button does.
  void AskToClose(unsigned long window);

 private:
  void* connection_ = nullptr;
  int nextSpareKey_ = 200;  // key codes above the keyboard's own
};

}  // namespace kestrix
