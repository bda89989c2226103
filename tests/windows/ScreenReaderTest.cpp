// A screen reader's view of the control through Active Accessibility, as a reader takes it:
// the text and caret objects from AccessibleObjectFromWindow, and what changes through a
// WinEvent hook while the thread pumps its messages.
#include <gtest/gtest.h>
// After the basic types.
#include <oleacc.h>
#include <olectl.h>

#include <filesystem>
#include <fstream>
#include <functional>
#include <sstream>
#include <string>
#include <vector>

#include "Automation.h"
#include "Container.h"
#include "KestrixInspection.h"

namespace kestrix {

namespace {

VARIANT Self() {
  VARIANT self;
  VariantInit(&self);
  self.vt = VT_I4;
  self.lVal = CHILDID_SELF;
  return self;
}

struct Heard {
  DWORD event;
  LONG object;
};

// The events hooks hear about one window, in order.
std::vector<Heard> heard;
HWND heardWindow = nullptr;

void CALLBACK Hear(HWINEVENTHOOK, DWORD event, HWND window, LONG object, LONG child, DWORD, DWORD) {
  if (window == heardWindow && child == CHILDID_SELF) heard.push_back({event, object});
}

// Pumps the thread's messages until done answers true, for at most ms milliseconds.
bool PumpUntil(const std::function<bool()>& done, DWORD ms = 2000) {
  const ULONGLONG deadline = GetTickCount64() + ms;
  while (!done()) {
    if (GetTickCount64() >= deadline) return false;
    MsgWaitForMultipleObjects(0, nullptr, FALSE, 10, QS_ALLINPUT);
    MSG msg;
    while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
      TranslateMessage(&msg);
      DispatchMessageW(&msg);
    }
  }
  return true;
}

class ScreenReader : public testing::Test {
 protected:
  void SetUp() override {
    // Documented widths: every letter 10 pixels, a left-to-right line starting 5 pixels in.
    SetEnvironmentVariableW(kKestrixTestMetricsVariable, L"fixed");
    const HRESULT created = container.Create();
    SetEnvironmentVariableW(kKestrixTestMetricsVariable, nullptr);
    ASSERT_EQ(created, S_OK);
    window = container.ControlWindow();
    ASSERT_EQ(A().PutLong(L"ReadingOrder", 0), S_OK);
    heard.clear();
    heardWindow = window;
    hook = SetWinEventHook(EVENT_MIN, EVENT_MAX, nullptr, &Hear, GetCurrentProcessId(), 0,
                           WINEVENT_OUTOFCONTEXT);
    ASSERT_NE(hook, nullptr);
    SetFocus(window);
    PumpMessages();
  }
  void TearDown() override {
    if (hook) UnhookWinEvent(hook);
    heardWindow = nullptr;
  }
  Automation A() { return Automation(container.Dispatch()); }

  IAccessible* Object(LONG id) {
    IAccessible* object = nullptr;
    EXPECT_EQ(AccessibleObjectFromWindow(window, static_cast<DWORD>(id), IID_IAccessible,
                                         reinterpret_cast<void**>(&object)),
              S_OK);
    return object;
  }
  static LONG Role(IAccessible* object) {
    VARIANT role;
    return SUCCEEDED(object->get_accRole(Self(), &role)) && role.vt == VT_I4 ? role.lVal : -1;
  }
  static LONG State(IAccessible* object) {
    VARIANT state;
    return SUCCEEDED(object->get_accState(Self(), &state)) && state.vt == VT_I4 ? state.lVal : -1;
  }
  static std::wstring Value(IAccessible* object) {
    BSTR value = nullptr;
    if (object->get_accValue(Self(), &value) != S_OK) return L"(none)";
    std::wstring text(value, SysStringLen(value));
    SysFreeString(value);
    return text;
  }
  static RECT Location(IAccessible* object) {
    long x = 0, y = 0, width = 0, height = 0;
    EXPECT_EQ(object->accLocation(&x, &y, &width, &height, Self()), S_OK);
    return RECT{x, y, x + width, y + height};
  }
  // The hook heard event about object since the last call.
  bool HeardOf(DWORD event, LONG object) {
    const bool found = PumpUntil([&] {
      for (const Heard& h : heard)
        if (h.event == event && h.object == object) return true;
      return false;
    });
    heard.clear();
    return found;
  }
  // A key pressed and let go, with Shift held around it when asked.
  void Key(int virtualKey, bool shift = false) {
    BYTE keys[256] = {};
    GetKeyboardState(keys);
    keys[VK_SHIFT] = shift ? 0x80 : 0;
    SetKeyboardState(keys);
    PostMessageW(window, WM_KEYDOWN, virtualKey, 1);
    PostMessageW(window, WM_KEYUP, virtualKey, 0xC0000001);
    PumpMessages();
    keys[VK_SHIFT] = 0;
    SetKeyboardState(keys);
  }

  Container container;
  HWND window = nullptr;
  HWINEVENTHOOK hook = nullptr;
};

TEST_F(ScreenReader, TheTextObjectGivesTheTextItsStatesAndPlaceAndTakesANewValue) {
  ASSERT_EQ(A().Put(L"Text", std::wstring(L"Hello\r\n\u0645\u0631\u062D\u0628\u0627")), S_OK);
  container.ChangeAmbient(DISPID_AMBIENT_DISPLAYNAME, TextVariant(L"Notes"));
  EXPECT_TRUE(HeardOf(EVENT_OBJECT_NAMECHANGE, OBJID_CLIENT));
  IAccessible* text = Object(OBJID_CLIENT);
  ASSERT_NE(text, nullptr);
  EXPECT_EQ(Role(text), ROLE_SYSTEM_TEXT);
  BSTR name = nullptr;
  ASSERT_EQ(text->get_accName(Self(), &name), S_OK);
  EXPECT_STREQ(name, L"Notes");
  SysFreeString(name);
  EXPECT_EQ(Value(text), L"Hello\n\u0645\u0631\u062D\u0628\u0627");
  EXPECT_EQ(State(text), STATE_SYSTEM_FOCUSABLE | STATE_SYSTEM_FOCUSED);

  // The place is the window's on the screen, and a point finds the text only there.
  RECT outer{};
  GetWindowRect(window, &outer);
  const RECT at = Location(text);
  EXPECT_TRUE(EqualRect(&at, &outer));
  VARIANT found;
  ASSERT_EQ(text->accHitTest(outer.left + 3, outer.top + 3, &found), S_OK);
  EXPECT_EQ(found.vt, VT_I4);
  EXPECT_EQ(text->accHitTest(outer.right + 3, outer.top + 3, &found), S_FALSE);
  EXPECT_EQ(found.vt, VT_EMPTY);

  // A new value goes through the keys' path: the host reads it, hooks hear of it; a
  // read-only control refuses it.
  heard.clear();
  BSTR written = SysAllocString(L"\u0633\u0644\u0627\u0645 Salam");
  EXPECT_EQ(text->put_accValue(Self(), written), S_OK);
  EXPECT_TRUE(HeardOf(EVENT_OBJECT_VALUECHANGE, OBJID_CLIENT));
  EXPECT_EQ(A().GetText(L"Text"), L"\u0633\u0644\u0627\u0645 Salam");
  // Text the code page has no place for is refused whole.
  BSTR foreign = SysAllocString(L"ab\u4E2D");
  EXPECT_EQ(text->put_accValue(Self(), foreign), E_FAIL);
  SysFreeString(foreign);
  EXPECT_EQ(A().GetText(L"Text"), L"\u0633\u0644\u0627\u0645 Salam");
  ASSERT_EQ(A().PutBool(L"ReadOnly", true), S_OK);
  EXPECT_EQ(State(text) & STATE_SYSTEM_READONLY, STATE_SYSTEM_READONLY);
  EXPECT_EQ(text->put_accValue(Self(), written), E_ACCESSDENIED);
  SysFreeString(written);
  EXPECT_EQ(A().GetText(L"Text"), L"\u0633\u0644\u0627\u0645 Salam");

  // A reader that holds the object after the control is gone hears so; nothing breaks.
  container.Destroy();
  EXPECT_EQ(text->get_accValue(Self(), &name), RPC_E_DISCONNECTED);
  text->Release();
}

TEST_F(ScreenReader, HooksHearTypingAndTheCaretObjectFollowsTheKeys) {
  PostMessageW(window, WM_CHAR, L'\u0639', 1);
  EXPECT_TRUE(HeardOf(EVENT_OBJECT_VALUECHANGE, OBJID_CLIENT));
  // The host's own write is a change too.
  ASSERT_EQ(A().Put(L"Text", std::wstring(L"abcdefghij")), S_OK);
  EXPECT_TRUE(HeardOf(EVENT_OBJECT_VALUECHANGE, OBJID_CLIENT));
  Key(VK_HOME);
  IAccessible* caret = Object(OBJID_CARET);
  ASSERT_NE(caret, nullptr);
  EXPECT_EQ(Role(caret), ROLE_SYSTEM_CARET);
  EXPECT_EQ(State(caret), 0);
  POINT client{0, 0};
  ClientToScreen(window, &client);
  const RECT home = Location(caret);
  EXPECT_EQ(home.left - client.x, 5);  // the line's start
  EXPECT_GT(home.bottom, home.top);

  heard.clear();
  Key(VK_END);
  EXPECT_TRUE(HeardOf(EVENT_OBJECT_LOCATIONCHANGE, OBJID_CARET));
  EXPECT_EQ(Location(caret).left - home.left, 100);
  Key(VK_LEFT);
  EXPECT_TRUE(HeardOf(EVENT_OBJECT_LOCATIONCHANGE, OBJID_CARET));
  EXPECT_EQ(Location(caret).left - home.left, 90);

  // A selection hides the caret and is heard of; the focus going hides it too, and the text
  // object tells whether it has the focus.
  Key(VK_LEFT, true);
  EXPECT_TRUE(HeardOf(EVENT_OBJECT_SELECTIONWITHIN, OBJID_CLIENT));
  EXPECT_EQ(A().GetLong(L"SelLength"), 1);
  EXPECT_EQ(State(caret), STATE_SYSTEM_INVISIBLE);
  Key(VK_RIGHT);
  EXPECT_TRUE(HeardOf(EVENT_OBJECT_SELECTIONWITHIN, OBJID_CLIENT));
  SetFocus(container.Form());
  EXPECT_TRUE(HeardOf(EVENT_OBJECT_STATECHANGE, OBJID_CLIENT));
  EXPECT_EQ(State(caret), STATE_SYSTEM_INVISIBLE);
  SetFocus(window);
  EXPECT_TRUE(HeardOf(EVENT_OBJECT_FOCUS, OBJID_CLIENT));
  EXPECT_EQ(State(caret), 0);

  // A scroll moves the caret on the screen, not in the text: its place is heard of too.
  std::wstring lines;
  for (int n = 0; n < 30; ++n) lines += L"line\r\n";
  ASSERT_EQ(A().Put(L"Text", lines), S_OK);
  PumpMessages();
  const RECT top = Location(caret);
  heard.clear();
  POINT at{100, 40};
  ClientToScreen(window, &at);
  PostMessageW(window, WM_MOUSEWHEEL, MAKEWPARAM(0, static_cast<WORD>(-WHEEL_DELTA)), MAKELPARAM(at.x, at.y));
  EXPECT_TRUE(HeardOf(EVENT_OBJECT_LOCATIONCHANGE, OBJID_CARET));
  EXPECT_LT(Location(caret).top, top.top);
  EXPECT_EQ(A().GetLong(L"SelStart"), 0);
  caret->Release();
}

// A reader in a process of its own, as screen readers are, reaches the objects through the
// system's marshaling: its calls come to this thread as messages while it pumps them.
TEST_F(ScreenReader, AReaderInAnotherProcessReadsTheTextAndTheCaret) {
  ASSERT_EQ(A().Put(L"Text", std::wstring(L"abc \u0645\u0631")), S_OK);
  wchar_t self[MAX_PATH] = {}, temp[MAX_PATH] = {}, handle[32] = {};
  GetModuleFileNameW(nullptr, self, MAX_PATH);
  GetTempPathW(MAX_PATH, temp);
  const std::wstring file = std::wstring(temp) + L"kestrix-reader.txt";
  DeleteFileW(file.c_str());
  swprintf(handle, 32, L"%llx", static_cast<unsigned long long>(reinterpret_cast<uintptr_t>(window)));
  std::wstring command = L"\"" + std::wstring(self) + L"\" --read-accessible " + handle + L" \"" + file + L"\"";
  STARTUPINFOW startup{};
  startup.cb = sizeof startup;
  PROCESS_INFORMATION reader{};
  ASSERT_TRUE(CreateProcessW(nullptr, command.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr,
                             &startup, &reader));
  const bool ended =
      PumpUntil([&] { return WaitForSingleObject(reader.hProcess, 0) == WAIT_OBJECT_0; }, 20000);
  if (!ended) TerminateProcess(reader.hProcess, 3);
  DWORD status = 3;
  GetExitCodeProcess(reader.hProcess, &status);
  CloseHandle(reader.hProcess);
  CloseHandle(reader.hThread);
  ASSERT_TRUE(ended);
  EXPECT_EQ(status, 0u);

  RECT outer{};
  GetWindowRect(window, &outer);
  IAccessible* caret = Object(OBJID_CARET);
  ASSERT_NE(caret, nullptr);
  const RECT at = Location(caret);
  caret->Release();
  auto place = [](const RECT& r) {
    return std::to_string(r.left) + " " + std::to_string(r.top) + " " + std::to_string(r.right - r.left) +
           " " + std::to_string(r.bottom - r.top);
  };
  const std::string expected =
      "text role: " + std::to_string(ROLE_SYSTEM_TEXT) + "\n" +
      "text state: " + std::to_string(STATE_SYSTEM_FOCUSABLE | STATE_SYSTEM_FOCUSED) + "\n" +
      "text value: abc \xD9\x85\xD8\xB1\n" + "text location: " + place(outer) + "\n" +
      "caret role: " + std::to_string(ROLE_SYSTEM_CARET) + "\n" + "caret state: 0\n" +
      "caret location: " + place(at) + "\n";
  std::ifstream in(std::filesystem::path(file), std::ios::binary);
  std::stringstream read;
  read << in.rdbuf();
  EXPECT_EQ(read.str(), expected);
  in.close();
  DeleteFileW(file.c_str());
}

TEST_F(ScreenReader, APasswordGivesOutNoText) {
  ASSERT_EQ(A().PutLong(L"PasswordChar", '*'), S_OK);
  ASSERT_EQ(A().Put(L"Text", std::wstring(L"secret")), S_OK);
  IAccessible* text = Object(OBJID_CLIENT);
  ASSERT_NE(text, nullptr);
  EXPECT_EQ(Value(text), L"******");
  EXPECT_EQ(State(text) & STATE_SYSTEM_PROTECTED, STATE_SYSTEM_PROTECTED);
  BSTR name = nullptr;
  EXPECT_EQ(text->get_accName(Self(), &name), S_FALSE);
  EXPECT_EQ(name, nullptr);
  text->Release();
}

}  // namespace

}  // namespace kestrix
