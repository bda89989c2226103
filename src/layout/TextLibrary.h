// The control reaches the Arabic text library only through this interface, so that a test can
// put a library with known widths in its place. Arguments are 32-bit as the library takes them;
// characters are bytes of the Arabic Windows code page.
#pragma once

#include <cstdint>

#include "framework/WinTypes.h"
#include "framework/gdi/DeviceContext.h"

namespace kestrix {

class TextLibrary {
 public:
  virtual ~TextLibrary() = default;

  // Both fonts for later text calls on hdc: Latin characters in the first, Arabic in the
  // second. The descriptions live only during the call; lfHeight is a negative pixel height.
  // Afterwards GetTextMetrics on hdc answers 1.333 times the line metrics of drawn text.
  virtual void aSelectDC(HDC hdc, const LOGFONT* latin, const LOGFONT* arabic) = 0;
  // Lets go of hdc and of what the library selected into it.
  virtual void aReleaseDC(HDC hdc) = 0;
  // Advance width of the whole string as aTextOut draws it, and the line height. count >= 1.
  virtual SIZE aTextExtent(HDC hdc, const char* chars, int32_t count) = 0;
  // Draws the string as one unit in visual order: left end at x, baseline at y, in the text
  // colour over what is there.
  virtual void aTextOut(HDC hdc, int32_t x, int32_t y, const char* chars, int32_t count) = 0;
  // 0 left-to-right, any other value right-to-left.
  virtual void aSetReadingOrder(int32_t order) = 0;
  virtual void aSetKeyboardLanguage(int32_t language) = 0;
};

}  // namespace kestrix
