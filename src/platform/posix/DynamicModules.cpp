// The module loader on POSIX systems: dlopen, with the module's symbols kept to itself.
#include "framework/ole/DynamicModules.h"

#include <dlfcn.h>
#include <limits.h>
#include <stdlib.h>

namespace kestrix {

void* LoadDynamicModule(const std::string& path) {
  return dlopen(path.c_str(), RTLD_NOW | RTLD_LOCAL);
}

void* DynamicModuleSymbol(void* module, const char* name) { return dlsym(module, name); }

void UnloadDynamicModule(void* module) { dlclose(module); }

bool IsAbsoluteModulePath(const std::string& path) { return !path.empty() && path.front() == '/'; }

std::string ModulePathOf(const void* address) {
  Dl_info info{};
  if (!dladdr(address, &info) || !info.dli_fname) return {};
  char resolved[PATH_MAX];
  if (realpath(info.dli_fname, resolved)) return resolved;
  return info.dli_fname;
}

}  // namespace kestrix
