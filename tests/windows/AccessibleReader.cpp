#include "AccessibleReader.h"

// After the basic types.
#include <oleacc.h>

#include <filesystem>
#include <fstream>

namespace kestrix {

namespace {

VARIANT Self() {
  VARIANT self;
  VariantInit(&self);
  self.vt = VT_I4;
  self.lVal = CHILDID_SELF;
  return self;
}

// UTF-8, so that the Arabic of a value survives the file.
std::string Utf8(const wchar_t* text, UINT length) {
  const int size = WideCharToMultiByte(CP_UTF8, 0, text, static_cast<int>(length), nullptr, 0, nullptr, nullptr);
  std::string out(static_cast<size_t>(size), '\0');
  WideCharToMultiByte(CP_UTF8, 0, text, static_cast<int>(length), out.data(), size, nullptr, nullptr);
  return out;
}

void Describe(IAccessible* object, const char* which, std::ofstream& out) {
  VARIANT role, state;
  if (SUCCEEDED(object->get_accRole(Self(), &role)) && role.vt == VT_I4)
    out << which << " role: " << role.lVal << "\n";
  if (SUCCEEDED(object->get_accState(Self(), &state)) && state.vt == VT_I4)
    out << which << " state: " << state.lVal << "\n";
  BSTR value = nullptr;
  if (object->get_accValue(Self(), &value) == S_OK) {
    out << which << " value: " << Utf8(value, SysStringLen(value)) << "\n";
    SysFreeString(value);
  }
  long x = 0, y = 0, width = 0, height = 0;
  if (SUCCEEDED(object->accLocation(&x, &y, &width, &height, Self())))
    out << which << " location: " << x << " " << y << " " << width << " " << height << "\n";
}

}  // namespace

int ReadAccessible(HWND window, const std::wstring& file) {
  std::ofstream out(std::filesystem::path(file), std::ios::binary);
  int status = 0;
  for (auto [id, which] : {std::pair{OBJID_CLIENT, "text"}, std::pair{OBJID_CARET, "caret"}}) {
    IAccessible* object = nullptr;
    if (FAILED(AccessibleObjectFromWindow(window, static_cast<DWORD>(id), IID_IAccessible,
                                          reinterpret_cast<void**>(&object)))) {
      status = 1;
      continue;
    }
    Describe(object, which, out);
    object->Release();
  }
  return status;
}

}  // namespace kestrix
