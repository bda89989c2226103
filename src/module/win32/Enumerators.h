// Enumerators over a snapshot: the connection points of a container, the connections of a
// point and the verbs of an object, as they were when the enumerator was asked for. Each
// object the snapshot lists is held (AddRef) while an enumerator or a clone of it lives, and
// every item handed out carries a reference of its own; every verb handed out carries a name
// of its own from the task allocator, which the caller frees.
#pragma once

#include <windows.h>
// After the basic types.
#include <ocidl.h>

#include <vector>

namespace win32host {

// *out is a new enumerator holding one reference, or null with E_OUTOFMEMORY.
HRESULT EnumerateConnectionPoints(const std::vector<IConnectionPoint*>& points,
                                  IEnumConnectionPoints** out);
HRESULT EnumerateConnections(const std::vector<CONNECTDATA>& connections,
                             IEnumConnections** out);
HRESULT EnumerateVerbList(const std::vector<OLEVERB>& verbs, IEnumOLEVERB** out);

}  // namespace win32host
