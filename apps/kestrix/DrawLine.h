// Draws one line of text with our Arabic text library into a PNG, for looking at how text
// comes out.
#pragma once

#include <string>

#include "framework/WinTypes.h"

namespace kestrix {

// utf8Text is converted to code page 1256 (characters it lacks become '?') and drawn in
// black on a white surface widthPx wide and as tall as the line plus a margin: from the
// left for readingOrder 0, else against the right edge. Returns 0 on success, 1 when the
// PNG cannot be written, 2 for a width below 1.
int DrawLineToPng(const std::string& utf8Text, const std::string& pngPath, int widthPx, int readingOrder,
                  const LOGFONT& latin, const LOGFONT& arabic);

}  // namespace kestrix
