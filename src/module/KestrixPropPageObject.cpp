#include "module/KestrixPropPageObject.h"

#include <new>

#include "framework/ole/PropertyPageObject.h"
#include "resources/KestrixPropPage.h"

namespace kestrix {

IUnknown* CreateKestrixPropPageObject(COleControlModule& module) {
  auto page = std::make_unique<CKestrixPropPage>();
  auto* object = new (std::nothrow)
      PropertyPageObject(std::move(page), [&module] { module.UnlockApp(); });
  if (!object) return nullptr;
  module.LockApp();
  object->AddRef();
  return object;
}

}  // namespace kestrix
