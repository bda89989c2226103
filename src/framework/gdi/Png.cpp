#include <png.h>

#include <string>
#include <vector>

#include "framework/file/DurableWrite.h"
#include "framework/gdi/Surface.h"

namespace kestrix {

namespace {

// The image is made in memory and written whole, so that a failed write leaves the old file.
void AppendToString(png_structp png, png_bytep data, png_size_t length) {
  static_cast<std::string*>(png_get_io_ptr(png))->append(reinterpret_cast<const char*>(data), length);
}
void FlushNothing(png_structp) {}

bool EncodePng(const Surface& surface, std::string& bytes) {
  png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
  if (!png) return false;
  png_infop info = png_create_info_struct(png);
  if (!info) {
    png_destroy_write_struct(&png, nullptr);
    return false;
  }
  std::vector<png_byte> row(static_cast<size_t>(surface.Width()) * 3);
  if (setjmp(png_jmpbuf(png))) {
    png_destroy_write_struct(&png, &info);
    return false;
  }
  png_set_write_fn(png, &bytes, AppendToString, FlushNothing);
  png_set_IHDR(png, info, static_cast<png_uint_32>(surface.Width()),
               static_cast<png_uint_32>(surface.Height()), 8, PNG_COLOR_TYPE_RGB,
               PNG_INTERLACE_NONE, PNG_COMPRESSION_TYPE_DEFAULT, PNG_FILTER_TYPE_DEFAULT);
  png_write_info(png, info);
  for (int y = 0; y < surface.Height(); ++y) {
    for (int x = 0; x < surface.Width(); ++x) {
      uint32_t p = surface.Pixel(x, y);
      row[static_cast<size_t>(x) * 3] = static_cast<png_byte>((p >> 16) & 0xFF);
      row[static_cast<size_t>(x) * 3 + 1] = static_cast<png_byte>((p >> 8) & 0xFF);
      row[static_cast<size_t>(x) * 3 + 2] = static_cast<png_byte>(p & 0xFF);
    }
    png_write_row(png, row.data());
  }
  png_write_end(png, nullptr);
  png_destroy_write_struct(&png, &info);
  return true;
}

}  // namespace

bool WritePng(const Surface& surface, const std::string& path, std::string* error) {
  std::string bytes;
  if (surface.Width() <= 0 || surface.Height() <= 0 || !EncodePng(surface, bytes)) {
    if (error) *error = "cannot make an image of " + std::to_string(surface.Width()) + " x " +
                        std::to_string(surface.Height()) + " pixels";
    return false;
  }
  return WriteFileDurably(path, bytes, error) == 0;
}

bool ReadPng(const std::string& path, Surface& out) {
  png_image image{};
  image.version = PNG_IMAGE_VERSION;
  if (!png_image_begin_read_from_file(&image, path.c_str())) return false;
  image.format = PNG_FORMAT_RGB;
  std::vector<png_byte> buffer(PNG_IMAGE_SIZE(image));
  if (!png_image_finish_read(&image, nullptr, buffer.data(), 0, nullptr)) {
    png_image_free(&image);
    return false;
  }
  out.Reset(static_cast<int>(image.width), static_cast<int>(image.height), 0);
  for (int y = 0; y < out.Height(); ++y)
    for (int x = 0; x < out.Width(); ++x) {
      const png_byte* p = &buffer[(static_cast<size_t>(y) * image.width + static_cast<size_t>(x)) * 3];
      out.SetPixel(x, y, (static_cast<uint32_t>(p[0]) << 16) | (static_cast<uint32_t>(p[1]) << 8) | p[2]);
    }
  return true;
}

}  // namespace kestrix
