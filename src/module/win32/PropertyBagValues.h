// The control's properties in a container's property bag, one named value each: booleans,
// 16- and 32-bit numbers and text as themselves; a font as its parts under the font's name
// ("FontAr.Name", "FontAr.Size" in currency points, ".Weight", ".Charset", ".Italic",
// ".Underline", ".Strikethrough"), so that any bag can hold it.
#pragma once

#include <ocidl.h>

#include "module/win32/ControlInstance.h"

namespace win32host {

// Reads every property the control keeps that the bag has; the others take their defaults.
// Values of the wrong type are reported to log (when given) and skipped, and the answer is
// then DISP_E_TYPEMISMATCH, every other value loaded.
HRESULT ReadPropertyBag(ControlInstance& control, IPropertyBag& bag, IErrorLog* log);
HRESULT WritePropertyBag(ControlInstance& control, IPropertyBag& bag, bool clearDirty);

}  // namespace win32host
