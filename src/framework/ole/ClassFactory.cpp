#include "framework/ole/ClassFactory.h"

namespace kestrix {

HRESULT COleControlModule::GetClassObject(REFCLSID clsid, REFIID riid, void** object) {
  if (!object) return E_POINTER;
  *object = nullptr;
  for (COleObjectFactory* factory : factories_)
    if (IsEqualGUID(factory->GetClassID(), clsid)) return factory->QueryInterface(riid, object);
  return CLASS_E_CLASSNOTAVAILABLE;
}

BOOL COleControlModule::UpdateRegistryAll(RegistryTree& registry, BOOL bRegister) {
  for (COleObjectFactory* factory : factories_)
    if (!factory->UpdateRegistry(registry, bRegister)) return FALSE;
  return TRUE;
}

HRESULT COleControlModule::CanUnloadNow() const {
  return objects_ == 0 && serverLocks_ == 0 ? S_OK : S_FALSE;
}

void COleControlModule::LockServer(bool lock) {
  if (lock) {
    ++serverLocks_;
    return;
  }
  long count = serverLocks_;
  while (count > 0 && !serverLocks_.compare_exchange_weak(count, count - 1)) {
  }
}

COleObjectFactory::COleObjectFactory(COleControlModule& module, REFCLSID clsid,
                                     const char* progID, Creator create)
    : module_(module), clsid_(clsid), progID_(progID), create_(create) {
  module_.AddFactory(this);
}

HRESULT COleObjectFactory::CreateInstance(IUnknown* outer, REFIID riid, void** object) {
  if (!object) return E_POINTER;
  *object = nullptr;
  if (outer) return CLASS_E_NOAGGREGATION;
  IUnknown* created = create_(module_);
  if (!created) return E_OUTOFMEMORY;
  HRESULT hr = created->QueryInterface(riid, object);
  created->Release();  // the caller's reference, if any, keeps it alive
  return hr;
}

HRESULT COleObjectFactory::LockServer(BOOL lock) {
  module_.LockServer(lock != FALSE);
  return S_OK;
}

}  // namespace kestrix
