#include "framework/gdi/Surface.h"

#include <algorithm>

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
    std::fill(row + c.left, row + c.right, xrgb & 0xFFFFFF);
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
  if (coverage == 255) {
    dst = xrgb & 0xFFFFFF;
    return;
  }
  uint32_t out = 0;
  for (int shift = 0; shift <= 16; shift += 8) {
    uint32_t s = (xrgb >> shift) & 0xFF;
    uint32_t d = (dst >> shift) & 0xFF;
    uint32_t m = (s * coverage + d * (255u - coverage) + 127u) / 255u;
    out |= m << shift;
  }
  dst = out;
}

Surface Surface::Crop(const RECT& r) const {
  RECT c = ClipToSurface(r, width_, height_);
  Surface out(c.right - c.left, c.bottom - c.top, 0);
  for (int y = c.top; y < c.bottom; ++y)
    for (int x = c.left; x < c.right; ++x) out.SetPixel(x - c.left, y - c.top, Pixel(x, y));
  return out;
}
