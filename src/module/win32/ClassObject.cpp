#include "module/win32/ClassObject.h"

#include "framework/ole/Unknown.h"
#include "module/win32/ActiveXControl.h"
#include "module/win32/ModuleBridge.h"
#include "module/win32/PropertyPage.h"

namespace win32host {

// This file speaks to the framework, whose names live in namespace kestrix.
using namespace kestrix;
namespace {

// Made is a class whose Create() answers a new object holding one reference, or null. Not
// counted: the class object lives as long as the module.
template <typename Made>
class Factory final
    : public kestrix::com::Object<kestrix::com::Uncounted,
                         kestrix::com::Answer<IClassFactory, IID_IUnknown, IID_IClassFactory>> {
 public:
  HRESULT STDMETHODCALLTYPE CreateInstance(IUnknown* outer, REFIID riid, void** object) override {
    if (!object) return E_POINTER;
    *object = nullptr;
    if (outer) return CLASS_E_NOAGGREGATION;
    Made* made = Made::Create();
    if (!made) return E_OUTOFMEMORY;
    HRESULT hr = made->QueryInterface(riid, object);
    made->Release();  // the caller's reference, if any, keeps it alive
    return hr;
  }

  HRESULT STDMETHODCALLTYPE LockServer(BOOL lock) override {
    LockModule(lock != FALSE);
    return S_OK;
  }
};

}  // namespace

IClassFactory& ControlClassObject() {
  static Factory<ActiveXControl> factory;
  return factory;
}

IClassFactory& PropertyPageClassObject() {
  static Factory<PropertyPage> factory;
  return factory;
}

}  // namespace win32host
