// The script's set, get and call through an object's IDispatch, as a host's script engine makes
// them: names to DISPIDs with GetIDsOfNames, then Invoke; a font's properties (FontAr.X,
// FontEn.X) through the font object's own IDispatch, a font's size written in points as a
// currency value. Values cross as the script language's; a call refused throws ScriptError.
//
// It speaks the object model of the build: the system's on Windows (the test container), the
// framework's elsewhere (kestrix-script).
#pragma once

#if defined(_WIN32)
#include <oaidl.h>
#else
#include "framework/ole/ObjectModel.h"
#endif

#include <string>
#include <vector>

#include "ScriptValue.h"
#include "ScriptWords.h"

namespace kestrix {

void SetByName(IDispatch* object, const std::string& name, const Word& value);
PropertyValue GetByName(IDispatch* object, const std::string& name);
PropertyValue CallByName(IDispatch* object, const std::string& name, const std::vector<Word>& args);

}  // namespace kestrix
