// Finding the windows a control opens (dialogs, property frames) as a person would see them:
// among the thread's top-level windows, by caption, and the items inside them by their text.
#pragma once

#include <windows.h>

#include <functional>
#include <string>

namespace kestrix {

std::wstring WindowText(HWND window);
std::wstring WindowClass(HWND window);
// The first visible top-level window of this thread that satisfies the test, or null.
HWND FindThreadWindow(const std::function<bool(HWND)>& test);
// The first window inside parent (at any depth) whose text is text, or null.
HWND FindChildWithText(HWND parent, const std::wstring& text);

// Runs action from a timer of this thread every 20 ms until it answers true: a check that must
// run while a modal loop (a dialog, a frame) has the thread. After timeoutMs it gives up and
// cancels the thread's dialogs.
class ThreadTimerProbe {
 public:
  ThreadTimerProbe(std::function<bool()> action, DWORD timeoutMs = 5000);
  ~ThreadTimerProbe();
  ThreadTimerProbe(const ThreadTimerProbe&) = delete;
  ThreadTimerProbe& operator=(const ThreadTimerProbe&) = delete;
  // The action answered true.
  bool Done() const { return done_; }

 private:
  static void CALLBACK Tick(HWND, UINT, UINT_PTR timer, DWORD);
  std::function<bool()> action_;
  ULONGLONG deadline_;
  UINT_PTR timer_ = 0;
  bool done_ = false;
};

}  // namespace kestrix
