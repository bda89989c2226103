// The module's application object and its two class factories: the control and its
// property page, both multiple-use.
#pragma once

#include "control/Guids.h"
#include "framework/ole/ClassFactory.h"
#include "framework/registry/RegistryFile.h"

namespace kestrix {

inline constexpr const char* kKestrixProgID = "KESTRIX.KestrixCtrl.1";
inline constexpr const char* kKestrixPropPageProgID = "KESTRIX.KestrixPropPage.1";
inline constexpr WORD kKestrixTypeLibMajor = 1;
inline constexpr WORD kKestrixTypeLibMinor = 0;

class CKestrixCtrlFactory : public COleObjectFactory {
 public:
  explicit CKestrixCtrlFactory(COleControlModule& module);
  BOOL UpdateRegistry(RegistryTree& registry, BOOL bRegister) override;
};

class CKestrixPropPageFactory : public COleObjectFactory {
 public:
  explicit CKestrixPropPageFactory(COleControlModule& module);
  BOOL UpdateRegistry(RegistryTree& registry, BOOL bRegister) override;
};

class CKestrixApp : public COleControlModule {
 public:
  CKestrixApp();
  // Start-up and shut-down run only the framework's.
  BOOL InitInstance() override;
  int ExitInstance() override;
  const ModuleInstance& Instance() const override { return instance_; }

  // The module's two self-registration steps, on the given registry file: the type library,
  // then every class. Codes: S_OK, SELFREG_E_TYPELIB, SELFREG_E_CLASS.
  HRESULT RegisterServer(RegistryFile& registry);
  HRESULT UnregisterServer(RegistryFile& registry);

 private:
  ModuleInstance instance_;
  CKestrixCtrlFactory controlFactory_{*this};
  CKestrixPropPageFactory propPageFactory_{*this};
};

// The one application object of the module.
CKestrixApp& TheKestrixApp();

}  // namespace kestrix
