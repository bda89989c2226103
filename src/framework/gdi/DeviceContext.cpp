#include "framework/gdi/DeviceContext.h"

#include <algorithm>
#include <cstdlib>
#include <utility>

namespace kestrix {

DeviceContext::DeviceContext(Surface* surface, POINT origin, std::vector<RECT> clip)
    : selectedFontMetrics(SystemFontMetrics()),
      surface_(surface),
      origin_(origin),
      clip_(std::move(clip)) {
  for (size_t i = 0; i < clip_.size(); ++i)
    for (size_t j = i + 1; j < clip_.size(); ++j) {
      CRect both;
      if (both.IntersectRect(clip_[i], clip_[j])) clipOverlaps_ = true;
    }
}

bool DeviceContext::IsVisible(int x, int y) const {
  for (const RECT& r : clip_)
    if (x >= r.left && x < r.right && y >= r.top && y < r.bottom) return true;
  return false;
}

void DeviceContext::FillRectangle(const RECT& r, COLORREF color) {
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

void DeviceContext::BlendTextRow(int x, int y, const uint8_t* coverage, int count) {
  if (!surface_ || count <= 0) return;
  const int64_t end = int64_t{x} + count;
  // The row's visible spans, merged where clip rectangles overlap, so that each pixel is
  // blended once as BlendText would.
  spans_.clear();
  for (const RECT& r : clip_) {
    if (y < r.top || y >= r.bottom) continue;
    const int from = std::max<int>(x, r.left);
    const int to = static_cast<int>(std::min<int64_t>(end, r.right));
    if (from < to) spans_.emplace_back(from, to);
  }
  std::sort(spans_.begin(), spans_.end());
  const auto& spans = spans_;
  const uint32_t color = XrgbFromColorRef(textColor);
  for (size_t i = 0; i < spans.size();) {
    auto [from, to] = spans[i];
    for (++i; i < spans.size() && spans[i].first <= to; ++i) to = std::max(to, spans[i].second);
    surface_->BlendRow(from + origin_.x, y + origin_.y, color, coverage + (from - x), to - from);
  }
}

void DeviceContext::BlendTextImage(int x, int y, const uint8_t* coverage, int width, int rows, size_t stride) {
  if (!surface_ || width <= 0 || rows <= 0) return;
  if (clipOverlaps_) {
    for (int row = 0; row < rows; ++row)
      BlendTextRow(x, y + row, coverage + static_cast<size_t>(row) * stride, width);
    return;
  }
  const uint32_t color = XrgbFromColorRef(textColor);
  const int64_t right = int64_t{x} + width, bottom = int64_t{y} + rows;
  for (const RECT& r : clip_) {
    const int left = std::max<int>(x, r.left), top = std::max<int>(y, r.top);
    const int stop = static_cast<int>(std::min<int64_t>(right, r.right));
    const int last = static_cast<int>(std::min<int64_t>(bottom, r.bottom));
    if (left < stop && top < last)
      surface_->BlendImage(left + origin_.x, top + origin_.y, color,
                           coverage + static_cast<size_t>(top - y) * stride + (left - x), stop - left,
                           last - top, stride);
  }
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

}  // namespace kestrix
