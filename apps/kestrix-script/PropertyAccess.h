// The control's properties and methods by name, as the script reaches them: set, get, call.
#pragma once

#include <string>
#include <vector>

#include "ScriptValue.h"
#include "ScriptWords.h"
#include "control/KestrixCtrl.h"

void SetControlProperty(CKestrixCtrl& c, const std::string& name, const Word& value);
PropertyValue GetControlProperty(CKestrixCtrl& c, const std::string& name);
PropertyValue CallControlMethod(CKestrixCtrl& c, const std::string& name, const std::vector<Word>& args);
