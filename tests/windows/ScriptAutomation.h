// The script's set, get and call through a control's IDispatch, as a container's script host
// makes them: names to DISPIDs with GetIDsOfNames, then Invoke; a font's properties (FontAr.X,
// FontEn.X) through the font object's own IDispatch. Values cross as the script language's.
#pragma once

#include <oaidl.h>

#include <string>
#include <vector>

#include "ScriptValue.h"
#include "ScriptWords.h"

void SetByName(IDispatch* control, const std::string& name, const Word& value);
PropertyValue GetByName(IDispatch* control, const std::string& name);
PropertyValue CallByName(IDispatch* control, const std::string& name, const std::vector<Word>& args);

// Code-page text as UTF-16 and back (the script's strings are code page 1256 bytes).
std::wstring WideFromCodePage(const std::string& bytes);
// Units with no place in the code page give nothing.
std::optional<std::string> CodePageFromWide(const wchar_t* text, size_t length);
