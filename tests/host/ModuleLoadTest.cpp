// A host that knows the control only by name: it registers the module from its file, creates
// the control by ProgID through a fresh registry, places and drives it through the framework's
// interfaces, releases it, and lets the module unload.
#include <dlfcn.h>
#include <gtest/gtest.h>
#include <stdlib.h>
#include <unistd.h>

#include <filesystem>
#include <string>

#include "control/Dispids.h"
#include "control/Guids.h"
#include "framework/ole/HostedControl.h"
#include "framework/ole/ObjectCreation.h"
#include "framework/ole/PropExchange.h"
#include "framework/ole/PropertyPage.h"
#include "framework/ole/Variant.h"
#include "framework/registry/RegistryFile.h"
#include "framework/window/Display.h"

namespace kestrix {

namespace {

namespace fs = std::filesystem;

constexpr const char* kProgID = "KESTRIX.KestrixCtrl.1";

class KeyLog : public EventSink {
 public:
  void OnStockEvent(StockEvent& event) override {
    if (event.dispid == DISPID_KEYPRESS) keys += static_cast<char>(event.keyCode);
  }
  std::string keys;
};

class ModuleLoadTest : public ::testing::Test {
 protected:
  void SetUp() override {
    std::string pattern = (fs::temp_directory_path() / "kestrix-host-XXXXXX").string();
    ASSERT_NE(mkdtemp(pattern.data()), nullptr);
    dir_ = pattern;
    setenv("KESTRIX_REGISTRY", (dir_ + "/registry").c_str(), 1);
  }
  void TearDown() override {
    unsetenv("KESTRIX_REGISTRY");
    std::error_code ignored;
    fs::remove_all(dir_, ignored);
  }
  // Runs one of the module's registration entry points, as the registration tool does.
  HRESULT RunModuleEntry(const char* name) {
    void* module = dlopen(KESTRIX_MODULE_PATH, RTLD_NOW | RTLD_LOCAL);
    if (!module) return E_FAIL;
    auto entry = reinterpret_cast<HRESULT (*)()>(dlsym(module, name));
    HRESULT hr = entry ? entry() : E_FAIL;
    dlclose(module);
    return hr;
  }

  std::string dir_;
};

HRESULT PutText(IDispatch* dispatch, const char16_t* text) {
  VARIANT value = MakeVariantBstr(text);
  DISPID named = DISPID_PROPERTYPUT;
  DISPPARAMS params{&value, &named, 1, 1};
  HRESULT hr = dispatch->Invoke(DISPID_TEXT, IID_NULL, 0, DISPATCH_PROPERTYPUT, &params,
                                nullptr, nullptr, nullptr);
  VariantClear(&value);
  return hr;
}

VARIANT GetProperty(IDispatch* dispatch, DISPID member) {
  VARIANT result;
  VariantInit(&result);
  DISPPARAMS none{};
  dispatch->Invoke(member, IID_NULL, 0, DISPATCH_PROPERTYGET, &none, &result, nullptr, nullptr);
  return result;
}

std::u16string GetText(IDispatch* dispatch) {
  VARIANT result;
  VariantInit(&result);
  DISPPARAMS none{};
  if (FAILED(dispatch->Invoke(DISPID_TEXT, IID_NULL, 0, DISPATCH_PROPERTYGET, &none, &result,
                              nullptr, nullptr)) ||
      result.vt != VT_BSTR)
    return u"<failed>";
  std::u16string text(reinterpret_cast<const char16_t*>(result.bstrVal),
                      SysStringLen(result.bstrVal));
  VariantClear(&result);
  return text;
}

TEST_F(ModuleLoadTest, RegisterCreateByProgIdDriveReleaseUnloadAndUnregister) {
  IUnknown* unknown = nullptr;
  EXPECT_EQ(CreateObjectByName(kProgID, IID_IUnknown, reinterpret_cast<void**>(&unknown)),
            CO_E_CLASSSTRING);
  ASSERT_EQ(RunModuleEntry("DllRegisterServer"), S_OK);

  Display display(800, 600);
  CWnd container;
  container.CreateEx(0, WS_VISIBLE, CRect(0, 0, 800, 600), nullptr);
  ASSERT_EQ(CreateObjectByName(kProgID, IID_IUnknown, reinterpret_cast<void**>(&unknown)), S_OK);
  EXPECT_EQ(CoLoadedLibraryCount(), 1u);

  IHostedControl* hosted = nullptr;
  IDispatch* dispatch = nullptr;
  ASSERT_EQ(unknown->QueryInterface(IID_IHostedControl, reinterpret_cast<void**>(&hosted)), S_OK);
  ASSERT_EQ(unknown->QueryInterface(IID_DKestrix, reinterpret_cast<void**>(&dispatch)), S_OK);
  KeyLog log;
  hosted->SetEventSink(&log);
  ASSERT_EQ(hosted->InitNew(), S_OK);
  ASSERT_EQ(hosted->CreateControlWindow(container.GetSafeHwnd(), CRect(10, 10, 310, 110)), S_OK);
  HWND hwnd = nullptr;
  ASSERT_EQ(hosted->GetWindow(&hwnd), S_OK);

  // Names resolve to the control's dispatch identities.
  LPOLESTR name = const_cast<LPOLESTR>(reinterpret_cast<LPCOLESTR>(u"SelStart"));
  DISPID dispid = 0;
  EXPECT_EQ(dispatch->GetIDsOfNames(IID_NULL, &name, 1, 0, &dispid), S_OK);
  EXPECT_EQ(dispid, kDispSelStart);

  ASSERT_EQ(PutText(dispatch, u"abc"), S_OK);
  display.SetFocus(hwnd);
  display.KeyDown(VK_END);
  display.KeyUp(VK_END);
  display.TypeText("d");
  EXPECT_EQ(GetText(dispatch), u"abcd");
  EXPECT_EQ(log.keys, "d");
  EXPECT_EQ(hosted->IsDirty(), S_OK);

  // The page a container's own property frame would show: the one page class.
  std::vector<CLSID> pages;
  ASSERT_EQ(hosted->GetPropertyPages(&pages), S_OK);
  ASSERT_EQ(pages.size(), 1u);
  EXPECT_TRUE(IsEqualGUID(pages[0], CLSID_KestrixPropPage));

  // The Properties verb runs the property frame modally; with no input to come it is cancelled
  // and takes its windows away.
  size_t before = display.WindowCount();
  EXPECT_EQ(hosted->DoVerb(OLEIVERB_PROPERTIES), S_OK);
  EXPECT_EQ(display.WindowCount(), before);
  EXPECT_EQ(GetText(dispatch), u"abcd");

  // Every request makes a new object; one made by its class identity works the same.
  IDispatch* second = nullptr;
  std::string clsid = "{5B1E2C72-3A41-4F0E-9C21-6A0D4711B201}";
  ASSERT_EQ(CreateObjectByName(clsid, IID_IDispatch, reinterpret_cast<void**>(&second)), S_OK);
  EXPECT_NE(static_cast<void*>(second), static_cast<void*>(dispatch));
  EXPECT_EQ(GetText(second), u"");
  // Made without InitNew, as a script host makes it, it has its defaults and fonts already.
  VARIANT value = GetProperty(second, kDispReadingOrder);
  EXPECT_EQ(value.vt, VT_I2);
  EXPECT_EQ(value.iVal, 1);
  value = GetProperty(second, kDispMultiLines);
  EXPECT_EQ(value.vt, VT_BOOL);
  EXPECT_EQ(value.boolVal, VARIANT_TRUE);
  value = GetProperty(second, kDispFontEn);
  ASSERT_EQ(value.vt, VT_DISPATCH);
  EXPECT_NE(value.pdispVal, nullptr);
  VariantClear(&value);

  // A saved document opens in the second object, loaded before its window exists, as a host
  // opening a document does; a save that keeps the dirty mark keeps it.
  PropertyBag document;
  ASSERT_EQ(hosted->Save(document, FALSE), S_OK);
  EXPECT_EQ(hosted->IsDirty(), S_OK);
  ASSERT_EQ(hosted->Save(document, TRUE), S_OK);
  EXPECT_EQ(hosted->IsDirty(), S_FALSE);
  IHostedControl* opened = nullptr;
  ASSERT_EQ(second->QueryInterface(IID_IHostedControl, reinterpret_cast<void**>(&opened)), S_OK);
  ASSERT_EQ(opened->Load(document), S_OK);
  ASSERT_EQ(opened->CreateControlWindow(container.GetSafeHwnd(), CRect(10, 120, 310, 220)), S_OK);
  EXPECT_EQ(GetText(second), u"abcd");
  opened->Release();
  second->Release();

  // The module stays while an object lives.
  hosted->Release();
  dispatch->Release();
  void* module = dlopen(KESTRIX_MODULE_PATH, RTLD_NOW | RTLD_NOLOAD);
  ASSERT_NE(module, nullptr);
  auto canUnloadNow = reinterpret_cast<HRESULT (*)()>(dlsym(module, "DllCanUnloadNow"));
  ASSERT_NE(canUnloadNow, nullptr);
  EXPECT_EQ(canUnloadNow(), S_FALSE);
  CoFreeUnusedLibraries();
  EXPECT_EQ(CoLoadedLibraryCount(), 1u);
  size_t windows = display.WindowCount();
  unknown->Release();
  EXPECT_LT(display.WindowCount(), windows) << "the last release destroys the control's window";
  EXPECT_EQ(canUnloadNow(), S_OK);
  dlclose(module);
  CoFreeUnusedLibraries();
  EXPECT_EQ(CoLoadedLibraryCount(), 0u);

  // A lock on the class factory keeps it too.
  IClassFactory* factory = nullptr;
  CLSID id;
  ASSERT_EQ(CLSIDFromProgID(kProgID, &id), S_OK);
  ASSERT_EQ(CoGetClassObject(id, CLSCTX_INPROC_SERVER, nullptr, IID_IClassFactory,
                             reinterpret_cast<void**>(&factory)),
            S_OK);
  EXPECT_EQ(factory->CreateInstance(unknown, IID_IUnknown, reinterpret_cast<void**>(&second)),
            CLASS_E_NOAGGREGATION);
  factory->LockServer(TRUE);
  factory->Release();
  CoFreeUnusedLibraries();
  EXPECT_EQ(CoLoadedLibraryCount(), 1u);
  ASSERT_EQ(CoGetClassObject(id, CLSCTX_INPROC_SERVER, nullptr, IID_IClassFactory,
                             reinterpret_cast<void**>(&factory)),
            S_OK);
  factory->LockServer(FALSE);
  factory->Release();
  CoFreeUnusedLibraries();
  EXPECT_EQ(CoLoadedLibraryCount(), 0u);

  ASSERT_EQ(RunModuleEntry("DllUnregisterServer"), S_OK);
  RegistryRead left = RegistryFile(dir_ + "/registry").Read();
  EXPECT_TRUE(left.tree.SubKeys("").empty()) << "unregistering leaves the fresh registry";
  EXPECT_EQ(CreateObjectByName(kProgID, IID_IUnknown, reinterpret_cast<void**>(&unknown)),
            CO_E_CLASSSTRING);
}

TEST_F(ModuleLoadTest, ThePropertyPageIsCreatedByItsClassAndShowsInsideAFrame) {
  ASSERT_EQ(RunModuleEntry("DllRegisterServer"), S_OK);
  Display display(800, 600);
  CWnd frame;
  frame.CreateEx(0, WS_VISIBLE, CRect(0, 0, 600, 300), nullptr);
  IPropertyPage* page = nullptr;
  ASSERT_EQ(CoCreateInstance(CLSID_KestrixPropPage, nullptr, CLSCTX_INPROC_SERVER,
                             IID_IPropertyPage, reinterpret_cast<void**>(&page)),
            S_OK);
  PROPPAGEINFO info;
  ASSERT_EQ(page->GetPageInfo(&info), S_OK);
  EXPECT_EQ(info.title, "General");
  EXPECT_GT(info.size.cx, info.size.cy);
  size_t windows = display.WindowCount();
  RECT at{10, 10, 10 + info.size.cx, 10 + info.size.cy};
  ASSERT_EQ(page->Activate(frame.GetSafeHwnd(), &at, TRUE), S_OK);
  EXPECT_GT(display.WindowCount(), windows);
  EXPECT_EQ(page->IsPageDirty(), S_FALSE);
  EXPECT_EQ(page->Apply(), S_OK);
  EXPECT_EQ(page->Deactivate(), S_OK);
  EXPECT_EQ(display.WindowCount(), windows);
  page->Release();
  CoFreeUnusedLibraries();
  EXPECT_EQ(CoLoadedLibraryCount(), 0u);
}

}  // namespace

}  // namespace kestrix
