// KESTRIX.OCX as shipped has none of the test build's hooks: no inspection interface, and no
// fixed-metric text library whatever KESTRIX_TEST_METRICS says. The runner starts the
// container once more for these tests, with KESTRIX_SHIPPED_MODULE naming the shipped file,
// which they load alone from that file; in the run against the registered test build they
// are skipped.
#include <gtest/gtest.h>
#include <olectl.h>

#include <string>

#include "Automation.h"
#include "KestrixIdl.h"
#include "KestrixInspection.h"
#include "Pixels.h"

namespace kestrix {

namespace {

constexpr int kWidth = 240, kHeight = 40;

class ShippedModule : public testing::Test {
 protected:
  void SetUp() override {
    wchar_t path[MAX_PATH] = {};
    const DWORD length = GetEnvironmentVariableW(L"KESTRIX_SHIPPED_MODULE", path, MAX_PATH);
    if (length == 0 || length >= MAX_PATH) GTEST_SKIP() << "KESTRIX_SHIPPED_MODULE is not set";
    // Kept loaded to the end of the process, as COM keeps a module its objects came from.
    HMODULE module = LoadLibraryW(path);
    ASSERT_NE(module, nullptr);
    using GetClassObject = HRESULT(STDAPICALLTYPE*)(REFCLSID, REFIID, void**);
    auto get = reinterpret_cast<GetClassObject>(
        reinterpret_cast<void*>(GetProcAddress(module, "DllGetClassObject")));
    ASSERT_NE(get, nullptr);
    ASSERT_EQ(get(CLSID_Kestrix, IID_IClassFactory, reinterpret_cast<void**>(&factory_)), S_OK);
  }
  void TearDown() override {
    if (factory_) factory_->Release();
  }

  // A new control, made while KESTRIX_TEST_METRICS holds metrics (unset for null).
  IUnknown* Make(const wchar_t* metrics) {
    SetEnvironmentVariableW(kKestrixTestMetricsVariable, metrics);
    IUnknown* made = nullptr;
    const HRESULT hr =
        factory_->CreateInstance(nullptr, IID_IUnknown, reinterpret_cast<void**>(&made));
    SetEnvironmentVariableW(kKestrixTestMetricsVariable, nullptr);
    return SUCCEEDED(hr) ? made : nullptr;
  }

  // What a new control made under metrics draws of text.
  Picture Drawing(const wchar_t* metrics, const std::wstring& text) {
    IUnknown* control = Make(metrics);
    if (!control) return {};
    IPersistStreamInit* persist = nullptr;
    IOleObject* object = nullptr;
    IDispatch* dispatch = nullptr;
    Picture drawn;
    if (SUCCEEDED(control->QueryInterface(IID_IPersistStreamInit, reinterpret_cast<void**>(&persist))) &&
        SUCCEEDED(control->QueryInterface(IID_IOleObject, reinterpret_cast<void**>(&object))) &&
        SUCCEEDED(control->QueryInterface(IID_IDispatch, reinterpret_cast<void**>(&dispatch))) &&
        SUCCEEDED(persist->InitNew())) {
      HDC screen = GetDC(nullptr);
      SIZEL extent{MulDiv(kWidth, 2540, GetDeviceCaps(screen, LOGPIXELSX)),
                   MulDiv(kHeight, 2540, GetDeviceCaps(screen, LOGPIXELSY))};
      ReleaseDC(nullptr, screen);
      // The first drawing places the control at its extent; the text is written to it placed.
      if (SUCCEEDED(object->SetExtent(DVASPECT_CONTENT, &extent)) &&
          DrawObject(control, kWidth, kHeight).width == kWidth &&
          SUCCEEDED(Automation(dispatch).Put(L"Text", text)))
        drawn = DrawObject(control, kWidth, kHeight);
    }
    if (dispatch) dispatch->Release();
    if (object) object->Release();
    if (persist) persist->Release();
    control->Release();
    return drawn;
  }

  IClassFactory* factory_ = nullptr;
};

TEST_F(ShippedModule, AnswersNoInspectionInterface) {
  IUnknown* control = Make(L"fixed");
  ASSERT_NE(control, nullptr);
  void* inspection = &inspection;
  EXPECT_EQ(control->QueryInterface(IID_IKestrixInspection, &inspection), E_NOINTERFACE);
  EXPECT_EQ(inspection, nullptr);
  control->Release();
}

TEST_F(ShippedModule, DrawsInItsFontsWhateverTheTestMetricsVariableSays) {
  const std::wstring text = L"Kestrix \u0643\u062a\u0627\u0628\u0629";
  const Picture fonts = Drawing(nullptr, text);
  const Picture asked = Drawing(L"fixed", text);
  const Picture empty = Drawing(nullptr, L"");
  ASSERT_EQ(fonts.width, kWidth);
  ASSERT_EQ(asked.width, kWidth);
  ASSERT_EQ(empty.width, kWidth);
  EXPECT_TRUE(fonts.pixels != empty.pixels);  // the text is drawn
  EXPECT_TRUE(fonts.pixels == asked.pixels);
}

}  // namespace

}  // namespace kestrix
