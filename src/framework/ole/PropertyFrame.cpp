#include "framework/ole/PropertyFrame.h"

#include <algorithm>

#include "framework/window/CDC.h"
#include "framework/window/DialogUnits.h"

namespace kestrix {

namespace {

constexpr int kMargin = 7;        // dialog units around the tabs, the page and the buttons
constexpr int kTabHeight = 12;
constexpr int kButtonWidth = 50;
constexpr int kButtonHeight = 14;
constexpr int kButtonGap = 4;
constexpr int kTabTextIndent = 6;  // pixels

DialogBaseUnits FrameBaseUnits() { return DialogFont::Get("MS Sans Serif", 8)->BaseUnits(); }

// The largest page, in dialog units of the frame's font, rounded up so that it fits.
DialogUnitRect PageArea(const std::vector<SIZE>& sizes) {
  DialogBaseUnits base = FrameBaseUnits();
  int cx = 0, cy = 0;
  for (const SIZE& size : sizes) {
    cx = std::max(cx, base.x ? (size.cx * 4 + base.x - 1) / base.x : 0);
    cy = std::max(cy, base.y ? (size.cy * 8 + base.y - 1) / base.y : 0);
  }
  return DialogUnitRect{kMargin, kMargin + kTabHeight, cx, cy};
}

std::vector<SIZE> PageSizes(const std::vector<IPropertyPage*>& pages) {
  std::vector<SIZE> sizes;
  for (IPropertyPage* page : pages) {
    PROPPAGEINFO info;
    if (page && page->GetPageInfo(&info) == S_OK) sizes.push_back(info.size);
  }
  return sizes;
}

DialogTemplate FrameTemplate(const std::string& objectName, const std::vector<IPropertyPage*>& pages) {
  DialogUnitRect page = PageArea(PageSizes(pages));
  DialogTemplate t;
  t.style = DS_MODALFRAME | DS_SETFONT | WS_POPUP | WS_CAPTION | WS_SYSMENU;
  t.rect = {0, 0, page.cx + 2 * kMargin, page.y + page.cy + 2 * kMargin + kButtonHeight};
  t.title = objectName + " Properties";
  int y = page.y + page.cy + kMargin;
  int x = t.rect.cx - kMargin - 3 * kButtonWidth - 2 * kButtonGap;
  t.items = {
      {DialogItemKind::DefaultPushButton, static_cast<UINT>(IDOK), {x, y, kButtonWidth, kButtonHeight}, "OK", 0},
      {DialogItemKind::PushButton, static_cast<UINT>(IDCANCEL), {x + kButtonWidth + kButtonGap, y, kButtonWidth, kButtonHeight}, "Cancel", 0},
      {DialogItemKind::PushButton, ID_APPLY_NOW, {x + 2 * (kButtonWidth + kButtonGap), y, kButtonWidth, kButtonHeight}, "&Apply", 0},
  };
  return t;
}

}  // namespace

CPropertyFrame::CPropertyFrame(const std::string& objectName, std::vector<IPropertyPage*> pages, CWnd* owner)
    : CDialog(FrameTemplate(objectName, pages), nullptr, owner) {
  for (IPropertyPage* page : pages) {
    Page held{page, {}};
    if (!page || page->GetPageInfo(&held.info) != S_OK) continue;
    page->AddRef();
    pages_.push_back(std::move(held));
  }
}

CPropertyFrame::~CPropertyFrame() {
  for (Page& p : pages_) {
    p.page->Deactivate();
    p.page->Release();
  }
}

CRect CPropertyFrame::PageRect() const {
  std::vector<SIZE> sizes;
  for (const Page& p : pages_) sizes.push_back(p.info.size);
  return MapDialogRect(PageArea(sizes));
}

INT_PTR CPropertyFrame::DoModal() {
  INT_PTR result = CDialog::DoModal();
  for (Page& p : pages_) p.page->Deactivate();
  active_ = nullptr;
  return result;
}

BOOL CPropertyFrame::OnInitDialog() {
  const CRect rect = PageRect();
  if (!pages_.empty() && pages_.front().page->Activate(GetSafeHwnd(), &rect, TRUE) == S_OK)
    active_ = pages_.front().page;
  // The tabs were drawn before there was an active page.
  UpdateWindow();
  return TRUE;
}

void CPropertyFrame::OnOK() {
  for (Page& p : pages_) p.page->Apply();
  EndDialog(IDOK);
}

void CPropertyFrame::OnCommand(UINT id) {
  if (id == ID_APPLY_NOW) {
    for (Page& p : pages_) p.page->Apply();
    return;
  }
  CDialog::OnCommand(id);
}

LRESULT CPropertyFrame::WindowProc(UINT message, WPARAM wParam, LPARAM lParam) {
  LRESULT result = CDialog::WindowProc(message, wParam, lParam);
  if (message == WM_PAINT) PaintTabs();
  return result;
}

void CPropertyFrame::PaintTabs() {
  const DialogFont* font = Font();
  if (!font) return;
  CDC* dc = GetDC();
  CRect page = PageRect();
  // A raised panel around the page, and above it one tab per page, the active one first.
  CRect panel = page;
  panel.DeflateRect(-1, -1);
  auto line = [&](int l, int t, int r, int b, COLORREF color) {
    CRect part(l, t, r, b);
    dc->FillSolidRect(&part, color);
  };
  line(panel.left, panel.top, panel.right, panel.top + 1, kDialogLightColor);
  line(panel.left, panel.top, panel.left + 1, panel.bottom, kDialogLightColor);
  line(panel.left, panel.bottom - 1, panel.right, panel.bottom, kDialogDarkShadowColor);
  line(panel.right - 1, panel.top, panel.right, panel.bottom, kDialogDarkShadowColor);
  int x = panel.left;
  const int top = panel.top - MulDiv(kTabHeight, BaseUnits().y, 8) + 2;
  dc->SetTextColor(kDialogTextColor);
  for (const Page& p : pages_) {
    const std::string& caption = p.info.title;
    int width = font->TextWidth(caption) + 2 * kTabTextIndent;
    line(x, top, x + width, top + 1, kDialogLightColor);
    line(x, top, x + 1, panel.top + 1, kDialogLightColor);
    line(x + width - 1, top + 1, x + width, panel.top, kDialogDarkShadowColor);
    // The active tab opens onto its page.
    if (p.page == active_) line(x + 1, panel.top, x + width - 1, panel.top + 1, kDialogFaceColor);
    if (dc->m_hDC) font->Draw(*dc->m_hDC, x + kTabTextIndent, top + (panel.top - top - font->Height()) / 2, caption);
    x += width;
  }
  ReleaseDC(dc);
}

INT_PTR ShowPropertyFrame(CWnd* owner, const std::string& objectName, const std::vector<IPropertyPage*>& pages,
                          const std::vector<IUnknown*>& objects) {
  std::vector<IUnknown*> edited(objects);
  for (IPropertyPage* page : pages)
    if (page) page->SetObjects(static_cast<ULONG>(edited.size()), edited.data());
  INT_PTR result = CPropertyFrame(objectName, pages, owner).DoModal();
  for (IPropertyPage* page : pages)
    if (page) page->SetObjects(0, nullptr);
  return result;
}

}  // namespace kestrix
