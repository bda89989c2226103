// The script's automation calls on the system's object model (AutomationClient.h), and the
// code page conversions the container's script target makes.
#pragma once

#include <oaidl.h>

#include <optional>
#include <string>

#include "AutomationClient.h"

namespace kestrix {

// Code-page text as UTF-16 and back (the script's strings are code page 1256 bytes).
std::wstring WideFromCodePage(const std::string& bytes);
// Units with no place in the code page give nothing.
std::optional<std::string> CodePageFromWide(const wchar_t* text, size_t length);

}  // namespace kestrix
