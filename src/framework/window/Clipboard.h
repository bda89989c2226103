// The display's clipboard with CF_TEXT: 8-bit text ending at its first NUL.
#pragma once

#include <optional>
#include <string>

#include "framework/window/CWnd.h"

BOOL OpenClipboard(HWND owner);
BOOL CloseClipboard();
BOOL EmptyClipboard();
// Stores text under CF_TEXT; only while the clipboard is open.
BOOL SetClipboardText(const std::string& text);
// The CF_TEXT content, or nothing when the clipboard holds no text; only while it is open.
std::optional<std::string> GetClipboardText();
// Whether the last GetClipboardText refused what the system's clipboard offered.
BOOL ClipboardTextRefused();
BOOL IsClipboardFormatAvailable(UINT format);
// Whether owner could open the clipboard now (no other window holds it open); it stays closed.
BOOL CanOpenClipboard(HWND owner);
