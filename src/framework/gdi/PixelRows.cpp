#include "framework/gdi/PixelRows.h"

#include <algorithm>
#include <cstring>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif
#if defined(__GNUC__) && defined(__x86_64__)
#include <immintrin.h>
#define KESTRIX_EIGHT_WIDE 1
#endif

namespace kestrix::pixelrows {

namespace {

// The division is done as (t + (t >> 8)) >> 8 with t the sum plus 128, which is exact over
// the whole range; red and blue are mixed together in one word, each in its own 16 bits.
inline uint32_t MixPixel(uint32_t xrgb, uint32_t dst, uint32_t a) {
  const uint32_t na = 255u - a;
  uint32_t rb = (xrgb & 0xFF00FFu) * a + (dst & 0xFF00FFu) * na + 0x800080u;
  uint32_t g = (xrgb & 0x00FF00u) * a + (dst & 0x00FF00u) * na + 0x008000u;
  rb = ((rb + ((rb >> 8) & 0xFF00FFu)) >> 8) & 0xFF00FFu;
  g = ((g + ((g >> 8) & 0x00FF00u)) >> 8) & 0x00FF00u;
  return rb | g;
}

inline void OneByOne(uint32_t* pixels, const uint8_t* coverage, int count, uint32_t xrgb) {
  for (int i = 0; i < count; ++i) {
    const uint8_t c = coverage[i];
    if (c == 255)
      pixels[i] = xrgb;
    else if (c != 0)
      pixels[i] = MixPixel(xrgb, pixels[i], c);
  }
}

// The coverage bytes from `at` to the row's end (fewer than a Word holds), the rest zero: a
// vector's share of a row's end. A row at least a Word long is read as its last Word and
// shifted, which avoids a byte copy whose result the processor could not forward at once.
template <typename Word>
inline Word EndOf(const uint8_t* row, int at, int count) {
  const int left = count - at;
  if (count >= static_cast<int>(sizeof(Word))) {
    Word last;
    std::memcpy(&last, row + count - static_cast<int>(sizeof(Word)), sizeof last);
    return last >> (8 * (static_cast<int>(sizeof(Word)) - left));
  }
  Word word = 0;
  for (int k = left - 1; k >= 0; --k) word = static_cast<Word>((word << 8) | row[at + k]);
  return word;
}

#if defined(__SSE2__)
// Four pixels, each channel in a 16-bit lane: the products and the sum stay below 65536, so
// the same exact rounding holds lane by lane. A pixel of no coverage comes back unchanged.
inline void MixFour(uint32_t* pixels, uint32_t four, __m128i colour, __m128i solid) {
  __m128i* at = reinterpret_cast<__m128i*>(pixels);
  if (four == 0xFFFFFFFFu) {
    _mm_storeu_si128(at, solid);
    return;
  }
  const __m128i zero = _mm_setzero_si128();
  const __m128i full = _mm_set1_epi16(255), half = _mm_set1_epi16(128);
  __m128i spread = _mm_cvtsi32_si128(static_cast<int>(four));
  spread = _mm_unpacklo_epi8(spread, spread);
  spread = _mm_unpacklo_epi16(spread, spread);  // each coverage byte four times
  const __m128i dst = _mm_loadu_si128(at);
  auto mixTwo = [&](__m128i a, __m128i d) {
    __m128i t = _mm_add_epi16(_mm_mullo_epi16(colour, a), _mm_mullo_epi16(d, _mm_sub_epi16(full, a)));
    t = _mm_add_epi16(t, half);
    return _mm_srli_epi16(_mm_add_epi16(t, _mm_srli_epi16(t, 8)), 8);
  };
  const __m128i low = mixTwo(_mm_unpacklo_epi8(spread, zero), _mm_unpacklo_epi8(dst, zero));
  const __m128i high = mixTwo(_mm_unpackhi_epi8(spread, zero), _mm_unpackhi_epi8(dst, zero));
  _mm_storeu_si128(at, _mm_packus_epi16(low, high));
}

// Groups of four; runs of no coverage are skipped and runs of full coverage stored, which is
// most of a glyph's box. The row's end goes through one more group when the slack allows.
void FourWideRow(uint32_t* pixels, const uint8_t* coverage, int count, uint32_t xrgb, int slack) {
  const __m128i solid = _mm_set1_epi32(static_cast<int>(xrgb));
  const __m128i colour = _mm_unpacklo_epi8(solid, _mm_setzero_si128());
  int i = 0;
  for (; i + 4 <= count; i += 4) {
    uint32_t four;
    std::memcpy(&four, coverage + i, sizeof four);
    if (four != 0) MixFour(pixels + i, four, colour, solid);
  }
  if (i == count) return;
  if (i + 4 <= count + slack) {
    if (const auto four = EndOf<uint32_t>(coverage, i, count)) MixFour(pixels + i, four, colour, solid);
    return;
  }
  OneByOne(pixels + i, coverage + i, count - i, xrgb);
}
#endif

#if defined(KESTRIX_EIGHT_WIDE)
// The four-wide mix on eight pixels: each 128-bit half holds four of them, and unpacking and
// packing stay within halves, so pixels 0-3 and 4-7 go through exactly the four-wide steps.
__attribute__((target("avx2"))) inline void MixEight(uint32_t* pixels, uint64_t eight, __m256i colour,
                                                     __m256i solid) {
  __m256i* at = reinterpret_cast<__m256i*>(pixels);
  if (eight == ~uint64_t{0}) {
    _mm256_storeu_si256(at, solid);
    return;
  }
  const __m256i zero = _mm256_setzero_si256();
  const __m256i full = _mm256_set1_epi16(255), half = _mm256_set1_epi16(128);
  // Coverage byte k of the eight, four times over, at pixel k's four bytes.
  const __m256i spreadIndex = _mm256_setr_epi8(0, 0, 0, 0, 1, 1, 1, 1, 2, 2, 2, 2, 3, 3, 3, 3,  //
                                               4, 4, 4, 4, 5, 5, 5, 5, 6, 6, 6, 6, 7, 7, 7, 7);
  const __m256i bytes = _mm256_broadcastsi128_si256(_mm_cvtsi64_si128(static_cast<long long>(eight)));
  const __m256i spread = _mm256_shuffle_epi8(bytes, spreadIndex);
  const __m256i dst = _mm256_loadu_si256(at);
  __m256i mixed[2];
  for (int part = 0; part < 2; ++part) {
    const __m256i a = part ? _mm256_unpackhi_epi8(spread, zero) : _mm256_unpacklo_epi8(spread, zero);
    const __m256i d = part ? _mm256_unpackhi_epi8(dst, zero) : _mm256_unpacklo_epi8(dst, zero);
    __m256i t = _mm256_add_epi16(_mm256_mullo_epi16(colour, a), _mm256_mullo_epi16(d, _mm256_sub_epi16(full, a)));
    t = _mm256_add_epi16(t, half);
    mixed[part] = _mm256_srli_epi16(_mm256_add_epi16(t, _mm256_srli_epi16(t, 8)), 8);
  }
  _mm256_storeu_si256(at, _mm256_packus_epi16(mixed[0], mixed[1]));
}

// Constants hoisted out of the rows: an image's rows share them.
struct EightWideColour {
  __m256i solid, colour;
};

__attribute__((target("avx2"), always_inline)) inline void EightWideRowWith(uint32_t* pixels, const uint8_t* coverage,
                                                                          int count, uint32_t xrgb, int slack,
                                                                          const EightWideColour& c) {
  int i = 0;
  for (; i + 8 <= count; i += 8) {
    uint64_t eight;
    std::memcpy(&eight, coverage + i, sizeof eight);
    if (eight != 0) MixEight(pixels + i, eight, c.colour, c.solid);
  }
  if (i == count) return;
  if (i + 8 <= count + slack) {
    if (const auto eight = EndOf<uint64_t>(coverage, i, count)) MixEight(pixels + i, eight, c.colour, c.solid);
    return;
  }
  FourWideRow(pixels + i, coverage + i, count - i, xrgb, slack);
}

__attribute__((target("avx2"))) EightWideColour EightWideColourOf(uint32_t xrgb) {
  const __m256i solid = _mm256_set1_epi32(static_cast<int>(xrgb));
  return {solid, _mm256_unpacklo_epi8(solid, _mm256_setzero_si256())};
}

__attribute__((target("avx2"))) void EightWideRow(uint32_t* pixels, const uint8_t* coverage, int count,
                                                  uint32_t xrgb, int slack) {
  EightWideRowWith(pixels, coverage, count, xrgb, slack, EightWideColourOf(xrgb));
}

__attribute__((target("avx2"))) void EightWideImage(uint32_t* pixels, size_t pixelStride, const uint8_t* coverage,
                                                    size_t coverageStride, int width, int rows, uint32_t xrgb,
                                                    int slack) {
  const EightWideColour c = EightWideColourOf(xrgb);
  for (int r = 0; r < rows; ++r, pixels += pixelStride, coverage += coverageStride)
    EightWideRowWith(pixels, coverage, width, xrgb, slack, c);
}

__attribute__((target("avx2"))) void FillEightWide(uint32_t* pixels, size_t count, uint32_t xrgb) {
  const __m256i solid = _mm256_set1_epi32(static_cast<int>(xrgb));
  size_t i = 0;
  for (; i + 8 <= count; i += 8) _mm256_storeu_si256(reinterpret_cast<__m256i*>(pixels + i), solid);
  std::fill(pixels + i, pixels + count, xrgb);
}

bool HasAvx2() {
  __builtin_cpu_init();
  return __builtin_cpu_supports("avx2") != 0;
}
#endif

}  // namespace

uint32_t Mix(uint32_t xrgb, uint32_t dst, uint32_t a) { return MixPixel(xrgb, dst, a); }

void RowOneByOne(uint32_t* pixels, const uint8_t* coverage, int count, uint32_t xrgb, int /*slack*/) {
  OneByOne(pixels, coverage, count, xrgb);
}

RowBlender FourWide() {
#if defined(__SSE2__)
  return FourWideRow;
#else
  return nullptr;
#endif
}

RowBlender EightWide() {
#if defined(KESTRIX_EIGHT_WIDE)
  static const bool has = HasAvx2();
  return has ? EightWideRow : nullptr;
#else
  return nullptr;
#endif
}

RowBlender Widest() {
  static const RowBlender widest = [] {
    if (RowBlender eight = EightWide()) return eight;
    if (RowBlender four = FourWide()) return four;
    return RowOneByOne;
  }();
  return widest;
}

void Fill(uint32_t* pixels, size_t count, uint32_t xrgb) {
#if defined(KESTRIX_EIGHT_WIDE)
  if (EightWide()) return FillEightWide(pixels, count, xrgb);
#endif
  std::fill(pixels, pixels + count, xrgb);
}

void Image(uint32_t* pixels, size_t pixelStride, const uint8_t* coverage, size_t coverageStride, int width,
           int rows, uint32_t xrgb, int slack) {
#if defined(KESTRIX_EIGHT_WIDE)
  if (EightWide()) return EightWideImage(pixels, pixelStride, coverage, coverageStride, width, rows, xrgb, slack);
#endif
  const RowBlender row = Widest();
  for (int r = 0; r < rows; ++r, pixels += pixelStride, coverage += coverageStride)
    row(pixels, coverage, width, xrgb, slack);
}

}  // namespace kestrix::pixelrows
