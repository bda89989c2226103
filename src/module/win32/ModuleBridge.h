// The module's side of the Windows entry points, in standard types (see ControlInstance.h):
// its object and lock counts, its property page class, and the registry entries its classes
// write.
#pragma once

#include <string>

#include "module/win32/ClassId.h"

namespace kestrix {
class RegistryTree;
}

namespace win32host {

// No control or page is alive and no factory is locked.
bool ModuleCanUnload();
void LockModule(bool lock);
// The class of the control's property page, and where its dialog template and caption lie in
// the module's resources.
ClassId PropertyPageClass();
struct PageResources {
  unsigned dialog;
  unsigned caption;
  unsigned visualCaretBox;      // the check box bound to VisualCaret
  unsigned standardEditingBox;  // the check box bound to StandardEditing
};
PageResources PropertyPageResources();
// Writes into tree what registering the module's classes puts in the classes root: the
// control (class, ProgID, server path, toolbox bitmap, type library reference) and its
// property page (class, ProgID, server path); false when it cannot.
bool BuildModuleRegistration(kestrix::RegistryTree& tree);
// The module file's path.
std::string ModulePath();

}  // namespace win32host
