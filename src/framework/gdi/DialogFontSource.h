// Where a dialog font's face comes from: a font file, or the font's bytes where the system
// offers no file (GDI on Windows).
#pragma once

#include <memory>
#include <string>

namespace kestrix {

struct DialogFontSource {
  std::string path;  // empty when the system has no font at all; else names the face
  int index = 0;
  std::shared_ptr<const std::string> bytes;  // set when the face is read from memory
};

// The system's regular upright face for a dialog face name; the old dialog names ("MS Sans
// Serif", "MS Shell Dlg") and an empty name mean the system's sans.
DialogFontSource FindDialogFontSource(const std::string& face);

}  // namespace kestrix
