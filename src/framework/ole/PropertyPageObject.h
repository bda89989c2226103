// A property page as an object: IPropertyPage over a page built from its dialog template.
// Made by a class factory, it is owned by its references.
#pragma once

#include <functional>
#include <memory>
#include <vector>

#include "framework/ole/COlePropertyPage.h"
#include "framework/ole/PropertyPage.h"

class PropertyPageObject final : public IPropertyPage {
 public:
  // onFinalRelease runs after the object is gone (the module counts live objects).
  PropertyPageObject(std::unique_ptr<COlePropertyPage> page, std::function<void()> onFinalRelease);

  HRESULT QueryInterface(REFIID riid, void** object) override;
  ULONG AddRef() override { return ++refs_; }
  ULONG Release() override;
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
  ~PropertyPageObject();
  void ReleaseObjects();

  std::unique_ptr<COlePropertyPage> page_;
  std::function<void()> onFinalRelease_;
  std::vector<IUnknown*> objects_;  // held while the page edits them
  ULONG refs_ = 0;
};
