#include "module/win32/PropertyBagValues.h"

#include <string>

#include "module/win32/Win32Text.h"

namespace win32host {
namespace {

// A variant of one type, cleared on scope exit.
struct Value {
  VARIANT v;
  Value() { VariantInit(&v); }
  ~Value() { VariantClear(&v); }
  Value(const Value&) = delete;
  Value& operator=(const Value&) = delete;
};

VARTYPE TypeOf(NamedValue::Kind kind) {
  switch (kind) {
    case NamedValue::Kind::Bool:
      return VT_BOOL;
    case NamedValue::Kind::Short:
      return VT_I2;
    case NamedValue::Kind::Long:
      return VT_I4;
    case NamedValue::Kind::UnsignedLong:
      return VT_UI4;
    case NamedValue::Kind::Text:
    case NamedValue::Kind::Font:
      return VT_BSTR;
  }
  return VT_EMPTY;
}

// Reads name as type vt; false when the bag lacks it or cannot give that type (then counted
// in unreadable).
bool Read(IPropertyBag& bag, IErrorLog* log, const std::string& name, VARTYPE vt, Value& out,
          int& unreadable) {
  const std::wstring wide = WideFromUtf8(name);
  out.v.vt = vt;
  HRESULT hr = bag.Read(wide.c_str(), &out.v, log);
  if (FAILED(hr)) {
    // A bag that holds the value but cannot give it in this type says so; any other failure
    // is a value the bag does not hold.
    if (hr == DISP_E_TYPEMISMATCH || hr == DISP_E_OVERFLOW || hr == DISP_E_BADVARTYPE) ++unreadable;
    return false;
  }
  if (out.v.vt == vt) return true;
  // A bag may answer in a type of its own (text, say): converted, or reported and skipped.
  if (SUCCEEDED(VariantChangeType(&out.v, &out.v, 0, vt))) return true;
  ++unreadable;
  if (log) {
    EXCEPINFO error{};
    error.scode = DISP_E_TYPEMISMATCH;
    log->AddError(wide.c_str(), &error);
  }
  return false;
}

std::u16string Utf16(BSTR text) {
  return std::u16string(reinterpret_cast<const char16_t*>(text), SysStringLen(text));
}

HRESULT Write(IPropertyBag& bag, const std::string& name, VARIANT& value) {
  return bag.Write(WideFromUtf8(name).c_str(), &value);
}

HRESULT WriteNumber(IPropertyBag& bag, const std::string& name, VARTYPE vt, int64_t number) {
  Value value;
  value.v.vt = vt;
  switch (vt) {
    case VT_BOOL:
      value.v.boolVal = number ? VARIANT_TRUE : VARIANT_FALSE;
      break;
    case VT_I2:
      value.v.iVal = static_cast<SHORT>(number);
      break;
    case VT_I4:
      value.v.lVal = static_cast<LONG>(number);
      break;
    case VT_UI4:
      value.v.ulVal = static_cast<ULONG>(number);
      break;
    case VT_CY:
      value.v.cyVal.int64 = number;
      break;
    default:
      return E_INVALIDARG;
  }
  return Write(bag, name, value.v);
}

HRESULT WriteText(IPropertyBag& bag, const std::string& name, const std::u16string& text) {
  Value value;
  value.v.vt = VT_BSTR;
  value.v.bstrVal = SysAllocStringLen(reinterpret_cast<const OLECHAR*>(text.data()),
                                      static_cast<UINT>(text.size()));
  if (!value.v.bstrVal && !text.empty()) return E_OUTOFMEMORY;
  return Write(bag, name, value.v);
}

int64_t NumberOf(const VARIANT& v) {
  switch (v.vt) {
    case VT_BOOL:
      return v.boolVal != VARIANT_FALSE;
    case VT_I2:
      return v.iVal;
    case VT_I4:
      return v.lVal;
    case VT_UI4:
      return v.ulVal;
    case VT_CY:
      return v.cyVal.int64;
    default:
      return 0;
  }
}

bool ReadFont(IPropertyBag& bag, IErrorLog* log, NamedValue& font, int& unreadable) {
  Value name;
  if (!Read(bag, log, font.name + ".Name", VT_BSTR, name, unreadable)) return false;
  font.text = Utf16(name.v.bstrVal);
  auto number = [&](const char* part, VARTYPE vt, int64_t fallback) {
    Value value;
    return Read(bag, log, font.name + part, vt, value, unreadable) ? NumberOf(value.v) : fallback;
  };
  font.fontSize = number(".Size", VT_CY, font.fontSize);
  font.fontWeight = static_cast<short>(number(".Weight", VT_I2, font.fontWeight));
  font.fontCharset = static_cast<short>(number(".Charset", VT_I2, font.fontCharset));
  font.fontItalic = number(".Italic", VT_BOOL, font.fontItalic) != 0;
  font.fontUnderline = number(".Underline", VT_BOOL, font.fontUnderline) != 0;
  font.fontStrikethrough = number(".Strikethrough", VT_BOOL, font.fontStrikethrough) != 0;
  return true;
}

}  // namespace

HRESULT ReadPropertyBag(ControlInstance& control, IPropertyBag& bag, IErrorLog* log) {
  // The control's own list of what it keeps says which names to ask for, and as what.
  control.InitNew();
  std::vector<NamedValue> found;
  int unreadable = 0;
  for (NamedValue value : control.SaveValues(false)) {
    if (value.kind == NamedValue::Kind::Font) {
      if (ReadFont(bag, log, value, unreadable)) found.push_back(value);
      continue;
    }
    Value read;
    if (!Read(bag, log, value.name, TypeOf(value.kind), read, unreadable)) continue;
    if (value.kind == NamedValue::Kind::Text)
      value.text = Utf16(read.v.bstrVal);
    else
      value.number = NumberOf(read.v);
    found.push_back(value);
  }
  // What was read is loaded either way; the container learns that some of it was not.
  const long loaded = control.LoadValues(found);
  if (unreadable > 0) return DISP_E_TYPEMISMATCH;
  return loaded;
}

HRESULT WritePropertyBag(ControlInstance& control, IPropertyBag& bag, bool clearDirty) {
  for (const NamedValue& value : control.SaveValues(clearDirty)) {
    HRESULT hr = S_OK;
    if (value.kind == NamedValue::Kind::Text) {
      hr = WriteText(bag, value.name, value.text);
    } else if (value.kind == NamedValue::Kind::Font) {
      hr = WriteText(bag, value.name + ".Name", value.text);
      if (SUCCEEDED(hr)) hr = WriteNumber(bag, value.name + ".Size", VT_CY, value.fontSize);
      if (SUCCEEDED(hr)) hr = WriteNumber(bag, value.name + ".Weight", VT_I2, value.fontWeight);
      if (SUCCEEDED(hr)) hr = WriteNumber(bag, value.name + ".Charset", VT_I2, value.fontCharset);
      if (SUCCEEDED(hr)) hr = WriteNumber(bag, value.name + ".Italic", VT_BOOL, value.fontItalic);
      if (SUCCEEDED(hr))
        hr = WriteNumber(bag, value.name + ".Underline", VT_BOOL, value.fontUnderline);
      if (SUCCEEDED(hr))
        hr = WriteNumber(bag, value.name + ".Strikethrough", VT_BOOL, value.fontStrikethrough);
    } else {
      hr = WriteNumber(bag, value.name, TypeOf(value.kind), value.number);
    }
    if (FAILED(hr)) return hr;
  }
  return S_OK;
}

}  // namespace win32host
