// VARIANT: a type tag and a union of values, as automation passes arguments and results.
#pragma once

#include <cstddef>
#include <cstdint>

#include "ObjectModel.h"

namespace kestrix {

using VARTYPE = uint16_t;
using VARIANT_BOOL = int16_t;
using SHORT = int16_t;

inline constexpr VARIANT_BOOL VARIANT_TRUE = -1;
inline constexpr VARIANT_BOOL VARIANT_FALSE = 0;

enum VARENUM : VARTYPE {
  VT_EMPTY = 0,
  VT_NULL = 1,
  VT_I2 = 2,
  VT_I4 = 3,
  VT_R8 = 5,
  VT_CY = 6,
  VT_BSTR = 8,
  VT_DISPATCH = 9,
  VT_ERROR = 10,
  VT_BOOL = 11,
  VT_VARIANT = 12,
  VT_UNKNOWN = 13,
  VT_UI1 = 17,
  VT_UI4 = 19,
  VT_VOID = 24,
  VT_HRESULT = 25,
  VT_USERDEFINED = 29,
  VT_BYREF = 0x4000,
  VT_TYPEMASK = 0x0FFF,
};

// A record value; named so that the union holds no anonymous type (an extension).
struct VariantRecord {
  void* pvRecord;
  IUnknown* pRecInfo;
};

struct VARIANT {
  VARTYPE vt;
  WORD wReserved1;
  WORD wReserved2;
  WORD wReserved3;
  union {
    LONG lVal;
    BYTE bVal;
    SHORT iVal;
    double dblVal;
    VARIANT_BOOL boolVal;
    SCODE scode;
    CY cyVal;
    BSTR bstrVal;
    IUnknown* punkVal;
    IDispatch* pdispVal;
    ULONG ulVal;
    SHORT* piVal;
    LONG* plVal;
    VARIANT_BOOL* pboolVal;
    BSTR* pbstrVal;
    VARIANT* pvarVal;
    void* byref;
    VariantRecord brecVal;
  };
};
static_assert(offsetof(VARIANT, lVal) == 8, "values follow the 8-byte header");
static_assert(sizeof(VARIANT) == 8 + 2 * sizeof(void*), "the union is two pointers wide");

// VariantChangeType flags.
inline constexpr USHORT VARIANT_NOVALUEPROP = 0x1;
inline constexpr USHORT VARIANT_ALPHABOOL = 0x2;

void VariantInit(VARIANTARG* v);
// Frees what the variant owns (string, reference) and leaves it VT_EMPTY.
HRESULT VariantClear(VARIANTARG* v);
// dest is cleared first; strings are duplicated and interfaces AddRef'd.
HRESULT VariantCopy(VARIANTARG* dest, const VARIANTARG* src);
// Converts src to type vt into dest (which may be src). Supported: VT_EMPTY, VT_BOOL, VT_I2,
// VT_I4, VT_UI1, VT_UI4, VT_R8, VT_CY, VT_BSTR, VT_DISPATCH, VT_UNKNOWN, and a by-reference
// source of any of them. Out-of-range numbers give DISP_E_OVERFLOW, text that is no number
// DISP_E_TYPEMISMATCH; dest is then left as it was.
HRESULT VariantChangeType(VARIANTARG* dest, const VARIANTARG* src, USHORT flags, VARTYPE vt);

// Shorthand constructors for the common cases (the result owns any string).
VARIANT MakeVariantI2(SHORT value);
VARIANT MakeVariantI4(LONG value);
VARIANT MakeVariantBool(bool value);
VARIANT MakeVariantCy(CY value);
VARIANT MakeVariantBstr(const char16_t* text);
VARIANT MakeVariantDispatch(IDispatch* object);  // AddRef'd

}  // namespace kestrix
