// A drawing context on a window's client area, with the few operations the control draws with.
#pragma once

#include <memory>

#include "../WinTypes.h"
#include "../gdi/DeviceContext.h"

namespace kestrix {

class CBrush {
 public:
  CBrush() = default;
  explicit CBrush(COLORREF color) : color_(color), valid_(true) {}
  BOOL CreateSolidBrush(COLORREF color) {
    color_ = color, valid_ = true;
    return TRUE;
  }
  BOOL DeleteObject() {
    valid_ = false;
    return TRUE;
  }
  COLORREF Color() const { return color_; }
  bool IsValid() const { return valid_; }

 private:
  COLORREF color_ = 0;
  bool valid_ = false;
};

class CPen {
 public:
  CPen() = default;
  CPen(int style, int width, COLORREF color) { CreatePen(style, width, color); }
  BOOL CreatePen(int style, int width, COLORREF color) {
    style_ = style, width_ = width, color_ = color, valid_ = true;
    return TRUE;
  }
  BOOL DeleteObject() {
    valid_ = false;
    return TRUE;
  }
  COLORREF Color() const { return color_; }
  int Width() const { return width_; }
  bool IsValid() const { return valid_; }

 private:
  int style_ = 0;
  int width_ = 1;
  COLORREF color_ = 0;
  bool valid_ = false;
};

class CDC {
 public:
  // Takes over a device context; null makes a context that draws nothing.
  explicit CDC(std::unique_ptr<DeviceContext> context);
  HDC m_hDC = nullptr;
  HDC GetSafeHdc() const { return m_hDC; }

  void FillRect(const RECT* rect, CBrush* brush);
  void FillSolidRect(const RECT* rect, COLORREF color);
  // Exact XOR inversion of the RGB bits.
  void InvertRect(const RECT* rect);
  // Selecting a pen returns the pen selected before (null for the stock pen).
  CPen* SelectObject(CPen* pen);
  // Selects a stock object; SYSTEM_FONT resets the text metrics to the stock font's.
  void SelectStockObject(int object);
  CPoint MoveTo(int x, int y);
  BOOL LineTo(int x, int y);
  COLORREF SetTextColor(COLORREF color);
  int SetBkMode(int mode);
  UINT SetTextAlign(UINT align);
  BOOL GetTextMetrics(TEXTMETRIC* metrics) const;
  COLORREF GetPixel(int x, int y) const;

 private:
  std::unique_ptr<DeviceContext> context_;
  CPen* pen_ = nullptr;
};

}  // namespace kestrix
