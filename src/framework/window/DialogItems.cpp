#include "framework/window/DialogItems.h"

#include <cctype>

#include "framework/window/CDC.h"
#include "framework/window/Display.h"

namespace kestrix {

namespace {

void Ring(CDC& dc, CRect r, COLORREF topLeft, COLORREF bottomRight) {
  CRect top(r.left, r.top, r.right, r.top + 1), left(r.left, r.top, r.left + 1, r.bottom);
  CRect bottom(r.left, r.bottom - 1, r.right, r.bottom), right(r.right - 1, r.top, r.right, r.bottom);
  dc.FillSolidRect(&top, topLeft);
  dc.FillSolidRect(&left, topLeft);
  dc.FillSolidRect(&bottom, bottomRight);
  dc.FillSolidRect(&right, bottomRight);
}

}  // namespace

std::string VisibleLabel(const std::string& text) {
  std::string out;
  for (size_t i = 0; i < text.size(); ++i) {
    // "&&" stands for one ampersand; a single one marks the next letter as the access key.
    if (text[i] == '&' && i + 1 < text.size()) ++i;
    out += text[i];
  }
  return out;
}

char AccessKey(const std::string& text) {
  for (size_t i = 0; i + 1 < text.size(); ++i) {
    if (text[i] != '&') continue;
    if (text[i + 1] == '&') {
      ++i;
      continue;
    }
    const auto key = static_cast<unsigned char>(text[i + 1]);
    return std::isalnum(key) ? static_cast<char>(std::toupper(key)) : 0;
  }
  return 0;
}

CDialogItem::CDialogItem(DialogItemTemplate item, std::shared_ptr<const DialogFont> font)
    : item_(std::move(item)), font_(std::move(font)) {}

BOOL CDialogItem::Create(CWnd& dialog, const RECT& rect) {
  return CreateEx(0, WS_CHILD | WS_VISIBLE, rect, &dialog, item_.id);
}

LRESULT CDialogItem::WindowProc(UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_PAINT: {
      CDC* dc = GetDC();
      CRect client;
      GetClientRect(&client);
      dc->SetTextColor(kDialogTextColor);
      Paint(*dc, client);
      ReleaseDC(dc);
      return 0;
    }
    case WM_MOUSEACTIVATE:
      // Items never take the keyboard: it stays with the dialog, which answers Return and Escape.
      return MA_NOACTIVATE;
    default:
      return CWnd::WindowProc(message, wParam, lParam);
  }
}

void CStaticText::Paint(CDC& dc, const CRect& client) {
  dc.FillSolidRect(&client, kDialogFaceColor);
  if (!dc.m_hDC) return;
  int y = 0;
  for (const std::string& line : WrapText(Font(), VisibleLabel(Text()), client.Width())) {
    if (y >= client.Height()) break;
    Font().Draw(*dc.m_hDC, 0, y, line);
    y += Font().Height();
  }
}

CIconItem::CIconItem(DialogItemTemplate item, std::shared_ptr<const DialogFont> font, const ImageResource* icon)
    : CDialogItem(std::move(item), std::move(font)), icon_(icon) {}

void CIconItem::Paint(CDC& dc, const CRect& client) {
  dc.FillSolidRect(&client, kDialogFaceColor);
  if (!icon_ || !dc.m_hDC) return;
  for (int y = 0; y < icon_->height; ++y)
    for (int x = 0; x < icon_->width; ++x)
      if (!icon_->IsTransparent(x, y)) {
        uint32_t p = icon_->Pixel(x, y);
        dc.m_hDC->SetPixel(x, y, RGB((p >> 16) & 0xFF, (p >> 8) & 0xFF, p & 0xFF));
      }
}

LRESULT CPushButton::WindowProc(UINT message, WPARAM wParam, LPARAM lParam) {
  CPoint at(GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam));
  CRect client;
  GetClientRect(&client);
  switch (message) {
    case WM_LBUTTONDOWN:
    case WM_LBUTTONDBLCLK:
      tracking_ = true;
      SetCapture();
      SetPressed(true);
      return 0;
    case WM_MOUSEMOVE:
      // Held down, the button looks pressed only while the pointer is over it.
      if (tracking_) SetPressed(client.PtInRect(at));
      return 0;
    case WM_LBUTTONUP: {
      if (!tracking_) return 0;
      tracking_ = false;
      ReleaseCapture();
      bool clicked = client.PtInRect(at);
      SetPressed(false);
      if (clicked)
        if (CWnd* dialog = GetParent())
          dialog->SendMessage(WM_COMMAND, MAKEWPARAM(static_cast<int>(GetDlgCtrlID()), BN_CLICKED),
                              reinterpret_cast<LPARAM>(m_hWnd));
      return 0;
    }
    default:
      return CDialogItem::WindowProc(message, wParam, lParam);
  }
}

void CPushButton::SetPressed(bool pressed) {
  if (pressed == pressed_) return;
  pressed_ = pressed;
  UpdateWindow();
}

void CPushButton::Paint(CDC& dc, const CRect& client) {
  dc.FillSolidRect(&client, kDialogFaceColor);
  CRect edge = client;
  // The default button carries a dark outer ring.
  if (IsDefault()) {
    Ring(dc, edge, kDialogTextColor, kDialogTextColor);
    edge.DeflateRect(1, 1);
  }
  int shift = 0;
  if (pressed_) {
    Ring(dc, edge, kDialogShadowColor, kDialogShadowColor);
    shift = 1;
  } else {
    Ring(dc, edge, kDialogLightColor, kDialogDarkShadowColor);
    edge.DeflateRect(1, 1);
    Ring(dc, edge, kDialogFaceColor, kDialogShadowColor);
  }
  if (!dc.m_hDC) return;
  std::string label = VisibleLabel(Text());
  int x = (client.Width() - Font().TextWidth(label)) / 2 + shift;
  int y = (client.Height() - Font().Height()) / 2 + shift;
  Font().Draw(*dc.m_hDC, x, y, label);
}

}  // namespace kestrix
