// The text library the control uses outside tests: our Arabic text library behind the
// TextLibrary interface. Fonts, shaped text and glyphs live in one library that every control
// of the process shares; the settings that decide how text is drawn belong to each control's
// own RealTextLibrary, so that two controls never change each other's drawing.
#pragma once

#include <cstdint>

#include "arabtext/ArabTextLibrary.h"
#include "layout/TextLibrary.h"

namespace kestrix {

class RealTextLibrary final : public TextLibrary {
 public:
  // With followedOrder, paragraphs run the way that reading order says at the moment of
  // drawing, whatever was last told through aSetReadingOrder: a control's text library always
  // draws in the control's own order, whether it was switched, loaded or just made.
  explicit RealTextLibrary(arabtext::ArabTextLibrary& shared, const short* followedOrder = nullptr)
      : library_(shared), followedOrder_(followedOrder) {}

  void aSelectDC(HDC hdc, const LOGFONT* latin, const LOGFONT* arabic) override;
  void aReleaseDC(HDC hdc) override;
  SIZE aTextExtent(HDC hdc, const char* chars, int32_t count) override;
  void aTextOut(HDC hdc, int32_t x, int32_t y, const char* chars, int32_t count) override;
  void aSetReadingOrder(int32_t order) override;
  void aSetKeyboardLanguage(int32_t language) override;

  void FollowOrder(const short* followedOrder) { followedOrder_ = followedOrder; }
  int32_t ReadingOrder() const { return followedOrder_ ? *followedOrder_ : readingOrder_; }
  int32_t KeyboardLanguage() const { return keyboardLanguage_; }

 private:
  arabtext::ArabTextLibrary& library_;
  const short* followedOrder_;
  int32_t readingOrder_ = 0;
  int32_t keyboardLanguage_ = 0;
};

}  // namespace kestrix
