// The module's class objects, one per class: every CreateInstance makes a new object. They live
// as long as the module; their locks keep the module loaded.
#pragma once

#include <unknwn.h>

namespace win32host {

IClassFactory& ControlClassObject();
IClassFactory& PropertyPageClassObject();

}  // namespace win32host
