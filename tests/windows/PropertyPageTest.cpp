// The control's property page as a container's property frame uses it: created by its ProgID,
// asked for its caption and size, given the control, shown as a real child dialog; and the
// control's Properties verb, which opens the system's property frame with that page.
#include <gtest/gtest.h>
#include <olectl.h>

#include <string>

#include "Automation.h"
#include "Container.h"
#include "Pixels.h"
#include "WindowSearch.h"

namespace kestrix {

namespace {

constexpr wchar_t kPageProgId[] = L"KESTRIX.KestrixPropPage.1";
constexpr wchar_t kPageText[] = L"&Caret where the characters are drawn";
constexpr wchar_t kStandardText[] = L"&Editing keys and clicks as in other editors";

CLSID PageClass() {
  CLSID clsid{};
  CLSIDFromProgID(kPageProgId, &clsid);
  return clsid;
}

ULONG References(IUnknown* object) {
  object->AddRef();
  return object->Release();
}

class PropertyPageTest : public testing::Test {
 protected:
  void SetUp() override { ASSERT_EQ(container.Create(), S_OK); }
  Container container;
};

TEST_F(PropertyPageTest, ThePageIsRegisteredUnderItsProgIdWithItsTypeName) {
  CLSID clsid{};
  ASSERT_EQ(CLSIDFromProgID(kPageProgId, &clsid), S_OK);
  wchar_t braced[64] = {};
  StringFromGUID2(clsid, braced, 64);
  wchar_t name[128] = {};
  DWORD size = sizeof name;
  ASSERT_EQ(RegGetValueW(HKEY_CLASSES_ROOT, (std::wstring(L"CLSID\\") + braced).c_str(), nullptr,
                         RRF_RT_REG_SZ, nullptr, name, &size),
            ERROR_SUCCESS);
  EXPECT_EQ(std::wstring(name), L"Kestrix Property Page");
  LPOLESTR progId = nullptr;
  ASSERT_EQ(ProgIDFromCLSID(clsid, &progId), S_OK);
  EXPECT_EQ(std::wstring(progId), kPageProgId);
  CoTaskMemFree(progId);
}

TEST_F(PropertyPageTest, ItTellsItsCaptionAndSizeAndShowsAsARealChildDialog) {
  IPropertyPage* page = nullptr;
  ASSERT_EQ(CoCreateInstance(PageClass(), nullptr, CLSCTX_INPROC_SERVER, IID_IPropertyPage,
                             reinterpret_cast<void**>(&page)),
            S_OK);
  PROPPAGEINFO info{};
  ASSERT_EQ(page->GetPageInfo(&info), S_OK);
  EXPECT_EQ(std::wstring(info.pszTitle), L"General");
  CoTaskMemFree(info.pszTitle);

  // The page holds the objects it edits until it is given none.
  IUnknown* control = container.Control();
  const ULONG before = References(control);
  ASSERT_EQ(page->SetObjects(1, &control), S_OK);
  EXPECT_EQ(References(control), before + 1);

  const HWND parent = container.Form();
  const RECT at{10, 10, 10 + info.size.cx, 10 + info.size.cy};
  ASSERT_EQ(page->Activate(parent, &at, TRUE), S_OK);
  EXPECT_EQ(page->Activate(parent, &at, TRUE), E_UNEXPECTED);  // already active
  const HWND text = FindChildWithText(parent, kPageText);
  ASSERT_NE(text, nullptr);
  const HWND window = GetParent(text);
  EXPECT_EQ(GetParent(window), parent);
  EXPECT_EQ(WindowClass(window), L"#32770");
  EXPECT_FALSE(IsWindowVisible(window));
  ASSERT_EQ(page->Show(SW_SHOW), S_OK);
  EXPECT_TRUE(IsWindowVisible(window));
  // The size given is the template's 250 x 62 dialog units in the page's own font.
  RECT units{0, 0, 250, 62};
  MapDialogRect(window, &units);
  EXPECT_EQ(info.size.cx, units.right);
  EXPECT_EQ(info.size.cy, units.bottom);
  RECT placed{};
  GetWindowRect(window, &placed);
  MapWindowPoints(nullptr, parent, reinterpret_cast<POINT*>(&placed), 2);
  EXPECT_EQ(placed.left, 10);
  EXPECT_EQ(placed.right - placed.left, info.size.cx);
  const RECT moved{20, 30, 20 + info.size.cx, 30 + info.size.cy};
  ASSERT_EQ(page->Move(&moved), S_OK);
  GetWindowRect(window, &placed);
  MapWindowPoints(nullptr, parent, reinterpret_cast<POINT*>(&placed), 2);
  EXPECT_EQ(placed.top, 30);

  // The check box shows VisualCaret; a click makes the page dirty, and applying writes it.
  Automation automation(container.Dispatch());
  EXPECT_EQ(SendMessageW(text, BM_GETCHECK, 0, 0), BST_UNCHECKED);
  EXPECT_EQ(page->IsPageDirty(), S_FALSE);
  SendMessageW(text, BM_CLICK, 0, 0);
  EXPECT_EQ(SendMessageW(text, BM_GETCHECK, 0, 0), BST_CHECKED);
  EXPECT_EQ(page->IsPageDirty(), S_OK);
  EXPECT_EQ(automation.GetLong(L"VisualCaret"), 0);
  EXPECT_EQ(page->Apply(), S_OK);
  EXPECT_NE(automation.GetLong(L"VisualCaret"), 0);
  EXPECT_EQ(page->IsPageDirty(), S_FALSE);
  // The second box shows and sets StandardEditing, leaving VisualCaret as it is.
  const HWND standard = FindChildWithText(parent, kStandardText);
  ASSERT_NE(standard, nullptr);
  EXPECT_EQ(SendMessageW(standard, BM_GETCHECK, 0, 0), BST_UNCHECKED);
  SendMessageW(standard, BM_CLICK, 0, 0);
  EXPECT_EQ(page->IsPageDirty(), S_OK);
  EXPECT_EQ(page->Apply(), S_OK);
  EXPECT_NE(automation.GetLong(L"StandardEditing"), 0);
  EXPECT_NE(automation.GetLong(L"VisualCaret"), 0);
  ASSERT_EQ(page->Deactivate(), S_OK);
  EXPECT_FALSE(IsWindow(window));
  EXPECT_EQ(page->Show(SW_SHOW), E_UNEXPECTED);
  // A page can be shown again, the box as the control has it now.
  ASSERT_EQ(page->Activate(parent, &at, TRUE), S_OK);
  const HWND again = FindChildWithText(parent, kPageText);
  ASSERT_NE(again, nullptr);
  EXPECT_EQ(SendMessageW(again, BM_GETCHECK, 0, 0), BST_CHECKED);
  EXPECT_EQ(SendMessageW(FindChildWithText(parent, kStandardText), BM_GETCHECK, 0, 0), BST_CHECKED);
  ASSERT_EQ(page->Deactivate(), S_OK);

  ASSERT_EQ(page->SetObjects(0, nullptr), S_OK);
  EXPECT_EQ(References(control), before);
  EXPECT_EQ(page->Release(), 0u);
}

TEST_F(PropertyPageTest, TheControlNamesItsOnePageAndItsPropertiesVerbOpensAFrameWithIt) {
  ISpecifyPropertyPages* specify = nullptr;
  ASSERT_EQ(container.Control()->QueryInterface(IID_ISpecifyPropertyPages,
                                                reinterpret_cast<void**>(&specify)),
            S_OK);
  CAUUID pages{};
  ASSERT_EQ(specify->GetPages(&pages), S_OK);
  specify->Release();
  ASSERT_EQ(pages.cElems, 1u);
  EXPECT_TRUE(IsEqualCLSID(pages.pElems[0], PageClass()));
  CoTaskMemFree(pages.pElems);

  // The frame is modal: a timer inside its loop looks at it, then cancels it.
  std::wstring caption;
  bool pageShown = false;
  ThreadTimerProbe probe([&] {
    HWND frame = FindThreadWindow([](HWND window) {
      return WindowText(window).find(L"Velor Control") != std::wstring::npos;
    });
    if (!frame) return false;
    caption = WindowText(frame);
    const HWND text = FindChildWithText(frame, kPageText);
    pageShown = text && IsWindowVisible(text);
    KeepWindowPicture(frame, "property-frame.png");
    PostMessageW(frame, WM_COMMAND, IDCANCEL, 0);
    return true;
  });
  IOleObject* object = nullptr;
  ASSERT_EQ(container.Control()->QueryInterface(IID_IOleObject, reinterpret_cast<void**>(&object)),
            S_OK);
  RECT client{};
  GetClientRect(container.Form(), &client);
  EXPECT_EQ(object->DoVerb(OLEIVERB_PROPERTIES, nullptr, nullptr, 0, container.Form(), &client),
            S_OK);
  object->Release();
  EXPECT_TRUE(probe.Done());
  EXPECT_NE(caption.find(L"Properties"), std::wstring::npos) << caption;
  EXPECT_TRUE(pageShown);
  // The page went with its frame.
  EXPECT_EQ(FindChildWithText(GetDesktopWindow(), kPageText), nullptr);
}

}  // namespace

}  // namespace kestrix
