#include "ScriptValue.h"

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <sstream>

#include "framework/text/Cp1256.h"

namespace kestrix {

std::string Shown::Printed() const { return kind == Kind::String ? Quoted(text) : text; }

Shown NumberShown(double v) {
  Shown s;
  s.kind = Shown::Kind::Number;
  s.number = v;
  std::ostringstream o;
  if (v == std::floor(v) && std::fabs(v) < 9e15)
    o << static_cast<int64_t>(v);
  else
    o << v;
  s.text = o.str();
  return s;
}

Shown TextShown(const std::string& t) {
  Shown s;
  s.text = t;
  return s;
}

Shown StringShown(const std::string& bytes) {
  Shown s;
  s.kind = Shown::Kind::String;
  s.text = bytes;
  return s;
}

AutomationArgument ArgumentOf(const Word& w) {
  AutomationArgument a;
  if (w.quoted) {
    a.kind = AutomationArgument::Kind::String;
    a.bytes = w.text;
    return a;
  }
  std::string lower = Lower(w.text);
  if (lower == "true" || lower == "false") {
    a.kind = AutomationArgument::Kind::Bool;
    a.boolean = lower == "true";
    return a;
  }
  if (std::optional<int64_t> n = ParseNumber(w.text)) {
    if (*n < INT32_MIN || *n > UINT32_MAX) throw ScriptError("a number out of range: " + w.text);
    a.kind = AutomationArgument::Kind::Long;
    a.integer = static_cast<int32_t>(static_cast<uint32_t>(*n));
    return a;
  }
  char* end = nullptr;
  double d = std::strtod(w.text.c_str(), &end);
  if (end && *end == '\0' && !w.text.empty()) {
    a.kind = AutomationArgument::Kind::Double;
    a.real = d;
    return a;
  }
  throw ScriptError("not a value: " + w.text);
}

PropertyValue PrintedResult(const AutomationResult& r) {
  PropertyValue p;
  char buf[64];
  switch (r.kind) {
    case AutomationResult::Kind::None:
      p.isNone = true;
      p.text = "none";
      break;
    case AutomationResult::Kind::Bool:
      p.text = r.boolean ? "true" : "false";
      break;
    case AutomationResult::Kind::String:
      p.isString = true;
      p.text = r.bytes;
      break;
    case AutomationResult::Kind::Currency:  // a font size in points, to four places
      p.isNumber = true;
      p.number = static_cast<double>(r.currency) / 10000.0;
      std::snprintf(buf, sizeof buf, "%.4f", p.number);
      p.text = buf;
      break;
    case AutomationResult::Kind::Number:
      p.isNumber = true;
      p.number = r.number;
      if (p.number == std::floor(p.number))
        std::snprintf(buf, sizeof buf, "%lld", static_cast<long long>(p.number));
      else
        std::snprintf(buf, sizeof buf, "%g", p.number);
      p.text = buf;
      break;
  }
  return p;
}

std::optional<std::string> Cp1256FromUtf16(std::u16string_view text) {
  std::string bytes;
  bytes.reserve(text.size());
  for (char16_t unit : text) {
    // Surrogates never map, so each unit can be looked up on its own.
    int b = Cp1256FromUnicode(static_cast<char32_t>(unit));
    if (b < 0) return std::nullopt;
    bytes += static_cast<char>(b);
  }
  return bytes;
}

}  // namespace kestrix
