#include "framework/ole/COlePropertyPage.h"

#include "framework/window/Display.h"

namespace kestrix {

COlePropertyPage::COlePropertyPage(const ResourceTable& resources, UINT templateId, UINT captionId)
    : resources_(resources), templateId_(templateId), caption_(LoadResourceString(resources, captionId)) {}

COlePropertyPage::~COlePropertyPage() { Deactivate(); }

CSize COlePropertyPage::PageSize() const {
  CDialog sizer(resources_, templateId_);
  return sizer.ClientSize();
}

BOOL COlePropertyPage::Activate(HWND parent, const RECT& rect) {
  if (active_) return FALSE;
  CWnd* parentWindow = CWnd::FromHandle(parent);
  if (!parentWindow) return FALSE;
  dialog_ = std::make_unique<CDialog>(resources_, templateId_, parentWindow);
  if (!dialog_->Template() || !dialog_->Create(parentWindow, &rect)) {
    dialog_.reset();
    return FALSE;
  }
  active_ = true;
  UpdateData(FALSE);
  return TRUE;
}

void COlePropertyPage::Deactivate() {
  if (dialog_) dialog_->DestroyWindow();
  dialog_.reset();
  active_ = false;
}

bool COlePropertyPage::IsActive() const { return active_ && dialog_ && dialog_->GetSafeHwnd(); }

BOOL COlePropertyPage::UpdateData(BOOL saveAndValidate) {
  if (!IsActive()) return FALSE;
  CDataExchange dx(dialog_.get(), saveAndValidate);
  DoDataExchange(&dx);
  return TRUE;
}

void COlePropertyPage::DoDataExchange(CDataExchange* dx) { DDP_PostProcessing(dx); }

void COlePropertyPage::DDP_PostProcessing(CDataExchange* dx) {
  // The framework offers no property bindings yet, so nothing is gathered to be written; the
  // exchange is marked finished so that a page's order of steps can be checked.
  if (dx) dx->postProcessed = true;
}

}  // namespace kestrix
