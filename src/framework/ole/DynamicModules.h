// Loading a module into the process by path and finding its entry points: the system's own
// loader on each platform. Handles are opaque; null means failure.
#pragma once

#include <string>

namespace kestrix {

void* LoadDynamicModule(const std::string& path);
void* DynamicModuleSymbol(void* module, const char* name);
void UnloadDynamicModule(void* module);
// Whether path names a module the loader can take without searching (an absolute path).
bool IsAbsoluteModulePath(const std::string& path);
// The absolute path of the loaded module (or program) that holds address, or empty.
std::string ModulePathOf(const void* address);

}  // namespace kestrix
