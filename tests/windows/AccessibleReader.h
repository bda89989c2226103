// The container's reader mode: a screen reader in a process of its own, as readers are. It
// finds the text of the control window given and its caret through AccessibleObjectFromWindow,
// and writes what they answer to a file, one "name: value" line each; status 0 when both were
// found.
//   kestrix-container --read-accessible WINDOW FILE      WINDOW in hexadecimal
#pragma once

#include <windows.h>

#include <string>

namespace kestrix {

int ReadAccessible(HWND window, const std::wstring& file);

}  // namespace kestrix
