// The control reaches the Arabic text library only through this interface, so that a test can
// put a library with known widths in its place. Arguments are 32-bit as the library takes them;
// characters are bytes of the Arabic Windows code page.
#pragma once

#include <cstdint>

#include "framework/WinTypes.h"
#include "framework/gdi/DeviceContext.h"

namespace kestrix {

// Where one character of a string stands as aTextOut draws it with its left end at 0: the
// pixels from left up to right (equal for a character drawn with no width) and whether its
// run goes right to left.
struct DrawnChar {
  int32_t left = 0;
  int32_t right = 0;
  bool rightToLeft = false;
};

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
  // Fills out[0..count) with where each character of the string stands as aTextOut draws it;
  // returns whether the string's paragraph runs right to left. White space at the string's
  // end stands at the paragraph's end, as wide as it measures, though nothing is drawn there;
  // a character that is not drawn (a control) takes no width. count >= 1.
  virtual bool aDrawnChars(HDC hdc, const char* chars, int32_t count, DrawnChar* out) = 0;
  // With follow, a paragraph without a strong character runs the way *order says at the moment
  // of drawing or placing, whatever aSetReadingOrder was told last: a control points its library
  // at its own reading order. Without follow, a library following order stops.
  virtual void FollowReadingOrder(const short* order, bool follow) {
    (void)order;
    (void)follow;
  }
  // 0 left-to-right, any other value right-to-left.
  virtual void aSetReadingOrder(int32_t order) = 0;
  virtual void aSetKeyboardLanguage(int32_t language) = 0;
};

}  // namespace kestrix
