// Enumerators over a snapshot: the connection points of a container and the connections of a
// point, as they were when the enumerator was asked for. Each item is held (AddRef) while an
// enumerator or a clone of it lives, and every item handed out carries a reference of its own.
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

}  // namespace win32host
