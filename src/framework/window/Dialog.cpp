// Dialogs: building the window and its items from the template, painting the face and the
// caption, and the commands that end a dialog.
#include "framework/window/Dialog.h"

#include <algorithm>
#include <cctype>

#include "framework/window/CDC.h"
#include "framework/window/DialogUnits.h"
#include "framework/window/Display.h"
#include "framework/window/ThreadList.h"

namespace kestrix {

namespace {

// Open dialogs of this thread, in the order their windows were created.
thread_local ThreadList<CDialog> openDialogs;

constexpr COLORREF kCaptionTextColor = RGB(0, 0, 0);
constexpr int kCaptionTextIndent = 6;
constexpr int kCloseBoxSize = 14;

bool SameLabel(const std::string& a, const std::string& b) {
  return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) {
           return std::tolower(static_cast<unsigned char>(x)) == std::tolower(static_cast<unsigned char>(y));
         });
}

}  // namespace

CDialog::CDialog(const ResourceTable& resources, UINT templateId, CWnd* parent)
    : resources_(&resources), parent_(parent) {
  if (const DialogTemplate* found = resources.FindDialog(templateId)) {
    templateId_ = templateId;
    template_ = std::make_unique<DialogTemplate>(*found);
  }
}

CDialog::CDialog(DialogTemplate dialog, const ResourceTable* resources, CWnd* parent)
    : resources_(resources), template_(std::make_unique<DialogTemplate>(std::move(dialog))), parent_(parent) {}

CDialog::~CDialog() {
  // The items' windows go with the dialog's; their objects must outlive them.
  DestroyWindow();
  openDialogs.Remove(this);
}

const std::string& CDialog::Title() const {
  static const std::string none;
  return template_ ? template_->title : none;
}

DialogBaseUnits CDialog::BaseUnits() const {
  if (font_) return font_->BaseUnits();
  if (!template_) return {};
  return DialogFont::Get(template_->fontFace, template_->fontPointSize)->BaseUnits();
}

CRect CDialog::MapDialogRect(const DialogUnitRect& rect) const { return DialogRectToPixels(rect, BaseUnits()); }

CSize CDialog::ClientSize() const {
  if (!template_) return CSize(0, 0);
  CRect r = MapDialogRect(DialogUnitRect{0, 0, template_->rect.cx, template_->rect.cy});
  return CSize(r.Width(), r.Height());
}

CRect CDialog::PopupRect() const {
  Display* d = Display::CurrentOrNull();
  CSize size = ClientSize();
  CRect window = Display::WindowRectForClient(CRect(0, 0, size.cx, size.cy), template_->style | WS_VISIBLE, 0);
  window.OffsetRect(-window.left, -window.top);
  if (!d) return window;
  CRect screen(0, 0, d->GetSurface().Width(), d->GetSurface().Height());
  CRect over = screen;
  HWND anchor = parent_ ? parent_->GetSafeHwnd() : d->GetFocus();
  if (const Window* w = d->Find(anchor)) {
    while (w->parent) w = w->parent;
    over = d->WindowRectOnSurface(w->handle);
  }
  int x = over.left + (over.Width() - window.Width()) / 2;
  int y = over.top + (over.Height() - window.Height()) / 2;
  x = std::max(0, std::min(x, static_cast<int>(screen.right) - window.Width()));
  y = std::max(0, std::min(y, static_cast<int>(screen.bottom) - window.Height()));
  window.OffsetRect(x, y);
  return window;
}

BOOL CDialog::Create(CWnd* parent, const RECT* rect) {
  if (!template_) return FALSE;
  parent_ = parent;
  CRect place;
  if (rect)
    place = *rect;
  else if (template_->IsChild())
    place = MapDialogRect(template_->rect);
  else
    place = PopupRect();
  return CreateDialogWindow(parent, place);
}

BOOL CDialog::CreateDialogWindow(CWnd* parent, const CRect& rect) {
  if (!template_ || !Display::CurrentOrNull()) return FALSE;
  font_ = DialogFont::Get(template_->fontFace, template_->fontPointSize);
  ending_ = false;
  result_ = -1;
  // A popup has no parent window: its owner only decides where it stands.
  CWnd* windowParent = template_->IsChild() ? parent : nullptr;
  if (template_->IsChild() && !parent) return FALSE;
  if (!CreateEx(0, template_->style | WS_VISIBLE, rect, windowParent, 0)) return FALSE;
  openDialogs.Add(this);
  OnInitDialog();
  return TRUE;
}

void CDialog::CreateItems() {
  items_.clear();
  for (const DialogItemTemplate& item : template_->items) {
    CRect rect = MapDialogRect(item.rect);
    std::unique_ptr<CDialogItem> window;
    switch (item.kind) {
      case DialogItemKind::StaticText:
        window = std::make_unique<CStaticText>(item, font_);
        break;
      case DialogItemKind::Icon: {
        const ImageResource* icon = resources_ ? resources_->FindIcon(item.iconId) : nullptr;
        // An icon stands at its own size, whatever the template gives.
        if (icon) rect = CRect(rect.left, rect.top, rect.left + icon->width, rect.top + icon->height);
        window = std::make_unique<CIconItem>(item, font_, icon);
        break;
      }
      case DialogItemKind::PushButton:
      case DialogItemKind::DefaultPushButton:
        window = std::make_unique<CPushButton>(item, font_);
        break;
    }
    if (window->Create(*this, rect)) items_.push_back(std::move(window));
  }
}

BOOL CDialog::OnInitDialog() { return TRUE; }

void CDialog::OnOK() { EndDialog(IDOK); }

void CDialog::OnCancel() { EndDialog(IDCANCEL); }

void CDialog::OnCommand(UINT id) {
  if (id == static_cast<UINT>(IDOK))
    OnOK();
  else if (id == static_cast<UINT>(IDCANCEL))
    OnCancel();
  else if (inModalLoop_ && dynamic_cast<CPushButton*>(GetDlgItem(id)))
    EndDialog(static_cast<int>(id));
}

void CDialog::EndDialog(int result) {
  result_ = result;
  if (inModalLoop_)
    ending_ = true;
  else
    ShowWindow(SW_HIDE);
}

CDialogItem* CDialog::GetDlgItem(UINT id) const {
  for (const auto& item : items_)
    if (item->GetDlgCtrlID() == id) return item.get();
  return nullptr;
}

CPushButton* CDialog::FindButton(const std::string& text) const {
  for (const auto& item : items_)
    if (auto* button = dynamic_cast<CPushButton*>(item.get()))
      if (SameLabel(VisibleLabel(button->Text()), VisibleLabel(text))) return button;
  return nullptr;
}

CPushButton* CDialog::DefaultButton() const {
  for (const auto& item : items_)
    if (auto* button = dynamic_cast<CPushButton*>(item.get()); button && button->IsDefault()) return button;
  return nullptr;
}

bool CDialog::Contains(HWND hwnd) const {
  Display* d = Display::Of(m_hWnd);
  if (!d) return false;
  for (const Window* w = d->Find(hwnd); w; w = w->parent)
    if (w->handle == m_hWnd) return true;
  return false;
}

std::vector<CDialog*> CDialog::OpenDialogs() { return openDialogs.Items(); }

CDialog* CDialog::TopmostDialog() {
  return openDialogs.FindNewest([](CDialog* d) {
    return d->Template() && !d->Template()->IsChild() && d->IsWindowVisible();
  });
}

CRect CDialog::CloseBoxRect() const {
  CRect client;
  GetClientRect(&client);
  int top = -Display::kCaptionHeight + (Display::kCaptionHeight - kCloseBoxSize) / 2;
  return CRect(client.right - kCloseBoxSize - 2, top, client.right - 2, top + kCloseBoxSize);
}

void CDialog::PaintCaption() {
  Display* d = Display::Of(m_hWnd);
  if (!d || !template_ || !template_->HasCaption() || !d->IsVisibleOnScreen(m_hWnd)) return;
  // The caption is drawn on the window's own non-client band, above the client origin.
  POINT origin = d->ClientOriginOnSurface(m_hWnd);
  CRect client = d->ClientRect(m_hWnd);
  CRect band(0, -Display::kCaptionHeight, client.Width(), 0);
  CRect onSurface = band;
  onSurface.OffsetRect(origin.x, origin.y);
  CRect visible;
  if (!visible.IntersectRect(onSurface, CRect(0, 0, d->GetSurface().Width(), d->GetSurface().Height()))) return;
  visible.OffsetRect(-origin.x, -origin.y);
  DeviceContext dc(&d->GetSurface(), origin, {visible});
  dc.textColor = kCaptionTextColor;
  int y = band.top + (Display::kCaptionHeight - font_->Height()) / 2;
  // A heavier title: the text twice, one pixel apart.
  font_->Draw(dc, kCaptionTextIndent, y, template_->title);
  font_->Draw(dc, kCaptionTextIndent + 1, y, template_->title);
  if (template_->style & WS_SYSMENU) {
    CRect box = CloseBoxRect();
    dc.FillRectangle(box, kDialogFaceColor);
    for (int i = 3; i < kCloseBoxSize - 3; ++i) {
      dc.SetPixel(box.left + i, box.top + i, kDialogTextColor);
      dc.SetPixel(box.left + i + 1, box.top + i, kDialogTextColor);
      dc.SetPixel(box.right - 1 - i, box.top + i, kDialogTextColor);
      dc.SetPixel(box.right - 2 - i, box.top + i, kDialogTextColor);
    }
  }
}

LRESULT CDialog::WindowProc(UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_CREATE:
      CreateItems();
      return 0;
    case WM_DESTROY:
      openDialogs.Remove(this);
      return 0;
    case WM_PAINT: {
      CDC* dc = GetDC();
      CRect client;
      GetClientRect(&client);
      dc->FillSolidRect(&client, kDialogFaceColor);
      ReleaseDC(dc);
      PaintCaption();
      return 0;
    }
    case WM_COMMAND:
      OnCommand(LOWORD(wParam));
      return 0;
    case WM_LBUTTONDOWN:
      closeBoxDown_ = (template_->style & WS_SYSMENU) &&
                      CloseBoxRect().PtInRect(CPoint(GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)));
      return 0;
    case WM_LBUTTONUP: {
      // The close box of the caption cancels, as Escape does.
      bool close = closeBoxDown_ && CloseBoxRect().PtInRect(CPoint(GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)));
      closeBoxDown_ = false;
      if (close) OnCommand(static_cast<UINT>(IDCANCEL));
      return 0;
    }
    default:
      return CWnd::WindowProc(message, wParam, lParam);
  }
}

}  // namespace kestrix
