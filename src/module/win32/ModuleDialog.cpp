#include "module/win32/ModuleDialog.h"

#include <algorithm>

#include "module/win32/ModuleHandle.h"

namespace win32host {
namespace {

// Centred over its owner (or the screen), kept on the screen, as the framework places its own.
void CenterOverOwner(HWND dialog) {
  RECT over{0, 0, GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN)};
  const RECT screen = over;
  if (HWND owner = GetWindow(dialog, GW_OWNER)) GetWindowRect(owner, &over);
  RECT own{};
  GetWindowRect(dialog, &own);
  const LONG width = own.right - own.left, height = own.bottom - own.top;
  const LONG x = std::clamp(over.left + (over.right - over.left - width) / 2, screen.left,
                            std::max(screen.left, screen.right - width));
  const LONG y = std::clamp(over.top + (over.bottom - over.top - height) / 2, screen.top,
                            std::max(screen.top, screen.bottom - height));
  SetWindowPos(dialog, nullptr, x, y, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

INT_PTR CALLBACK DialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM) {
  switch (message) {
    case WM_INITDIALOG:
      CenterOverOwner(dialog);
      return TRUE;  // the focus goes to the first item that takes it
    case WM_COMMAND:
      // Any button ends the dialog with its identifier; the dialog manager sends Return as the
      // default button's and Escape as IDCANCEL.
      if (HIWORD(wParam) == BN_CLICKED) {
        EndDialog(dialog, LOWORD(wParam));
        return TRUE;
      }
      return FALSE;
    default:
      return FALSE;
  }
}

}  // namespace

INT_PTR RunModuleDialog(unsigned templateId, HWND owner) {
  return DialogBoxParamW(ThisModule(), MAKEINTRESOURCEW(static_cast<WORD>(templateId)), owner,
                         &DialogProc, 0);
}

}  // namespace win32host
