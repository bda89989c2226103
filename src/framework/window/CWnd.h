// A window object: the C++ side of a display window (HWND). Messages reach it through
// WindowProc, which looks them up in the class's message table.
#pragma once

#include <cstdint>
#include <memory>
#include <vector>

#include "../WinTypes.h"
#include "MessageMap.h"

namespace kestrix {

// A window handle. Handles are numbers handed out once per process and never reused, so a
// handle kept after its window went stays stale: it can never name a later window. The type
// is never defined, so a handle cannot be followed; the display looks its record up.
struct HWND__;
using HWND = HWND__*;

class CDC;
class CScrollBar;

struct CREATESTRUCT {
  HWND hwndParent = nullptr;
  int x = 0, y = 0, cx = 0, cy = 0;
  DWORD style = 0;
  DWORD dwExStyle = 0;
};

struct MSG {
  HWND hwnd = nullptr;
  UINT message = 0;
  WPARAM wParam = 0;
  LPARAM lParam = 0;
  uint64_t time = 0;
};

class CWnd {
 public:
  CWnd();
  virtual ~CWnd();
  CWnd(const CWnd&) = delete;
  CWnd& operator=(const CWnd&) = delete;

  HWND m_hWnd = nullptr;
  HWND GetSafeHwnd() const { return m_hWnd; }
  // The window object of a handle, or null.
  static CWnd* FromHandle(HWND hwnd);

  // Creates the display window: PreCreateWindow may adjust cs, then WM_CREATE and WM_SIZE
  // are sent. rect is in the parent's client coordinates (or the screen for top-level windows).
  BOOL CreateEx(DWORD exStyle, DWORD style, const RECT& rect, CWnd* parent, UINT id = 0);
  // Sends WM_DESTROY and removes the display window.
  BOOL DestroyWindow();

  virtual BOOL PreCreateWindow(CREATESTRUCT& cs);
  virtual LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam);
  virtual LRESULT DefWindowProc(UINT message, WPARAM wParam, LPARAM lParam);

  static const MessageMap* GetThisMessageMap();
  virtual const MessageMap* GetMessageMap() const;

  // Geometry and visibility.
  void GetClientRect(RECT* rect) const;
  void GetWindowRect(RECT* rect) const;  // in the parent's client coordinates
  // From the window's client coordinates to the screen's, which on the display are its
  // surface's (where popup menus are placed). Unchanged for a window on no display.
  void ClientToScreen(POINT* point) const;
  void MoveWindow(int x, int y, int width, int height, BOOL repaint = TRUE);
  void MoveWindow(const RECT& rect, BOOL repaint = TRUE);
  BOOL ShowWindow(int show);  // SW_HIDE 0, SW_SHOW 5
  BOOL IsWindowVisible() const;
  // A disabled window gets no mouse input; returns whether it was disabled before.
  BOOL EnableWindow(BOOL enable = TRUE);
  BOOL IsWindowEnabled() const;
  CWnd* GetParent() const;
  DWORD GetStyle() const;
  DWORD GetExStyle() const;

  // Focus, timers, messages.
  CWnd* SetFocus();
  static CWnd* GetFocus();
  UINT_PTR SetTimer(UINT_PTR id, UINT elapseMs, void* timerProc);
  BOOL KillTimer(UINT_PTR id);
  LRESULT SendMessage(UINT message, WPARAM wParam = 0, LPARAM lParam = 0);
  BOOL PostMessage(UINT message, WPARAM wParam = 0, LPARAM lParam = 0);
  void SetCapture();
  static void ReleaseCapture();

  // A drawing context on the client area; give it back with ReleaseDC.
  CDC* GetDC();
  int ReleaseDC(CDC* dc);
  // Paints the window now (WM_PAINT), and its visible children after it.
  void UpdateWindow();

  // Default handlers of the messages that the message tables may list.
  void OnMouseMove(UINT flags, CPoint point);
  void OnLButtonDown(UINT flags, CPoint point);
  void OnLButtonUp(UINT flags, CPoint point);
  void OnLButtonDblClk(UINT flags, CPoint point);
  void OnRButtonDown(UINT flags, CPoint point);
  void OnRButtonUp(UINT flags, CPoint point);
  void OnSetFocus(CWnd* oldWnd);
  void OnKillFocus(CWnd* newWnd);
  void OnSize(UINT type, int cx, int cy);
  int OnCreate(CREATESTRUCT* cs);
  void OnDestroy();
  void OnChar(UINT ch, UINT repeat, UINT flags);
  void OnKeyDown(UINT ch, UINT repeat, UINT flags);
  void OnKeyUp(UINT ch, UINT repeat, UINT flags);
  void OnSysKeyDown(UINT ch, UINT repeat, UINT flags);
  int OnMouseActivate(CWnd* topParent, UINT hitTest, UINT message);
  void OnVScroll(UINT code, UINT pos, CScrollBar* scrollBar);
  void OnTimer(UINT_PTR id);
  void OnPaint();

 protected:
  // Runs the current message's default processing (DefWindowProc with its arguments).
  LRESULT Default();
  // A drawing context on the client area, limited to rect when one is given.
  CDC* GetDCClippedTo(const RECT* rect);
  // Paints the parent window anew, where this one no longer covers it.
  void RepaintParent();

 private:
  MSG current_;
  // Contexts handed out by GetDC and not yet released.
  std::vector<std::unique_ptr<CDC>> openDCs_;
  friend class CScrollBar;
};

inline constexpr int SW_HIDE = 0;
inline constexpr int SW_SHOW = 5;

// GetKeyState of the display: negative while the key is down.
short GetKeyState(int virtualKey);
// The display's clock in milliseconds; 0 without a display.
uint64_t GetDisplayTimeMs();
// Reads the message queue of the display; filter 0, 0 means every message.
BOOL PeekMessage(MSG* msg, HWND hwnd, UINT filterMin, UINT filterMax, UINT removeFlags);
LRESULT DispatchMessage(const MSG* msg);
// A modal loop's wait for a message of hwnd in [filterMin, filterMax], at most timeoutMs on the
// display's clock: 1 when one is queued, 0 on timeout, -1 when no input can come any more.
int WaitForMessage(HWND hwnd, UINT filterMin, UINT filterMax, UINT timeoutMs);
LRESULT SendMessage(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);
BOOL PostMessage(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);
void SetCursor(PointerShape shape);
// What has been drawn reaches the screen now, not when the message loop next runs.
BOOL GdiFlush();

}  // namespace kestrix
