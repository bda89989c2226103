#include "module/win32/ModuleBridge.h"

#include "control/Guids.h"
#include "framework/ole/Registration.h"
#include "module/KestrixModule.h"

namespace win32host {

bool ModuleCanUnload() { return TheKestrixApp().CanUnloadNow() == S_OK; }

void LockModule(bool lock) { TheKestrixApp().LockServer(lock); }

bool BuildControlRegistration(RegistryTree& tree) {
  if (!TheKestrixApp().UpdateRegistryAll(tree, TRUE)) return false;
  // The property page is the framework's own kind of object, which a Windows container
  // cannot use: only the control is offered.
  return AfxOleUnregisterClass(tree, CLSID_KestrixPropPage, nullptr) != FALSE;
}

std::string ModulePath() { return TheKestrixApp().Instance().path; }

}  // namespace win32host
