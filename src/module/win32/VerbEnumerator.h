// The control's verbs for a container that lists them (IOleObject::EnumVerbs): the verbs
// DoVerb carries out, each with its menu text and whether it belongs on the container's menu.
// The list is the module's own, so a container finds it without anything in the registry.
#pragma once

#include <windows.h>
// After the basic types.
#include <oleidl.h>

namespace win32host {

// *out is a new enumerator holding one reference, or null with E_OUTOFMEMORY. Each verb handed
// out carries a name of its own from the task allocator, which the caller frees.
HRESULT EnumerateVerbs(IEnumOLEVERB** out);

}  // namespace win32host
