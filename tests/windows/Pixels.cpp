#include "Pixels.h"

#include <ocidl.h>
#include <png.h>

#include <cstdlib>
#include <string>
#include <vector>

#include "framework/file/DurableWrite.h"

namespace kestrix {

namespace {

// A 32-bit top-down bitmap selected into a memory DC, read back as a picture.
class Canvas {
 public:
  Canvas(int width, int height) : width_(width), height_(height) {
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof info.bmiHeader;
    info.bmiHeader.biWidth = width;
    info.bmiHeader.biHeight = -height;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    dc_ = CreateCompatibleDC(nullptr);
    bitmap_ = CreateDIBSection(dc_, &info, DIB_RGB_COLORS, &bits_, nullptr, 0);
    old_ = SelectObject(dc_, bitmap_);
  }
  ~Canvas() {
    SelectObject(dc_, old_);
    DeleteObject(bitmap_);
    DeleteDC(dc_);
  }
  Canvas(const Canvas&) = delete;
  Canvas& operator=(const Canvas&) = delete;
  HDC dc() const { return dc_; }
  Picture Read() const {
    GdiFlush();
    Picture picture{width_, height_, {}};
    const auto* p = static_cast<const uint32_t*>(bits_);
    picture.pixels.assign(p, p + static_cast<size_t>(width_) * static_cast<size_t>(height_));
    for (uint32_t& pixel : picture.pixels) pixel &= 0xFFFFFF;
    return picture;
  }

 private:
  int width_, height_;
  HDC dc_;
  HBITMAP bitmap_;
  HGDIOBJ old_;
  void* bits_ = nullptr;
};

}  // namespace

Picture CaptureClient(HWND window) {
  RECT client{};
  GetClientRect(window, &client);
  UpdateWindow(window);
  Canvas canvas(client.right, client.bottom);
  HDC source = GetDC(window);
  BitBlt(canvas.dc(), 0, 0, client.right, client.bottom, source, 0, 0, SRCCOPY);
  ReleaseDC(window, source);
  return canvas.Read();
}

Picture CaptureWindow(HWND window) {
  RECT rect{};
  GetWindowRect(window, &rect);
  // The frame is drawn by the system's non-client painting, the rest by the window's.
  RedrawWindow(window, nullptr, nullptr, RDW_FRAME | RDW_INVALIDATE | RDW_UPDATENOW);
  Canvas canvas(rect.right - rect.left, rect.bottom - rect.top);
  HDC source = GetWindowDC(window);
  BitBlt(canvas.dc(), 0, 0, rect.right - rect.left, rect.bottom - rect.top, source, 0, 0, SRCCOPY);
  ReleaseDC(window, source);
  return canvas.Read();
}

Picture Crop(const Picture& picture, int left, int top, int width, int height) {
  Picture part{width, height, {}};
  part.pixels.reserve(static_cast<size_t>(width) * static_cast<size_t>(height));
  for (int y = top; y < top + height; ++y)
    for (int x = left; x < left + width; ++x) part.pixels.push_back(picture.At(x, y));
  return part;
}

void KeepWindowPicture(HWND window, const char* fileName) {
  const char* directory = std::getenv("KESTRIX_WINDOWS_OUTPUT");
  if (!directory) return;
  WritePng(CaptureWindow(window), std::string(directory) + "/" + fileName);
}

Picture DrawObject(IUnknown* object, int width, int height) {
  Canvas canvas(width, height);
  IViewObject* view = nullptr;
  if (SUCCEEDED(object->QueryInterface(IID_IViewObject, reinterpret_cast<void**>(&view)))) {
    RECTL bounds{0, 0, width, height};
    view->Draw(DVASPECT_CONTENT, -1, nullptr, nullptr, nullptr, canvas.dc(), &bounds, nullptr,
               nullptr, 0);
    view->Release();
  }
  return canvas.Read();
}

namespace {

void AppendToString(png_structp png, png_bytep data, png_size_t length) {
  static_cast<std::string*>(png_get_io_ptr(png))->append(reinterpret_cast<const char*>(data), length);
}
void FlushNothing(png_structp) {}

bool EncodePng(const Picture& picture, std::string& bytes) {
  png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
  png_infop info = png ? png_create_info_struct(png) : nullptr;
  // Made before the jump point, so that a jump back skips no destructor.
  std::vector<png_byte> row(static_cast<size_t>(picture.width) * 3);
  if (!info || setjmp(png_jmpbuf(png))) {
    png_destroy_write_struct(&png, &info);
    return false;
  }
  png_set_write_fn(png, &bytes, AppendToString, FlushNothing);
  png_set_IHDR(png, info, static_cast<png_uint_32>(picture.width),
               static_cast<png_uint_32>(picture.height), 8, PNG_COLOR_TYPE_RGB, PNG_INTERLACE_NONE,
               PNG_COMPRESSION_TYPE_DEFAULT, PNG_FILTER_TYPE_DEFAULT);
  png_write_info(png, info);
  for (int y = 0; y < picture.height; ++y) {
    for (int x = 0; x < picture.width; ++x) {
      const uint32_t p = picture.At(x, y);
      row[static_cast<size_t>(x) * 3] = static_cast<png_byte>(p >> 16);
      row[static_cast<size_t>(x) * 3 + 1] = static_cast<png_byte>(p >> 8);
      row[static_cast<size_t>(x) * 3 + 2] = static_cast<png_byte>(p);
    }
    png_write_row(png, row.data());
  }
  png_write_end(png, nullptr);
  png_destroy_write_struct(&png, &info);
  return true;
}

}  // namespace

bool WritePng(const Picture& picture, const std::string& path, std::string* error) {
  // Made in memory and written whole, so that a failed write leaves the old file.
  std::string bytes;
  if (picture.width <= 0 || picture.height <= 0 || !EncodePng(picture, bytes)) {
    if (error) *error = "cannot make an image of " + std::to_string(picture.width) + " x " +
                        std::to_string(picture.height) + " pixels";
    return false;
  }
  return WriteFileDurably(path, bytes, error) == 0;
}

}  // namespace kestrix
