// Values as the script language passes, prints and compares them, apart from any host's
// VARIANT: a host only moves them between these and its own automation types.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "ScriptWords.h"

namespace kestrix {

// A value the host shows or compares: a string compares exactly, a number by value, anything
// else (booleans, names, colours) as text regardless of case.
struct Shown {
  enum class Kind { String, Number, Text } kind = Kind::Text;
  std::string text;  // the bytes of a string, or the printed form
  double number = 0;
  std::string Printed() const;
};

Shown NumberShown(double v);
Shown TextShown(const std::string& t);
Shown StringShown(const std::string& bytes);

// A script word as an automation argument: a string, a boolean, a 32-bit integer (written
// signed or unsigned) or a real number. A host turns it into its own variant.
struct AutomationArgument {
  enum class Kind { String, Bool, Long, Double } kind = Kind::Long;
  std::string bytes;  // String, in the code page
  bool boolean = false;
  int32_t integer = 0;
  double real = 0;
};
// Throws ScriptError for a word that is no value.
AutomationArgument ArgumentOf(const Word& w);

// What a property read or method call answered, as a host read it from its variant.
struct AutomationResult {
  enum class Kind { None, Bool, String, Currency, Number } kind = Kind::None;
  bool boolean = false;
  std::string bytes;     // String, in the code page
  int64_t currency = 0;  // Currency, in ten-thousandths
  double number = 0;     // Number: any other value, as a real
};

// A result in its printed form: a string's bytes, a font size's points to four places, a
// whole number without a point.
struct PropertyValue {
  bool isString = false;
  bool isNumber = false;
  bool isNone = false;
  std::string text;  // a string's bytes, or the printed form of anything else
  double number = 0;
};
PropertyValue PrintedResult(const AutomationResult& r);

// UTF-16 text in the code page; nothing when a unit has no place in it.
std::optional<std::string> Cp1256FromUtf16(std::u16string_view text);

}  // namespace kestrix
