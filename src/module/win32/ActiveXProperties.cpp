// The control's property pages and the Properties verb that shows them.
#include <vector>

#include "KestrixIdl.h"
#include "module/win32/ActiveXControl.h"
#include "module/win32/ControlWindow.h"

namespace win32host {

HRESULT ActiveXControl::GetPages(CAUUID* pages) {
  if (!pages) return E_POINTER;
  pages->cElems = 0;
  pages->pElems = nullptr;
  const std::vector<ClassId> ids = instance_->PropertyPages();
  if (ids.empty()) return S_OK;
  // The caller frees the list.
  auto* list = static_cast<GUID*>(CoTaskMemAlloc(ids.size() * sizeof(GUID)));
  if (!list) return E_OUTOFMEMORY;
  for (size_t i = 0; i < ids.size(); ++i) list[i] = GuidOf<GUID>(ids[i]);
  pages->cElems = static_cast<ULONG>(ids.size());
  pages->pElems = list;
  return S_OK;
}

HRESULT ActiveXControl::ShowProperties(HWND owner) {
  // A container may show the pages in a frame of its own, with properties it adds.
  IOleControlSite* controlSite = nullptr;
  if (site_ && SUCCEEDED(site_->QueryInterface(IID_IOleControlSite,
                                               reinterpret_cast<void**>(&controlSite)))) {
    const HRESULT shown = controlSite->ShowPropertyFrame();
    controlSite->Release();
    if (shown == S_OK) return S_OK;
  }
  CAUUID pages{};
  HRESULT hr = GetPages(&pages);
  if (FAILED(hr)) return hr;
  if (pages.cElems == 0) return E_FAIL;
  if (!owner && inPlaceSite_) inPlaceSite_->GetWindow(&owner);
  if (!owner && window_) owner = GetAncestor(window_->Handle(), GA_ROOT);
  LPOLESTR name = nullptr;
  GetUserType(USERCLASSTYPE_FULL, &name);
  IUnknown* self = static_cast<IOleObject*>(this);
  // The frame edits the control: a container's release meanwhile must not end it.
  AddRef();
  hr = OleCreatePropertyFrame(owner, 0, 0, name, 1, &self, pages.cElems, pages.pElems,
                              GetUserDefaultLCID(), 0, nullptr);
  Release();
  CoTaskMemFree(name);
  CoTaskMemFree(pages.pElems);
  return hr;
}

}  // namespace win32host
