// A bitmap or icon resource: pixels in 0xAARRGGBB, alpha 0 for the transparent parts of an
// icon. Images are drawn as rows of palette characters, so that they read as pictures in code.
#pragma once

#include <cstdint>
#include <map>
#include <string>
#include <vector>

namespace kestrix {

struct ImageResource {
  int width = 0;
  int height = 0;
  std::vector<uint32_t> pixels;  // row after row, top row first

  uint32_t Pixel(int x, int y) const {
    return x < 0 || y < 0 || x >= width || y >= height ? 0 : pixels[y * width + x];
  }
  bool IsTransparent(int x, int y) const { return (Pixel(x, y) >> 24) == 0; }
};

inline constexpr uint32_t kTransparentPixel = 0x00000000;
// An opaque pixel of the given 0xRRGGBB colour.
constexpr uint32_t OpaquePixel(uint32_t rgb) { return 0xFF000000 | (rgb & 0xFFFFFF); }

// Builds an image from equal-length rows; each character is looked up in the palette. A row of
// the wrong length or a character missing from the palette is a fault in the image's source
// and throws std::invalid_argument.
ImageResource ImageFromRows(const std::vector<std::string>& rows,
                            const std::map<char, uint32_t>& palette);

}  // namespace kestrix
