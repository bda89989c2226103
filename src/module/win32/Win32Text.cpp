#include "module/win32/Win32Text.h"

#include <windows.h>

namespace win32host {
namespace {

constexpr UINT kArabicCodePage = 1256;

std::wstring Wide(UINT codePage, const std::string& text) {
  if (text.empty()) return {};
  int n = MultiByteToWideChar(codePage, 0, text.data(), static_cast<int>(text.size()), nullptr, 0);
  std::wstring out(static_cast<size_t>(n), L'\0');
  MultiByteToWideChar(codePage, 0, text.data(), static_cast<int>(text.size()), out.data(), n);
  return out;
}

}  // namespace

std::wstring WideFromUtf8(const std::string& utf8) { return Wide(CP_UTF8, utf8); }

std::wstring WideFromCp1256(const std::string& bytes) { return Wide(kArabicCodePage, bytes); }

std::string ClipboardLineBreaks(const std::string& controlText) {
  std::string out;
  for (size_t i = 0; i < controlText.size(); ++i) {
    out.push_back(controlText[i]);
    if (controlText[i] == '\r' && (i + 1 == controlText.size() || controlText[i + 1] != '\n'))
      out.push_back('\n');
  }
  return out;
}

std::string ControlLineBreaks(const std::string& clipboardText) {
  std::string out;
  for (size_t i = 0; i < clipboardText.size(); ++i) {
    const char c = clipboardText[i];
    if (c == '\r' && i + 1 < clipboardText.size() && clipboardText[i + 1] == '\n') ++i;
    out.push_back(c == '\n' ? '\r' : c);
  }
  return out;
}

}  // namespace win32host
