#include "framework/gdi/DeviceContext.h"

#include <cstdlib>
#include <utility>

DeviceContext::DeviceContext(Surface* surface, POINT origin, std::vector<RECT> clip)
    : selectedFontMetrics(SystemFontMetrics()),
      surface_(surface),
      origin_(origin),
      clip_(std::move(clip)) {}

bool DeviceContext::IsVisible(int x, int y) const {
  for (const RECT& r : clip_)
    if (x >= r.left && x < r.right && y >= r.top && y < r.bottom) return true;
  return false;
}

void DeviceContext::FillSolid(const RECT& r, COLORREF color) {
  if (!surface_) return;
  for (const RECT& c : clip_) {
    CRect part;
    if (!part.IntersectRect(r, c)) continue;
    part.OffsetRect(origin_.x, origin_.y);
    surface_->Fill(part, XrgbFromColorRef(color));
  }
}

void DeviceContext::Invert(const RECT& r) {
  if (!surface_) return;
  for (const RECT& c : clip_) {
    CRect part;
    if (!part.IntersectRect(r, c)) continue;
    part.OffsetRect(origin_.x, origin_.y);
    surface_->Invert(part);
  }
}

void DeviceContext::SetPixel(int x, int y, COLORREF color) {
  if (surface_ && IsVisible(x, y))
    surface_->SetPixel(x + origin_.x, y + origin_.y, XrgbFromColorRef(color));
}

void DeviceContext::BlendText(int x, int y, uint8_t coverage) {
  if (surface_ && coverage && IsVisible(x, y))
    surface_->Blend(x + origin_.x, y + origin_.y, XrgbFromColorRef(textColor), coverage);
}

COLORREF DeviceContext::GetPixel(int x, int y) const {
  if (!surface_) return 0;
  return ColorRefFromXrgb(surface_->Pixel(x + origin_.x, y + origin_.y));
}

TEXTMETRIC SystemFontMetrics() {
  TEXTMETRIC tm;
  tm.tmHeight = 16;
  tm.tmAscent = 13;
  tm.tmDescent = 3;
  tm.tmAveCharWidth = 7;
  tm.tmMaxCharWidth = 14;
  return tm;
}
