// Everything goes through the control's automation interface, as a host's does: names to
// DISPIDs with GetIDsOfNames, then Invoke; a font's properties through the font object that
// the FontAr or FontEn property gives.
#include "PropertyAccess.h"

#include <cstdio>
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
  AutomationArgument a = ArgumentOf(w);
  VARIANT v;
  VariantInit(&v);
  switch (a.kind) {
    case AutomationArgument::Kind::String:
      v.vt = VT_BSTR;
      v.bstrVal = BstrFromCString(a.bytes);
      break;
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

PropertyValue Printed(const VARIANT& v) {
  AutomationResult r;
  switch (v.vt) {
    case VT_EMPTY:
      break;
    case VT_BOOL:
      r.kind = AutomationResult::Kind::Bool;
      r.boolean = v.boolVal != 0;
      break;
    case VT_BSTR: {
      r.kind = AutomationResult::Kind::String;
      CString bytes;
      CStringFromBstr(v.bstrVal, &bytes);
      r.bytes = bytes;
      break;
    }
    case VT_CY:
      r.kind = AutomationResult::Kind::Currency;
      r.currency = v.cyVal;
      break;
    default: {
      ScopedVariant number;
      if (VariantChangeType(&number.v, &v, 0, VT_R8) != S_OK) throw ScriptError("a value the host cannot show");
      r.kind = AutomationResult::Kind::Number;
      r.number = number.v.dblVal;
      break;
    }
  }
  return PrintedResult(r);
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
  return Printed(result.v);
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
  return Printed(result.v);
}
