// The display's clipboard with CF_TEXT: 8-bit text ending at its first NUL.
#pragma once

#include <optional>
#include <string>

#include "CWnd.h"

namespace kestrix {

BOOL OpenClipboard(HWND owner);
BOOL CloseClipboard();
BOOL EmptyClipboard();
// Stores text under CF_TEXT; only while the clipboard is open.
BOOL SetClipboardText(const std::string& text);
// The CF_TEXT content, or nothing when the clipboard holds no text; only while it is open.
std::optional<std::string> GetClipboardText();
// Why the last read of the clipboard gave no text though another program offered some: a
// character with no place in the code page; nothing when the read was not refused.
std::optional<std::string> GetClipboardRefusal();
// Refuses input the code page has no place for: the system's beep, and why where it can be shown.
void RefuseInput(const std::string& why);
BOOL IsClipboardFormatAvailable(UINT format);
// Whether owner could open the clipboard now (no other window holds it open); it stays closed.
BOOL CanOpenClipboard(HWND owner);

}  // namespace kestrix
