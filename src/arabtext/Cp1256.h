// The code page conversions live with the framework; the library uses them by its own names.
#pragma once

#include "framework/text/Cp1256.h"

namespace kestrix::arabtext {
using kestrix::AppendUtf8;
using kestrix::Cp1256FromUnicode;
using kestrix::Cp1256FromUtf8;
using kestrix::UnicodeFromCp1256;
using kestrix::Utf8FromCp1256;
}  // namespace kestrix::arabtext
