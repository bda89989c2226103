// Drawing helpers for the Arabic text library's tests: fonts, surfaces and where ink is.
#pragma once

#include <cstring>
#include <string>

#include "arabtext/Cp1256.h"
#include "framework/WinTypes.h"
#include "framework/gdi/DeviceContext.h"
#include "framework/gdi/Surface.h"

namespace kestrix {

namespace arabtext::testing {

inline LOGFONT MakeFont(const char* face, int pixelHeight = 16) {
  LOGFONT font;
  font.lfHeight = -pixelHeight;
  font.lfWeight = 400;
  std::strncpy(font.lfFaceName, face, sizeof font.lfFaceName - 1);
  return font;
}

// Code page bytes of UTF-8 test text.
inline std::string Cp(const char* utf8) { return Cp1256FromUtf8(utf8); }

// A white surface with a context covering all of it.
struct Canvas {
  Canvas(int width, int height)
      : surface(width, height), dc(&surface, POINT{}, {RECT{0, 0, width, height}}) {}
  Surface surface;
  DeviceContext dc;
};

struct InkBounds {
  int left = 0;
  int right = -1;  // exclusive
  int top = 0;
  int bottom = -1;  // exclusive
  bool Empty() const { return right <= left; }
};

// Bounds of non-white pixels within columns [fromX, toX).
inline InkBounds FindInk(const Surface& s, int fromX = 0, int toX = 1 << 30) {
  InkBounds ink{1 << 30, -1, 1 << 30, -1};
  for (int y = 0; y < s.Height(); ++y)
    for (int x = std::max(fromX, 0); x < std::min(toX, s.Width()); ++x)
      if (s.Pixel(x, y) != 0x00FFFFFF) {
        ink.left = std::min(ink.left, x);
        ink.right = std::max(ink.right, x + 1);
        ink.top = std::min(ink.top, y);
        ink.bottom = std::max(ink.bottom, y + 1);
      }
  if (ink.right < 0) return InkBounds{};
  return ink;
}

// Whether two surfaces show the same ink once each is shifted so its ink starts at x = 0.
inline bool SameInkShape(const Surface& a, const Surface& b) {
  const InkBounds ia = FindInk(a);
  const InkBounds ib = FindInk(b);
  if (ia.right - ia.left != ib.right - ib.left || ia.bottom - ia.top != ib.bottom - ib.top) return false;
  for (int y = 0; y < ia.bottom - ia.top; ++y)
    for (int x = 0; x < ia.right - ia.left; ++x)
      if (a.Pixel(ia.left + x, ia.top + y) != b.Pixel(ib.left + x, ib.top + y)) return false;
  return true;
}

}  // namespace arabtext::testing

}  // namespace kestrix
