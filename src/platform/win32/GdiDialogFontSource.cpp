// Dialog faces on Windows: the face GDI gives for the name, read from memory.
#include "framework/gdi/DialogFontSource.h"
#include "platform/win32/GdiFonts.h"

namespace kestrix {

DialogFontSource FindDialogFontSource(const std::string& face) {
  // The old dialog names are GDI's own substitutes for its sans.
  gdifonts::FoundFace found =
      gdifonts::Find({face.empty() ? "MS Shell Dlg" : face, 400, false, false});
  DialogFontSource source;
  if (!found.bytes) return source;
  source.path = "gdi:" + found.face;
  source.bytes = found.bytes;
  source.index = found.index;
  return source;
}

}  // namespace kestrix
