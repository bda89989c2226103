// BSTRs on Windows come from the system's automation library, so that a container can free
// the strings the control gives it, and the control those it is given. The framework's
// declarations are repeated here with its own types: its headers and the platform's cannot
// meet in one file, and the two BSTR types differ only in the character type's name.
#include <windows.h>
// After the basic types.
#include <oleauto.h>

#include <cstring>

namespace kestrix {

char16_t* SysAllocStringLen(const char16_t* text, unsigned int len) {
  BSTR made = ::SysAllocStringLen(reinterpret_cast<const OLECHAR*>(text), len);
  // The system leaves the characters of a string made from nothing as they were; ours are zero.
  if (made && !text) std::memset(made, 0, static_cast<size_t>(len) * sizeof(OLECHAR));
  return reinterpret_cast<char16_t*>(made);
}

void SysFreeString(char16_t* text) { ::SysFreeString(reinterpret_cast<BSTR>(text)); }

unsigned int SysStringByteLen(char16_t* text) {
  return ::SysStringByteLen(reinterpret_cast<BSTR>(text));
}

}  // namespace kestrix
