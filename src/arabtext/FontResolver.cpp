#include "arabtext/FontResolver.h"

#include <fontconfig/fontconfig.h>

#include <memory>

namespace kestrix::arabtext {
namespace {

constexpr int kBoldWeight = 600;

struct PatternDeleter {
  void operator()(FcPattern* p) const { FcPatternDestroy(p); }
};
struct FontSetDeleter {
  void operator()(FcFontSet* s) const { FcFontSetDestroy(s); }
};
using PatternPtr = std::unique_ptr<FcPattern, PatternDeleter>;
using FontSetPtr = std::unique_ptr<FcFontSet, FontSetDeleter>;

FcConfig* Config() {
  // FcInitLoadConfigAndFonts is slow; one configuration serves the whole process.
  static FcConfig* const config = [] {
    FcInit();
    return FcConfigGetCurrent();
  }();
  return config;
}

PatternPtr MakePattern(const std::string& family, int weight, bool italic, bool wantArabic) {
  PatternPtr pattern(FcPatternCreate());
  if (!family.empty())
    FcPatternAddString(pattern.get(), FC_FAMILY, reinterpret_cast<const FcChar8*>(family.c_str()));
  FcPatternAddDouble(pattern.get(), FC_WEIGHT, FcWeightFromOpenTypeDouble(weight));
  FcPatternAddInteger(pattern.get(), FC_SLANT, italic ? FC_SLANT_ITALIC : FC_SLANT_ROMAN);
  if (wantArabic) {
    FcLangSet* langs = FcLangSetCreate();
    FcLangSetAdd(langs, reinterpret_cast<const FcChar8*>("ar"));
    FcPatternAddLangSet(pattern.get(), FC_LANG, langs);
    FcLangSetDestroy(langs);
  }
  FcConfigSubstitute(Config(), pattern.get(), FcMatchPattern);
  FcDefaultSubstitute(pattern.get());
  return pattern;
}

bool CoversArabicLetters(FcPattern* font) {
  FcCharSet* chars = nullptr;
  if (FcPatternGetCharSet(font, FC_CHARSET, 0, &chars) != FcResultMatch || !chars) return false;
  // The letters from alef to yeh and the tatweel; U+063B..U+063F are later additions that
  // good Arabic fonts may lack.
  for (FcChar32 c = 0x0627; c <= 0x064A; ++c)
    if ((c < 0x063B || c > 0x063F) && !FcCharSetHasChar(chars, c)) return false;
  return true;
}

bool HasFamily(FcPattern* font, const std::string& family) {
  FcChar8* name = nullptr;
  for (int i = 0; FcPatternGetString(font, FC_FAMILY, i, &name) == FcResultMatch; ++i)
    if (FcStrCmpIgnoreCase(name, reinterpret_cast<const FcChar8*>(family.c_str())) == 0) return true;
  return false;
}

FontFile FileOf(FcPattern* font, int weight, bool italic) {
  FontFile file;
  FcChar8* path = nullptr;
  if (FcPatternGetString(font, FC_FILE, 0, &path) != FcResultMatch || !path) return file;
  file.path = reinterpret_cast<const char*>(path);
  int index = 0;
  if (FcPatternGetInteger(font, FC_INDEX, 0, &index) == FcResultMatch) file.index = index;
  int slant = FC_SLANT_ROMAN;
  FcPatternGetInteger(font, FC_SLANT, 0, &slant);
  // fontconfig marks the faces it would slant or embolden itself (and may then report the
  // slant or weight asked for), so both its marks and the face's own values count.
  FcMatrix* matrix = nullptr;
  const bool sheared = FcPatternGetMatrix(font, FC_MATRIX, 0, &matrix) == FcResultMatch && matrix && matrix->xy != 0;
  file.syntheticOblique = italic && (slant == FC_SLANT_ROMAN || sheared);
  double fcWeight = FC_WEIGHT_REGULAR;
  FcPatternGetDouble(font, FC_WEIGHT, 0, &fcWeight);
  FcBool embolden = FcFalse;
  FcPatternGetBool(font, FC_EMBOLDEN, 0, &embolden);
  file.syntheticBold = weight >= kBoldWeight && (fcWeight < FC_WEIGHT_DEMIBOLD || embolden);
  return file;
}

// The best match for the pattern, or null.
PatternPtr Match(FcPattern* pattern) {
  FcResult result = FcResultNoMatch;
  FcPattern* match = FcFontMatch(Config(), pattern, &result);
  return PatternPtr(match);
}

FontFile ResolveArabic(const std::string& face, int weight, bool italic) {
  // The named face, when it exists and writes Arabic; then the faces we know are good;
  // then anything fontconfig knows that covers the letters.
  const std::string candidates[] = {face, "Noto Naskh Arabic", "Noto Sans Arabic"};
  for (const std::string& family : candidates) {
    if (family.empty()) continue;
    PatternPtr pattern = MakePattern(family, weight, italic, true);
    PatternPtr match = Match(pattern.get());
    if (match && HasFamily(match.get(), family) && CoversArabicLetters(match.get()))
      return FileOf(match.get(), weight, italic);
  }
  PatternPtr pattern = MakePattern("", weight, italic, true);
  FcResult result = FcResultNoMatch;
  FontSetPtr sorted(FcFontSort(Config(), pattern.get(), FcFalse, nullptr, &result));
  if (sorted) {
    for (int i = 0; i < sorted->nfont; ++i) {
      if (!CoversArabicLetters(sorted->fonts[i])) continue;
      PatternPtr font(FcFontRenderPrepare(Config(), pattern.get(), sorted->fonts[i]));
      if (font) return FileOf(font.get(), weight, italic);
    }
  }
  PatternPtr match = Match(pattern.get());
  return match ? FileOf(match.get(), weight, italic) : FontFile{};
}

}  // namespace

FontFile ResolveFontFile(FontRole role, const std::string& face, int weight, bool italic) {
  if (role == FontRole::kArabic) return ResolveArabic(face, weight, italic);
  PatternPtr pattern = MakePattern(face, weight, italic, false);
  PatternPtr match = Match(pattern.get());
  return match ? FileOf(match.get(), weight, italic) : FontFile{};
}

}  // namespace kestrix::arabtext
