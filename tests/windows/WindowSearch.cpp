#include "WindowSearch.h"

#include <map>

namespace kestrix {

std::wstring WindowText(HWND window) {
  wchar_t text[512] = {};
  GetWindowTextW(window, text, 512);
  return text;
}

std::wstring WindowClass(HWND window) {
  wchar_t name[128] = {};
  GetClassNameW(window, name, 128);
  return name;
}

HWND FindThreadWindow(const std::function<bool(HWND)>& test) {
  struct Search {
    const std::function<bool(HWND)>* test;
    HWND found = nullptr;
  } search{&test};
  EnumThreadWindows(
      GetCurrentThreadId(),
      [](HWND window, LPARAM context) -> BOOL {
        auto* s = reinterpret_cast<Search*>(context);
        if (!IsWindowVisible(window) || !(*s->test)(window)) return TRUE;
        s->found = window;
        return FALSE;
      },
      reinterpret_cast<LPARAM>(&search));
  return search.found;
}

HWND FindChildWithText(HWND parent, const std::wstring& text) {
  struct Search {
    const std::wstring* text;
    HWND found = nullptr;
  } search{&text};
  EnumChildWindows(
      parent,
      [](HWND window, LPARAM context) -> BOOL {
        auto* s = reinterpret_cast<Search*>(context);
        if (WindowText(window) != *s->text) return TRUE;
        s->found = window;
        return FALSE;
      },
      reinterpret_cast<LPARAM>(&search));
  return search.found;
}

namespace {

// A thread timer's callback learns only its identifier.
std::map<UINT_PTR, ThreadTimerProbe*>& Probes() {
  static std::map<UINT_PTR, ThreadTimerProbe*> probes;
  return probes;
}

}  // namespace

ThreadTimerProbe::ThreadTimerProbe(std::function<bool()> action, DWORD timeoutMs)
    : action_(std::move(action)), deadline_(GetTickCount64() + timeoutMs) {
  timer_ = SetTimer(nullptr, 0, 20, &Tick);
  Probes()[timer_] = this;
}

ThreadTimerProbe::~ThreadTimerProbe() {
  if (timer_) KillTimer(nullptr, timer_);
  Probes().erase(timer_);
}

void CALLBACK ThreadTimerProbe::Tick(HWND, UINT, UINT_PTR timer, DWORD) {
  auto found = Probes().find(timer);
  if (found == Probes().end()) return;
  ThreadTimerProbe& probe = *found->second;
  if (probe.done_) return;
  if (probe.action_()) {
    probe.done_ = true;
    KillTimer(nullptr, timer);
    return;
  }
  if (GetTickCount64() <= probe.deadline_) return;
  // Given up: a dialog still up is cancelled, so that a failing test ends instead of hanging.
  KillTimer(nullptr, timer);
  FindThreadWindow([](HWND window) {
    if (WindowClass(window) == L"#32770") PostMessageW(window, WM_COMMAND, IDCANCEL, 0);
    return false;
  });
}

}  // namespace kestrix
