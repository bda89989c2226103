// The class object of the control: every CreateInstance makes a new ActiveX control. It lives
// as long as the module; its locks keep the module loaded.
#pragma once

#include <unknwn.h>

namespace win32host {

IClassFactory& ControlClassObject();

}  // namespace win32host
