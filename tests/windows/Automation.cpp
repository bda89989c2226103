#include "Automation.h"

#include <algorithm>

namespace kestrix {

DISPID Automation::IdOf(const wchar_t* name) {
  DISPID id = DISPID_UNKNOWN;
  LPOLESTR names[] = {const_cast<LPOLESTR>(name)};
  dispatch_->GetIDsOfNames(IID_NULL, names, 1, LOCALE_USER_DEFAULT, &id);
  return id;
}

HRESULT Automation::Put(const wchar_t* name, VARIANT value, EXCEPINFO* info) {
  DISPID put = DISPID_PROPERTYPUT;
  DISPPARAMS params{&value, &put, 1, 1};
  HRESULT hr = dispatch_->Invoke(IdOf(name), IID_NULL, LOCALE_USER_DEFAULT, DISPATCH_PROPERTYPUT,
                                 &params, nullptr, info, nullptr);
  VariantClear(&value);
  return hr;
}

HRESULT Automation::Put(const wchar_t* name, const std::wstring& text) {
  return Put(name, TextVariant(text));
}

HRESULT Automation::PutLong(const wchar_t* name, long value) {
  VARIANT v;
  VariantInit(&v);
  v.vt = VT_I4;
  v.lVal = value;
  return Put(name, v);
}

HRESULT Automation::PutBool(const wchar_t* name, bool value) {
  VARIANT v;
  VariantInit(&v);
  v.vt = VT_BOOL;
  v.boolVal = value ? VARIANT_TRUE : VARIANT_FALSE;
  return Put(name, v);
}

VARIANT Automation::Get(const wchar_t* name, HRESULT* hr) {
  VARIANT result;
  VariantInit(&result);
  DISPPARAMS none{};
  HRESULT got = dispatch_->Invoke(IdOf(name), IID_NULL, LOCALE_USER_DEFAULT, DISPATCH_PROPERTYGET,
                                  &none, &result, nullptr, nullptr);
  if (hr) *hr = got;
  return result;
}

std::wstring Automation::GetText(const wchar_t* name) {
  VARIANT v = Get(name);
  std::wstring text;
  if (v.vt == VT_BSTR) text.assign(v.bstrVal, SysStringLen(v.bstrVal));
  VariantClear(&v);
  return text;
}

long Automation::GetLong(const wchar_t* name) {
  VARIANT v = Get(name);
  long value = -99999;
  if (SUCCEEDED(VariantChangeType(&v, &v, 0, VT_I4))) value = v.lVal;
  VariantClear(&v);
  return value;
}

HRESULT Automation::Call(const wchar_t* name, std::vector<VARIANT> args, VARIANT* result) {
  std::reverse(args.begin(), args.end());  // the last argument comes first
  DISPPARAMS params{args.data(), nullptr, static_cast<UINT>(args.size()), 0};
  HRESULT hr = dispatch_->Invoke(IdOf(name), IID_NULL, LOCALE_USER_DEFAULT, DISPATCH_METHOD,
                                 &params, result, nullptr, nullptr);
  for (VARIANT& arg : args) VariantClear(&arg);
  return hr;
}

VARIANT TextVariant(const std::wstring& text) {
  VARIANT v;
  VariantInit(&v);
  v.vt = VT_BSTR;
  v.bstrVal = SysAllocStringLen(text.data(), static_cast<UINT>(text.size()));
  return v;
}

}  // namespace kestrix
