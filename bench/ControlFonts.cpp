#include "ControlFonts.h"

#include <hb-ot.h>

#include <cstring>

#include "arabtext/Cp1256.h"
#include "arabtext/FontStore.h"
#include "framework/WinTypes.h"

namespace kestrix {

namespace bench {
namespace {

LOGFONT Font(const char* face) {
  LOGFONT font;
  font.lfHeight = -kControlPixelHeight;
  font.lfWeight = 400;
  font.lfCharSet = 1;
  std::strncpy(font.lfFaceName, face, sizeof font.lfFaceName - 1);
  return font;
}

std::string FamilyOf(arabtext::FontSlot slot) {
  arabtext::FontStore store;
  const LOGFONT latin = ControlLatinFont();
  const LOGFONT arabic = ControlArabicFont();
  const auto pair = store.Pair(arabtext::FontRequestFromLogFont(&latin), arabtext::FontRequestFromLogFont(&arabic));
  hb_face_t* face = hb_font_get_face(pair->Font(slot).HbFont());
  char name[256] = {};
  unsigned size = sizeof name;
  hb_ot_name_get_utf8(face, HB_OT_NAME_ID_FONT_FAMILY, HB_LANGUAGE_INVALID, &size, name);
  return name;
}

}  // namespace

LOGFONT ControlLatinFont() { return Font("Times New Roman"); }
LOGFONT ControlArabicFont() { return Font("Fonta"); }
std::string ResolvedLatinFamily() { return FamilyOf(arabtext::FontSlot::kLatin); }
std::string ResolvedArabicFamily() { return FamilyOf(arabtext::FontSlot::kArabic); }

std::string Utf8Of(const std::string& cp1256) {
  std::string utf8;
  utf8.reserve(cp1256.size() * 2);
  for (char c : cp1256) {
    if (c == '\r')
      utf8 += '\n';
    else
      arabtext::AppendUtf8(arabtext::UnicodeFromCp1256(static_cast<uint8_t>(c)), utf8);
  }
  return utf8;
}

}  // namespace bench

}  // namespace kestrix
