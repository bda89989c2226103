// Dialog faces through fontconfig.
#include "framework/gdi/DialogFontSource.h"

#include <fontconfig/fontconfig.h>

namespace kestrix {

namespace {

std::string FontconfigFamily(const std::string& face) {
  if (face == "MS Sans Serif" || face == "MS Shell Dlg" || face == "MS Shell Dlg 2" || face.empty())
    return "sans";
  return face;
}

}  // namespace

DialogFontSource FindDialogFontSource(const std::string& face) {
  DialogFontSource found;
  FcPattern* pattern =
      FcNameParse(reinterpret_cast<const FcChar8*>(FontconfigFamily(face).c_str()));
  if (!pattern) return found;
  FcPatternAddInteger(pattern, FC_WEIGHT, FC_WEIGHT_REGULAR);
  FcPatternAddInteger(pattern, FC_SLANT, FC_SLANT_ROMAN);
  FcConfigSubstitute(nullptr, pattern, FcMatchPattern);
  FcDefaultSubstitute(pattern);
  FcResult result = FcResultNoMatch;
  if (FcPattern* match = FcFontMatch(nullptr, pattern, &result)) {
    FcChar8* file = nullptr;
    int index = 0;
    if (FcPatternGetString(match, FC_FILE, 0, &file) == FcResultMatch && file) {
      FcPatternGetInteger(match, FC_INDEX, 0, &index);
      found.path = reinterpret_cast<const char*>(file);
      found.index = index;
    }
    FcPatternDestroy(match);
  }
  FcPatternDestroy(pattern);
  return found;
}

}  // namespace kestrix
