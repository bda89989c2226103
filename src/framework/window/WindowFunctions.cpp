// The free functions over the current display: key state, the message queue, direct sends
// and the cursor. Without a display they do nothing and report failure.
#include "framework/window/CWnd.h"
#include "framework/window/Display.h"

namespace kestrix {

short GetKeyState(int virtualKey) {
  Display* d = Display::CurrentOrNull();
  return d ? d->KeyState(virtualKey) : 0;
}

uint64_t GetDisplayTimeMs() {
  Display* d = Display::CurrentOrNull();
  return d ? d->NowMs() : 0;
}

BOOL PeekMessage(MSG* msg, HWND hwnd, UINT filterMin, UINT filterMax, UINT removeFlags) {
  Display* d = Display::CurrentOrNull();
  return d && d->Peek(msg, hwnd, filterMin, filterMax, removeFlags) ? TRUE : FALSE;
}

LRESULT DispatchMessage(const MSG* msg) {
  if (!msg) return 0;
  Display* d = Display::Of(msg->hwnd);
  return d ? d->Send(msg->hwnd, msg->message, msg->wParam, msg->lParam) : 0;
}

int WaitForMessage(HWND hwnd, UINT filterMin, UINT filterMax, UINT timeoutMs) {
  Display* d = Display::Of(hwnd);
  return d ? d->WaitForMessage(hwnd, filterMin, filterMax, timeoutMs) : -1;
}

BOOL GdiFlush() {
  Display* d = Display::CurrentOrNull();
  if (!d) return FALSE;
  d->ShowDrawing();
  return TRUE;
}

LRESULT SendMessage(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
  Display* d = Display::Of(hwnd);
  return d ? d->Send(hwnd, message, wParam, lParam) : 0;
}

BOOL PostMessage(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
  Display* d = Display::Of(hwnd);
  if (!d) return FALSE;
  d->Post(hwnd, message, wParam, lParam);
  return TRUE;
}

void SetCursor(PointerShape shape) {
  if (Display* d = Display::CurrentOrNull()) d->SetCursor(shape);
}

}  // namespace kestrix
