#include "framework/ole/Variant.h"

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <limits>
#include <string>

namespace kestrix {

namespace {

// A source value reduced to what a conversion needs.
struct Scalar {
  enum Kind { kEmpty, kInteger, kCurrency, kReal, kText, kObject } kind = kEmpty;
  int64_t integer = 0;  // kInteger; kCurrency scaled by 10000
  double real = 0;
  BSTR text = nullptr;  // borrowed
  IUnknown* object = nullptr;  // borrowed
  bool isBool = false;
};

bool ReadScalar(const VARIANT& v, Scalar& s) {
  const bool byref = (v.vt & VT_BYREF) != 0;
  if (byref && !v.byref) return false;
  switch (v.vt & ~VT_BYREF) {
    case VT_EMPTY:
      if (byref) return false;
      s.kind = Scalar::kEmpty;
      return true;
    case VT_BOOL:
      s.kind = Scalar::kInteger;
      s.integer = (byref ? *v.pboolVal : v.boolVal) ? -1 : 0;
      s.isBool = true;
      return true;
    case VT_I2:
      s.kind = Scalar::kInteger;
      s.integer = byref ? *v.piVal : v.iVal;
      return true;
    case VT_I4:
      s.kind = Scalar::kInteger;
      s.integer = byref ? *v.plVal : v.lVal;
      return true;
    case VT_UI1:
      s.kind = Scalar::kInteger;
      s.integer = byref ? *static_cast<BYTE*>(v.byref) : v.bVal;
      return true;
    case VT_UI4:
      s.kind = Scalar::kInteger;
      s.integer = byref ? *static_cast<ULONG*>(v.byref) : v.ulVal;
      return true;
    case VT_CY:
      s.kind = Scalar::kCurrency;
      s.integer = byref ? *static_cast<CY*>(v.byref) : v.cyVal;
      return true;
    case VT_R8:
      s.kind = Scalar::kReal;
      s.real = byref ? *static_cast<double*>(v.byref) : v.dblVal;
      return true;
    case VT_BSTR:
      s.kind = Scalar::kText;
      s.text = byref ? *v.pbstrVal : v.bstrVal;
      return true;
    case VT_DISPATCH:
    case VT_UNKNOWN:
      s.kind = Scalar::kObject;
      s.object = byref ? *static_cast<IUnknown**>(v.byref) : v.punkVal;
      return true;
    case VT_VARIANT:
      // One level only: a reference to a variant that is itself a reference to a variant is
      // refused, so a variant that refers to itself, or any cycle of them, ends here.
      if (!byref || v.pvarVal->vt == (VT_BYREF | VT_VARIANT)) return false;
      return ReadScalar(*v.pvarVal, s);
    default:
      return false;
  }
}

// Text to a number: optional sign, digits, optional fraction, in ASCII; surrounding spaces
// are allowed. Anything else is not a number.
bool ParseNumber(BSTR text, double& value) {
  std::string ascii;
  const UINT len = SysStringLen(text);
  for (UINT i = 0; i < len; ++i) {
    if (text[i] > 0x7F || text[i] == 0) return false;
    ascii += static_cast<char>(text[i]);
  }
  const char* begin = ascii.c_str();
  char* end = nullptr;
  value = std::strtod(begin, &end);
  if (end == begin) return false;
  while (*end == ' ') ++end;
  return *end == 0 && std::isfinite(value);
}

bool EqualsIgnoringCase(BSTR text, const char* word) {
  const UINT len = SysStringLen(text);
  UINT i = 0;
  for (; i < len && word[i]; ++i) {
    char16_t c = text[i];
    if (c >= u'A' && c <= u'Z') c = static_cast<char16_t>(c - u'A' + u'a');
    if (c != static_cast<char16_t>(word[i])) return false;
  }
  return i == len && word[i] == 0;
}

// Any scalar to a real number, or false for text that is not one and for objects.
bool ToReal(const Scalar& s, double& value) {
  switch (s.kind) {
    case Scalar::kEmpty: value = 0; return true;
    case Scalar::kInteger: value = static_cast<double>(s.integer); return true;
    case Scalar::kCurrency: value = static_cast<double>(s.integer) / 10000.0; return true;
    case Scalar::kReal: value = s.real; return true;
    case Scalar::kText:
      if (EqualsIgnoringCase(s.text, "true")) { value = -1; return true; }
      if (EqualsIgnoringCase(s.text, "false")) { value = 0; return true; }
      return ParseNumber(s.text, value);
    case Scalar::kObject: return false;
  }
  return false;
}

// Rounds halves to even, as automation does.
HRESULT ToInteger(const Scalar& s, int64_t low, int64_t high, int64_t& value) {
  if (s.kind == Scalar::kInteger) {
    value = s.integer;
  } else if (s.kind == Scalar::kCurrency) {
    int64_t whole = s.integer / 10000;
    int64_t rest = s.integer % 10000;
    if (rest > 5000 || (rest == 5000 && (whole & 1))) ++whole;
    if (rest < -5000 || (rest == -5000 && (whole & 1))) --whole;
    value = whole;
  } else {
    double real = 0;
    if (!ToReal(s, real)) return DISP_E_TYPEMISMATCH;
    real = std::nearbyint(real);
    if (real < static_cast<double>(low) || real > static_cast<double>(high)) return DISP_E_OVERFLOW;
    value = static_cast<int64_t>(real);
  }
  return value < low || value > high ? DISP_E_OVERFLOW : S_OK;
}

HRESULT ToCurrency(const Scalar& s, CY& value) {
  constexpr int64_t kLimit = std::numeric_limits<int64_t>::max() / 10000;
  if (s.kind == Scalar::kCurrency) {
    value = s.integer;
    return S_OK;
  }
  if (s.kind == Scalar::kInteger) {
    if (s.integer > kLimit || s.integer < -kLimit) return DISP_E_OVERFLOW;
    value = s.integer * 10000;
    return S_OK;
  }
  double real = 0;
  if (!ToReal(s, real)) return DISP_E_TYPEMISMATCH;
  real = std::nearbyint(real * 10000.0);
  if (std::fabs(real) >= 9.2e18) return DISP_E_OVERFLOW;
  value = static_cast<CY>(real);
  return S_OK;
}

BSTR AsciiBstr(const std::string& s) {
  BSTR out = SysAllocStringLen(nullptr, static_cast<UINT>(s.size()));
  if (!out) return nullptr;
  for (size_t i = 0; i < s.size(); ++i) out[i] = static_cast<OLECHAR>(s[i]);
  return out;
}

HRESULT ToText(const Scalar& s, USHORT flags, BSTR& value) {
  std::string text;
  switch (s.kind) {
    case Scalar::kEmpty: break;
    case Scalar::kInteger:
      if (s.isBool && (flags & VARIANT_ALPHABOOL))
        text = s.integer ? "True" : "False";
      else
        text = std::to_string(s.integer);
      break;
    case Scalar::kCurrency: {
      const uint64_t magnitude = s.integer < 0 ? 0 - static_cast<uint64_t>(s.integer)
                                               : static_cast<uint64_t>(s.integer);
      text = s.integer < 0 ? "-" : "";
      text += std::to_string(magnitude / 10000);
      std::string fraction = std::to_string(10000 + magnitude % 10000).substr(1);
      while (!fraction.empty() && fraction.back() == '0') fraction.pop_back();
      if (!fraction.empty()) text += "." + fraction;
      break;
    }
    case Scalar::kReal: {
      char buffer[32];
      std::snprintf(buffer, sizeof buffer, "%.15g", s.real);
      text = buffer;
      break;
    }
    case Scalar::kText:
      value = SysAllocStringLen(s.text, SysStringLen(s.text));
      return value || !s.text ? S_OK : E_OUTOFMEMORY;
    case Scalar::kObject: return DISP_E_TYPEMISMATCH;
  }
  value = AsciiBstr(text);
  return value ? S_OK : E_OUTOFMEMORY;
}

}  // namespace

void VariantInit(VARIANTARG* v) {
  if (!v) return;
  v->vt = VT_EMPTY;
  v->wReserved1 = v->wReserved2 = v->wReserved3 = 0;
  v->brecVal.pvRecord = nullptr;
  v->brecVal.pRecInfo = nullptr;
}

HRESULT VariantClear(VARIANTARG* v) {
  if (!v) return E_POINTER;
  if (!(v->vt & VT_BYREF)) {
    switch (v->vt) {
      case VT_BSTR: SysFreeString(v->bstrVal); break;
      case VT_DISPATCH:
      case VT_UNKNOWN:
        if (v->punkVal) v->punkVal->Release();
        break;
      default: break;
    }
  }
  VariantInit(v);
  return S_OK;
}

HRESULT VariantCopy(VARIANTARG* dest, const VARIANTARG* src) {
  if (!dest || !src) return E_POINTER;
  if (dest == src) return S_OK;
  VARIANT copy = *src;
  if (!(src->vt & VT_BYREF)) {
    if (src->vt == VT_BSTR && src->bstrVal) {
      copy.bstrVal = SysAllocStringLen(src->bstrVal, SysStringLen(src->bstrVal));
      if (!copy.bstrVal) return E_OUTOFMEMORY;
    } else if ((src->vt == VT_DISPATCH || src->vt == VT_UNKNOWN) && src->punkVal) {
      src->punkVal->AddRef();
    }
  }
  VariantClear(dest);
  *dest = copy;
  return S_OK;
}

HRESULT VariantChangeType(VARIANTARG* dest, const VARIANTARG* src, USHORT flags, VARTYPE vt) {
  if (!dest || !src) return E_POINTER;
  if ((src->vt & VT_TYPEMASK) == VT_NULL) return DISP_E_TYPEMISMATCH;
  Scalar s;
  if (!ReadScalar(*src, s)) return DISP_E_BADVARTYPE;
  VARIANT out;
  VariantInit(&out);
  out.vt = vt;
  HRESULT hr = S_OK;
  int64_t n = 0;
  switch (vt) {
    case VT_EMPTY: break;
    case VT_BOOL: {
      double real = 0;
      if (!ToReal(s, real)) return DISP_E_TYPEMISMATCH;
      out.boolVal = real != 0 ? VARIANT_TRUE : VARIANT_FALSE;
      break;
    }
    case VT_I2:
      hr = ToInteger(s, INT16_MIN, INT16_MAX, n);
      out.iVal = static_cast<SHORT>(n);
      break;
    case VT_I4:
      hr = ToInteger(s, INT32_MIN, INT32_MAX, n);
      out.lVal = static_cast<LONG>(n);
      break;
    case VT_UI1:
      hr = ToInteger(s, 0, UINT8_MAX, n);
      out.bVal = static_cast<BYTE>(n);
      break;
    case VT_UI4:
      hr = ToInteger(s, 0, UINT32_MAX, n);
      out.ulVal = static_cast<ULONG>(n);
      break;
    case VT_CY: hr = ToCurrency(s, out.cyVal); break;
    case VT_R8:
      if (!ToReal(s, out.dblVal)) hr = DISP_E_TYPEMISMATCH;
      break;
    case VT_BSTR: hr = ToText(s, flags, out.bstrVal); break;
    case VT_DISPATCH:
    case VT_UNKNOWN: {
      if (s.kind != Scalar::kObject) return DISP_E_TYPEMISMATCH;
      if (!s.object) {
        out.punkVal = nullptr;
        break;
      }
      void* object = nullptr;
      hr = s.object->QueryInterface(vt == VT_DISPATCH ? IID_IDispatch : IID_IUnknown, &object);
      if (FAILED(hr)) return DISP_E_TYPEMISMATCH;
      out.punkVal = static_cast<IUnknown*>(object);
      break;
    }
    default: return DISP_E_BADVARTYPE;
  }
  if (FAILED(hr)) return hr;
  // dest may be src: the source's contents were copied out already.
  VariantClear(dest);
  *dest = out;
  return S_OK;
}

VARIANT MakeVariantI2(SHORT value) {
  VARIANT v;
  VariantInit(&v);
  v.vt = VT_I2;
  v.iVal = value;
  return v;
}
VARIANT MakeVariantI4(LONG value) {
  VARIANT v;
  VariantInit(&v);
  v.vt = VT_I4;
  v.lVal = value;
  return v;
}
VARIANT MakeVariantBool(bool value) {
  VARIANT v;
  VariantInit(&v);
  v.vt = VT_BOOL;
  v.boolVal = value ? VARIANT_TRUE : VARIANT_FALSE;
  return v;
}
VARIANT MakeVariantCy(CY value) {
  VARIANT v;
  VariantInit(&v);
  v.vt = VT_CY;
  v.cyVal = value;
  return v;
}
VARIANT MakeVariantBstr(const char16_t* text) {
  VARIANT v;
  VariantInit(&v);
  v.vt = VT_BSTR;
  v.bstrVal = SysAllocString(text);
  return v;
}
VARIANT MakeVariantDispatch(IDispatch* object) {
  VARIANT v;
  VariantInit(&v);
  v.vt = VT_DISPATCH;
  v.pdispVal = object;
  if (object) object->AddRef();
  return v;
}

}  // namespace kestrix
