#include "ScriptClipboard.h"

#include <algorithm>

#include "ScriptAutomation.h"

namespace kestrix {

namespace {

HGLOBAL GlobalCopy(const void* data, size_t bytes) {
  HGLOBAL memory = GlobalAlloc(GMEM_MOVEABLE, bytes);
  if (!memory) return nullptr;
  std::copy_n(static_cast<const char*>(data), bytes, static_cast<char*>(GlobalLock(memory)));
  GlobalUnlock(memory);
  return memory;
}

// The system may be slow to let go of the clipboard after its last user: a few tries.
bool OpenTheClipboard(HWND owner) {
  for (int attempt = 0; attempt < 20; ++attempt) {
    if (OpenClipboard(owner)) return true;
    Sleep(10);
  }
  return false;
}

}  // namespace

void PutClipboardText(HWND owner, const std::string& bytes) {
  if (!OpenTheClipboard(owner)) return;
  EmptyClipboard();
  const std::wstring wide = WideFromCodePage(bytes);
  SetClipboardData(CF_UNICODETEXT, GlobalCopy(wide.c_str(), (wide.size() + 1) * sizeof(wchar_t)));
  SetClipboardData(CF_TEXT, GlobalCopy(bytes.c_str(), bytes.size() + 1));
  const LCID arabic = MAKELCID(MAKELANGID(LANG_ARABIC, SUBLANG_ARABIC_SAUDI_ARABIA), SORT_DEFAULT);
  SetClipboardData(CF_LOCALE, GlobalCopy(&arabic, sizeof arabic));
  CloseClipboard();
}

void EmptyTheClipboard(HWND owner) {
  if (!OpenTheClipboard(owner)) return;
  EmptyClipboard();
  CloseClipboard();
}

std::optional<std::string> ClipboardText(HWND owner) {
  if (!OpenTheClipboard(owner)) return std::nullopt;
  std::optional<std::string> text;
  if (HANDLE data = GetClipboardData(CF_UNICODETEXT)) {
    if (const auto* p = static_cast<const wchar_t*>(GlobalLock(data))) {
      std::wstring wide(p);
      GlobalUnlock(data);
      // CR LF on the clipboard is the control's one CR.
      std::wstring bare;
      for (size_t i = 0; i < wide.size(); ++i)
        if (!(wide[i] == L'\n' && i > 0 && wide[i - 1] == L'\r')) bare += wide[i];
      text = CodePageFromWide(bare.data(), bare.size()).value_or("");
    }
  }
  CloseClipboard();
  return text;
}

void ClipboardHolder::Hold() {
  if (thread_.joinable()) return;
  release_ = CreateEventW(nullptr, TRUE, FALSE, nullptr);
  HANDLE opened = CreateEventW(nullptr, TRUE, FALSE, nullptr);
  thread_ = std::thread([this, opened] {
    const bool open = OpenTheClipboard(nullptr);
    SetEvent(opened);
    WaitForSingleObject(release_, INFINITE);
    if (open) CloseClipboard();
  });
  WaitForSingleObject(opened, INFINITE);
  CloseHandle(opened);
}

void ClipboardHolder::Release() {
  if (!thread_.joinable()) return;
  SetEvent(release_);
  thread_.join();
  CloseHandle(release_);
  release_ = nullptr;
}

}  // namespace kestrix
