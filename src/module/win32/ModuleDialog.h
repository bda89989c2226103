// The framework's plain modal dialogs as the system's own: built by the dialog manager from the
// module's resources, in a window of their own owned by the container's window and modal to
// it. Return presses the default button and Escape cancels, as on the framework's display.
#pragma once

#include <windows.h>

namespace win32host {

// Runs dialog templateId until one of its buttons is pressed: that button's identifier
// (IDCANCEL for Escape and the close box), or -1 when the dialog could not be shown.
INT_PTR RunModuleDialog(unsigned templateId, HWND owner);

}  // namespace win32host
