// The module's side of the Windows entry points, in standard types (see ControlInstance.h):
// its object and lock counts, and the registry entries its control class writes.
#pragma once

#include <string>

class RegistryTree;

namespace win32host {

// No control is alive and no factory is locked.
bool ModuleCanUnload();
void LockModule(bool lock);
// Writes into tree what registering the control class puts in the classes root (class,
// ProgID, server path, toolbox bitmap, type library reference); false when it cannot.
bool BuildControlRegistration(RegistryTree& tree);
// The module file's path.
std::string ModulePath();

}  // namespace win32host
