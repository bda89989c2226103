// The module's four entry points on Windows. Registration puts the type library (from the
// module's own TYPELIB resource), the control class and its property page class in the system
// registry; the class objects make ActiveX controls and property pages.
#include <windows.h>
// After the basic types.
#include <olectl.h>

#include "KestrixIdl.h"
#include "framework/registry/RegistryTree.h"
#include "module/win32/ClassObject.h"
#include "module/win32/ModuleBridge.h"
#include "module/win32/SystemRegistry.h"
#include "module/win32/Win32Text.h"

namespace {

constexpr WORD kTypeLibMajor = 1;
constexpr WORD kTypeLibMinor = 0;
constexpr LCID kTypeLibLocale = 0x0409;  // the library's own, as its description gives it

HRESULT RegisterTypeLibrary() {
  ITypeLib* library = nullptr;
  HRESULT hr = LoadTypeLibEx(win32host::WideFromUtf8(win32host::ModulePath()).c_str(),
                             REGKIND_REGISTER, &library);
  if (SUCCEEDED(hr)) library->Release();
  return hr;
}

}  // namespace

extern "C" HRESULT WINAPI DllRegisterServer() {
  if (FAILED(RegisterTypeLibrary())) return SELFREG_E_TYPELIB;
  kestrix::RegistryTree tree;
  if (!win32host::BuildModuleRegistration(tree) || !win32host::WriteToClassesRoot(tree))
    return SELFREG_E_CLASS;
  return S_OK;
}

extern "C" HRESULT WINAPI DllUnregisterServer() {
  kestrix::RegistryTree tree;
  HRESULT classes =
      win32host::BuildModuleRegistration(tree) && win32host::RemoveFromClassesRoot(tree)
          ? S_OK
          : SELFREG_E_CLASS;
  HRESULT library =
      UnRegisterTypeLib(LIBID_KESTRIXLib, kTypeLibMajor, kTypeLibMinor, kTypeLibLocale, SYS_WIN64);
  // A library that is not registered any more is what was asked for.
  if (FAILED(library) && library != TYPE_E_REGISTRYACCESS && library != TYPE_E_LIBNOTREGISTERED)
    return SELFREG_E_TYPELIB;
  return classes;
}

extern "C" HRESULT WINAPI DllGetClassObject(REFCLSID clsid, REFIID riid, void** object) {
  if (!object) return E_POINTER;
  *object = nullptr;
  if (IsEqualCLSID(clsid, CLSID_Kestrix))
    return win32host::ControlClassObject().QueryInterface(riid, object);
  if (IsEqualCLSID(clsid, win32host::GuidOf<CLSID>(win32host::PropertyPageClass())))
    return win32host::PropertyPageClassObject().QueryInterface(riid, object);
  return CLASS_E_CLASSNOTAVAILABLE;
}

extern "C" HRESULT WINAPI DllCanUnloadNow() {
  return win32host::ModuleCanUnload() ? S_OK : S_FALSE;
}
