#include "framework/ole/PropertyPageObject.h"

namespace kestrix {

PropertyPageObject::PropertyPageObject(std::unique_ptr<COlePropertyPage> page,
                                       std::function<void()> onFinalRelease)
    : Object(0), page_(std::move(page)), onFinalRelease_(std::move(onFinalRelease)) {}

PropertyPageObject::~PropertyPageObject() {
  page_->Deactivate();
  ReleaseObjects();
}

void PropertyPageObject::ReleaseObjects() {
  for (IUnknown* object : objects_) object->Release();
  objects_.clear();
}

void PropertyPageObject::FinalRelease() {
  std::function<void()> done = std::move(onFinalRelease_);
  delete this;
  if (done) done();
}

HRESULT PropertyPageObject::GetPageInfo(PROPPAGEINFO* info) {
  if (!info) return E_POINTER;
  info->title = page_->Caption();
  info->size = page_->PageSize();
  info->docString.clear();
  info->helpFile.clear();
  return S_OK;
}

HRESULT PropertyPageObject::Activate(HWND parent, const RECT* rect, BOOL) {
  if (!rect) return E_POINTER;
  return page_->Activate(parent, *rect) ? S_OK : E_FAIL;
}

HRESULT PropertyPageObject::Deactivate() {
  page_->Deactivate();
  return S_OK;
}

HRESULT PropertyPageObject::SetObjects(ULONG count, IUnknown** objects) {
  if (count > 0 && !objects) return E_POINTER;
  for (ULONG i = 0; i < count; ++i)
    if (!objects[i]) return E_POINTER;
  ReleaseObjects();
  for (ULONG i = 0; i < count; ++i) {
    objects[i]->AddRef();
    objects_.push_back(objects[i]);
  }
  return S_OK;
}

HRESULT PropertyPageObject::Show(UINT cmdShow) {
  CDialog* dialog = page_->PageDialog();
  if (!dialog) return E_UNEXPECTED;
  dialog->ShowWindow(static_cast<int>(cmdShow));
  return S_OK;
}

HRESULT PropertyPageObject::Move(const RECT* rect) {
  if (!rect) return E_POINTER;
  CDialog* dialog = page_->PageDialog();
  if (!dialog) return E_UNEXPECTED;
  dialog->MoveWindow(*rect);
  return S_OK;
}

// The page binds no property of its own, so it never holds unapplied changes.
HRESULT PropertyPageObject::IsPageDirty() { return S_FALSE; }

HRESULT PropertyPageObject::Apply() {
  page_->Apply();
  return S_OK;
}

}  // namespace kestrix
