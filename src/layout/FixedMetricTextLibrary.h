// A text library with exact, documented widths, which records every call: for tests and for
// hosts that want exact geometry (the scripted host's fixed metrics).
//   - every byte is 10 px wide, drawn as a solid box in the text colour;
//   - an Arabic letter whose next non-mark byte is an Arabic letter is 8 px (its joined form);
//   - the tatweel 0xDC is 4 px;
//   - Arabic marks, CR, LF and other bytes below 0x20 are 0 px and draw nothing.
// Strings are drawn in logical order from the left. GetTextMetrics after aSelectDC answers
// height 24, ascent 19, descent 5 (line height 18, ascent 14, descent 3 in the control).
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "layout/TextLibrary.h"

namespace kestrix {

struct TextLibraryCall {
  std::string function;
  HDC hdc = nullptr;
  std::vector<LONG> numbers;  // x, y, reading order, language, or the LOGFONT heights
  std::string text;           // characters, or the two face names joined by '|'
};

class FixedMetricTextLibrary final : public TextLibrary {
 public:
  static constexpr int kCharWidth = 10;
  static constexpr int kJoinedWidth = 8;
  static constexpr int kTatweelWidth = 4;
  static constexpr int kBoxHeight = 10;

  void aSelectDC(HDC hdc, const LOGFONT* latin, const LOGFONT* arabic) override;
  void aReleaseDC(HDC hdc) override;
  SIZE aTextExtent(HDC hdc, const char* chars, int32_t count) override;
  void aTextOut(HDC hdc, int32_t x, int32_t y, const char* chars, int32_t count) override;
  void aSetReadingOrder(int32_t order) override;
  void aSetKeyboardLanguage(int32_t language) override;

  // Width of byte i of s under the rules above.
  static int CharWidth(std::string_view s, size_t i);
  // Width of s. A string that extends or edits the last one measured reuses the widths of
  // the part they share, so that a line measured after every character typed into it costs
  // what the change costs, not what the line costs.
  int Width(std::string_view s);

  // The log of calls, kept while recordCalls is set. Tests read it; a long-running host turns
  // it off, since it keeps a copy of every string measured or drawn.
  bool recordCalls = true;
  std::vector<TextLibraryCall> calls;
  // Calls of one function, in order.
  std::vector<TextLibraryCall> CallsOf(const std::string& function) const;
  void ClearCalls() { calls.clear(); }
  LOGFONT lastLatin;
  LOGFONT lastArabic;
  int32_t readingOrder = 1;
  // The metrics reported after aSelectDC.
  TEXTMETRIC metrics{24, 19, 5, 0, 0, 10, 10};

 private:
  void Record(TextLibraryCall call);

  std::string measured_;           // the last string measured
  std::vector<int> measuredUpTo_;  // [i]: the width of its first i bytes
};

}  // namespace kestrix
