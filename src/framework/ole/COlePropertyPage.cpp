#include "framework/ole/COlePropertyPage.h"

#include "framework/ole/Variant.h"
#include "framework/window/DialogItems.h"
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

namespace {

// The dispatch identity of a property by its name, or DISPID_UNKNOWN.
DISPID DispidOf(IDispatch* object, const char* property) {
  std::u16string name;
  for (const char* p = property; *p; ++p) name += static_cast<char16_t>(*p);
  LPOLESTR names[] = {name.data()};
  DISPID id = DISPID_UNKNOWN;
  if (FAILED(object->GetIDsOfNames(IID_NULL, names, 1, 0, &id))) return DISPID_UNKNOWN;
  return id;
}

}  // namespace

void COlePropertyPage::DDP_Check(CDataExchange* dx, UINT id, const char* property) {
  if (!dx || !dx->m_pDlgWnd) return;
  auto* box = dynamic_cast<CCheckBox*>(static_cast<CDialog*>(dx->m_pDlgWnd)->GetDlgItem(id));
  if (!box) return;
  if (dx->m_bSaveAndValidate) {
    dx->checks.emplace_back(property, box->IsChecked());
    return;
  }
  if (objects_.empty()) return;
  const DISPID dispid = DispidOf(objects_.front(), property);
  if (dispid == DISPID_UNKNOWN) return;
  DISPPARAMS none{nullptr, nullptr, 0, 0};
  VARIANT value;
  VariantInit(&value);
  if (SUCCEEDED(objects_.front()->Invoke(dispid, IID_NULL, 0, DISPATCH_PROPERTYGET, &none, &value, nullptr,
                                        nullptr)) &&
      value.vt == VT_BOOL)
    box->SetChecked(value.boolVal != 0);
  VariantClear(&value);
}

void COlePropertyPage::DDP_PostProcessing(CDataExchange* dx) {
  if (!dx) return;
  // Each gathered value goes to every object; one that lacks the property is passed over.
  for (const auto& [property, checked] : dx->checks)
    for (IDispatch* object : objects_) {
      const DISPID dispid = DispidOf(object, property.c_str());
      if (dispid == DISPID_UNKNOWN) continue;
      VARIANT value = MakeVariantBool(checked);
      DISPID named = DISPID_PROPERTYPUT;
      DISPPARAMS put{&value, &named, 1, 1};
      object->Invoke(dispid, IID_NULL, 0, DISPATCH_PROPERTYPUT, &put, nullptr, nullptr, nullptr);
    }
  dx->checks.clear();
  dx->postProcessed = true;
}

}  // namespace kestrix
