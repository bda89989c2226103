#include "layout/RealTextLibrary.h"

namespace kestrix {

void RealTextLibrary::aSelectDC(HDC hdc, const LOGFONT* latin, const LOGFONT* arabic) {
  library_.SelectFonts(hdc, latin, arabic);
}

void RealTextLibrary::aReleaseDC(HDC hdc) { library_.ReleaseDC(hdc); }

SIZE RealTextLibrary::aTextExtent(HDC hdc, const char* chars, int32_t count) {
  return library_.TextExtent(hdc, chars, count);
}

void RealTextLibrary::aTextOut(HDC hdc, int32_t x, int32_t y, const char* chars, int32_t count) {
  library_.TextOut(hdc, x, y, chars, count, ReadingOrder() != 0);
}

void RealTextLibrary::aSetReadingOrder(int32_t order) { readingOrder_ = order; }

void RealTextLibrary::aSetKeyboardLanguage(int32_t language) { keyboardLanguage_ = language; }

}  // namespace kestrix
