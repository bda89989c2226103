#include "DrawLine.h"

#include <algorithm>
#include <cstdint>
#include <iostream>
#include <limits>

#include "arabtext/ArabTextLibrary.h"
#include "arabtext/Cp1256.h"
#include "framework/gdi/DeviceContext.h"
#include "framework/gdi/Surface.h"

namespace kestrix {

namespace {
constexpr int kMargin = 4;
constexpr int kMaxWidth = 1 << 14;
}  // namespace

int DrawLineToPng(const std::string& utf8Text, const std::string& pngPath, int widthPx, int readingOrder,
                  const LOGFONT& latin, const LOGFONT& arabic) {
  if (widthPx < 1) return 2;
  const int width = std::min(widthPx, kMaxWidth);
  const std::string text = arabtext::Cp1256FromUtf8(utf8Text);
  const auto count = static_cast<int32_t>(std::min<size_t>(text.size(), std::numeric_limits<int32_t>::max()));

  arabtext::ArabTextLibrary library;
  library.SetReadingOrder(readingOrder);
  Surface measuringSurface(1, 1);
  DeviceContext measuring(&measuringSurface, POINT{}, {RECT{0, 0, 1, 1}});
  library.SelectFonts(&measuring, &latin, &arabic);
  const SIZE extent = library.TextExtent(&measuring, text.data(), count);
  const int height = library.LineHeight(&measuring) + 2 * kMargin;

  Surface surface(width, height);
  DeviceContext dc(&surface, POINT{}, {RECT{0, 0, width, height}});
  library.SelectFonts(&dc, &latin, &arabic);
  dc.textColor = RGB(0, 0, 0);
  const int x = readingOrder == 0 ? kMargin : width - kMargin - extent.cx;
  library.TextOut(&dc, x, kMargin + library.Ascent(&dc), text.data(), count);
  library.ReleaseDC(&dc);
  library.ReleaseDC(&measuring);
  if (std::string error; !WritePng(surface, pngPath, &error)) {
    std::cerr << "kestrix: " << error << "\n";
    return 1;
  }
  return 0;
}

}  // namespace kestrix
