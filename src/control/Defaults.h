// Defaults of the persisted properties.
#pragma once

#include "framework/ole/FontObject.h"

namespace kestrix {

inline constexpr DWORD kPersistedVersion = 0x00010000;
inline constexpr const wchar_t* kDefaultArabicFace = L"Fonta";
inline constexpr const wchar_t* kDefaultLatinFace = L"Times New Roman";

// 12 points, weight 400, character set 1, plain; built afresh for every exchange.
inline FONTDESC DefaultFontDesc(const wchar_t* face) {
  FONTDESC desc;
  desc.cbSizeofstruct = 32;
  desc.lpstrName = face;
  desc.cySize = 120000;
  desc.sWeight = 400;
  desc.sCharset = 1;
  desc.fItalic = FALSE;
  desc.fUnderline = FALSE;
  desc.fStrikethrough = FALSE;
  return desc;
}

}  // namespace kestrix
