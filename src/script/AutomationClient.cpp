// Everything goes through the object's automation interface, as a host's does.
#include "AutomationClient.h"

#if !defined(_WIN32)
#include "framework/ole/Variant.h"
#endif

#include <cstdint>
#include <cstdio>
#include <string_view>
#include <type_traits>

#include "framework/text/Cp1256.h"

namespace kestrix {

namespace {

// The locale names are looked up and calls made in.
#if defined(LOCALE_USER_DEFAULT)
const LCID kLocale = LOCALE_USER_DEFAULT;
#else
const LCID kLocale = 0;
#endif

// A currency value in ten-thousandths: the framework's is the number itself, the system's a
// union that holds it.
template <typename Currency>
int64_t CurrencyUnits(const Currency& currency) {
  if constexpr (std::is_integral_v<Currency>)
    return currency;
  else
    return currency.int64;
}

// Frees a variant when it goes out of scope.
struct ScopedVariant {
  VARIANT v;
  ScopedVariant() { VariantInit(&v); }
  ~ScopedVariant() { VariantClear(&v); }
  ScopedVariant(const ScopedVariant&) = delete;
  ScopedVariant& operator=(const ScopedVariant&) = delete;
};

std::string HresultText(HRESULT hr) {
  char buf[32];
  std::snprintf(buf, sizeof buf, "0x%08X", static_cast<unsigned>(hr));
  return buf;
}

DISPID DispidOf(IDispatch* object, const std::string& name) {
  std::basic_string<OLECHAR> wide(name.begin(), name.end());
  LPOLESTR names[] = {wide.data()};
  DISPID dispid = 0;
  if (object->GetIDsOfNames(IID_NULL, names, 1, kLocale, &dispid) != S_OK)
    throw ScriptError("unknown member " + name);
  return dispid;
}

// Invoke with the arguments in declared order; the result left in result.
void InvokeOn(IDispatch* object, const std::string& name, WORD flags, std::vector<VARIANT>& args,
              VARIANT* result) {
  DISPID dispid = DispidOf(object, name);
  std::vector<VARIANT> reversed(args.rbegin(), args.rend());
  DISPID putId = DISPID_PROPERTYPUT;
  DISPPARAMS params{reversed.empty() ? nullptr : reversed.data(), nullptr,
                    static_cast<UINT>(reversed.size()), 0};
  if (flags & (DISPATCH_PROPERTYPUT | DISPATCH_PROPERTYPUTREF)) {
    params.rgdispidNamedArgs = &putId;
    params.cNamedArgs = 1;
  }
  UINT argErr = 0;
  HRESULT hr =
      object->Invoke(dispid, IID_NULL, kLocale, flags, &params, result, nullptr, &argErr);
  if (hr != S_OK) throw ScriptError(name + " refused the call: " + HresultText(hr));
}

VARIANT VariantOf(const Word& w) {
  AutomationArgument a = ArgumentOf(w);
  VARIANT v;
  VariantInit(&v);
  switch (a.kind) {
    case AutomationArgument::Kind::String: {
      std::basic_string<OLECHAR> wide;
      for (char c : a.bytes)
        wide += static_cast<OLECHAR>(UnicodeFromCp1256(static_cast<uint8_t>(c)));
      v.vt = VT_BSTR;
      v.bstrVal = SysAllocStringLen(wide.data(), static_cast<UINT>(wide.size()));
      break;
    }
    case AutomationArgument::Kind::Bool:
      v.vt = VT_BOOL;
      v.boolVal = a.boolean ? VARIANT_TRUE : VARIANT_FALSE;
      break;
    case AutomationArgument::Kind::Long:
      v.vt = VT_I4;
      v.lVal = static_cast<LONG>(a.integer);
      break;
    case AutomationArgument::Kind::Double:
      v.vt = VT_R8;
      v.dblVal = a.real;
      break;
  }
  return v;
}

PropertyValue Printed(VARIANT& v) {
  AutomationResult r;
  switch (v.vt) {
    case VT_EMPTY:
      break;
    case VT_BOOL:
      r.kind = AutomationResult::Kind::Bool;
      r.boolean = v.boolVal != VARIANT_FALSE;
      break;
    case VT_BSTR:
      r.kind = AutomationResult::Kind::String;
      r.bytes = Cp1256FromUtf16(std::u16string_view(reinterpret_cast<const char16_t*>(v.bstrVal),
                                                    SysStringLen(v.bstrVal)))
                    .value_or("");
      break;
    case VT_CY:
      r.kind = AutomationResult::Kind::Currency;
      r.currency = CurrencyUnits(v.cyVal);
      break;
    default: {
      ScopedVariant number;
      if (VariantChangeType(&number.v, &v, 0, VT_R8) != S_OK)
        throw ScriptError("a value the host cannot show");
      r.kind = AutomationResult::Kind::Number;
      r.number = number.v.dblVal;
      break;
    }
  }
  return PrintedResult(r);
}

// The object a name is on: the control, or for FontAr.X / FontEn.X the font object (held in
// font until it goes out of scope).
IDispatch* Target(IDispatch* control, const std::string& name, std::string& member,
                  ScopedVariant& font) {
  size_t dot = name.find('.');
  if (dot == std::string::npos) {
    member = name;
    return control;
  }
  std::vector<VARIANT> none;
  InvokeOn(control, name.substr(0, dot), DISPATCH_PROPERTYGET, none, &font.v);
  if (font.v.vt != VT_DISPATCH || !font.v.pdispVal)
    throw ScriptError(name.substr(0, dot) + " is not a font");
  member = name.substr(dot + 1);
  return font.v.pdispVal;
}

}  // namespace

void SetByName(IDispatch* control, const std::string& name, const Word& value) {
  ScopedVariant font;
  std::string member;
  IDispatch* target = Target(control, name, member, font);
  std::vector<VARIANT> args{VariantOf(value)};
  // A font size is written in points, as a currency value.
  if (font.v.vt == VT_DISPATCH && EqualsIgnoringCase(member, "size")) {
    ScopedVariant points;
    points.v = args[0];
    VariantInit(&args[0]);
    if (VariantChangeType(&args[0], &points.v, 0, VT_CY) != S_OK)
      throw ScriptError("a font size is a number");
  }
  try {
    InvokeOn(target, member, DISPATCH_PROPERTYPUT, args, nullptr);
  } catch (...) {
    VariantClear(&args[0]);
    throw;
  }
  VariantClear(&args[0]);
}

PropertyValue GetByName(IDispatch* control, const std::string& name) {
  ScopedVariant font;
  std::string member;
  IDispatch* target = Target(control, name, member, font);
  std::vector<VARIANT> none;
  ScopedVariant result;
  InvokeOn(target, member, DISPATCH_PROPERTYGET, none, &result.v);
  // The stock colours come as signed longs, as hosts compare them; a script writes and reads
  // a colour as the unsigned number it is (a system colour 0x800000NN).
  const DISPID kStockBackColor = -501, kStockForeColor = -513;
  const DISPID dispid = target == control ? DispidOf(control, member) : 0;
  if (result.v.vt == VT_I4 && (dispid == kStockBackColor || dispid == kStockForeColor)) {
    const auto colour = static_cast<ULONG>(result.v.lVal);
    result.v.vt = VT_UI4;
    result.v.ulVal = colour;
  }
  return Printed(result.v);
}

PropertyValue CallByName(IDispatch* control, const std::string& name, const std::vector<Word>& args) {
  std::vector<VARIANT> values;
  ScopedVariant result;
  try {
    // An argument that is not a value stops the call; those read before it are freed below.
    for (const Word& w : args) values.push_back(VariantOf(w));
    InvokeOn(control, name, DISPATCH_METHOD, values, &result.v);
  } catch (...) {
    for (VARIANT& v : values) VariantClear(&v);
    throw;
  }
  for (VARIANT& v : values) VariantClear(&v);
  return Printed(result.v);
}

}  // namespace kestrix
