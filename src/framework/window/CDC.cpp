// Drawing operations over a device context; a context-less CDC ignores them all.
#include "framework/window/CDC.h"

#include <algorithm>
#include <cstdlib>
#include <limits>
#include <utility>

namespace kestrix {

CDC::CDC(std::unique_ptr<DeviceContext> context) : context_(std::move(context)) {
  m_hDC = context_.get();
}

void CDC::FillRect(const RECT* rect, CBrush* brush) {
  if (context_ && rect && brush && brush->IsValid()) context_->FillRectangle(*rect, brush->Color());
}

void CDC::FillSolidRect(const RECT* rect, COLORREF color) {
  if (context_ && rect) context_->FillRectangle(*rect, color);
}

void CDC::InvertRect(const RECT* rect) {
  if (context_ && rect) context_->Invert(*rect);
}

CPen* CDC::SelectObject(CPen* pen) {
  CPen* previous = pen_;
  pen_ = pen;
  if (context_) {
    // Null selects the stock black pen.
    context_->penColor = pen ? pen->Color() : 0;
    context_->penWidth = pen ? pen->Width() : 1;
  }
  return previous;
}

void CDC::SelectStockObject(int object) {
  if (context_ && object == SYSTEM_FONT) context_->selectedFontMetrics = SystemFontMetrics();
}

CPoint CDC::MoveTo(int x, int y) {
  if (!context_) return CPoint();
  CPoint previous(context_->penPosition.x, context_->penPosition.y);
  context_->penPosition = POINT{x, y};
  return previous;
}

BOOL CDC::LineTo(int x, int y) {
  if (!context_) return FALSE;
  const POINT from = context_->penPosition;
  context_->penPosition = POINT{x, y};
  const std::vector<RECT>& clip = context_->ClipRects();
  if (clip.empty()) return TRUE;

  // The pixels Bresenham's algorithm picks: along the major axis, one per step, the minor
  // coordinate rounded from the exact line. Each pixel follows from its step alone, so only
  // the steps that can land inside the clip are walked, however far off the end points lie.
  const int64_t x0 = from.x, y0 = from.y;
  const int64_t dx = int64_t{x} - x0, dy = int64_t{y} - y0;
  const int64_t adx = dx < 0 ? -dx : dx, ady = dy < 0 ? -dy : dy;
  const int64_t steps = std::max(adx, ady);  // the end point itself is not drawn
  if (steps == 0) return TRUE;
  const bool xMajor = adx >= ady;
  const int64_t major0 = xMajor ? x0 : y0;
  const int64_t majorDir = (xMajor ? dx : dy) < 0 ? -1 : 1;

  int64_t lo = std::numeric_limits<int64_t>::max(), hi = std::numeric_limits<int64_t>::min();
  for (const RECT& r : clip) {
    lo = std::min<int64_t>(lo, xMajor ? r.left : r.top);
    hi = std::max<int64_t>(hi, xMajor ? r.right : r.bottom);
  }
  // Steps whose major coordinate is in [lo, hi).
  int64_t first = 0, last = steps - 1;
  if (majorDir > 0) {
    first = std::max<int64_t>(first, lo - major0);
    last = std::min<int64_t>(last, hi - 1 - major0);
  } else {
    first = std::max<int64_t>(first, major0 - (hi - 1));
    last = std::min<int64_t>(last, major0 - lo);
  }
  const int64_t minor0 = xMajor ? y0 : x0;
  const int64_t minorDelta = xMajor ? dy : dx;
  const int64_t minorAbs = xMajor ? ady : adx;
  const int64_t minorDir = minorDelta < 0 ? -1 : 1;
  // Exact integer rounding while it cannot overflow; absurdly long lines round in floating point.
  const bool exact = steps <= (int64_t{1} << 30);
  for (int64_t i = first; i <= last; ++i) {
    const int64_t major = major0 + majorDir * i;
    const int64_t offset =
        exact ? (2 * i * minorAbs + steps) / (2 * steps)
              : static_cast<int64_t>(static_cast<long double>(i) * static_cast<long double>(minorAbs) /
                                         static_cast<long double>(steps) +
                                     0.5L);
    const int64_t minor = minor0 + minorDir * offset;
    const int64_t px = xMajor ? major : minor, py = xMajor ? minor : major;
    if (px < std::numeric_limits<int>::min() || px > std::numeric_limits<int>::max() ||
        py < std::numeric_limits<int>::min() || py > std::numeric_limits<int>::max())
      continue;
    context_->SetPixel(static_cast<int>(px), static_cast<int>(py), context_->penColor);
  }
  return TRUE;
}

COLORREF CDC::SetTextColor(COLORREF color) {
  if (!context_) return 0;
  return std::exchange(context_->textColor, color);
}

int CDC::SetBkMode(int mode) {
  if (!context_) return 0;
  return std::exchange(context_->bkMode, mode);
}

UINT CDC::SetTextAlign(UINT align) {
  if (!context_) return 0;
  return std::exchange(context_->textAlign, align);
}

BOOL CDC::GetTextMetrics(TEXTMETRIC* metrics) const {
  if (!metrics) return FALSE;
  if (!context_) {
    *metrics = TEXTMETRIC{};
    return FALSE;
  }
  *metrics = context_->selectedFontMetrics;
  return TRUE;
}

COLORREF CDC::GetPixel(int x, int y) const {
  // As for a point outside any window: an invalid colour.
  if (!context_) return 0xFFFFFFFF;
  return context_->GetPixel(x, y);
}

}  // namespace kestrix
