// The registered module as the system sees it: the class under its ProgID, its server and
// type library, and the resources a container or a design tool reads from the file.
#include <gtest/gtest.h>
#include <olectl.h>

#include <memory>
#include <string>

#include "Automation.h"
#include "Container.h"
#include "KestrixIdl.h"

namespace kestrix {

namespace {

std::wstring RegistryText(const std::wstring& key, const wchar_t* value = nullptr) {
  wchar_t text[512] = {};
  DWORD size = sizeof text;
  if (RegGetValueW(HKEY_CLASSES_ROOT, key.c_str(), value, RRF_RT_REG_SZ, nullptr, text, &size) !=
      ERROR_SUCCESS)
    return {};
  return text;
}

std::wstring ClassKey() {
  wchar_t clsid[64] = {};
  StringFromGUID2(CLSID_Kestrix, clsid, 64);
  return std::wstring(L"CLSID\\") + clsid;
}

std::wstring ModulePath() { return RegistryText(ClassKey() + L"\\InprocServer32"); }

TEST(RegisteredModule, TheProgIdLeadsToTheClassItsServerAndItsTypeLibrary) {
  CLSID clsid{};
  ASSERT_EQ(CLSIDFromProgID(L"KESTRIX.KestrixCtrl.1", &clsid), S_OK);
  EXPECT_TRUE(IsEqualCLSID(clsid, CLSID_Kestrix));
  const std::wstring path = ModulePath();
  ASSERT_GE(path.size(), 11u);
  EXPECT_EQ(path.substr(path.size() - 11), L"KESTRIX.OCX");
  EXPECT_EQ(RegistryText(ClassKey() + L"\\InprocServer32", L"ThreadingModel"), L"Apartment");
  EXPECT_EQ(RegistryText(ClassKey() + L"\\ToolboxBitmap32"), path + L", 1");
  EXPECT_EQ(RegistryText(ClassKey() + L"\\MiscStatus\\1"), L"131473");

  ITypeLib* library = nullptr;
  ASSERT_EQ(LoadRegTypeLib(LIBID_KESTRIXLib, 1, 0, 0x0409, &library), S_OK);
  ITypeInfo* coclass = nullptr;
  ASSERT_EQ(library->GetTypeInfoOfGuid(CLSID_Kestrix, &coclass), S_OK);
  TYPEATTR* attributes = nullptr;
  coclass->GetTypeAttr(&attributes);
  EXPECT_EQ(attributes->typekind, TKIND_COCLASS);
  EXPECT_EQ(attributes->cImplTypes, 2);  // the dispatch interface and the events
  coclass->ReleaseTypeAttr(attributes);
  coclass->Release();
  library->Release();
}

TEST(RegisteredModule, TheFileCarriesItsStringsMenuDialogsImagesVersionAndTypeLibrary) {
  const std::wstring path = ModulePath();
  HMODULE module = LoadLibraryExW(path.c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE);
  ASSERT_NE(module, nullptr);
  wchar_t text[128] = {};
  ASSERT_GT(LoadStringW(module, 1, text, 128), 0);
  EXPECT_EQ(std::wstring(text), L"Velor Control");
  ASSERT_GT(LoadStringW(module, 200, text, 128), 0);
  EXPECT_EQ(std::wstring(text), L"General");
  HMENU menu = LoadMenuW(module, MAKEINTRESOURCEW(204));
  ASSERT_NE(menu, nullptr);
  HMENU popup = GetSubMenu(menu, 0);
  ASSERT_NE(popup, nullptr);
  EXPECT_EQ(GetMenuItemCount(popup), 2);
  EXPECT_EQ(GetMenuItemID(popup, 0), 32768u);
  DestroyMenu(menu);
  for (int dialog : {1, 200})
    EXPECT_NE(FindResourceW(module, MAKEINTRESOURCEW(static_cast<WORD>(dialog)), RT_DIALOG),
              nullptr)
        << dialog;
  EXPECT_NE(FindResourceW(module, MAKEINTRESOURCEW(1), RT_BITMAP), nullptr);
  EXPECT_NE(FindResourceW(module, MAKEINTRESOURCEW(1), RT_GROUP_ICON), nullptr);
  EXPECT_NE(FindResourceW(module, MAKEINTRESOURCEW(1), L"TYPELIB"), nullptr);
  FreeLibrary(module);

  DWORD ignored = 0;
  const DWORD size = GetFileVersionInfoSizeW(path.c_str(), &ignored);
  ASSERT_GT(size, 0u);
  std::string block(size, '\0');
  ASSERT_TRUE(GetFileVersionInfoW(path.c_str(), 0, size, block.data()));
  void* value = nullptr;
  UINT length = 0;
  // The mark of a module that registers itself, present though empty.
  EXPECT_TRUE(VerQueryValueW(block.data(), L"\\StringFileInfo\\040904B0\\OLESelfRegister", &value,
                             &length));
  ASSERT_TRUE(
      VerQueryValueW(block.data(), L"\\StringFileInfo\\040904B0\\InternalName", &value, &length));
  EXPECT_EQ(std::wstring(static_cast<const wchar_t*>(value)), L"KESTRIX");
}

TEST(RegisteredModule, TheClassObjectRefusesAggregationAndTheModuleStaysWhileHeld) {
  IClassFactory* factory = nullptr;
  ASSERT_EQ(CoGetClassObject(CLSID_Kestrix, CLSCTX_INPROC_SERVER, nullptr, IID_IClassFactory,
                             reinterpret_cast<void**>(&factory)),
            S_OK);
  IUnknown* outer = factory;  // any object will do as the would-be outer one
  IUnknown* made = nullptr;
  EXPECT_EQ(factory->CreateInstance(outer, IID_IUnknown, reinterpret_cast<void**>(&made)),
            CLASS_E_NOAGGREGATION);
  EXPECT_EQ(made, nullptr);
  EXPECT_EQ(factory->CreateInstance(nullptr, IID_IClassFactory, reinterpret_cast<void**>(&made)),
            E_NOINTERFACE);
  // The module stays while a lock or a control holds it.
  HMODULE module = GetModuleHandleW(ModulePath().c_str());
  ASSERT_NE(module, nullptr);
  using CanUnload = HRESULT(WINAPI*)();
  auto canUnload = reinterpret_cast<CanUnload>(
      reinterpret_cast<void*>(GetProcAddress(module, "DllCanUnloadNow")));
  ASSERT_NE(canUnload, nullptr);
  EXPECT_EQ(canUnload(), S_OK);
  EXPECT_EQ(factory->LockServer(TRUE), S_OK);
  EXPECT_EQ(canUnload(), S_FALSE);
  EXPECT_EQ(factory->LockServer(FALSE), S_OK);
  EXPECT_EQ(canUnload(), S_OK);
  {
    Container container;
    ASSERT_EQ(container.Create(), S_OK);
    EXPECT_EQ(canUnload(), S_FALSE);
  }
  EXPECT_EQ(canUnload(), S_OK);
  factory->Release();
}

// The default source interface the registered type library gives the class: the interface a
// container listens to for the control's events.
GUID DefaultSourceInLibrary() {
  GUID found = GUID_NULL;
  ITypeLib* library = nullptr;
  if (FAILED(LoadRegTypeLib(LIBID_KESTRIXLib, 1, 0, 0x0409, &library))) return found;
  ITypeInfo* coclass = nullptr;
  if (SUCCEEDED(library->GetTypeInfoOfGuid(CLSID_Kestrix, &coclass))) {
    TYPEATTR* attributes = nullptr;
    coclass->GetTypeAttr(&attributes);
    for (UINT i = 0; i < attributes->cImplTypes; ++i) {
      INT flags = 0;
      HREFTYPE ref = 0;
      ITypeInfo* source = nullptr;
      if (FAILED(coclass->GetImplTypeFlags(i, &flags)) ||
          (flags & (IMPLTYPEFLAG_FDEFAULT | IMPLTYPEFLAG_FSOURCE)) !=
              (IMPLTYPEFLAG_FDEFAULT | IMPLTYPEFLAG_FSOURCE) ||
          FAILED(coclass->GetRefTypeOfImplType(i, &ref)) ||
          FAILED(coclass->GetRefTypeInfo(ref, &source)))
        continue;
      TYPEATTR* sourceAttributes = nullptr;
      source->GetTypeAttr(&sourceAttributes);
      found = sourceAttributes->guid;
      source->ReleaseTypeAttr(sourceAttributes);
      source->Release();
    }
    coclass->ReleaseTypeAttr(attributes);
    coclass->Release();
  }
  library->Release();
  return found;
}

TEST(RegisteredModule, TheControlNamesItsClassAndItsDefaultEventsInterface) {
  IProvideClassInfo2* info = nullptr;
  ASSERT_EQ(CoCreateInstance(CLSID_Kestrix, nullptr, CLSCTX_INPROC_SERVER, IID_IProvideClassInfo2,
                             reinterpret_cast<void**>(&info)),
            S_OK);
  const GUID source = DefaultSourceInLibrary();
  ASSERT_FALSE(IsEqualGUID(source, GUID_NULL));
  GUID given = GUID_NULL;
  EXPECT_EQ(info->GetGUID(GUIDKIND_DEFAULT_SOURCE_DISP_IID, &given), S_OK);
  EXPECT_TRUE(IsEqualGUID(given, source));
  // Any other kind is not known: the GUID comes back empty.
  EXPECT_EQ(info->GetGUID(GUIDKIND_DEFAULT_SOURCE_DISP_IID + 1, &given), E_INVALIDARG);
  EXPECT_TRUE(IsEqualGUID(given, GUID_NULL));
  EXPECT_EQ(info->GetGUID(GUIDKIND_DEFAULT_SOURCE_DISP_IID, nullptr), E_POINTER);

  ITypeInfo* coclass = nullptr;
  ASSERT_EQ(info->GetClassInfo(&coclass), S_OK);
  TYPEATTR* attributes = nullptr;
  coclass->GetTypeAttr(&attributes);
  EXPECT_TRUE(IsEqualGUID(attributes->guid, CLSID_Kestrix));
  coclass->ReleaseTypeAttr(attributes);
  coclass->Release();
  // The older interface is the same object's.
  IProvideClassInfo* older = nullptr;
  ASSERT_EQ(info->QueryInterface(IID_IProvideClassInfo, reinterpret_cast<void**>(&older)), S_OK);
  EXPECT_EQ(static_cast<IUnknown*>(older), static_cast<IUnknown*>(info));
  older->Release();
  info->Release();
}

}  // namespace

namespace {

TEST(RegisteredModule, AfterTheUnusedModulesAreFreedTheNextControlStillComes) {
  {
    Container container;
    ASSERT_EQ(container.Create(), S_OK);
  }
  // Whether the system unloads the module now or keeps it, the next control must work: its
  // state starts anew or carries on, never half of each.
  CoFreeUnusedLibrariesEx(1, 0);
  Sleep(20);
  CoFreeUnusedLibrariesEx(1, 0);
  Container again;
  ASSERT_EQ(again.Create(), S_OK);
  Automation a(again.Dispatch());
  ASSERT_EQ(a.Put(L"Text", std::wstring(L"\u0639\u0627\u062F")), S_OK);
  EXPECT_EQ(a.GetText(L"Text"), L"\u0639\u0627\u062F");
  SetFocus(again.ControlWindow());
  PostMessageW(again.ControlWindow(), WM_CHAR, L'!', 1);
  PumpMessages();
  EXPECT_EQ(a.GetText(L"Text").size(), 4u);
}

}  // namespace

// Design tools unload the module when its last control goes and load it again for the next:
// the module's window class must go with its last window, and a module loaded again must make
// controls that work.
namespace {

constexpr wchar_t kWindowClass[] = L"KestrixControlWindow";

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
  const std::wstring registered = ModulePath();
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

}  // namespace kestrix
