// The module's own handle, for window classes and resources.
#pragma once

#include <windows.h>

namespace win32host {

HINSTANCE ThisModule();

}  // namespace win32host
