#include "framework/gdi/Surface.h"

#include <algorithm>

#include "framework/gdi/PixelRows.h"

namespace kestrix {

Surface::Surface(int width, int height, uint32_t fill) { Reset(width, height, fill); }

void Surface::Reset(int width, int height, uint32_t fill) {
  width_ = std::max(0, width);
  height_ = std::max(0, height);
  pixels_.assign(static_cast<size_t>(width_) * static_cast<size_t>(height_), fill & 0xFFFFFF);
}

uint32_t Surface::Pixel(int x, int y) const {
  if (x < 0 || y < 0 || x >= width_ || y >= height_) return 0;
  return pixels_[static_cast<size_t>(y) * static_cast<size_t>(width_) + static_cast<size_t>(x)];
}

void Surface::SetPixel(int x, int y, uint32_t xrgb) {
  if (x < 0 || y < 0 || x >= width_ || y >= height_) return;
  pixels_[static_cast<size_t>(y) * static_cast<size_t>(width_) + static_cast<size_t>(x)] =
      xrgb & 0xFFFFFF;
}

namespace {
// The part of r inside a width × height surface; empty when nothing is.
RECT ClipToSurface(const RECT& r, int width, int height) {
  RECT c{std::max<LONG>(r.left, 0), std::max<LONG>(r.top, 0), std::min<LONG>(r.right, width),
         std::min<LONG>(r.bottom, height)};
  if (c.right < c.left) c.right = c.left;
  if (c.bottom < c.top) c.bottom = c.top;
  return c;
}
}  // namespace

void Surface::Fill(const RECT& r, uint32_t xrgb) {
  RECT c = ClipToSurface(r, width_, height_);
  for (int y = c.top; y < c.bottom; ++y) {
    uint32_t* row = &pixels_[static_cast<size_t>(y) * static_cast<size_t>(width_)];
    pixelrows::Fill(row + c.left, static_cast<size_t>(c.right - c.left), xrgb & 0xFFFFFF);
  }
}

void Surface::Invert(const RECT& r) {
  RECT c = ClipToSurface(r, width_, height_);
  for (int y = c.top; y < c.bottom; ++y) {
    uint32_t* row = &pixels_[static_cast<size_t>(y) * static_cast<size_t>(width_)];
    for (int x = c.left; x < c.right; ++x) row[x] ^= 0xFFFFFF;
  }
}

void Surface::Blend(int x, int y, uint32_t xrgb, uint8_t coverage) {
  if (coverage == 0 || x < 0 || y < 0 || x >= width_ || y >= height_) return;
  uint32_t& dst =
      pixels_[static_cast<size_t>(y) * static_cast<size_t>(width_) + static_cast<size_t>(x)];
  dst = pixelrows::Mix(xrgb, dst, coverage);
}

void Surface::BlendRow(int x, int y, uint32_t xrgb, const uint8_t* coverage, int count) {
  if (y < 0 || y >= height_ || count <= 0) return;
  const int from = std::max(x, 0), to = static_cast<int>(std::min<int64_t>(int64_t{x} + count, width_));
  if (from >= to) return;
  uint32_t* row = &pixels_[static_cast<size_t>(y) * static_cast<size_t>(width_)];
  pixelrows::Widest()(row + from, coverage + (from - x), to - from, xrgb & 0xFFFFFF, width_ - to);
}

void Surface::BlendImage(int x, int y, uint32_t xrgb, const uint8_t* coverage, int width, int rows, size_t stride) {
  if (width <= 0 || rows <= 0) return;
  const int left = std::max(x, 0), top = std::max(y, 0);
  const int right = static_cast<int>(std::min<int64_t>(int64_t{x} + width, width_));
  const int bottom = static_cast<int>(std::min<int64_t>(int64_t{y} + rows, height_));
  if (left >= right || top >= bottom) return;
  const auto rowLength = static_cast<size_t>(width_);
  pixelrows::Image(&pixels_[static_cast<size_t>(top) * rowLength + static_cast<size_t>(left)], rowLength,
               coverage + static_cast<size_t>(top - y) * stride + static_cast<size_t>(left - x), stride,
               right - left, bottom - top, xrgb & 0xFFFFFF, width_ - right);
}

Surface Surface::Crop(const RECT& r) const {
  RECT c = ClipToSurface(r, width_, height_);
  Surface out;
  out.width_ = std::max(0, static_cast<int>(c.right - c.left));
  out.height_ = std::max(0, static_cast<int>(c.bottom - c.top));
  out.pixels_.reserve(static_cast<size_t>(out.width_) * static_cast<size_t>(out.height_));
  for (int y = c.top; y < c.bottom && out.width_ > 0; ++y) {
    const auto from = pixels_.begin() + static_cast<std::ptrdiff_t>(static_cast<size_t>(y) * static_cast<size_t>(width_) + static_cast<size_t>(c.left));
    out.pixels_.insert(out.pixels_.end(), from, from + out.width_);
  }
  return out;
}

}  // namespace kestrix
