#include "framework/ole/OleTypes.h"

#include "framework/text/Cp1256.h"

namespace kestrix {

WideString BstrFromCp1256(const CString& text) {
  WideString out;
  out.reserve(text.size());
  for (char b : text) out += static_cast<wchar_t>(UnicodeFromCp1256(static_cast<uint8_t>(b)));
  return out;
}

CString Cp1256FromBstr(const WideString& text) {
  CString out;
  out.reserve(text.size());
  for (wchar_t c : text) {
    int b = Cp1256FromUnicode(static_cast<char32_t>(c));
    out += b < 0 ? '?' : static_cast<char>(b);
  }
  return out;
}

}  // namespace kestrix
