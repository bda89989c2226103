// Everything besides the text that decides how a rebuild breaks and places lines. Lines laid out
// under one layout may be kept by a rebuild under an equal one.
#pragma once

#include <cstring>

#include "framework/WinTypes.h"

namespace kestrix {

class TextLibrary;

struct RebuildLayout {
  CRect textRect;
  int lineHeight = 0;
  int margin = 0;
  short readingOrder = 0;
  short alignment = 0;
  BOOL wordWrap = FALSE;
  BOOL multiLines = FALSE;  // a single line is never wrapped
  LOGFONT latin;
  LOGFONT arabic;
  const TextLibrary* library = nullptr;

  bool operator==(const RebuildLayout& o) const {
    // LOGFONT has no padding, so its bytes compare as its fields do.
    return textRect == o.textRect && lineHeight == o.lineHeight && margin == o.margin &&
           readingOrder == o.readingOrder && alignment == o.alignment && wordWrap == o.wordWrap &&
           multiLines == o.multiLines &&
           std::memcmp(&latin, &o.latin, sizeof latin) == 0 &&
           std::memcmp(&arabic, &o.arabic, sizeof arabic) == 0 && library == o.library;
  }
};

}  // namespace kestrix
