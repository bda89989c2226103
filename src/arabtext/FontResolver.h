// Finds font files: with fontconfig, or through the system's own fonts where there is no
// fontconfig (Windows: GDI gives the font's bytes rather than a file). A face that does not exist never fails: the Latin slot
// takes whatever fontconfig substitutes (its aliases map well-known names to
// metric-compatible faces), and the Arabic slot keeps looking until it has a face that
// covers the Arabic letters.
#pragma once

#include <memory>
#include <string>

namespace kestrix::arabtext {

struct FontFile {
  std::string path;  // empty when no font at all could be found
  int index = 0;
  // The font's bytes when the system offers no file; path then only names the font.
  std::shared_ptr<const std::string> bytes;
  bool syntheticOblique = false;  // italic asked for, face is upright
  bool syntheticBold = false;     // bold asked for, face is not
};

enum class FontRole { kLatin, kArabic };

FontFile ResolveFontFile(FontRole role, const std::string& face, int weight, bool italic);

}  // namespace kestrix::arabtext
