// Automation value types of the framework: wide strings, GUIDs, 8-bit CString.
#pragma once

#include <cstdint>
#include <string>

#include "../WinTypes.h"

namespace kestrix {

using WideString = std::wstring;
using CString = std::string;

struct GUID {
  uint32_t data1 = 0;
  uint16_t data2 = 0;
  uint16_t data3 = 0;
  uint8_t data4[8] = {};
};
using IID = GUID;
using CLSID = GUID;

// Automation strings carry the Arabic code page's characters as UTF-16; the control holds
// them as bytes of that code page. Characters with no byte become '?'.
WideString BstrFromCp1256(const CString& text);
CString Cp1256FromBstr(const WideString& text);

}  // namespace kestrix
