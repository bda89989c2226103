// Automation strings: UTF-16 characters behind a 32-bit byte count, the pointer addressing the
// first character; a null BSTR is the empty string. Conversions to and from the control's
// 8-bit text go through the Arabic code page (1256).
#pragma once

#include <cstdint>

#include "OleTypes.h"
#include "../text/TextConversion.h"

namespace kestrix {

using OLECHAR = char16_t;
using LPOLESTR = OLECHAR*;
using LPCOLESTR = const OLECHAR*;
using BSTR = OLECHAR*;

// Null for a null source or when memory runs out.
BSTR SysAllocString(LPCOLESTR text);
// len characters copied from text (or left zero when text is null), always terminated.
BSTR SysAllocStringLen(LPCOLESTR text, UINT len);
void SysFreeString(BSTR text);
UINT SysStringLen(BSTR text);
UINT SysStringByteLen(BSTR text);

// Code page 1256 text to a new BSTR. Every byte has a character, so only memory can fail.
BSTR BstrFromCString(const CString& text);
// The code page bytes of a BSTR, by the one conversion every text coming in takes (digits and
// presentation forms taken by meaning). A character with no place is not replaced: the
// conversion fails, out is left as it was, and *badIndex (when given) names the first such
// character, counted in characters. Returns true on success.
bool CStringFromBstr(BSTR text, CString* out, UINT* badIndex = nullptr);
// The same conversion, with what it found.
CodePageText CodePageTextFromBstr(BSTR text);

// The framework's wide strings and BSTRs hold the same characters.
BSTR BstrFromWide(const WideString& text);
WideString WideFromBstr(BSTR text);

// Owns one BSTR for the length of a scope.
class CComBSTR {
 public:
  CComBSTR() = default;
  explicit CComBSTR(const char16_t* text) : str_(SysAllocString(text)) {}
  explicit CComBSTR(BSTR owned, bool /*attach*/) : str_(owned) {}
  ~CComBSTR() { SysFreeString(str_); }
  CComBSTR(const CComBSTR&) = delete;
  CComBSTR& operator=(const CComBSTR&) = delete;
  BSTR get() const { return str_; }
  BSTR Detach() {
    BSTR s = str_;
    str_ = nullptr;
    return s;
  }

 private:
  BSTR str_ = nullptr;
};

}  // namespace kestrix
