// The text library the control uses outside tests: our Arabic text library behind the
// TextLibrary interface.
#pragma once

#include <cstdint>

#include "arabtext/ArabTextLibrary.h"
#include "layout/TextLibrary.h"

class RealTextLibrary final : public TextLibrary {
 public:
  void aSelectDC(HDC hdc, const LOGFONT* latin, const LOGFONT* arabic) override;
  void aReleaseDC(HDC hdc) override;
  SIZE aTextExtent(HDC hdc, const char* chars, int32_t count) override;
  void aTextOut(HDC hdc, int32_t x, int32_t y, const char* chars, int32_t count) override;
  void aSetReadingOrder(int32_t order) override;
  void aSetKeyboardLanguage(int32_t language) override;

  arabtext::ArabTextLibrary& Library() { return library_; }

 private:
  arabtext::ArabTextLibrary library_;
};
