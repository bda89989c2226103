// The target of a drawing context handle (HDC): a window's client area on a pixel surface.
// Coordinates given to it are client coordinates; every write is clipped to the visible
// parts of the client area (the client rectangle less visible child windows).
#pragma once

#include <cstdint>
#include <utility>
#include <vector>

#include "../WinTypes.h"
#include "Surface.h"

namespace kestrix {

class DeviceContext {
 public:
  DeviceContext(Surface* surface, POINT origin, std::vector<RECT> clip);

  // Surface position of client (0, 0), and the visible parts of the client area in client
  // coordinates.
  POINT Origin() const { return origin_; }
  const std::vector<RECT>& ClipRects() const { return clip_; }

  void FillRectangle(const RECT& r, COLORREF color);
  void Invert(const RECT& r);
  void SetPixel(int x, int y, COLORREF color);
  // Mixes the text colour over (x, y) with coverage 0 to 255; how glyphs are drawn.
  void BlendText(int x, int y, uint8_t coverage);
  // BlendText along a row, pixel (x + i, y) taking coverage[i]: one clip test per row.
  void BlendTextRow(int x, int y, const uint8_t* coverage, int count);
  // BlendText over a width × rows image of coverage whose rows start stride bytes apart,
  // with (x, y) its top left.
  void BlendTextImage(int x, int y, const uint8_t* coverage, int width, int rows, size_t stride);
  bool IsVisible(int x, int y) const;
  COLORREF GetPixel(int x, int y) const;

  COLORREF textColor = 0;
  int bkMode = 2;  // OPAQUE
  UINT textAlign = 0;
  // Metrics of the font selected last: the stock font's, or what the text library selected.
  TEXTMETRIC selectedFontMetrics;
  // Pen state for MoveTo / LineTo.
  COLORREF penColor = 0;
  int penWidth = 1;
  POINT penPosition;

 private:
  Surface* surface_;
  POINT origin_;
  std::vector<RECT> clip_;
  bool clipOverlaps_ = false;
  std::vector<std::pair<int, int>> spans_;  // kept between rows to save an allocation each
};

using HDC = DeviceContext*;

// Metrics of the stock SYSTEM_FONT selected into a fresh context.
TEXTMETRIC SystemFontMetrics();

}  // namespace kestrix
