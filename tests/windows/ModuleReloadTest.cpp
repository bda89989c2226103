// Design tools unload the module when its last control goes and load it again for the next:
// the module's window class must go with its last window, and a module loaded again must make
// controls that work.
#include <gtest/gtest.h>
#include <olectl.h>

#include <memory>
#include <string>

#include "Automation.h"
#include "Container.h"
#include "KestrixIdl.h"

namespace {

constexpr wchar_t kWindowClass[] = L"KestrixControlWindow";

std::wstring RegisteredModulePath() {
  wchar_t clsid[64] = {};
  StringFromGUID2(CLSID_Kestrix, clsid, 64);
  wchar_t path[MAX_PATH] = {};
  DWORD size = sizeof path;
  if (RegGetValueW(HKEY_CLASSES_ROOT, (std::wstring(L"CLSID\\") + clsid + L"\\InprocServer32").c_str(),
                   nullptr, RRF_RT_REG_SZ, nullptr, path, &size) != ERROR_SUCCESS)
    return {};
  return path;
}

bool ClassRegistered(HMODULE module) {
  WNDCLASSEXW info{};
  info.cbSize = sizeof info;
  return GetClassInfoExW(module, kWindowClass, &info) != FALSE;
}

// A control from the module loaded by hand, placed in a container of its own.
std::unique_ptr<Container> PlaceControl(HMODULE module) {
  using GetClassObject = HRESULT(STDAPICALLTYPE*)(REFCLSID, REFIID, void**);
  auto get = reinterpret_cast<GetClassObject>(
      reinterpret_cast<void*>(GetProcAddress(module, "DllGetClassObject")));
  IClassFactory* factory = nullptr;
  if (!get || FAILED(get(CLSID_Kestrix, IID_IClassFactory, reinterpret_cast<void**>(&factory))))
    return nullptr;
  IUnknown* made = nullptr;
  HRESULT hr = factory->CreateInstance(nullptr, IID_IUnknown, reinterpret_cast<void**>(&made));
  factory->Release();
  if (FAILED(hr)) return nullptr;
  auto container = std::make_unique<Container>();
  hr = container->Place(made);
  made->Release();
  return SUCCEEDED(hr) ? std::move(container) : nullptr;
}

// Typed into through its window: the control works, window and all.
std::wstring TypedInto(Container& container) {
  SetFocus(container.ControlWindow());
  PostMessageW(container.ControlWindow(), WM_CHAR, L'k', 1);
  PumpMessages();
  return Automation(container.Dispatch()).GetText(L"Text");
}

TEST(ModuleReload, TheWindowClassGoesWithTheLastWindowAndAReloadedModuleMakesControls) {
  const std::wstring registered = RegisteredModulePath();
  ASSERT_FALSE(registered.empty());
  // A copy under a name of its own is a module of its own in this process, which the loader
  // unloads when its last reference goes (the registered one stays loaded by COM).
  wchar_t temp[MAX_PATH] = {};
  GetTempPathW(MAX_PATH, temp);
  const std::wstring copy = std::wstring(temp) + L"KestrixReload.ocx";
  ASSERT_TRUE(CopyFileW(registered.c_str(), copy.c_str(), FALSE));

  for (int load = 0; load < 2; ++load) {
    SCOPED_TRACE(load == 0 ? "first load" : "loaded again");
    HMODULE module = LoadLibraryW(copy.c_str());
    ASSERT_NE(module, nullptr);
    EXPECT_FALSE(ClassRegistered(module));
    std::unique_ptr<Container> first = PlaceControl(module);
    std::unique_ptr<Container> second = PlaceControl(module);
    ASSERT_TRUE(first && second);
    EXPECT_EQ(TypedInto(*first), L"k");
    EXPECT_EQ(TypedInto(*second), L"k");
    first.reset();
    EXPECT_TRUE(ClassRegistered(module)) << "while a window remains";
    second.reset();
    EXPECT_FALSE(ClassRegistered(module)) << "after the last window";
    using CanUnload = HRESULT(WINAPI*)();
    auto canUnload = reinterpret_cast<CanUnload>(
        reinterpret_cast<void*>(GetProcAddress(module, "DllCanUnloadNow")));
    ASSERT_NE(canUnload, nullptr);
    EXPECT_EQ(canUnload(), S_OK);
    FreeLibrary(module);
    EXPECT_EQ(GetModuleHandleW(copy.c_str()), nullptr) << "unloaded";
  }
  DeleteFileW(copy.c_str());
}

}  // namespace
