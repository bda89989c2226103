// A window's pixel surface: 32-bit xRGB pixels (0x00RRGGBB), row after row.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "../WinTypes.h"

namespace kestrix {

class Surface {
 public:
  Surface() = default;
  Surface(int width, int height, uint32_t fill = 0x00FFFFFF);

  int Width() const { return width_; }
  int Height() const { return height_; }
  // Resizes and clears the surface to the given colour.
  void Reset(int width, int height, uint32_t fill = 0x00FFFFFF);

  // Pixels outside the surface read as 0 and ignore writes.
  uint32_t Pixel(int x, int y) const;
  void SetPixel(int x, int y, uint32_t xrgb);
  const std::vector<uint32_t>& Pixels() const { return pixels_; }

  // Each operation is clipped to the surface.
  void Fill(const RECT& r, uint32_t xrgb);
  // Exact XOR of the RGB bits: inverting the same rectangle twice restores every pixel.
  void Invert(const RECT& r);
  // Mixes xrgb over the pixel with coverage 0 (nothing) to 255 (opaque).
  void Blend(int x, int y, uint32_t xrgb, uint8_t coverage);
  // Blend along a row: pixel (x + i, y) takes coverage[i], for i below count.
  void BlendRow(int x, int y, uint32_t xrgb, const uint8_t* coverage, int count);
  // Blend of an image of `rows` rows of `width` coverage bytes, row r at coverage + r * stride,
  // with its corner at (x, y).
  void BlendImage(int x, int y, uint32_t xrgb, const uint8_t* coverage, int width, int rows, size_t stride);

  // A copy of the rectangle r (clipped) as its own surface.
  Surface Crop(const RECT& r) const;

 private:
  int width_ = 0;
  int height_ = 0;
  std::vector<uint32_t> pixels_;
};

// xRGB of a COLORREF (0x00BBGGRR) and back.
constexpr uint32_t XrgbFromColorRef(COLORREF c) {
  return (static_cast<uint32_t>(GetRValue(c)) << 16) | (static_cast<uint32_t>(GetGValue(c)) << 8) |
         static_cast<uint32_t>(GetBValue(c));
}
constexpr COLORREF ColorRefFromXrgb(uint32_t p) {
  return RGB((p >> 16) & 0xFF, (p >> 8) & 0xFF, p & 0xFF);
}

// Writes the surface as an 8-bit RGB PNG, durably (WriteFileDurably); false, with the reason in
// error and the file as it was, when it cannot.
bool WritePng(const Surface& surface, const std::string& path, std::string* error = nullptr);
// Reads an 8-bit RGB or RGBA PNG; false when the file is missing or not such a PNG.
bool ReadPng(const std::string& path, Surface& out);

}  // namespace kestrix
