// The system's fonts through GDI, for the text library and the dialog fonts on Windows: which
// face GDI gives for a request, whether it writes Arabic, and the face's bytes (GDI offers no
// font files, so FreeType and HarfBuzz read the fonts from memory).
#pragma once

#include <memory>
#include <string>
#include <vector>

namespace kestrix::gdifonts {

struct FaceRequest {
  std::string face;  // UTF-8; empty lets GDI choose
  int weight = 400;
  bool italic = false;
  bool arabicCharset = false;  // ask for the Arabic character set (178)
};

struct FoundFace {
  std::string face;       // the face GDI chose, UTF-8
  int weightClass = 400;  // the face's own weight and slant, before any simulation
  bool italic = false;
  bool coversArabic = false;                 // has the letters alef to yeh
  std::shared_ptr<const std::string> bytes;  // null when GDI gave no data
  int index = 0;                             // the face's index when bytes are a whole collection
};

// The face GDI selects for the request. Bytes are read once per face and shared.
FoundFace Find(const FaceRequest& request);
// Whether GDI knows a family of that name.
bool FamilyExists(const std::string& face, bool arabicCharset);
// Every family GDI knows that has the Arabic character set, in its order.
std::vector<std::string> ArabicFamilies();

}  // namespace kestrix::gdifonts
