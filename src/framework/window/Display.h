// The display the windows live on. The headless display needs no display server: tests inject
// input the way a real display delivers it, advance a virtual clock, read pixels and the
// clipboard, and choose popup-menu items.
#pragma once

#include <cstdint>
#include <deque>
#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <unordered_map>
#include <vector>

#include "../WinTypes.h"
#include "../gdi/Surface.h"
#include "CMenu.h"
#include "CWnd.h"
#include "DisplayPlatform.h"

namespace kestrix {

class CDialog;

// The display's record of a window. Rectangles are in the parent's client coordinates
// (the surface's for a top-level window). A record is freed when its window is destroyed, so
// a Window* must not be kept across anything that may destroy windows: keep the HWND.
struct Window {
  HWND handle = nullptr;
  CWnd* owner = nullptr;
  Window* parent = nullptr;
  std::vector<Window*> children;  // in creation order: later ones lie on top
  CRect rect;
  DWORD style = 0;
  DWORD exStyle = 0;
  UINT id = 0;
  bool visible = false;
  bool enabled = true;  // a disabled window (the owner of a modal dialog) gets no mouse input
  bool destroying = false;  // WM_DESTROY is on its way; a second DestroyWindow does nothing
};

struct TimerRecord {
  HWND hwnd = nullptr;
  UINT_PTR id = 0;
  uint32_t intervalMs = 0;
  uint64_t dueMs = 0;
};

class Display {
 public:
  Display(int width, int height);
  ~Display();
  // Height of the title bar of a window with WS_CAPTION.
  static constexpr int kCaptionHeight = 20;
  // The window rectangle whose client area is client, for a window of the given styles.
  static CRect WindowRectForClient(const RECT& client, DWORD style, DWORD exStyle);
  // The display the current thread works on (the last one constructed and still alive).
  static Display& Current();
  static Display* CurrentOrNull();
  // Makes this the current display of the thread, as if it were the one made last. A host
  // that gives each control a display of its own calls it before it hands a control anything.
  void MakeCurrent();
  // The live display that holds the window hwnd, or null (a stale or foreign handle).
  static Display* Of(HWND hwnd);

  Surface& GetSurface() { return surface_; }
  // The pixels of hwnd's client area, as a copy.
  Surface CaptureClient(HWND hwnd) const;
  // The pixels of hwnd's whole window (edges included), as a copy.
  Surface CaptureWindow(HWND hwnd) const;
  // As WritePng; false, with the reason in error, when the file cannot be written.
  bool WriteClientPng(HWND hwnd, const std::string& path, std::string* error = nullptr) const;
  bool WriteWindowPng(HWND hwnd, const std::string& path, std::string* error = nullptr) const;

  // Windows.
  HWND CreateWindowRecord(CWnd* owner, HWND parent, const CRect& rect, DWORD style,
                          DWORD exStyle, UINT id);
  void DestroyWindowRecord(HWND hwnd);
  bool IsWindow(HWND hwnd) const { return Find(hwnd) != nullptr; }
  // The record of a live window of this display, or null (stale, foreign or null handle).
  Window* Find(HWND hwnd) const;
  // The live windows of this display.
  size_t WindowCount() const { return windows_.size(); }
  // The handles of hwnd's children, as a copy that stays valid while they are destroyed.
  std::vector<HWND> ChildrenOf(HWND hwnd) const;
  CRect ClientRect(HWND hwnd) const;  // in the window's own client coordinates
  CRect WindowRectOnSurface(HWND hwnd) const;
  POINT ClientOriginOnSurface(HWND hwnd) const;
  bool IsVisibleOnScreen(HWND hwnd) const;  // it and all its parents are visible
  // It and all its parents are enabled.
  bool IsEnabledForInput(HWND hwnd) const;
  // The visible top-level windows, bottom first.
  std::vector<HWND> TopLevelWindows() const;
  // Draws the non-client edges of hwnd (border and sunken client edge).
  void DrawFrame(HWND hwnd);
  // Visible parts of hwnd's client area: clipped by its parents, less visible children.
  std::vector<RECT> VisibleClientRects(HWND hwnd) const;

  // Focus, capture, cursor.
  HWND SetFocus(HWND hwnd);
  HWND GetFocus() const { return focus_; }
  void SetCapture(HWND hwnd) { capture_ = hwnd; }
  HWND GetCapture() const { return capture_; }
  void SetCursor(PointerShape shape) {
    previousCursor_ = cursor_;
    cursor_ = shape;
    if (platform_) platform_->CursorChanged(shape);
  }
  PointerShape GetCursor() const { return cursor_; }
  // The cursor before the last SetCursor.
  PointerShape PreviousCursor() const { return previousCursor_; }

  // Messages.
  void Post(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);
  LRESULT Send(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);
  bool Peek(MSG* msg, HWND hwnd, UINT filterMin, UINT filterMax, UINT removeFlags);
  // Dispatches queued messages until the queue is empty; returns how many ran.
  int PumpMessages();
  size_t QueuedCount() const { return queue_.size(); }

  // Virtual clock and timers.
  uint64_t NowMs() const { return nowMs_; }
  void SetTimer(HWND hwnd, UINT_PTR id, uint32_t intervalMs);
  bool KillTimer(HWND hwnd, UINT_PTR id);
  bool HasTimer(HWND hwnd, UINT_PTR id) const;
  // When the earliest timer falls due on the display's clock, or nothing when none runs.
  std::optional<uint64_t> NextTimerDueMs() const;
  // Moves the clock on, posting WM_TIMER for each timer that falls due, then pumps messages.
  void AdvanceClock(uint64_t ms);
  // Input that arrives later, delayMs from now on the virtual clock: it is given while the clock
  // passes its time, by AdvanceClock or while a modal loop waits.
  void ScheduleInput(uint64_t delayMs, std::function<void()> input);
  bool InputScheduled() const { return !scheduled_.empty(); }
  // A modal loop's wait for a message for hwnd in [filterMin, filterMax]: 1 when one is queued,
  // 0 when timeoutMs passed without one, -1 when none can come (nothing queued or scheduled).
  // Meanwhile the clock moves on and due timers are queued, not handled.
  int WaitForMessage(HWND hwnd, UINT filterMin, UINT filterMax, uint32_t timeoutMs);
  // A host that feeds input while a modal loop waits (a script going on inside the loop): it
  // is asked when nothing is queued or scheduled, may give input, and answers how many
  // milliseconds pass (at most the timeout given), or -1 when no input will come any more.
  using IdleHandler = std::function<int64_t(uint32_t timeoutMs)>;
  void SetIdleHandler(IdleHandler handler) { idle_ = std::move(handler); }

  // Key state: as kept up to date by the key messages the display delivers, or for Shift,
  // Control and Alt as the window system behind it reports them.
  short KeyState(int virtualKey) const;
  // The state the display's own key messages (and SetKeyState) left.
  short RecordedKeyState(int virtualKey) const;
  // For hosts: a key held down or let go without any key message (a flag a mouse message
  // carries, say).
  void SetKeyState(int virtualKey, bool down) { SetKey(virtualKey, down); }

  // Input injection, delivered the way a real display does (to the focus or the window under
  // the point / the capture), and dispatched at once.
  void KeyDown(int virtualKey, UINT scanCode = 0, bool system = false);
  void KeyUp(int virtualKey, UINT scanCode = 0, bool system = false);
  void Char(uint8_t ch);
  // Types text: key down/char/key up for each byte.
  void TypeText(const std::string& text);
  // Points are in the client coordinates of hwnd.
  void MouseMove(HWND hwnd, int x, int y);
  void MouseDown(HWND hwnd, int x, int y, bool right = false);
  void MouseUp(HWND hwnd, int x, int y, bool right = false);
  void DoubleClick(HWND hwnd, int x, int y);
  // Left press and release at one point.
  void Click(HWND hwnd, int x, int y);
  // The second left press of a double click, as a real display reports it (the first press
  // and its release came through MouseDown and MouseUp).
  void DoubleClickDown(HWND hwnd, int x, int y);
  // A turn of the wheel at a point of hwnd's client area: delta is 120 a notch, positive away
  // from the user. It goes to the focus window (the window under the point when none has it).
  void Wheel(HWND hwnd, int x, int y, int delta);

  // Clipboard (CF_TEXT).
  bool OpenClipboard(HWND owner);
  bool CloseClipboard();
  bool ClipboardIsOpen() const { return clipboardOpen_; }
  void EmptyClipboard();
  void SetClipboardData(const std::string& text);
  std::optional<std::string> ClipboardData() const { return clipboard_; }
  // For tests and hosts: set or read the clipboard without opening it.
  void PutClipboardText(const std::string& text) { clipboard_ = text; }
  void ClearClipboardText() { clipboard_.reset(); }
  // A platform whose clipboard offers text with a character the code page has no place for
  // says so here and gives no text: the refusal holds until the next read of the clipboard.
  void NoteClipboardRefused(std::string why) { clipboardRefusal_ = std::move(why); }
  const std::optional<std::string>& ClipboardRefusal() const { return clipboardRefusal_; }

  // Input refused because the code page has no place for it (a typed character, a paste): the
  // person hears the system's beep and, where the platform can show it, reads why. Hosts and
  // tests read how many and the last reason.
  void RefuseInput(const std::string& why) {
    ++refusedInputs_;
    lastRefusal_ = why;
    if (platform_) platform_->InputRefused(why);
  }
  int RefusedInputs() const { return refusedInputs_; }
  const std::string& LastRefusal() const { return lastRefusal_; }

  // Popup menus: the chooser answers the id of the item chosen, or 0 to dismiss.
  using MenuChooser = std::function<UINT(const std::vector<MenuItem>& items, POINT at)>;
  void SetMenuChooser(MenuChooser chooser) { menuChooser_ = std::move(chooser); }
  UINT RunPopupMenu(const std::vector<MenuItem>& items, POINT at);
  const std::vector<std::vector<MenuItem>>& MenusShown() const { return menusShown_; }

  // Modal dialogs: a window system that can show a dialog in a window of its own runs it there
  // and answers its result; it answers nothing for a dialog it leaves to the display.
  using DialogRunner = std::function<std::optional<intptr_t>(CDialog& dialog)>;
  void SetDialogRunner(DialogRunner runner) { dialogRunner_ = std::move(runner); }
  std::optional<intptr_t> RunDialogElsewhere(CDialog& dialog) {
    return dialogRunner_ ? dialogRunner_(dialog) : std::nullopt;
  }

  // Keyboard layouts requested through WM_INPUTLANGCHANGEREQUEST's default processing.
  void RecordLayoutRequest(WPARAM flags, LPARAM layout) {
    layoutRequests_.push_back({flags, layout});
    if (platform_) platform_->LayoutRequested(layout);
  }
  struct LayoutRequest {
    WPARAM flags;
    LPARAM layout;
  };
  const std::vector<LayoutRequest>& LayoutRequests() const { return layoutRequests_; }
  LPARAM ActiveLayout() const { return layoutRequests_.empty() ? 0 : layoutRequests_.back().layout; }

  // The window system behind the display, told of clipboard, cursor and layout changes; null
  // on the headless display. Not owned: it must be detached before it goes.
  void SetPlatform(DisplayPlatform* platform) { platform_ = platform; }
  // Hands what is drawn to the screen before the message loop runs again (GdiFlush).
  void ShowDrawing() {
    if (platform_) platform_->ShowDrawing();
  }
  DisplayPlatform* Platform() const { return platform_; }
  // The clipboard's text as the window system sees it (ClipboardData on the headless display).
  std::optional<std::string> ReadClipboard() const;

 private:
  // The innermost visible window under the point, among root's children (the top-level
  // windows when root is null).
  HWND WindowAt(const Window* root, POINT surfacePoint) const;
  // The window a mouse event at (x, y) in hwnd's client coordinates goes to (the capture, else
  // the window under the point) and the point in its client coordinates.
  bool RouteMouse(HWND hwnd, int x, int y, HWND& target, LPARAM& at) const;
  void SetKey(int virtualKey, bool down);
  void Deliver(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);
  // Moves the clock to t, queueing timer ticks and giving scheduled input that fall due.
  void PassTimeTo(uint64_t t, bool handle);

  Surface surface_;
  std::unordered_map<HWND, std::unique_ptr<Window>> windows_;
  std::vector<Window*> topLevel_;  // in creation order, for hit testing
  std::deque<MSG> queue_;
  std::vector<TimerRecord> timers_;
  uint64_t nowMs_ = 0;
  struct ScheduledInput {
    uint64_t dueMs;
    uint64_t order;
    std::function<void()> input;
  };
  std::vector<ScheduledInput> scheduled_;
  uint64_t scheduleOrder_ = 0;
  int waiting_ = 0;  // modal loops waiting for input
  IdleHandler idle_;
  HWND focus_ = nullptr;
  HWND capture_ = nullptr;
  PointerShape cursor_ = PointerShape::Arrow;
  PointerShape previousCursor_ = PointerShape::Arrow;
  std::map<int, bool> keysDown_;
  std::map<int, bool> toggled_;
  std::optional<std::string> clipboard_;
  mutable std::optional<std::string> clipboardRefusal_;
  int refusedInputs_ = 0;
  std::string lastRefusal_;
  bool clipboardOpen_ = false;
  MenuChooser menuChooser_;
  DialogRunner dialogRunner_;
  std::vector<std::vector<MenuItem>> menusShown_;
  std::vector<LayoutRequest> layoutRequests_;
  Display* previous_ = nullptr;
  DisplayPlatform* platform_ = nullptr;
};

}  // namespace kestrix
