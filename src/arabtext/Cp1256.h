// The code page conversions live with the framework; the library uses them by its own names.
#pragma once

#include "framework/text/Cp1256.h"

namespace arabtext {
using ::AppendUtf8;
using ::Cp1256FromUnicode;
using ::Cp1256FromUtf8;
using ::UnicodeFromCp1256;
using ::Utf8FromCp1256;
}  // namespace arabtext
