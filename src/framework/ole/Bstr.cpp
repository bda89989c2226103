#include "framework/ole/Bstr.h"

#include "framework/text/Cp1256.h"

namespace kestrix {

BSTR SysAllocString(LPCOLESTR text) {
  if (!text) return nullptr;
  UINT len = 0;
  while (text[len] != 0) ++len;
  return SysAllocStringLen(text, len);
}

UINT SysStringLen(BSTR text) { return SysStringByteLen(text) / static_cast<UINT>(sizeof(OLECHAR)); }

BSTR BstrFromCString(const CString& text) {
  BSTR out = SysAllocStringLen(nullptr, static_cast<UINT>(text.size()));
  if (!out) return nullptr;
  for (size_t i = 0; i < text.size(); ++i)
    out[i] = static_cast<OLECHAR>(UnicodeFromCp1256(static_cast<uint8_t>(text[i])));
  return out;
}

CodePageText CodePageTextFromBstr(BSTR text) {
  return Cp1256FromUtf16Text(std::u16string_view(text ? text : u"", SysStringLen(text)));
}

bool CStringFromBstr(BSTR text, CString* out, UINT* badIndex) {
  if (!out) return false;
  CodePageText converted = CodePageTextFromBstr(text);
  if (!converted.Complete()) {
    if (badIndex) *badIndex = static_cast<UINT>(converted.unplaced->position);
    return false;
  }
  *out = std::move(converted.bytes);
  return true;
}

BSTR BstrFromWide(const WideString& text) {
  BSTR out = SysAllocStringLen(nullptr, static_cast<UINT>(text.size()));
  if (!out) return nullptr;
  for (size_t i = 0; i < text.size(); ++i) out[i] = static_cast<OLECHAR>(text[i]);
  return out;
}

WideString WideFromBstr(BSTR text) {
  const UINT len = SysStringLen(text);
  WideString out;
  out.reserve(len);
  for (UINT i = 0; i < len; ++i) out += static_cast<wchar_t>(text[i]);
  return out;
}

}  // namespace kestrix
