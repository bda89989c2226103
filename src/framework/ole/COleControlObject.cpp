// The control as an object: its references, its interfaces, and the face a container that
// created it by name holds.
#include "framework/ole/COleControl.h"
#include "framework/ole/ObjectCreation.h"
#include "framework/ole/PropertyFrame.h"

namespace kestrix {

void COleControl::SetOwnedByReferences(std::function<void()> onFinalRelease) {
  ownedByReferences_ = true;
  onFinalRelease_ = std::move(onFinalRelease);
}

void COleControl::FinalRelease() {
  if (!ownedByReferences_) return;
  std::function<void()> done = std::move(onFinalRelease_);
  // The window goes first, while the whole object can still answer its messages.
  if (GetSafeHwnd()) DestroyWindow();
  delete this;
  if (done) done();
}

LRESULT COleControl::WindowProc(UINT message, WPARAM wParam, LPARAM lParam) {
  // Without a reference (not yet handed out, or the last one gone and the window on its way
  // down) there is none to hold.
  if (InternalRefCount() == 0) return CWnd::WindowProc(message, wParam, lParam);
  InternalAddRef();
  LRESULT result = CWnd::WindowProc(message, wParam, lParam);
  InternalRelease();
  return result;
}

HRESULT COleControl::InternalQueryInterface(REFIID riid, void** object) {
  if (!object) return E_POINTER;
  *object = nullptr;
  if (IsEqualGUID(riid, IID_IUnknown) || IsEqualGUID(riid, IID_IHostedControl)) {
    *object = static_cast<IHostedControl*>(&hosted_);
  } else if (IDispatch* dispatch = GetDispatchInterface();
             dispatch && (IsEqualGUID(riid, IID_IDispatch) ||
                          (dispatchIID_ && IsEqualGUID(riid, *dispatchIID_)))) {
    *object = dispatch;
  } else if (void* own = QueryControlInterface(riid)) {
    *object = own;
  } else {
    return E_NOINTERFACE;
  }
  InternalAddRef();
  return S_OK;
}

HRESULT COleControl::HostedObject::CreateControlWindow(HWND parent, const RECT& rect) {
  CWnd* parentWindow = parent ? CWnd::FromHandle(parent) : nullptr;
  if (parent && !parentWindow) return E_INVALIDARG;
  if (owner_.GetSafeHwnd()) return E_FAIL;
  if (!owner_.CreateControlWindow(parentWindow, rect)) return E_FAIL;
  // Loaded values reach the display through the font notification once there is a window.
  if (loadedBeforeWindow_) {
    loadedBeforeWindow_ = false;
    owner_.OnFontChanged();
  }
  return S_OK;
}

HRESULT COleControl::HostedObject::SetObjectRect(const RECT& rect) {
  if (!owner_.GetSafeHwnd()) return E_FAIL;
  owner_.SetRectInContainer(rect);
  return S_OK;
}

HRESULT COleControl::HostedObject::GetWindow(HWND* hwnd) {
  if (!hwnd) return E_POINTER;
  *hwnd = owner_.GetSafeHwnd();
  return *hwnd ? S_OK : E_FAIL;
}

HRESULT COleControl::HostedObject::InitNew() {
  owner_.ResetProperties();
  return S_OK;
}

HRESULT COleControl::HostedObject::Load(const PropertyBag& bag) {
  const bool complete = owner_.LoadProperties(bag).empty();
  if (owner_.GetSafeHwnd())
    owner_.OnFontChanged();
  else
    loadedBeforeWindow_ = true;
  return complete ? S_OK : DISP_E_TYPEMISMATCH;
}

HRESULT COleControl::HostedObject::Save(PropertyBag& bag, BOOL clearDirty) {
  BOOL wasModified = owner_.IsModified();
  owner_.SaveProperties(bag);
  if (!clearDirty) owner_.SetModifiedFlag(wasModified);
  return S_OK;
}

HRESULT COleControl::HostedObject::IsDirty() { return owner_.IsModified() ? S_OK : S_FALSE; }

HRESULT COleControl::HostedObject::SetEventSink(EventSink* sink) {
  owner_.SetEventSink(sink);
  return S_OK;
}

HRESULT COleControl::HostedObject::Advise(IDispatch* sink, DWORD* cookie) {
  return owner_.Advise(sink, cookie);
}

HRESULT COleControl::HostedObject::Unadvise(DWORD cookie) { return owner_.Unadvise(cookie); }

HRESULT COleControl::HostedObject::DoVerb(LONG verb) {
  if (verb == OLEIVERB_PROPERTIES) return owner_.OnProperties();
  return OLEOBJ_S_INVALIDVERB;
}

HRESULT COleControl::HostedObject::GetPropertyPages(std::vector<CLSID>* pages) {
  if (!pages) return E_POINTER;
  *pages = owner_.GetPropPageIDs();
  return S_OK;
}

IPropertyPage* COleControl::CreatePropertyPage(REFCLSID clsid) {
  IPropertyPage* page = nullptr;
  if (FAILED(CoCreateInstance(clsid, nullptr, CLSCTX_INPROC_SERVER, IID_IPropertyPage,
                              reinterpret_cast<void**>(&page))))
    return nullptr;
  return page;
}

HRESULT COleControl::OnProperties() {
  std::vector<IPropertyPage*> pages;
  for (const CLSID& clsid : GetPropPageIDs())
    if (IPropertyPage* page = CreatePropertyPage(clsid)) pages.push_back(page);
  if (pages.empty()) return E_FAIL;
  // The frame holds the control while it edits it, so a host's release cannot end it there.
  InternalAddRef();
  ShowPropertyFrame(this, GetUserTypeName(), pages, {GetControllingUnknown()});
  for (IPropertyPage* page : pages) page->Release();
  InternalRelease();
  return S_OK;
}

}  // namespace kestrix
