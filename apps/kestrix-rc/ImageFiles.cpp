#include "ImageFiles.h"

#include <cstdint>

namespace kestrix {

namespace {

void Put16(std::string& out, uint32_t v) {
  out.push_back(static_cast<char>(v & 0xFF));
  out.push_back(static_cast<char>((v >> 8) & 0xFF));
}
void Put32(std::string& out, uint32_t v) {
  Put16(out, v & 0xFFFF);
  Put16(out, v >> 16);
}

// BITMAPINFOHEADER; an icon's image counts its mask in the height.
void PutInfoHeader(std::string& out, const ImageResource& image, int heightFactor, int bits,
                   uint32_t imageBytes) {
  Put32(out, 40);
  Put32(out, static_cast<uint32_t>(image.width));
  Put32(out, static_cast<uint32_t>(image.height * heightFactor));
  Put16(out, 1);
  Put16(out, static_cast<uint32_t>(bits));
  Put32(out, 0);  // uncompressed
  Put32(out, imageBytes);
  Put32(out, 0);
  Put32(out, 0);
  Put32(out, 0);
  Put32(out, 0);
}

// Rows run bottom-up, each padded to four bytes.
uint32_t RowBytes(int width, int bits) {
  return static_cast<uint32_t>((width * bits + 31) / 32 * 4);
}

}  // namespace

std::string BitmapFile(const ImageResource& image) {
  const uint32_t row = RowBytes(image.width, 24);
  const uint32_t pixels = row * static_cast<uint32_t>(image.height);
  std::string out = "BM";
  Put32(out, 14 + 40 + pixels);
  Put32(out, 0);
  Put32(out, 14 + 40);
  PutInfoHeader(out, image, 1, 24, pixels);
  for (int y = image.height - 1; y >= 0; --y) {
    std::string line;
    for (int x = 0; x < image.width; ++x) {
      uint32_t p = image.Pixel(x, y);
      line.push_back(static_cast<char>(p & 0xFF));
      line.push_back(static_cast<char>((p >> 8) & 0xFF));
      line.push_back(static_cast<char>((p >> 16) & 0xFF));
    }
    line.resize(row, '\0');
    out += line;
  }
  return out;
}

std::string IconFile(const ImageResource& image) {
  const uint32_t colour = RowBytes(image.width, 32) * static_cast<uint32_t>(image.height);
  const uint32_t maskRow = RowBytes(image.width, 1);
  const uint32_t mask = maskRow * static_cast<uint32_t>(image.height);
  const uint32_t imageBytes = 40 + colour + mask;
  std::string out;
  Put16(out, 0);
  Put16(out, 1);  // an icon
  Put16(out, 1);  // one image
  out.push_back(static_cast<char>(image.width >= 256 ? 0 : image.width));
  out.push_back(static_cast<char>(image.height >= 256 ? 0 : image.height));
  out.push_back(0);  // no palette
  out.push_back(0);
  Put16(out, 1);   // planes
  Put16(out, 32);  // bits
  Put32(out, imageBytes);
  Put32(out, 6 + 16);
  PutInfoHeader(out, image, 2, 32, colour + mask);
  for (int y = image.height - 1; y >= 0; --y)
    for (int x = 0; x < image.width; ++x) Put32(out, image.Pixel(x, y));
  // The mask marks the transparent pixels, for displays that ignore the alpha.
  for (int y = image.height - 1; y >= 0; --y) {
    std::string line(maskRow, '\0');
    for (int x = 0; x < image.width; ++x)
      if (image.IsTransparent(x, y))
        line[static_cast<size_t>(x / 8)] |= static_cast<char>(0x80 >> (x % 8));
    out += line;
  }
  return out;
}

}  // namespace kestrix
