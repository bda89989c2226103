// The control's property page as a Windows property frame holds it: a real child dialog built
// from the page's template in the module's resources, captioned from its string. Its check
// boxes show the first object's VisualCaret and StandardEditing; once one is clicked the page
// is dirty, and applying writes each box's state to every object.
#pragma once

#include <windows.h>
// After the basic types.
#include <ocidl.h>

#include <vector>

#include "framework/ole/Unknown.h"

namespace win32host {

class PropertyPage final
    : public kestrix::com::Object<kestrix::com::Counted,
                         kestrix::com::Answer<IPropertyPage, IID_IUnknown, IID_IPropertyPage>> {
 public:
  // A new page holding one reference, or null.
  static PropertyPage* Create();

  // IPropertyPage
  HRESULT STDMETHODCALLTYPE SetPageSite(IPropertyPageSite* site) override;
  HRESULT STDMETHODCALLTYPE Activate(HWND parent, LPCRECT rect, BOOL modal) override;
  HRESULT STDMETHODCALLTYPE Deactivate() override;
  HRESULT STDMETHODCALLTYPE GetPageInfo(PROPPAGEINFO* info) override;
  HRESULT STDMETHODCALLTYPE SetObjects(ULONG count, IUnknown** objects) override;
  HRESULT STDMETHODCALLTYPE Show(UINT command) override;
  HRESULT STDMETHODCALLTYPE Move(LPCRECT rect) override;
  HRESULT STDMETHODCALLTYPE IsPageDirty() override;
  HRESULT STDMETHODCALLTYPE Apply() override;
  HRESULT STDMETHODCALLTYPE Help(LPCOLESTR helpDir) override;
  HRESULT STDMETHODCALLTYPE TranslateAccelerator(MSG* msg) override;

 private:
  PropertyPage();
  ~PropertyPage() override;
  void ReleaseObjects();
  static INT_PTR CALLBACK PageProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
  HWND CreatePageWindow(HWND parent);

  IPropertyPageSite* site_ = nullptr;
  std::vector<IUnknown*> objects_;  // held while the page edits them
  HWND window_ = nullptr;
  SIZE size_{};  // pixels; measured once
  bool dirty_ = false;
};

}  // namespace win32host
