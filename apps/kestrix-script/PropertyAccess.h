// The control's properties and methods by name, as the script reaches them: set, get, call.
#pragma once

#include <string>
#include <vector>

#include "ScriptWords.h"
#include "control/KestrixCtrl.h"

struct PropertyValue {
  bool isString = false;
  bool isNumber = false;
  bool isNone = false;
  std::string text;  // a string's bytes, or the printed form of anything else
  double number = 0;
};

void SetControlProperty(CKestrixCtrl& c, const std::string& name, const Word& value);
PropertyValue GetControlProperty(CKestrixCtrl& c, const std::string& name);
PropertyValue CallControlMethod(CKestrixCtrl& c, const std::string& name, const std::vector<Word>& args);
