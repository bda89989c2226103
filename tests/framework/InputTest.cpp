// Injected keyboard and mouse input: key state, key message parameters, focus and routing.
#include <gtest/gtest.h>

#include <array>

#include "RecordingWindow.h"

namespace kestrix {

namespace {

class InputTest : public ::testing::Test {
 protected:
  Display display{200, 200};
};

TEST_F(InputTest, KeyMessagesCarryRepeatScanCodeAndTransitionBits) {
  RecordingWindow w;
  ASSERT_TRUE(CreateTop(w, CRect(0, 0, 50, 50)));
  w.SetFocus();
  w.received.clear();
  display.KeyDown('A', 0x1E);
  display.KeyUp('A', 0x1E);
  display.KeyDown(VK_MENU, 0x38);
  display.KeyDown(VK_F5, 0x3F);
  display.KeyUp(VK_F5, 0x3F);
  display.KeyUp(VK_MENU, 0x38);
  display.KeyDown(VK_RETURN, 0x1C, true);
  std::vector<UINT> expected{WM_KEYDOWN,    WM_KEYUP,      WM_SYSKEYDOWN, WM_SYSKEYDOWN,
                             WM_SYSKEYUP,   WM_SYSKEYUP,   WM_SYSKEYDOWN};
  EXPECT_EQ(w.Messages(), expected);
  const Received& down = w.received[0];
  EXPECT_EQ(down.wParam, WPARAM{'A'});
  EXPECT_EQ(LOWORD(static_cast<uintptr_t>(down.lParam)), 1);            // repeat count
  EXPECT_EQ(HIWORD(static_cast<uintptr_t>(down.lParam)) & 0xFF, 0x1E);  // scan code
  EXPECT_EQ(HIWORD(static_cast<uintptr_t>(down.lParam)) & 0xC000, 0);
  EXPECT_EQ(HIWORD(static_cast<uintptr_t>(w.received[1].lParam)), 0xC000 | 0x1E);
  EXPECT_EQ(w.received[3].wParam, WPARAM{VK_F5});
}

TEST_F(InputTest, KeyStateIsNegativeWhileDownAndTogglesPerPress) {
  EXPECT_EQ(GetKeyState(VK_SHIFT), 0);
  display.KeyDown(VK_SHIFT);
  EXPECT_LT(GetKeyState(VK_SHIFT), 0);
  display.KeyUp(VK_SHIFT);
  EXPECT_EQ(GetKeyState(VK_SHIFT), 1);
  display.KeyDown(VK_SHIFT);
  display.KeyDown(VK_SHIFT);  // auto-repeat does not toggle again
  display.KeyUp(VK_SHIFT);
  EXPECT_EQ(GetKeyState(VK_SHIFT), 0);
}

TEST_F(InputTest, SetFocusTellsTheOldWindowFirstWithTheNewOne) {
  RecordingWindow a, b;
  ASSERT_TRUE(CreateTop(a, CRect(0, 0, 50, 50)));
  ASSERT_TRUE(CreateTop(b, CRect(60, 0, 110, 50)));
  EXPECT_EQ(a.SetFocus(), nullptr);
  a.received.clear();
  EXPECT_EQ(b.SetFocus(), &a);
  EXPECT_EQ(CWnd::GetFocus(), &b);
  ASSERT_EQ(a.Messages(), std::vector<UINT>{WM_KILLFOCUS});
  EXPECT_EQ(a.received[0].wParam, reinterpret_cast<WPARAM>(b.m_hWnd));
  ASSERT_EQ(b.Only({WM_SETFOCUS}).size(), 1u);
  EXPECT_EQ(b.Only({WM_SETFOCUS})[0].wParam, reinterpret_cast<WPARAM>(a.m_hWnd));
  // Focusing the focus again sends nothing.
  b.received.clear();
  b.SetFocus();
  EXPECT_TRUE(b.received.empty());
}

// Logs focus and button messages of several windows into one sequence.
class SharedLogWindow : public CWnd {
 public:
  SharedLogWindow(std::vector<std::string>& log, std::string name) : log_(log), name_(name) {}
  LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override {
    const char* what = message == WM_MOUSEACTIVATE ? "activate"
                       : message == WM_KILLFOCUS   ? "killfocus"
                       : message == WM_SETFOCUS    ? "setfocus"
                       : message == WM_LBUTTONDOWN ? "down"
                                                   : nullptr;
    if (what) log_.push_back(name_ + " " + what);
    if (message == WM_LBUTTONDOWN) flags = wParam, at = lParam;
    return CWnd::WindowProc(message, wParam, lParam);
  }
  WPARAM flags = 0;
  LPARAM at = 0;

 private:
  std::vector<std::string>& log_;
  std::string name_;
};

TEST_F(InputTest, PressOnAnUnfocusedWindowActivatesAndFocusesItFirst) {
  std::vector<std::string> log;
  SharedLogWindow parent(log, "parent"), child(log, "child");
  ASSERT_TRUE(CreateTop(parent, CRect(10, 10, 110, 110), WS_EX_CLIENTEDGE));
  ASSERT_TRUE(CreateChild(child, parent, CRect(20, 30, 60, 70), 0, WS_BORDER));
  parent.SetFocus();
  log.clear();
  display.KeyDown(VK_SHIFT);
  // (25, 35) in the parent's client area is (4, 4) in the child's, inside its border.
  display.MouseDown(parent.m_hWnd, 25, 35);
  EXPECT_EQ(log, (std::vector<std::string>{"child activate", "parent killfocus", "child setfocus",
                                           "child down"}));
  EXPECT_EQ(GET_X_LPARAM(child.at), 4);
  EXPECT_EQ(GET_Y_LPARAM(child.at), 4);
  EXPECT_EQ(child.flags, WPARAM{MK_LBUTTON | MK_SHIFT});
  display.MouseUp(parent.m_hWnd, 25, 35);
  log.clear();
  display.MouseDown(parent.m_hWnd, 25, 35);  // already focused: no activation
  EXPECT_EQ(log, std::vector<std::string>{"child down"});
  display.MouseUp(parent.m_hWnd, 25, 35);
}

TEST_F(InputTest, TypeTextSendsDownCharUpPerByte) {
  RecordingWindow w;
  ASSERT_TRUE(CreateTop(w, CRect(0, 0, 50, 50)));
  w.SetFocus();
  w.received.clear();
  display.TypeText("b7\xC7");
  std::vector<UINT> messages = w.Messages();
  ASSERT_EQ(messages.size(), 9u);
  const WPARAM expected[] = {'B', 'b', 'B', '7', '7', '7', 0, 0xC7, 0};
  for (size_t i = 0; i < 9; ++i) {
    EXPECT_EQ(messages[i], (std::array<UINT, 3>{WM_KEYDOWN, WM_CHAR, WM_KEYUP}[i % 3])) << i;
    EXPECT_EQ(w.received[i].wParam, expected[i]) << i;
  }
}

}  // namespace

}  // namespace kestrix
