// The module's four entry points, the only names it exports.
#include "module/KestrixModule.h"

namespace kestrix {

#define KESTRIX_EXPORT extern "C" __attribute__((visibility("default")))

namespace {

// Start-up runs once, before the first entry point does its work; shut-down when the module
// is unloaded, before the application object goes.
struct ModuleSession {
  ModuleSession() { TheKestrixApp().InitInstance(); }
  ~ModuleSession() { TheKestrixApp().ExitInstance(); }
};

CKestrixApp& Module() {
  static ModuleSession session;
  return TheKestrixApp();
}

}  // namespace

KESTRIX_EXPORT HRESULT DllRegisterServer() {
  RegistryFile registry(RegistryFile::DefaultPath());
  return Module().RegisterServer(registry);
}

KESTRIX_EXPORT HRESULT DllUnregisterServer() {
  RegistryFile registry(RegistryFile::DefaultPath());
  return Module().UnregisterServer(registry);
}

KESTRIX_EXPORT HRESULT DllGetClassObject(REFCLSID clsid, REFIID riid, void** object) {
  return Module().GetClassObject(clsid, riid, object);
}

KESTRIX_EXPORT HRESULT DllCanUnloadNow() { return Module().CanUnloadNow(); }

}  // namespace kestrix
