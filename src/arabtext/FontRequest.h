// The parts of a LOGFONT that choose and style a font, read defensively: the face name is
// taken from at most LF_FACESIZE bytes whether or not it is terminated, and sizes and
// weights are brought into sane ranges.
#pragma once

#include <string>

#include "framework/WinTypes.h"

namespace kestrix::arabtext {

inline constexpr int kDefaultPixelHeight = 16;
inline constexpr int kMaxPixelHeight = 512;

struct FontRequest {
  std::string face;  // UTF-8; empty asks for the default face
  int pixelHeight = kDefaultPixelHeight;
  int weight = 400;  // 1..1000, as OpenType weights
  bool italic = false;
  bool underline = false;
  bool strikeOut = false;

  bool operator==(const FontRequest&) const = default;
};

// A null description gives the defaults.
FontRequest FontRequestFromLogFont(const LOGFONT* font);

}  // namespace kestrix::arabtext
