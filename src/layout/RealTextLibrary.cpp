#include "layout/RealTextLibrary.h"

#include <memory>
#include <vector>

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

bool RealTextLibrary::aDrawnChars(HDC hdc, const char* chars, int32_t count, DrawnChar* out) {
  if (!chars || count < 1) return ReadingOrder() != 0;
  const auto n = static_cast<size_t>(count);
  std::vector<int32_t> left(n), right(n);
  std::unique_ptr<bool[]> rtl(new bool[n]);
  const bool paragraph = library_.DrawnBytes(hdc, chars, count, ReadingOrder() != 0, left.data(), right.data(), rtl.get());
  for (size_t i = 0; i < n; ++i) out[i] = DrawnChar{left[i], right[i], rtl[i]};
  return paragraph;
}

void RealTextLibrary::aSetReadingOrder(int32_t order) { readingOrder_ = order; }

void RealTextLibrary::aSetKeyboardLanguage(int32_t language) { keyboardLanguage_ = language; }

}  // namespace kestrix
