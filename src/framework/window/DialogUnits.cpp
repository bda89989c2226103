#include "framework/window/DialogUnits.h"

#include <cstdint>

namespace kestrix {

int MulDiv(int number, int numerator, int denominator) {
  if (denominator == 0) return 0;
  int64_t product = static_cast<int64_t>(number) * numerator;
  int64_t half = (denominator < 0 ? -denominator : denominator) / 2;
  bool negative = (product < 0) != (denominator < 0);
  int64_t magnitude = ((product < 0 ? -product : product) + half) / (denominator < 0 ? -denominator : denominator);
  return static_cast<int>(negative ? -magnitude : magnitude);
}

CRect DialogRectToPixels(const DialogUnitRect& rect, DialogBaseUnits base) {
  int x = MulDiv(rect.x, base.x, 4);
  int y = MulDiv(rect.y, base.y, 8);
  return CRect(x, y, x + MulDiv(rect.cx, base.x, 4), y + MulDiv(rect.cy, base.y, 8));
}

}  // namespace kestrix
