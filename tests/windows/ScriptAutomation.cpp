#include "ScriptAutomation.h"

#include "framework/text/Cp1256.h"

namespace kestrix {

std::wstring WideFromCodePage(const std::string& bytes) {
  std::wstring wide;
  for (char c : bytes) wide += static_cast<wchar_t>(UnicodeFromCp1256(static_cast<uint8_t>(c)));
  return wide;
}

std::optional<std::string> CodePageFromWide(const wchar_t* text, size_t length) {
  return Cp1256FromUtf16(std::u16string_view(reinterpret_cast<const char16_t*>(text), length));
}

}  // namespace kestrix
