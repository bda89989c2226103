#include "framework/ole/ObjectCreation.h"

#include <cstdio>
#include <map>
#include <mutex>

#include "framework/ole/DynamicModules.h"
#include "framework/ole/Registration.h"
#include "framework/registry/RegistryFile.h"

namespace kestrix {

namespace {

using GetClassObjectFunction = HRESULT (*)(REFCLSID, REFIID, void**);
using CanUnloadNowFunction = HRESULT (*)();

struct LoadedModule {
  void* handle = nullptr;
  GetClassObjectFunction getClassObject = nullptr;
  CanUnloadNowFunction canUnloadNow = nullptr;
};

std::mutex& LibraryMutex() {
  static std::mutex mutex;
  return mutex;
}
std::map<std::string, LoadedModule>& Libraries() {
  static std::map<std::string, LoadedModule> libraries;
  return libraries;
}

HRESULT LoadModule(const std::string& path, LoadedModule* out) {
  std::lock_guard<std::mutex> lock(LibraryMutex());
  auto found = Libraries().find(path);
  if (found != Libraries().end()) {
    *out = found->second;
    return S_OK;
  }
  if (!IsAbsoluteModulePath(path)) return CO_E_DLLNOTFOUND;
  void* handle = LoadDynamicModule(path);
  if (!handle) return CO_E_DLLNOTFOUND;
  LoadedModule module;
  module.handle = handle;
  module.getClassObject =
      reinterpret_cast<GetClassObjectFunction>(DynamicModuleSymbol(handle, "DllGetClassObject"));
  module.canUnloadNow =
      reinterpret_cast<CanUnloadNowFunction>(DynamicModuleSymbol(handle, "DllCanUnloadNow"));
  if (!module.getClassObject) {
    UnloadDynamicModule(handle);
    return CO_E_ERRORINDLL;
  }
  Libraries().emplace(path, module);
  *out = module;
  return S_OK;
}

}  // namespace

HRESULT CLSIDFromString(const char* text, CLSID* clsid) {
  if (!text || !clsid) return E_POINTER;
  return GuidFromRegistry(text, clsid) ? S_OK : CO_E_CLASSSTRING;
}

HRESULT CLSIDFromProgID(const char* progID, CLSID* clsid) {
  if (!progID || !clsid) return E_POINTER;
  if (!RegistryTree::IsValidPath(progID) || std::string_view(progID).find('\\') !=
                                                std::string_view::npos)
    return CO_E_CLASSSTRING;
  RegistryRead registry = RegistryFile(RegistryFile::DefaultPath()).Read();
  const std::string* text = registry.tree.FindString(std::string(progID) + "\\CLSID", "");
  if (!text || !GuidFromRegistry(*text, clsid)) return CO_E_CLASSSTRING;
  return S_OK;
}

HRESULT CoGetClassObject(REFCLSID clsid, DWORD context, void*, REFIID riid, void** object) {
  if (!object) return E_POINTER;
  *object = nullptr;
  if (!(context & CLSCTX_INPROC_SERVER)) return REGDB_E_CLASSNOTREG;
  RegistryRead registry = RegistryFile(RegistryFile::DefaultPath()).Read();
  const std::string* path =
      registry.tree.FindString("CLSID\\" + RegistryGuid(clsid) + "\\InprocServer32", "");
  if (!path) return REGDB_E_CLASSNOTREG;
  LoadedModule module;
  if (HRESULT hr = LoadModule(*path, &module); FAILED(hr)) return hr;
  return module.getClassObject(clsid, riid, object);
}

HRESULT CoCreateInstance(REFCLSID clsid, IUnknown* outer, DWORD context, REFIID riid,
                         void** object) {
  if (!object) return E_POINTER;
  *object = nullptr;
  IClassFactory* factory = nullptr;
  HRESULT hr = CoGetClassObject(clsid, context, nullptr, IID_IClassFactory,
                                reinterpret_cast<void**>(&factory));
  if (FAILED(hr)) return hr;
  hr = factory->CreateInstance(outer, riid, object);
  factory->Release();
  return hr;
}

void CoFreeUnusedLibraries() {
  std::lock_guard<std::mutex> lock(LibraryMutex());
  for (auto it = Libraries().begin(); it != Libraries().end();) {
    const LoadedModule& module = it->second;
    if (module.canUnloadNow && module.canUnloadNow() == S_OK) {
      UnloadDynamicModule(module.handle);
      it = Libraries().erase(it);
    } else {
      ++it;
    }
  }
}

size_t CoLoadedLibraryCount() {
  std::lock_guard<std::mutex> lock(LibraryMutex());
  return Libraries().size();
}

HRESULT CreateObjectByName(const std::string& name, REFIID riid, void** object) {
  if (!object) return E_POINTER;
  *object = nullptr;
  CLSID clsid;
  HRESULT hr = !name.empty() && name.front() == '{' ? CLSIDFromString(name.c_str(), &clsid)
                                                    : CLSIDFromProgID(name.c_str(), &clsid);
  if (FAILED(hr)) return hr;
  return CoCreateInstance(clsid, nullptr, CLSCTX_INPROC_SERVER, riid, object);
}

std::string HResultText(HRESULT hr) {
  const char* words = nullptr;
  switch (hr) {
    case S_OK: words = "success"; break;
    case S_FALSE: words = "success (false)"; break;
    case E_NOINTERFACE: words = "no such interface"; break;
    case E_POINTER: words = "invalid pointer"; break;
    case E_FAIL: words = "unspecified failure"; break;
    case E_OUTOFMEMORY: words = "out of memory"; break;
    case E_INVALIDARG: words = "invalid argument"; break;
    case CLASS_E_NOAGGREGATION: words = "the class does not support aggregation"; break;
    case CLASS_E_CLASSNOTAVAILABLE: words = "the module does not make this class"; break;
    case REGDB_E_CLASSNOTREG: words = "the class is not registered"; break;
    case CO_E_CLASSSTRING: words = "no class of that name is registered"; break;
    case CO_E_DLLNOTFOUND: words = "the module could not be loaded"; break;
    case CO_E_ERRORINDLL: words = "the module has no class object entry point"; break;
    case SELFREG_E_TYPELIB: words = "the type library could not be registered"; break;
    case SELFREG_E_CLASS: words = "the classes could not be registered"; break;
    default: break;
  }
  char code[16];
  std::snprintf(code, sizeof code, "0x%08X", static_cast<unsigned>(hr));
  return words ? std::string(code) + " (" + words + ")" : std::string(code);
}

}  // namespace kestrix
