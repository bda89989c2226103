#include "arabtext/FontRequest.h"

#include <algorithm>
#include <cstdint>
#include <string_view>

#include "arabtext/Cp1256.h"

namespace kestrix::arabtext {

FontRequest FontRequestFromLogFont(const LOGFONT* font) {
  FontRequest request;
  if (!font) return request;

  const char* name = font->lfFaceName;
  size_t length = 0;
  while (length < static_cast<size_t>(LF_FACESIZE) && name[length] != '\0') ++length;
  // Face names are code page text like everything else; fontconfig wants UTF-8.
  request.face = Utf8FromCp1256(std::string_view(name, length));

  // Negative is the character height, positive the cell height; both are taken as the
  // pixel size, and 0 asks for the default.
  const int64_t height = font->lfHeight;
  const int64_t magnitude = height < 0 ? -height : height;
  request.pixelHeight = magnitude == 0 ? kDefaultPixelHeight
                                       : static_cast<int>(std::min<int64_t>(magnitude, kMaxPixelHeight));

  request.weight = font->lfWeight <= 0 ? 400 : std::min<int>(font->lfWeight, 1000);
  request.italic = font->lfItalic != 0;
  request.underline = font->lfUnderline != 0;
  request.strikeOut = font->lfStrikeOut != 0;
  return request;
}

}  // namespace kestrix::arabtext
