#include "module/KestrixModule.h"

#include "control/Guids.h"
#include "control/TypeLibrary.h"
#include "framework/ole/Registration.h"
#include "resources/KestrixResources.h"

namespace kestrix {

namespace {

std::string LoadKestrixString(UINT id) { return LoadResourceString(KestrixResources(), id); }

}  // namespace

CKestrixApp& TheKestrixApp() {
  static CKestrixApp app;
  return app;
}

CKestrixApp::CKestrixApp() {
  // The module is the shared object (or program) that holds this code.
  instance_.path = ModulePathOf(reinterpret_cast<const void*>(&TheKestrixApp));
  instance_.typeLib = &KestrixTypeLibrary();
  instance_.loadString = &LoadKestrixString;
}

BOOL CKestrixApp::InitInstance() { return COleControlModule::InitInstance(); }

int CKestrixApp::ExitInstance() { return COleControlModule::ExitInstance(); }

// Each of registration and unregistration is one transaction over the type library and the
// classes: a failure leaves the registry as it was, never a library without its classes nor
// classes naming a library that is not registered.
HRESULT CKestrixApp::RegisterServer(RegistryFile& registry) {
  HRESULT failed = SELFREG_E_TYPELIB;
  LONG code = registry.Update([this, &failed](RegistryTree& tree) {
    if (!AfxOleRegisterTypeLib(tree, &instance_, LIBID_KESTRIXLib)) return ERROR_BADDB;
    failed = SELFREG_E_CLASS;
    if (!UpdateRegistryAll(tree, TRUE)) return ERROR_BADDB;
    failed = SELFREG_E_TYPELIB;  // nothing is written unless all of it is
    return ERROR_SUCCESS;
  });
  return code == ERROR_SUCCESS ? S_OK : failed;
}

HRESULT CKestrixApp::UnregisterServer(RegistryFile& registry) {
  HRESULT failed = SELFREG_E_TYPELIB;
  LONG code = registry.Update([this, &failed](RegistryTree& tree) {
    if (!AfxOleUnregisterTypeLib(tree, LIBID_KESTRIXLib, kKestrixTypeLibMajor,
                                 kKestrixTypeLibMinor))
      return ERROR_BADDB;
    failed = SELFREG_E_CLASS;
    if (!UpdateRegistryAll(tree, FALSE)) return ERROR_BADDB;
    failed = SELFREG_E_TYPELIB;
    return ERROR_SUCCESS;
  });
  return code == ERROR_SUCCESS ? S_OK : failed;
}

}  // namespace kestrix
