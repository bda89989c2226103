#include "framework/gdi/Surface.h"

#include <algorithm>
#include <cstring>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

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

#if defined(__SSE2__)
namespace {
// Mix for four pixels at once, each channel in a 16-bit lane: the products and the sum stay
// below 65536, so the same exact rounding holds lane by lane.
void MixFour(uint32_t* pixels, const uint8_t* coverage, __m128i colour) {
  uint32_t four;
  std::memcpy(&four, coverage, sizeof four);
  if (four == 0) return;
  const __m128i zero = _mm_setzero_si128();
  __m128i spread = _mm_cvtsi32_si128(static_cast<int>(four));
  spread = _mm_unpacklo_epi8(spread, spread);
  spread = _mm_unpacklo_epi16(spread, spread);  // each coverage byte four times
  const __m128i full = _mm_set1_epi16(255), half = _mm_set1_epi16(128);
  const __m128i dst = _mm_loadu_si128(reinterpret_cast<const __m128i*>(pixels));
  auto mixTwo = [&](__m128i a, __m128i d) {
    __m128i t = _mm_add_epi16(_mm_mullo_epi16(colour, a), _mm_mullo_epi16(d, _mm_sub_epi16(full, a)));
    t = _mm_add_epi16(t, half);
    return _mm_srli_epi16(_mm_add_epi16(t, _mm_srli_epi16(t, 8)), 8);
  };
  const __m128i low = mixTwo(_mm_unpacklo_epi8(spread, zero), _mm_unpacklo_epi8(dst, zero));
  const __m128i high = mixTwo(_mm_unpackhi_epi8(spread, zero), _mm_unpackhi_epi8(dst, zero));
  _mm_storeu_si128(reinterpret_cast<__m128i*>(pixels), _mm_packus_epi16(low, high));
}
}  // namespace
#endif

void Surface::BlendRow(int x, int y, uint32_t xrgb, const uint8_t* coverage, int count) {
  if (y < 0 || y >= height_ || count <= 0) return;
  const int from = std::max(x, 0), to = static_cast<int>(std::min<int64_t>(int64_t{x} + count, width_));
  if (from >= to) return;
  uint32_t* row = &pixels_[static_cast<size_t>(y) * static_cast<size_t>(width_)];
  xrgb &= 0xFFFFFF;
  int i = from;
#if defined(__SSE2__)
  const __m128i colour = _mm_unpacklo_epi8(_mm_set1_epi32(static_cast<int>(xrgb)), _mm_setzero_si128());
  for (; i + 4 <= to; i += 4) MixFour(row + i, coverage + (i - x), colour);
#endif
  for (; i < to; ++i)
    if (const uint8_t c = coverage[i - x]) row[i] = Mix(xrgb, row[i], c);
}

Surface Surface::Crop(const RECT& r) const {
  RECT c = ClipToSurface(r, width_, height_);
  Surface out(c.right - c.left, c.bottom - c.top, 0);
  for (int y = c.top; y < c.bottom; ++y)
    for (int x = c.left; x < c.right; ++x) out.SetPixel(x - c.left, y - c.top, Pixel(x, y));
  return out;
}
