#include "module/win32/ClassObject.h"

#include "module/win32/ActiveXControl.h"
#include "module/win32/ModuleBridge.h"
#include "module/win32/PropertyPage.h"

namespace win32host {
namespace {

// Object is a class whose Create() answers a new object holding one reference, or null.
template <typename Object>
class Factory final : public IClassFactory {
 public:
  HRESULT STDMETHODCALLTYPE QueryInterface(REFIID riid, void** object) override {
    if (!object) return E_POINTER;
    *object = nullptr;
    if (!IsEqualIID(riid, IID_IUnknown) && !IsEqualIID(riid, IID_IClassFactory))
      return E_NOINTERFACE;
    *object = static_cast<IClassFactory*>(this);
    return S_OK;
  }
  // Not counted: the object lives as long as the module.
  ULONG STDMETHODCALLTYPE AddRef() override { return 2; }
  ULONG STDMETHODCALLTYPE Release() override { return 1; }

  HRESULT STDMETHODCALLTYPE CreateInstance(IUnknown* outer, REFIID riid, void** object) override {
    if (!object) return E_POINTER;
    *object = nullptr;
    if (outer) return CLASS_E_NOAGGREGATION;
    Object* made = Object::Create();
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
