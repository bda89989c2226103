// The text library's fonts on Windows, through GDI. The Latin slot takes the face GDI gives
// for the name (its own substitutes when the name is not installed); the Arabic slot keeps
// looking until it has a face that writes the Arabic letters: the named face, the faces we
// know are good, then any family with the Arabic character set.
#include "arabtext/FontResolver.h"
#include "platform/win32/GdiFonts.h"

namespace kestrix::arabtext {
namespace {

constexpr int kBoldWeight = 600;

FontFile FileOf(const gdifonts::FoundFace& found, int weight, bool italic) {
  FontFile file;
  if (!found.bytes) return file;
  // Only a name: the cache keys fonts by it, and the bytes are what is read.
  file.path =
      "gdi:" + found.face + '|' + std::to_string(found.weightClass) + (found.italic ? "|i" : "|r");
  file.bytes = found.bytes;
  file.index = found.index;
  file.syntheticOblique = italic && !found.italic;
  file.syntheticBold = weight >= kBoldWeight && found.weightClass < kBoldWeight;
  return file;
}

gdifonts::FoundFace Find(const std::string& face, int weight, bool italic, bool arabic) {
  return gdifonts::Find({face, weight, italic, arabic});
}

FontFile ResolveArabic(const std::string& face, int weight, bool italic) {
  const std::string candidates[] = {face, "Noto Naskh Arabic", "Noto Sans Arabic"};
  for (const std::string& family : candidates) {
    if (!gdifonts::FamilyExists(family, true)) continue;
    gdifonts::FoundFace found = Find(family, weight, italic, true);
    if (found.coversArabic) return FileOf(found, weight, italic);
  }
  for (const std::string& family : gdifonts::ArabicFamilies()) {
    gdifonts::FoundFace found = Find(family, weight, italic, true);
    if (found.coversArabic) return FileOf(found, weight, italic);
  }
  return FileOf(Find("", weight, italic, true), weight, italic);
}

}  // namespace

FontFile ResolveFontFile(FontRole role, const std::string& face, int weight, bool italic) {
  if (role == FontRole::kArabic) return ResolveArabic(face, weight, italic);
  return FileOf(Find(face, weight, italic, false), weight, italic);
}

}  // namespace kestrix::arabtext
