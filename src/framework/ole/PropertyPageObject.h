// A property page as an object: IPropertyPage over a page built from its dialog template.
// Made by a class factory, it is owned by its references.
#pragma once

#include <functional>
#include <memory>
#include <vector>

#include "COlePropertyPage.h"
#include "PropertyPage.h"
#include "Unknown.h"

namespace kestrix {

class PropertyPageObject final
    : public com::Object<com::Counted,
                         com::Answer<IPropertyPage, IID_IUnknown, IID_IPropertyPage>> {
 public:
  // onFinalRelease runs after the object is gone (the module counts live objects). The page
  // starts with no reference.
  PropertyPageObject(std::unique_ptr<COlePropertyPage> page, std::function<void()> onFinalRelease);

  HRESULT GetPageInfo(PROPPAGEINFO* info) override;
  HRESULT Activate(HWND parent, const RECT* rect, BOOL modal) override;
  HRESULT Deactivate() override;
  HRESULT SetObjects(ULONG count, IUnknown** objects) override;
  HRESULT Show(UINT cmdShow) override;
  HRESULT Move(const RECT* rect) override;
  HRESULT IsPageDirty() override;
  HRESULT Apply() override;

  COlePropertyPage& Page() { return *page_; }

 private:
  ~PropertyPageObject() override;
  void FinalRelease() override;
  void ReleaseObjects();

  std::unique_ptr<COlePropertyPage> page_;
  std::function<void()> onFinalRelease_;
  std::vector<IUnknown*> objects_;  // held while the page edits them
};

}  // namespace kestrix
