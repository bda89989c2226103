// The control on a form host: a dialog-style window that runs the dialog manager over two
// controls, with or without offering each key to the active control first; and the ambient
// properties a form designer gives (design mode, the form's colours).
#include <gtest/gtest.h>
#include <olectl.h>

#include <vector>

#include "Automation.h"
#include "Container.h"
#include "Pixels.h"

namespace kestrix {
namespace {

constexpr RECT kUpper{0, 0, Container::kWidth, Container::kHeight / 2};
constexpr RECT kLower{0, Container::kHeight / 2, Container::kWidth, Container::kHeight};

VARIANT Bool(bool value) {
  VARIANT v;
  VariantInit(&v);
  v.vt = VT_BOOL;
  v.boolVal = value ? VARIANT_TRUE : VARIANT_FALSE;
  return v;
}

VARIANT Colour(OLE_COLOR colour) {
  VARIANT v;
  VariantInit(&v);
  v.vt = VT_I4;
  v.lVal = static_cast<LONG>(colour);
  return v;
}

// Two controls on one form, and the form's message loop: a form host (accelerators) offers
// each key to the active control's TranslateAccelerator first, then runs the dialog manager;
// a plain dialog runs the dialog manager alone.
class TwoControlsOnAForm : public testing::TestWithParam<bool> {
 protected:
  void SetUp() override {
    ASSERT_EQ(upper.Create(), S_OK);
    ASSERT_EQ(lower.Create(), S_OK);
    SetFocus(upper.ControlWindow());
    Pump();
  }
  bool OffersKeysToTheControl() const { return GetParam(); }

  void Pump() {
    const ULONGLONG end = GetTickCount64() + 30;
    while (GetTickCount64() < end) {
      MSG msg;
      while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
        if (OffersKeysToTheControl() && msg.message >= WM_KEYFIRST && msg.message <= WM_KEYLAST &&
            ActiveObjectTakes(msg))
          continue;
        if (IsDialogMessageW(upper.Form(), &msg)) continue;
        TranslateMessage(&msg);
        DispatchMessageW(&msg);
      }
      MsgWaitForMultipleObjects(0, nullptr, FALSE, 5, QS_ALLINPUT);
    }
  }
  bool ActiveObjectTakes(MSG& msg) {
    for (Container* c : {&upper, &lower}) {
      if (c->ControlWindow() != msg.hwnd) continue;
      IOleInPlaceActiveObject* active = nullptr;
      if (FAILED(c->Control()->QueryInterface(IID_IOleInPlaceActiveObject,
                                              reinterpret_cast<void**>(&active))))
        return false;
      const bool taken = active->TranslateAccelerator(&msg) == S_OK;
      active->Release();
      return taken;
    }
    return false;
  }
  // A key pressed and let go at the window with the focus; a character as its message.
  void Key(int virtualKey) {
    PostMessageW(GetFocus(), WM_KEYDOWN, virtualKey, 1);
    PostMessageW(GetFocus(), WM_KEYUP, virtualKey, 0xC0000001);
    Pump();
  }
  void Type(const wchar_t* text) {
    for (const wchar_t* c = text; *c; ++c) PostMessageW(GetFocus(), WM_CHAR, *c, 1);
    Pump();
  }
  DWORD ControlFlags(Container& c) {
    IOleControl* control = nullptr;
    CONTROLINFO info{};
    info.cb = sizeof info;
    if (SUCCEEDED(c.Control()->QueryInterface(IID_IOleControl, reinterpret_cast<void**>(&control)))) {
      control->GetControlInfo(&info);
      control->Release();
    }
    return info.dwFlags;
  }

  Container upper{kUpper};
  Container lower{kLower};
};

TEST_P(TwoControlsOnAForm, ArrowsReturnAndCharactersStayInTheControlAndTabMovesOn) {
  Type(L"ab");
  Key(VK_LEFT);
  Type(L"c");
  Key(VK_RETURN);
  EXPECT_EQ(Automation(upper.Dispatch()).GetText(L"Text"), L"ac\rb");
  EXPECT_EQ(GetFocus(), upper.ControlWindow());
  EXPECT_EQ(ControlFlags(upper), static_cast<DWORD>(CTRLINFO_EATS_RETURN));

  Key(VK_TAB);
  ASSERT_EQ(GetFocus(), lower.ControlWindow());
  Type(L"x");
  EXPECT_EQ(Automation(lower.Dispatch()).GetText(L"Text"), L"x");

  // Return that the control does not act on is the form's (its default button).
  const int notices = lower.ControlInfoNotices();
  ASSERT_EQ(Automation(lower.Dispatch()).PutBool(L"WantReturn", false), S_OK);
  EXPECT_EQ(lower.ControlInfoNotices(), notices + 1);
  EXPECT_EQ(ControlFlags(lower), 0u);
  Key(VK_RETURN);
  Type(L"y");
  EXPECT_EQ(Automation(lower.Dispatch()).GetText(L"Text"), L"xy");

  // Shift+Tab goes back, and the Shift held from the other control still selects here.
  BYTE keys[256] = {};
  GetKeyboardState(keys);
  keys[VK_SHIFT] = 0x80;
  SetKeyboardState(keys);
  PostMessageW(GetFocus(), WM_KEYDOWN, VK_SHIFT, 1);
  Key(VK_TAB);
  EXPECT_EQ(GetFocus(), upper.ControlWindow());
  Key(VK_RIGHT);
  keys[VK_SHIFT] = 0;
  SetKeyboardState(keys);
  PostMessageW(GetFocus(), WM_KEYUP, VK_SHIFT, 0xC0000001);
  Pump();
  EXPECT_EQ(Automation(upper.Dispatch()).GetLong(L"SelLength"), 1);
  EXPECT_EQ(Automation(upper.Dispatch()).GetText(L"Text"), L"ac\rb");
}

INSTANTIATE_TEST_SUITE_P(PlainDialogAndFormHost, TwoControlsOnAForm, testing::Bool());

// A form designer shows its controls in design mode: the text drawn, no keys, no clicks (they
// fall through to the form) and no caret; back in user mode, the control takes them again.
TEST(AmbientProperties, InDesignModeTheControlDrawsButTakesNoInputUntilUserModeReturns) {
  Container container;
  container.SetAmbient(DISPID_AMBIENT_USERMODE, Bool(false));
  ASSERT_EQ(container.Create(), S_OK);
  HWND window = container.ControlWindow();
  Automation a(container.Dispatch());
  ASSERT_EQ(a.Put(L"Text", std::wstring(L"WWWW")), S_OK);  // the host's calls still work
  PumpMessages();
  const Picture drawn = CaptureClient(window);
  ASSERT_GT(drawn.width, 0);
  const uint32_t background = drawn.At(drawn.width / 2, drawn.height - 2);
  int ink = 0;
  for (uint32_t pixel : drawn.pixels) ink += pixel != background;
  EXPECT_GT(ink, 20) << "the text is drawn";

  RECT rect{};
  GetWindowRect(window, &rect);
  const POINT middle{(rect.left + rect.right) / 2, (rect.top + rect.bottom) / 2};
  EXPECT_EQ(WindowFromPoint(middle), container.Form()) << "clicks go to the form";
  SetFocus(window);
  PostMessageW(window, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(5, 5));
  PostMessageW(window, WM_LBUTTONUP, 0, MAKELPARAM(5, 5));
  PostMessageW(window, WM_CHAR, L'z', 1);
  PostMessageW(window, WM_KEYDOWN, VK_DELETE, 1);
  PumpMessages();
  EXPECT_EQ(a.GetText(L"Text"), L"WWWW");
  // A caret would show within one blink: in design mode the picture stays as it was.
  for (int look = 0; look < 12; ++look) {
    PumpMessages(100);
    ASSERT_EQ(CaptureClient(window).pixels, drawn.pixels) << "no caret, look " << look;
  }

  container.ChangeAmbient(DISPID_AMBIENT_USERMODE, Bool(true));
  EXPECT_EQ(WindowFromPoint(middle), window);
  PostMessageW(window, WM_CHAR, L'z', 1);
  PumpMessages();
  EXPECT_EQ(a.GetText(L"Text").size(), 5u);
}

// A new control takes the form's colours (a system colour as the colour it stands for);
// a control loaded from its saved state keeps its own.
TEST(AmbientProperties, ANewControlTakesTheFormsColoursAndALoadedOneKeepsItsOwn) {
  IStream* saved = nullptr;
  ASSERT_EQ(CreateStreamOnHGlobal(nullptr, TRUE, &saved), S_OK);
  {
    Container container;
    container.SetAmbient(DISPID_AMBIENT_BACKCOLOR, Colour(RGB(0x10, 0x20, 0x30)));
    container.SetAmbient(DISPID_AMBIENT_FORECOLOR, Colour(0x80000000 | COLOR_HIGHLIGHT));
    ASSERT_EQ(container.Create(), S_OK);
    Automation a(container.Dispatch());
    EXPECT_EQ(a.GetLong(L"BackColor"), static_cast<long>(RGB(0x10, 0x20, 0x30)));
    EXPECT_EQ(a.GetLong(L"ForeColor"), static_cast<long>(GetSysColor(COLOR_HIGHLIGHT)));
    IPersistStreamInit* persist = nullptr;
    ASSERT_EQ(container.Control()->QueryInterface(IID_IPersistStreamInit,
                                                  reinterpret_cast<void**>(&persist)),
              S_OK);
    ASSERT_EQ(a.PutLong(L"BackColor", 0x123456), S_OK);
    ASSERT_EQ(persist->Save(saved, TRUE), S_OK);
    persist->Release();
  }
  LARGE_INTEGER start{};
  saved->Seek(start, STREAM_SEEK_SET, nullptr);
  Container loaded;
  loaded.SetAmbient(DISPID_AMBIENT_BACKCOLOR, Colour(RGB(0x10, 0x20, 0x30)));
  ASSERT_EQ(loaded.Create(L"KESTRIX.KestrixCtrl.1", saved), S_OK);
  Automation a(loaded.Dispatch());
  EXPECT_EQ(a.GetLong(L"BackColor"), 0x123456);
  EXPECT_EQ(a.GetLong(L"ForeColor"), static_cast<long>(GetSysColor(COLOR_HIGHLIGHT)));
  saved->Release();
}

}  // namespace

}  // namespace kestrix
