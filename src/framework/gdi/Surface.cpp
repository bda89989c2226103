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

namespace {
// Each channel becomes (s * a + d * (255 - a) + 127) / 255. The division is done as
// (t + (t >> 8)) >> 8 with t the sum plus 128, which is exact over the whole range; red and
// blue are mixed together in one word, each in its own 16 bits.
uint32_t Mix(uint32_t xrgb, uint32_t dst, uint32_t a) {
  const uint32_t na = 255u - a;
  uint32_t rb = (xrgb & 0xFF00FFu) * a + (dst & 0xFF00FFu) * na + 0x800080u;
  uint32_t g = (xrgb & 0x00FF00u) * a + (dst & 0x00FF00u) * na + 0x008000u;
  rb = ((rb + ((rb >> 8) & 0xFF00FFu)) >> 8) & 0xFF00FFu;
  g = ((g + ((g >> 8) & 0x00FF00u)) >> 8) & 0x00FF00u;
  return rb | g;
}
}  // namespace

void Surface::Blend(int x, int y, uint32_t xrgb, uint8_t coverage) {
  if (coverage == 0 || x < 0 || y < 0 || x >= width_ || y >= height_) return;
  uint32_t& dst =
      pixels_[static_cast<size_t>(y) * static_cast<size_t>(width_) + static_cast<size_t>(x)];
  dst = Mix(xrgb, dst, coverage);
}

void Surface::BlendRow(int x, int y, uint32_t xrgb, const uint8_t* coverage, int count) {
  if (y < 0 || y >= height_ || count <= 0) return;
  const int from = std::max(x, 0), to = static_cast<int>(std::min<int64_t>(int64_t{x} + count, width_));
  if (from >= to) return;
  uint32_t* row = &pixels_[static_cast<size_t>(y) * static_cast<size_t>(width_)];
  // Text is mostly drawn over one background colour: its mixes are looked up, not computed.
  // The table follows the colour drawn, and the pixel most often under it.
  if (mixedColour_ != (xrgb & 0xFFFFFF)) RememberMixes(xrgb & 0xFFFFFF, row[from]);
  int looked = 0, computed = 0;
  uint32_t other = 0;
  for (int i = from; i < to; ++i) {
    const uint8_t c = coverage[i - x];
    if (c == 0) continue;
    if (row[i] == mixedOver_) {
      row[i] = mixes_[c];
      ++looked;
    } else {
      other = row[i];
      row[i] = Mix(xrgb, other, c);
      ++computed;
    }
  }
  if (computed > looked) RememberMixes(mixedColour_, other);
}

void Surface::RememberMixes(uint32_t colour, uint32_t over) {
  mixedColour_ = colour;
  mixedOver_ = over;
  for (uint32_t a = 0; a < 256; ++a) mixes_[a] = Mix(colour, over, a);
}

Surface Surface::Crop(const RECT& r) const {
  RECT c = ClipToSurface(r, width_, height_);
  Surface out(c.right - c.left, c.bottom - c.top, 0);
  for (int y = c.top; y < c.bottom; ++y)
    for (int x = c.left; x < c.right; ++x) out.SetPixel(x - c.left, y - c.top, Pixel(x, y));
  return out;
}
