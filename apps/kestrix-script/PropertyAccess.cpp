// Everything goes through the control's automation interface, as a host's does: names to
// DISPIDs with GetIDsOfNames, then Invoke; a font's properties through the font object that
// the FontAr or FontEn property gives.
#include "PropertyAccess.h"

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "framework/ole/Bstr.h"
#include "framework/ole/Variant.h"

namespace {

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
  std::u16string wide(name.begin(), name.end());
  LPOLESTR names[] = {wide.data()};
  DISPID dispid = 0;
  HRESULT hr = object->GetIDsOfNames(IID_NULL, names, 1, 0, &dispid);
  if (hr != S_OK) throw ScriptError("unknown member " + name);
  return dispid;
}

// Invoke with the arguments in declared order; the result left in result.
void InvokeOn(IDispatch* object, const std::string& name, WORD flags, std::vector<VARIANT>& args, VARIANT* result) {
  DISPID dispid = DispidOf(object, name);
  std::vector<VARIANT> reversed(args.rbegin(), args.rend());
  DISPID putId = DISPID_PROPERTYPUT;
  DISPPARAMS params;
  params.rgvarg = reversed.empty() ? nullptr : reversed.data();
  params.cArgs = static_cast<UINT>(reversed.size());
  if (flags & (DISPATCH_PROPERTYPUT | DISPATCH_PROPERTYPUTREF)) {
    params.rgdispidNamedArgs = &putId;
    params.cNamedArgs = 1;
  }
  UINT argErr = 0;
  HRESULT hr = object->Invoke(dispid, IID_NULL, 0, flags, &params, result, nullptr, &argErr);
  if (hr != S_OK) throw ScriptError(name + " refused the call: " + HresultText(hr));
}

// A script value as the variant a host would pass.
VARIANT VariantOf(const Word& w) {
  VARIANT v;
  VariantInit(&v);
  if (w.quoted) {
    v.vt = VT_BSTR;
    v.bstrVal = BstrFromCString(w.text);
    return v;
  }
  std::string lower = Lower(w.text);
  if (lower == "true" || lower == "false") {
    v.vt = VT_BOOL;
    v.boolVal = lower == "true" ? VARIANT_TRUE : VARIANT_FALSE;
    return v;
  }
  if (std::optional<int64_t> n = ParseNumber(w.text)) {
    if (*n < INT32_MIN || *n > UINT32_MAX) throw ScriptError("a number out of range: " + w.text);
    v.vt = VT_I4;
    v.lVal = static_cast<LONG>(static_cast<int32_t>(static_cast<uint32_t>(*n)));
    return v;
  }
  char* end = nullptr;
  double d = std::strtod(w.text.c_str(), &end);
  if (end && *end == '\0' && !w.text.empty()) {
    v.vt = VT_R8;
    v.dblVal = d;
    return v;
  }
  throw ScriptError("not a value: " + w.text);
}

PropertyValue Shown(const VARIANT& v) {
  PropertyValue p;
  char buf[64];
  switch (v.vt) {
    case VT_EMPTY:
      p.isNone = true;
      p.text = "none";
      break;
    case VT_BOOL:
      p.text = v.boolVal ? "true" : "false";
      break;
    case VT_BSTR: {
      p.isString = true;
      CString bytes;
      CStringFromBstr(v.bstrVal, &bytes);
      p.text = bytes;
      break;
    }
    case VT_CY:  // a font size in points, to four places
      p.isNumber = true;
      p.number = static_cast<double>(v.cyVal) / 10000.0;
      std::snprintf(buf, sizeof buf, "%.4f", p.number);
      p.text = buf;
      break;
    default: {
      ScopedVariant number;
      if (VariantChangeType(&number.v, &v, 0, VT_R8) != S_OK) throw ScriptError("a value the host cannot show");
      p.isNumber = true;
      p.number = number.v.dblVal;
      if (p.number == std::floor(p.number))
        std::snprintf(buf, sizeof buf, "%lld", static_cast<long long>(p.number));
      else
        std::snprintf(buf, sizeof buf, "%g", p.number);
      p.text = buf;
      break;
    }
  }
  return p;
}

// The object a name is on: the control, or for FontAr.X / FontEn.X the font object (returned
// AddRef'd in font, released by the caller).
IDispatch* Target(CKestrixCtrl& c, const std::string& name, std::string& member, ScopedVariant& font) {
  size_t dot = name.find('.');
  if (dot == std::string::npos) {
    member = name;
    return c.GetIDispatch();
  }
  std::vector<VARIANT> none;
  InvokeOn(c.GetIDispatch(), name.substr(0, dot), DISPATCH_PROPERTYGET, none, &font.v);
  if (font.v.vt != VT_DISPATCH || !font.v.pdispVal) throw ScriptError(name.substr(0, dot) + " is not a font");
  member = name.substr(dot + 1);
  return font.v.pdispVal;
}

}  // namespace

void SetControlProperty(CKestrixCtrl& c, const std::string& name, const Word& value) {
  ScopedVariant font;
  std::string member;
  IDispatch* target = Target(c, name, member, font);
  std::vector<VARIANT> args{VariantOf(value)};
  // A font size is written in points, as a currency value.
  if (font.v.vt == VT_DISPATCH && EqualsIgnoringCase(member, "size")) {
    ScopedVariant points;
    points.v = args[0];
    VariantInit(&args[0]);
    if (VariantChangeType(&args[0], &points.v, 0, VT_CY) != S_OK) throw ScriptError("a font size is a number");
  }
  try {
    InvokeOn(target, member, DISPATCH_PROPERTYPUT, args, nullptr);
  } catch (...) {
    VariantClear(&args[0]);
    throw;
  }
  VariantClear(&args[0]);
}

PropertyValue GetControlProperty(CKestrixCtrl& c, const std::string& name) {
  ScopedVariant font;
  std::string member;
  IDispatch* target = Target(c, name, member, font);
  std::vector<VARIANT> none;
  ScopedVariant result;
  InvokeOn(target, member, DISPATCH_PROPERTYGET, none, &result.v);
  return Shown(result.v);
}

PropertyValue CallControlMethod(CKestrixCtrl& c, const std::string& name, const std::vector<Word>& args) {
  std::vector<VARIANT> values;
  ScopedVariant result;
  try {
    // An argument that is not a value stops the call; those read before it are freed below.
    for (const Word& w : args) values.push_back(VariantOf(w));
    InvokeOn(c.GetIDispatch(), name, DISPATCH_METHOD, values, &result.v);
  } catch (...) {
    for (VARIANT& v : values) VariantClear(&v);
    throw;
  }
  for (VARIANT& v : values) VariantClear(&v);
  return Shown(result.v);
}
