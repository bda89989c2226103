// Automation by name, as a script host calls a control: properties read and written and
// methods called through IDispatch, with the results as plain values.
#pragma once

#include <oaidl.h>

#include <string>
#include <vector>

namespace kestrix {

class Automation {
 public:
  explicit Automation(IDispatch* dispatch) : dispatch_(dispatch) {}

  // info, when given, receives what the control says of a failure.
  HRESULT Put(const wchar_t* name, VARIANT value, EXCEPINFO* info = nullptr);
  HRESULT Put(const wchar_t* name, const std::wstring& text);
  HRESULT PutLong(const wchar_t* name, long value);
  HRESULT PutBool(const wchar_t* name, bool value);
  // VT_EMPTY when the read fails; hr (when given) says why.
  VARIANT Get(const wchar_t* name, HRESULT* hr = nullptr);
  std::wstring GetText(const wchar_t* name);
  long GetLong(const wchar_t* name);
  // A method with its arguments in order, first first.
  HRESULT Call(const wchar_t* name, std::vector<VARIANT> args = {}, VARIANT* result = nullptr);
  DISPID IdOf(const wchar_t* name);

 private:
  IDispatch* dispatch_;
};

VARIANT TextVariant(const std::wstring& text);

}  // namespace kestrix
