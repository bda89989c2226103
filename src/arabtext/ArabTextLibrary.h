// Our Arabic text library: chooses fonts for Latin and Arabic text, shapes, orders mixed
// text visually, measures and draws lines of code page 1256 text on a DeviceContext.
// Measuring and drawing agree exactly: a line is drawn as wide as it measures.
#pragma once

#include <cstdint>
#include <memory>

#include "framework/WinTypes.h"
#include "framework/gdi/DeviceContext.h"

namespace kestrix::arabtext {

class ArabTextLibrary {
 public:
  ArabTextLibrary();
  ~ArabTextLibrary();
  ArabTextLibrary(const ArabTextLibrary&) = delete;
  ArabTextLibrary& operator=(const ArabTextLibrary&) = delete;

  // Fonts for later calls on hdc (and on a null hdc) and its reported metrics. Null
  // descriptions give the default face at 16 pixels.
  void SelectFonts(HDC hdc, const LOGFONT* latin, const LOGFONT* arabic);
  void ReleaseDC(HDC hdc);
  // Advance width as drawn and line height; {0, 0} for no text.
  SIZE TextExtent(HDC hdc, const char* chars, int32_t count);
  // Left end at x, baseline at y; nothing for a null hdc or no text. The paragraph runs the way
  // the reading order says, or, given rightToLeft, the way the caller says.
  void TextOut(HDC hdc, int32_t x, int32_t y, const char* chars, int32_t count);
  void TextOut(HDC hdc, int32_t x, int32_t y, const char* chars, int32_t count, bool rightToLeft);

  void SetReadingOrder(int32_t order) { readingOrder_ = order; }
  int32_t ReadingOrder() const { return readingOrder_; }
  void SetKeyboardLanguage(int32_t language) { keyboardLanguage_ = language; }
  int32_t KeyboardLanguage() const { return keyboardLanguage_; }

  // The line height (ascent + descent) and ascent of the fonts text on hdc uses.
  int LineHeight(HDC hdc);
  int Ascent(HDC hdc);

 private:
  class Impl;
  std::unique_ptr<Impl> impl_;
  int32_t readingOrder_ = 0;
  int32_t keyboardLanguage_ = 0;
};

}  // namespace kestrix::arabtext
