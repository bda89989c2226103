// The two class factories: what each creates and how each registers.
#include <new>

#include "control/Guids.h"
#include "control/KestrixCtrl.h"
#include "framework/ole/Registration.h"
#include "module/KestrixModule.h"
#include "module/KestrixPropPageObject.h"
#include "resources/ResourceIds.h"

namespace kestrix {

namespace {

IUnknown* CreateControl(COleControlModule& module) {
  auto* control = new (std::nothrow) CKestrixCtrl();
  if (!control) return nullptr;
  module.LockApp();
  control->SetOwnedByReferences([&module] { module.UnlockApp(); });
  IUnknown* unknown = control->GetControllingUnknown();
  unknown->AddRef();
  return unknown;
}

}  // namespace

CKestrixCtrlFactory::CKestrixCtrlFactory(COleControlModule& module)
    : COleObjectFactory(module, CLSID_Kestrix, kKestrixProgID, &CreateControl) {}

BOOL CKestrixCtrlFactory::UpdateRegistry(RegistryTree& registry, BOOL bRegister) {
  if (!bRegister) return AfxOleUnregisterClass(registry, GetClassID(), GetProgID());
  return AfxOleRegisterControlClass(registry, &Module().Instance(), GetClassID(), GetProgID(),
                                    IDS_KESTRIX, IDB_KESTRIX, afxRegApartmentThreading,
                                    kKestrixMiscStatus, LIBID_KESTRIXLib, kKestrixTypeLibMajor,
                                    kKestrixTypeLibMinor);
}

CKestrixPropPageFactory::CKestrixPropPageFactory(COleControlModule& module)
    : COleObjectFactory(module, CLSID_KestrixPropPage, kKestrixPropPageProgID,
                        &CreateKestrixPropPageObject) {}

BOOL CKestrixPropPageFactory::UpdateRegistry(RegistryTree& registry, BOOL bRegister) {
  if (!bRegister) return AfxOleUnregisterClass(registry, GetClassID(), nullptr);
  return AfxOleRegisterPropertyPageClass(registry, &Module().Instance(), GetClassID(),
                                         IDS_KESTRIX_PPG);
}

}  // namespace kestrix
