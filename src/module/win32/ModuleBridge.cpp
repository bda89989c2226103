#include "module/win32/ModuleBridge.h"

#include "control/Guids.h"
#include "framework/ole/Registration.h"
#include "framework/registry/RegistryTree.h"
#include "module/KestrixModule.h"
#include "resources/KestrixResources.h"
#include "resources/ResourceIds.h"

namespace win32host {

// This file speaks to the framework, whose names live in namespace kestrix.
using namespace kestrix;

bool ModuleCanUnload() { return TheKestrixApp().CanUnloadNow() == S_OK; }

void LockModule(bool lock) { TheKestrixApp().LockServer(lock); }

ClassId PropertyPageClass() { return ClassIdOf(CLSID_KestrixPropPage); }

PageResources PropertyPageResources() {
  return {IDD_PROPPAGE_KESTRIX, IDS_KESTRIX_PPG_CAPTION, IDC_VISUAL_CARET, IDC_STANDARD_EDITING};
}

bool BuildModuleRegistration(RegistryTree& tree) {
  if (!TheKestrixApp().UpdateRegistryAll(tree, TRUE)) return false;
  // A Windows container creates the page by its ProgID as it does the control, so the page's
  // ProgID leads to its class as well.
  const std::string page = RegistryGuid(CLSID_KestrixPropPage);
  const std::string typeName = LoadResourceString(KestrixResources(), IDS_KESTRIX_PPG);
  return tree.SetString(kKestrixPropPageProgID, "", typeName) &&
         tree.SetString(std::string(kKestrixPropPageProgID) + "\\CLSID", "", page) &&
         tree.SetString("CLSID\\" + page + "\\ProgID", "", kKestrixPropPageProgID);
}

std::string ModulePath() { return TheKestrixApp().Instance().path; }

}  // namespace win32host
