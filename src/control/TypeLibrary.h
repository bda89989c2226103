// The control's type library: its dispatch interface, its event interface and its class.
#pragma once

#include "control/Dispids.h"
#include "framework/ole/TypeLib.h"

namespace kestrix {

const TypeLibDesc& KestrixTypeLibrary();
// The library's _DKestrix and _DKestrixEvents.
const TypeDesc& KestrixDispatchType();
const TypeDesc& KestrixEventsType();

}  // namespace kestrix
