#include "module/KestrixModule.h"

#include "control/Guids.h"
#include "control/TypeLibrary.h"
#include "framework/ole/Registration.h"
#include "module/resources/KestrixResources.h"

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

HRESULT CKestrixApp::RegisterServer(RegistryFile& registry) {
  LONG typeLib = registry.Update([this](RegistryTree& tree) {
    return AfxOleRegisterTypeLib(tree, &instance_, LIBID_KESTRIXLib) ? ERROR_SUCCESS
                                                                      : ERROR_BADDB;
  });
  if (typeLib != ERROR_SUCCESS) return SELFREG_E_TYPELIB;
  // Every class in one transaction: a failure leaves none of them half-registered.
  LONG classes = registry.Update([this](RegistryTree& tree) {
    return UpdateRegistryAll(tree, TRUE) ? ERROR_SUCCESS : ERROR_BADDB;
  });
  return classes == ERROR_SUCCESS ? S_OK : SELFREG_E_CLASS;
}

HRESULT CKestrixApp::UnregisterServer(RegistryFile& registry) {
  LONG typeLib = registry.Update([](RegistryTree& tree) {
    return AfxOleUnregisterTypeLib(tree, LIBID_KESTRIXLib, kKestrixTypeLibMajor,
                                   kKestrixTypeLibMinor)
               ? ERROR_SUCCESS
               : ERROR_BADDB;
  });
  if (typeLib != ERROR_SUCCESS) return SELFREG_E_TYPELIB;
  LONG classes = registry.Update([this](RegistryTree& tree) {
    return UpdateRegistryAll(tree, FALSE) ? ERROR_SUCCESS : ERROR_BADDB;
  });
  return classes == ERROR_SUCCESS ? S_OK : SELFREG_E_CLASS;
}
