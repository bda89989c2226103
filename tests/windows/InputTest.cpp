// A person at the control, as the system delivers it: posted characters and keys, clicks, the
// system clipboard, and the keyboard layout the control asks for.
#include <gtest/gtest.h>

#include <vector>

#include "Automation.h"
#include "Container.h"
#include "framework/text/Cp1256.h"

namespace kestrix {

namespace {

class ControlInput : public testing::Test {
 protected:
  void SetUp() override {
    ASSERT_EQ(container.Create(), S_OK);
    window = container.ControlWindow();
    ASSERT_NE(window, nullptr);
    SetFocus(window);
    PumpMessages();
  }
  Automation A() { return Automation(container.Dispatch()); }

  void Type(const std::wstring& text) {
    for (wchar_t c : text) PostMessageW(window, WM_CHAR, c, 1);
    PumpMessages();
  }
  // A key pressed and let go, with Shift or Ctrl held around it when asked. As with a real
  // keyboard, the thread's key state holds the modifier (so that the container's
  // TranslateMessage makes the character a held Ctrl makes: Ctrl+C is 0x03), and each message
  // is handled before the next is posted (so that the character comes before the key-ups).
  void Key(int virtualKey, int held = 0) {
    BYTE keys[256] = {};
    GetKeyboardState(keys);
    auto post = [&](UINT message, int key, LPARAM flags) {
      PostMessageW(window, message, key, flags);
      PumpMessages(5);
    };
    if (held) {
      keys[held] = 0x80;
      SetKeyboardState(keys);
      post(WM_KEYDOWN, held, 1);
    }
    post(WM_KEYDOWN, virtualKey, 1);
    post(WM_KEYUP, virtualKey, 0xC0000001);
    if (held) {
      post(WM_KEYUP, held, 0xC0000001);
      keys[held] = 0;
      SetKeyboardState(keys);
    }
    PumpMessages();
  }
  void Click(int x, int y) {
    PostMessageW(window, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(x, y));
    PostMessageW(window, WM_LBUTTONUP, 0, MAKELPARAM(x, y));
    PumpMessages();
  }

  Container container;
  HWND window = nullptr;
};

TEST_F(ControlInput, PostedCharactersTypeArabicAndEnglish) {
  Type(L"Hello \u0645\u0631\u062D\u0628\u0627");
  EXPECT_EQ(A().GetText(L"Text"), L"Hello \u0645\u0631\u062D\u0628\u0627");
  // A character the code page has no place for types nothing; an Arabic-Indic digit types a digit.
  Type(L"\u4E2D");
  EXPECT_EQ(A().GetText(L"Text"), L"Hello \u0645\u0631\u062D\u0628\u0627");
  Type(L"\u0663");
  EXPECT_EQ(A().GetText(L"Text"), L"Hello \u0645\u0631\u062D\u0628\u06273");
  Key(VK_BACK);
  Key(VK_BACK);
  EXPECT_EQ(A().GetText(L"Text"), L"Hello \u0645\u0631\u062D\u0628");
}

TEST_F(ControlInput, ShiftAndArrowsSelectAndTypingReplacesTheSelection) {
  Type(L"abc def");
  Key(VK_LEFT, VK_SHIFT);
  Key(VK_LEFT, VK_SHIFT);
  Key(VK_LEFT, VK_SHIFT);
  EXPECT_EQ(A().GetLong(L"SelStart"), 4);
  EXPECT_EQ(A().GetLong(L"SelLength"), 3);
  Type(L"\u0633");
  EXPECT_EQ(A().GetText(L"Text"), L"abc \u0633");
}

TEST_F(ControlInput, AClickPlacesTheCaretAndTakesTheFocus) {
  ASSERT_EQ(A().PutLong(L"ReadingOrder", 0), S_OK);
  ASSERT_EQ(A().Put(L"Text", std::wstring(L"abcdefgh")), S_OK);
  SetFocus(container.Form());
  PumpMessages();
  Click(1, 5);
  EXPECT_EQ(GetFocus(), window);
  EXPECT_EQ(A().GetLong(L"SelStart"), 0);
  Type(L"X");
  EXPECT_EQ(A().GetText(L"Text"), L"Xabcdefgh");
  EXPECT_GT(container.FocusNotices(), 0);
}

std::wstring SystemClipboardText() {
  std::wstring text;
  if (!OpenClipboard(nullptr)) return text;
  if (HANDLE data = GetClipboardData(CF_UNICODETEXT)) {
    text = static_cast<const wchar_t*>(GlobalLock(data));
    GlobalUnlock(data);
  }
  CloseClipboard();
  return text;
}

void PutOnSystemClipboard(const std::wstring& text) {
  ASSERT_TRUE(OpenClipboard(nullptr));
  EmptyClipboard();
  HGLOBAL block = GlobalAlloc(GMEM_MOVEABLE, (text.size() + 1) * sizeof(wchar_t));
  auto* p = static_cast<wchar_t*>(GlobalLock(block));
  text.copy(p, text.size());
  p[text.size()] = L'\0';
  GlobalUnlock(block);
  SetClipboardData(CF_UNICODETEXT, block);
  CloseClipboard();
}

TEST_F(ControlInput, CopyAndPasteGoThroughTheSystemClipboardWithItsLineBreaks) {
  ASSERT_EQ(A().PutBool(L"MultiLines", true), S_OK);
  Type(L"\u0633\u0644\u0627\u0645");
  Key(VK_RETURN);
  Type(L"peace");
  ASSERT_EQ(A().Call(L"SelectAll"), S_OK);
  Key('C', VK_CONTROL);
  EXPECT_EQ(SystemClipboardText(), L"\u0633\u0644\u0627\u0645\r\npeace");

  PutOnSystemClipboard(L"one\r\n\u0627\u062B\u0646\u0627\u0646");
  ASSERT_EQ(A().PutLong(L"SelStart", 10), S_OK);
  ASSERT_EQ(A().PutLong(L"SelLength", 0), S_OK);
  Key('V', VK_CONTROL);
  // The control keeps a break as a bare CR.
  EXPECT_EQ(A().GetText(L"Text"),
            L"\u0633\u0644\u0627\u0645\rpeaceone\r\u0627\u062B\u0646\u0627\u0646");
}

TEST_F(ControlInput, APasteOfTextTheCodePageCannotHoldChangesNothing) {
  Type(L"kept");
  ASSERT_EQ(A().Call(L"SelectAll"), S_OK);
  // A Persian yeh has no place: nothing is pasted, the selection stays, the clipboard too.
  PutOnSystemClipboard(L"\u0661 \u06CC");
  Key('V', VK_CONTROL);
  EXPECT_EQ(A().GetText(L"Text"), L"kept");
  EXPECT_EQ(A().GetLong(L"SelLength"), 4);
  EXPECT_EQ(SystemClipboardText(), L"\u0661 \u06CC");
  // Arabic-Indic digits alone paste as digits.
  PutOnSystemClipboard(L"\u0661\u0662");
  Key('V', VK_CONTROL);
  EXPECT_EQ(A().GetText(L"Text"), L"12");
}

// Every character the code page holds leaves through the clipboard as itself, in UTF-16 and as
// its code page byte, and a paste brings it back: the module reads and writes the clipboard by
// the control's own table, so a round trip through another program keeps every byte.
TEST_F(ControlInput, EveryCharacterOfTheCodePageLeavesAndComesBackThroughTheClipboardAsItself) {
  std::wstring wide;
  std::string bytes;
  for (int byte = 0x20; byte <= 0xFF; ++byte) {
    if (byte == 0x7F) continue;  // a control code, not text
    wide.push_back(static_cast<wchar_t>(UnicodeFromCp1256(static_cast<uint8_t>(byte))));
    bytes.push_back(static_cast<char>(byte));
  }
  ASSERT_EQ(A().PutBool(L"WordWrap", false), S_OK);
  ASSERT_EQ(A().Put(L"Text", wide), S_OK);
  ASSERT_EQ(A().GetText(L"Text"), wide);
  ASSERT_EQ(A().Call(L"SelectAll"), S_OK);
  Key('C', VK_CONTROL);
  EXPECT_EQ(SystemClipboardText(), wide);
  std::string ansi;
  ASSERT_TRUE(OpenClipboard(nullptr));
  if (HANDLE data = GetClipboardData(CF_TEXT)) {
    ansi = static_cast<const char*>(GlobalLock(data));
    GlobalUnlock(data);
  }
  CloseClipboard();
  EXPECT_EQ(ansi, bytes);
  ASSERT_EQ(A().Call(L"Clear"), S_OK);
  Key('V', VK_CONTROL);
  EXPECT_EQ(A().GetText(L"Text"), wide);
}

// Records the layout requests that reach the control's window.
std::vector<LPARAM> layoutRequests;
HWND watchedWindow = nullptr;
LRESULT CALLBACK WatchLayoutRequests(int code, WPARAM wParam, LPARAM lParam) {
  const auto* message = reinterpret_cast<const CWPSTRUCT*>(lParam);
  if (code == HC_ACTION && message->hwnd == watchedWindow &&
      message->message == WM_INPUTLANGCHANGEREQUEST)
    layoutRequests.push_back(message->lParam);
  return CallNextHookEx(nullptr, code, wParam, lParam);
}

TEST_F(ControlInput, TheReadingOrderAsksTheSystemForItsKeyboardLayout) {
  watchedWindow = window;
  layoutRequests.clear();
  HHOOK hook =
      SetWindowsHookExW(WH_CALLWNDPROC, WatchLayoutRequests, nullptr, GetCurrentThreadId());
  ASSERT_NE(hook, nullptr);
  ASSERT_EQ(A().PutLong(L"ReadingOrder", 0), S_OK);
  ASSERT_EQ(A().PutLong(L"ReadingOrder", 1), S_OK);
  PumpMessages();
  UnhookWindowsHookEx(hook);
  const std::vector<LPARAM> expected = {0x04090409, 0x04010401};
  ASSERT_GE(layoutRequests.size(), 2u);
  EXPECT_EQ(std::vector<LPARAM>(layoutRequests.begin(), layoutRequests.begin() + 2), expected);
}

}  // namespace

namespace {

TEST(TwoControls, EachWorksOnItsOwnDisplay) {
  Container first, second;
  ASSERT_EQ(first.Create(), S_OK);
  ASSERT_EQ(second.Create(), S_OK);
  // Characters typed into the first control, made before the second.
  SetFocus(first.ControlWindow());
  for (wchar_t c : std::wstring(L"\u0623\u0648\u0644"))
    PostMessageW(first.ControlWindow(), WM_CHAR, c, 1);
  PumpMessages();
  ASSERT_EQ(Automation(second.Dispatch()).Put(L"Text", std::wstring(L"second")), S_OK);
  for (wchar_t c : std::wstring(L"!")) PostMessageW(first.ControlWindow(), WM_CHAR, c, 1);
  PumpMessages();
  EXPECT_EQ(Automation(first.Dispatch()).GetText(L"Text"), L"\u0623\u0648\u0644!");
  EXPECT_EQ(Automation(second.Dispatch()).GetText(L"Text"), L"second");
  // A new reading order makes the first control's window anew, on its own display: it still
  // takes characters, and its layout request reaches its own window.
  watchedWindow = first.ControlWindow();
  layoutRequests.clear();
  HHOOK hook =
      SetWindowsHookExW(WH_CALLWNDPROC, WatchLayoutRequests, nullptr, GetCurrentThreadId());
  ASSERT_EQ(Automation(first.Dispatch()).PutLong(L"ReadingOrder", 0), S_OK);
  PumpMessages();
  UnhookWindowsHookEx(hook);
  EXPECT_EQ(layoutRequests, std::vector<LPARAM>{0x04090409});
  PostMessageW(first.ControlWindow(), WM_CHAR, L'.', 1);
  PumpMessages();
  EXPECT_EQ(Automation(first.Dispatch()).GetText(L"Text").size(), 5u);
  EXPECT_EQ(Automation(second.Dispatch()).GetText(L"Text"), L"second");
  // The first goes; the second still works.
  first.Destroy();
  SetFocus(second.ControlWindow());
  PostMessageW(second.ControlWindow(), WM_CHAR, L'?', 1);
  PumpMessages();
  EXPECT_EQ(Automation(second.Dispatch()).GetText(L"Text").size(), 7u);
}

}  // namespace

namespace {

TEST_F(ControlInput, DraggingWithTheButtonDownSelectsThroughTheControlsOwnLoop) {
  ASSERT_EQ(A().PutLong(L"ReadingOrder", 0), S_OK);
  ASSERT_EQ(A().Put(L"Text", std::wstring(L"abcdefghijklmnopqrstuvwxyz")), S_OK);
  // The control follows the drag in a loop of its own; the window feeds it what arrives.
  PostMessageW(window, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(2, 8));
  PostMessageW(window, WM_MOUSEMOVE, MK_LBUTTON, MAKELPARAM(60, 8));
  PostMessageW(window, WM_MOUSEMOVE, MK_LBUTTON, MAKELPARAM(120, 8));
  PostMessageW(window, WM_LBUTTONUP, 0, MAKELPARAM(120, 8));
  PumpMessages(100);
  EXPECT_EQ(A().GetLong(L"SelStart"), 0);
  EXPECT_GT(A().GetLong(L"SelLength"), 5);
  EXPECT_LT(A().GetLong(L"SelLength"), 26);
  EXPECT_EQ(GetCapture(), nullptr);  // the system's capture ended with the button
}

}  // namespace

namespace {

// What the test saw of the popup menu, and how it answers it: from a timer, which runs inside
// the menu's own loop, as a person's keys would.
std::vector<std::wstring> menuItems;
RECT menuRect;
void CALLBACK AnswerMenu(HWND, UINT, UINT_PTR timer, DWORD) {
  HWND menuWindow = FindWindowW(L"#32768", nullptr);
  if (!menuWindow) return;
  KillTimer(nullptr, timer);
  GetWindowRect(menuWindow, &menuRect);
  constexpr UINT kGetMenu = 0x01E1;  // MN_GETHMENU
  HMENU menu = reinterpret_cast<HMENU>(SendMessageW(menuWindow, kGetMenu, 0, 0));
  for (int i = 0; menu && i < GetMenuItemCount(menu); ++i) {
    wchar_t text[64] = {};
    GetMenuStringW(menu, static_cast<UINT>(i), text, 64, MF_BYPOSITION);
    menuItems.push_back(text);
  }
  // Down to the first item (Copy), and take it.
  PostMessageW(menuWindow, WM_KEYDOWN, VK_DOWN, 1);
  PostMessageW(menuWindow, WM_KEYDOWN, VK_RETURN, 1);
}

TEST_F(ControlInput, TheRightButtonMenuIsTheSystemsAndItsCommandRuns) {
  ASSERT_EQ(A().Put(L"Text", std::wstring(L"\u0646\u0635 text")), S_OK);
  ASSERT_EQ(A().Call(L"SelectAll"), S_OK);
  OpenClipboard(nullptr);
  EmptyClipboard();
  CloseClipboard();
  menuItems.clear();
  SetTimer(nullptr, 0, 50, AnswerMenu);
  PostMessageW(window, WM_RBUTTONDOWN, MK_RBUTTON, MAKELPARAM(20, 8));
  PostMessageW(window, WM_RBUTTONUP, 0, MAKELPARAM(20, 8));
  PumpMessages(300);
  ASSERT_EQ(menuItems.size(), 2u);
  // The menu opens where the button went down.
  POINT at{20, 8};
  ClientToScreen(window, &at);
  EXPECT_EQ(menuRect.left, at.x);
  EXPECT_EQ(menuRect.top, at.y);
  EXPECT_EQ(menuItems[0].substr(0, 4), L"Copy");
  EXPECT_EQ(menuItems[1].substr(0, 5), L"Paste");
  EXPECT_EQ(SystemClipboardText(), L"\u0646\u0635 text");
}

}  // namespace

namespace {

TEST(SystemKeys, AltF4InTheControlClosesTheContainersWindow) {
  // A form of this test's own: it goes away.
  HWND form = CreateWindowW(FormClass(), L"closing", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 60, 60, 300,
                            120, nullptr, nullptr, GetModuleHandleW(nullptr), nullptr);
  ASSERT_NE(form, nullptr);
  {
    Container container(form);
    ASSERT_EQ(container.Create(), S_OK);
    HWND window = container.ControlWindow();
    SetFocus(window);
    PumpMessages();
    constexpr LPARAM kAltDown = 1 << 29;
    PostMessageW(window, WM_SYSKEYDOWN, VK_F4, kAltDown | 1);
    PumpMessages(50);
    EXPECT_FALSE(IsWindow(form));
  }
  if (IsWindow(form)) DestroyWindow(form);
}

}  // namespace

}  // namespace kestrix
