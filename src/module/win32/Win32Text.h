// Text conversions at the Windows edge: UTF-8 and the control's code page 1256 to and from
// the platform's UTF-16, with the line breaks each side uses.
#pragma once

#include <string>

namespace win32host {

std::wstring WideFromUtf8(const std::string& utf8);
std::wstring WideFromCp1256(const std::string& bytes);
// The control breaks lines with CR alone; the clipboard's text uses CR LF.
std::string ClipboardLineBreaks(const std::string& controlText);
// CR LF and a lone LF become CR.
std::string ControlLineBreaks(const std::string& clipboardText);

}  // namespace win32host
