// The Win32 clipboard as a script sees it: text in the control's terms (code page 1256 bytes
// with bare CR breaks, as the control keeps them; the clipboard holds UTF-16 with CR LF), and
// another program holding it open.
#pragma once

#include <windows.h>

#include <optional>
#include <string>
#include <thread>

namespace kestrix {

// Puts bytes on the clipboard as text, in UTF-16 and in the code page with its locale.
void PutClipboardText(HWND owner, const std::string& bytes);
void EmptyTheClipboard(HWND owner);
// The clipboard's text, or nothing when it holds none.
std::optional<std::string> ClipboardText(HWND owner);

// Another thread (as another program) holding the clipboard open until Release.
class ClipboardHolder {
 public:
  ~ClipboardHolder() { Release(); }
  void Hold();
  void Release();

 private:
  std::thread thread_;
  HANDLE release_ = nullptr;
};

}  // namespace kestrix
