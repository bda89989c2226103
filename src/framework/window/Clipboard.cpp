// The display's clipboard, holding CF_TEXT only, and the functions the control reaches it by.
#include "framework/window/Clipboard.h"

#include "framework/window/Display.h"

namespace kestrix {

namespace {
// CF_TEXT ends at its first NUL, however the text was put there.
std::string UpToNul(const std::string& text) { return text.substr(0, text.find('\0')); }
}  // namespace

bool Display::OpenClipboard(HWND) {
  if (clipboardOpen_ || (platform_ && !platform_->ClipboardAvailable())) return false;
  clipboardOpen_ = true;
  return true;
}

bool Display::CloseClipboard() {
  if (!clipboardOpen_) return false;
  clipboardOpen_ = false;
  return true;
}

void Display::EmptyClipboard() {
  clipboard_.reset();
  if (platform_) platform_->ClipboardChanged(clipboard_);
}

void Display::SetClipboardData(const std::string& text) {
  clipboard_ = UpToNul(text);
  if (platform_) platform_->ClipboardChanged(clipboard_);
}

std::optional<std::string> Display::ReadClipboard() const {
  clipboardRefusal_.reset();
  return platform_ ? platform_->ClipboardText(clipboard_) : clipboard_;
}

BOOL OpenClipboard(HWND owner) {
  Display* d = Display::CurrentOrNull();
  return d && d->OpenClipboard(owner) ? TRUE : FALSE;
}

BOOL CloseClipboard() {
  Display* d = Display::CurrentOrNull();
  return d && d->CloseClipboard() ? TRUE : FALSE;
}

BOOL EmptyClipboard() {
  Display* d = Display::CurrentOrNull();
  if (!d || !d->ClipboardIsOpen()) return FALSE;
  d->EmptyClipboard();
  return TRUE;
}

BOOL SetClipboardText(const std::string& text) {
  Display* d = Display::CurrentOrNull();
  if (!d || !d->ClipboardIsOpen()) return FALSE;
  d->SetClipboardData(text);
  return TRUE;
}

std::optional<std::string> GetClipboardText() {
  Display* d = Display::CurrentOrNull();
  if (!d || !d->ClipboardIsOpen()) return std::nullopt;
  std::optional<std::string> text = d->ReadClipboard();
  if (text) *text = UpToNul(*text);
  return text;
}

std::optional<std::string> GetClipboardRefusal() {
  Display* d = Display::CurrentOrNull();
  return d ? d->ClipboardRefusal() : std::nullopt;
}

void RefuseInput(const std::string& why) {
  if (Display* d = Display::CurrentOrNull()) d->RefuseInput(why);
}

BOOL IsClipboardFormatAvailable(UINT format) {
  Display* d = Display::CurrentOrNull();
  return d && format == CF_TEXT && d->ReadClipboard().has_value() ? TRUE : FALSE;
}

BOOL CanOpenClipboard(HWND owner) {
  if (!OpenClipboard(owner)) return FALSE;
  CloseClipboard();
  return TRUE;
}

}  // namespace kestrix
