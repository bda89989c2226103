#include "framework/ole/DispatchEngine.h"

#include <string_view>
#include <vector>

namespace kestrix {

HRESULT DispatchGetIDsOfNames(const TypeDesc& type, REFIID riid, LPOLESTR* names, UINT count,
                              DISPID* dispids) {
  if (!IsEqualGUID(riid, IID_NULL)) return DISP_E_UNKNOWNINTERFACE;
  if (count == 0) return S_OK;
  if (!names || !dispids) return E_POINTER;
  for (UINT i = 0; i < count; ++i) dispids[i] = DISPID_UNKNOWN;
  if (!names[0]) return DISP_E_UNKNOWNNAME;
  const MemberDesc* member = type.FindMember(std::u16string_view(names[0]));
  if (!member) return DISP_E_UNKNOWNNAME;
  dispids[0] = member->dispid;
  // Further names are the member's parameters, numbered from 0 in declared order.
  HRESULT hr = S_OK;
  for (UINT i = 1; i < count; ++i) {
    bool found = false;
    for (size_t p = 0; names[i] && p < member->params.size(); ++p) {
      if (EqualsIgnoringAsciiCase(std::u16string_view(names[i]), member->params[p].name)) {
        dispids[i] = static_cast<DISPID>(p);
        found = true;
      }
    }
    if (!found) hr = DISP_E_UNKNOWNNAME;
  }
  return hr;
}

namespace {

// Converts one argument to type vt. A by-reference parameter takes only a reference of the
// very same type, so that the callee's change reaches the caller.
HRESULT ConvertArg(VARIANT& arg, VARTYPE vt, VARIANT& out) {
  VariantInit(&out);
  if (vt & VT_BYREF) {
    if (arg.vt == vt && arg.byref) {
      out = arg;
      return S_OK;
    }
    if (arg.vt == (VT_BYREF | VT_VARIANT) && arg.pvarVal && arg.pvarVal->vt == vt && arg.pvarVal->byref) {
      out = *arg.pvarVal;
      return S_OK;
    }
    return DISP_E_TYPEMISMATCH;
  }
  HRESULT hr = VariantChangeType(&out, &arg, 0, vt);
  return hr == DISP_E_BADVARTYPE || hr == DISP_E_OVERFLOW ? hr : (FAILED(hr) ? DISP_E_TYPEMISMATCH : hr);
}

// A colour is 32 bits however a host sends it: as a signed long (system colours, with the top
// bit set, are negative) or an unsigned one, taken as it is; any other type as an unsigned
// number. It is held as the signed long the control gives back.
bool IsColour(const MemberDesc& m) { return std::string_view(m.idlType) == "OLE_COLOR"; }

HRESULT ConvertColour(VARIANT& arg, VARIANT& out) {
  VariantInit(&out);
  if (arg.vt == VT_I4 || arg.vt == VT_UI4) {
    out.vt = VT_I4;
    out.lVal = arg.lVal;
    return S_OK;
  }
  VARIANT number;
  HRESULT hr = ConvertArg(arg, VT_UI4, number);
  if (FAILED(hr)) return hr;
  out.vt = VT_I4;
  out.lVal = static_cast<LONG>(number.ulVal);
  return S_OK;
}

HRESULT InvokeProperty(const MemberDesc& m, DispatchTarget& target, WORD flags,
                       const DISPPARAMS& params, VARIANT* result, UINT* argErr) {
  if (flags & DISPATCH_PROPERTYGET) {
    if (params.cArgs != 0) return DISP_E_BADPARAMCOUNT;
    VARIANT value;
    VariantInit(&value);
    HRESULT hr = target.GetProperty(m.dispid, &value);
    if (FAILED(hr)) return hr;
    if (result) {
      VariantClear(result);
      *result = value;
    } else {
      VariantClear(&value);
    }
    return hr;
  }
  if (m.readOnly) return DISP_E_MEMBERNOTFOUND;  // no write to offer
  const bool isObject = m.vt == VT_DISPATCH;
  if (flags & DISPATCH_PROPERTYPUTREF) {
    if (!isObject) return DISP_E_MEMBERNOTFOUND;
  } else if (!(flags & DISPATCH_PROPERTYPUT)) {
    return DISP_E_MEMBERNOTFOUND;  // a property is not a method
  }
  if (params.cArgs != 1) return DISP_E_BADPARAMCOUNT;
  if (params.cNamedArgs != 1 || params.rgdispidNamedArgs[0] != DISPID_PROPERTYPUT)
    return DISP_E_PARAMNOTOPTIONAL;
  VARIANT value;
  HRESULT hr = IsColour(m) ? ConvertColour(params.rgvarg[0], value)
                            : ConvertArg(params.rgvarg[0], m.vt, value);
  if (FAILED(hr)) {
    if (argErr) *argErr = 0;
    return hr;
  }
  hr = target.PutProperty(m.dispid, value);
  if (hr == DISP_E_TYPEMISMATCH && argErr) *argErr = 0;
  VariantClear(&value);
  return hr;
}

HRESULT InvokeMethod(const MemberDesc& m, DispatchTarget& target, WORD flags,
                     const DISPPARAMS& params, VARIANT* result, UINT* argErr) {
  if (!(flags & DISPATCH_METHOD)) return DISP_E_MEMBERNOTFOUND;
  if (params.cNamedArgs != 0) return DISP_E_NONAMEDARGS;
  if (params.cArgs != m.params.size()) return DISP_E_BADPARAMCOUNT;
  std::vector<VARIANT> args(m.params.size());
  HRESULT hr = S_OK;
  size_t converted = 0;
  for (; converted < args.size(); ++converted) {
    // The first argument is the last in rgvarg.
    const UINT slot = params.cArgs - 1 - static_cast<UINT>(converted);
    hr = ConvertArg(params.rgvarg[slot], m.params[converted].vt, args[converted]);
    if (FAILED(hr)) {
      if (argErr) *argErr = slot;
      break;
    }
  }
  if (SUCCEEDED(hr)) {
    VARIANT value;
    VariantInit(&value);
    hr = target.CallMethod(m.dispid, args.data(), &value);
    if (SUCCEEDED(hr) && result) {
      VariantClear(result);
      *result = value;
    } else {
      VariantClear(&value);
    }
  }
  for (size_t i = 0; i < converted; ++i)
    if (!(args[i].vt & VT_BYREF)) VariantClear(&args[i]);
  return hr;
}

}  // namespace

HRESULT DispatchInvoke(const TypeDesc& type, DispatchTarget& target, DISPID member, REFIID riid,
                       WORD flags, DISPPARAMS* params, VARIANT* result, UINT* argErr) {
  if (!IsEqualGUID(riid, IID_NULL)) return DISP_E_UNKNOWNINTERFACE;
  if (!params) return E_POINTER;
  if ((params->cArgs && !params->rgvarg) || (params->cNamedArgs && !params->rgdispidNamedArgs))
    return E_INVALIDARG;
  if (params->cNamedArgs > params->cArgs) return E_INVALIDARG;
  const MemberDesc* m = type.FindMember(member);
  if (!m) return DISP_E_MEMBERNOTFOUND;
  if (m->kind == MemberKind::Property) return InvokeProperty(*m, target, flags, *params, result, argErr);
  return InvokeMethod(*m, target, flags, *params, result, argErr);
}

}  // namespace kestrix
