// Pixels of windows and drawings as the container sees them, and PNG files of them.
#pragma once

#include <windows.h>

#include <cstdint>
#include <string>
#include <vector>

namespace kestrix {

struct Picture {
  int width = 0;
  int height = 0;
  std::vector<uint32_t> pixels;  // 0x00RRGGBB, top row first
  uint32_t At(int x, int y) const {
    return pixels[static_cast<size_t>(y) * static_cast<size_t>(width) + x];
  }
};

// The client area of a window as the screen shows it.
Picture CaptureClient(HWND window);
// The whole window (its frame included) as the screen shows it.
Picture CaptureWindow(HWND window);
// The part of a picture from (left, top), width x height.
Picture Crop(const Picture& picture, int left, int top, int width, int height);
// What an object draws of itself into a width x height rectangle (IViewObject::Draw).
Picture DrawObject(IUnknown* object, int width, int height);
// Replaces the file at path with the picture (WriteFileDurably); false, with the reason in
// error, when it cannot.
bool WritePng(const Picture& picture, const std::string& path, std::string* error = nullptr);
// Keeps a picture of the whole window (caption and edges included) as fileName in the
// directory KESTRIX_WINDOWS_OUTPUT names, if it names one.
void KeepWindowPicture(HWND window, const char* fileName);

}  // namespace kestrix
