// kestrix-register: registers a self-registering module in the registry, or unregisters it.
//
//   kestrix-register MODULE        runs the module's DllRegisterServer
//   kestrix-register -u MODULE     runs its DllUnregisterServer
//
// Prints the result code in words; exits 0 on success, 1 when the module fails or cannot be
// loaded, 2 on a usage error.
#include <dlfcn.h>
#include <limits.h>
#include <stdlib.h>

#include <cstring>
#include <iostream>
#include <string>

#include "framework/ole/ObjectCreation.h"
#include "framework/registry/RegistryFile.h"

using namespace kestrix;

namespace {

int Usage() {
  std::cerr << "usage: kestrix-register [-u] MODULE\n";
  return 2;
}

}  // namespace

int main(int argc, char** argv) {
  bool unregister = false;
  const char* module = nullptr;
  for (int i = 1; i < argc; ++i) {
    if (std::strcmp(argv[i], "-u") == 0 && !unregister) {
      unregister = true;
    } else if (std::strcmp(argv[i], "-h") == 0 || std::strcmp(argv[i], "--help") == 0) {
      Usage();
      return 0;
    } else if (!module && argv[i][0] != '-') {
      module = argv[i];
    } else {
      return Usage();
    }
  }
  if (!module) return Usage();

  // The module records the path it was loaded from, so it is loaded by its absolute path.
  char absolute[PATH_MAX];
  if (!realpath(module, absolute)) {
    std::cerr << "kestrix-register: " << module << ": " << std::strerror(errno) << "\n";
    return 1;
  }
  void* handle = dlopen(absolute, RTLD_NOW | RTLD_LOCAL);
  if (!handle) {
    std::cerr << "kestrix-register: cannot load " << absolute << ": " << dlerror() << "\n";
    return 1;
  }
  const char* entry = unregister ? "DllUnregisterServer" : "DllRegisterServer";
  auto function = reinterpret_cast<HRESULT (*)()>(dlsym(handle, entry));
  if (!function) {
    std::cerr << "kestrix-register: " << absolute << " is not self-registering (no " << entry
              << ")\n";
    dlclose(handle);
    return 1;
  }
  HRESULT hr = function();
  const RegistryFile registry(RegistryFile::DefaultPath());
  std::cout << entry << " in " << absolute << ": " << HResultText(hr) << "\n"
            << "registry: " << registry.Path() << "\n";
  dlclose(handle);
  if (FAILED(hr) && registry.CheckWritable() != ERROR_SUCCESS)
    std::cerr << "kestrix-register: " << registry.Path()
              << " is read-only: it was left as it was\n";
  return SUCCEEDED(hr) ? 0 : 1;
}
