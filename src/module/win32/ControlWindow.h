// The real window that shows a control in its container's window: its paint shows the
// display's surface, its keyboard and mouse messages become the display's input, a system
// timer runs the display's clock, and the clipboard, cursor, keyboard layout, popup menus and
// modal dialogs are the system's.
#pragma once

#include <windows.h>

#include <functional>
#include <utility>

#include "module/win32/ControlInstance.h"
#include "module/win32/MsaaPublisher.h"

namespace win32host {

class ControlWindow final : public SystemEdge {
 public:
  // Creates the window as a child of parent at rect (the parent's client coordinates) and
  // places the control in it. Handle() is null when the system refused the window.
  ControlWindow(ControlInstance& instance, HWND parent, const RECT& rect);
  ~ControlWindow() override;
  ControlWindow(const ControlWindow&) = delete;
  ControlWindow& operator=(const ControlWindow&) = delete;

  HWND Handle() const { return hwnd_; }
  void Move(const RECT& rect);
  // Called when the window gains or loses the keyboard focus, for the container to know.
  void SetFocusHook(std::function<void(bool gained)> hook) { focusHook_ = std::move(hook); }
  // Shows what changed and sets the timer for the display's next one.
  void Present();
  // In design mode (the container's ambient UserMode false) the control draws its text but
  // takes no keys or clicks (clicks fall through to the container's window) and shows no caret.
  void SetDesignMode(bool design);
  bool DesignMode() const { return designMode_; }
  // Whether a key or character message is the control's: everything but Tab, Escape, Return
  // when the control does not act on it, and system keys, which a dialog or the container
  // takes. Nothing is the control's in design mode.
  bool WantsKey(const MSG& msg);
  // The name screen readers give the control (the container's name for it).
  void SetAccessibleName(const std::u16string& name);

  // SystemEdge
  void ClipboardChanged(const std::optional<std::string>& text) override;
  std::optional<std::string> ClipboardText(const std::optional<std::string>& own) override;
  std::optional<std::string> TakeClipboardRefusal() override { return std::exchange(clipboardRefusal_, std::nullopt); }
  void InputRefused(const std::string& why) override;
  bool ClipboardAvailable() override;
  void CursorChanged(Cursor cursor) override;
  void LayoutRequested(intptr_t layout) override;
  std::optional<short> ModifierState(int virtualKey) override;
  int64_t FeedWaitingLoop(uint32_t timeoutMs) override;
  unsigned ChooseFromMenu(const std::vector<MenuChoice>& items, int x, int y) override;
  std::optional<intptr_t> RunDialog(unsigned templateId) override;

 private:
  static LRESULT CALLBACK WindowProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);
  LRESULT OnMessage(UINT message, WPARAM wParam, LPARAM lParam);
  // Keyboard and mouse messages; true when the message was one.
  bool OnInput(UINT message, WPARAM wParam, LPARAM lParam);
  // Takes the control window's frame (border, sunken edge) when it differs from this one's.
  void TakeFrame();
  void Paint();
  void ShowCursor();

  ControlInstance& instance_;
  bool designMode_ = false;
  bool usesClass_ = false;  // holds the window class registered
  HWND hwnd_ = nullptr;
  Cursor cursor_ = Cursor::Arrow;
  int buttonsDown_ = 0;  // the system's mouse capture is held while any is down
  std::function<void(bool)> focusHook_;
  std::optional<std::string> clipboardRefusal_;
  std::unique_ptr<MsaaPublisher> msaa_;  // null when the control object cannot be reached
};

}  // namespace win32host
