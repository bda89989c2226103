// Finds font files with fontconfig. A face that does not exist never fails: the Latin slot
// takes whatever fontconfig substitutes (its aliases map well-known names to
// metric-compatible faces), and the Arabic slot keeps looking until it has a face that
// covers the Arabic letters.
#pragma once

#include <string>

namespace arabtext {

struct FontFile {
  std::string path;  // empty when no font at all could be found
  int index = 0;
  bool syntheticOblique = false;  // italic asked for, face is upright
  bool syntheticBold = false;     // bold asked for, face is not
};

enum class FontRole { kLatin, kArabic };

FontFile ResolveFontFile(FontRole role, const std::string& face, int weight, bool italic);

}  // namespace arabtext
