// One display line of the text, as shown after word wrapping. A line's place follows from its
// number (the bottom of line n's band is n line heights down), so it is not stored.
#pragma once

#include <cstdint>

#include "framework/ole/OleTypes.h"

namespace kestrix {

struct LineRecord {
  int32_t m_StartX = 0;         // x of the line's logical start, fixed at creation
  int32_t m_Highlighted = 0;    // the line carries a selection highlight
  int32_t m_HighlightLeft = 0;  // one end of the highlight span
  int32_t m_HighlightRight = 0; // the other end
  int32_t m_Direction = 0;      // 1 right-to-left, 0 left-to-right
  CString m_Chars;              // ends with one CR when the line ends a paragraph
};

// A saved editing position, restored by PopPosition.
struct SavedPosition {
  int32_t hadDC = 0;
  int32_t lineStartX = 0;
  int32_t lineY = 0;
  int32_t curLine = 0;
  int32_t firstVisible = 0;
  int32_t lastVisible = 0;
  int32_t charIndex = 0;
};

}  // namespace kestrix
