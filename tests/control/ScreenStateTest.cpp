// After every operation the screen shows what the fields describe: the lines of the view at
// the scroll offset of its first line, the caret on its line and nowhere else, the thumb where
// the view is. Each case drives the control through messages.
#include <gtest/gtest.h>

#include <algorithm>
#include <string>

#include "ScreenCheck.h"

namespace kestrix {

namespace {

std::string NumberedLines(int count) {
  std::string text;
  for (int i = 1; i <= count; ++i) {
    text += 'l';
    text += std::to_string(i);
    if (i < count) text += '\r';
  }
  return text;
}

// Where the thumb must stand for the view.
int ExpectedThumb(CKestrixCtrl& c) {
  int count = c.LineCount();
  int pos = c.m_LastVisible >= count ? count : c.m_FirstVisible - 1;
  return std::clamp(pos, 0, std::max(0, count - c.m_VisibleLines));
}

// Focused and blinking, so that the caret is drawn.
CKestrixCtrl& Activated(ControlHost& host) {
  host.ctrl->ActivateEdit(L"", L"");
  host.ctrl->SetFocus();
  return *host.ctrl;
}

class ScreenState : public ::testing::Test {
 protected:
  // Three lines of 18 pixels fit the 54-pixel text rectangle.
  ControlHost host{CRect(0, 0, 320, 58)};
  CKestrixCtrl& c = *host.ctrl;

  void SetUp() override { Activated(host); }
  void Press(int key) {
    host.display.KeyDown(key);
    host.display.KeyUp(key);
  }
  void PlaceCaret(int offset) {
    c.m_CharIndex = c.IndexFromOffset(offset);
    c.UpdateCaret();
  }
};

TEST_F(ScreenState, RightPastTheViewScrollsAndDrawsTheCaretOnItsLine) {
  c.SetText(NumberedLines(6));
  PlaceCaret(8);  // line 3, before its CR
  ASSERT_EQ(c.m_CurLine, 3);
  ASSERT_TRUE(c.m_CaretShown);
  Press(VK_RIGHT);
  EXPECT_EQ(c.m_CurLine, 4);
  EXPECT_EQ(c.m_FirstVisible, 2);
  ExpectScreenMatchesFields(host);
  for (int i = 0; i < 4; ++i) Press(VK_LEFT);
  EXPECT_EQ(c.m_CurLine, 2);  // still in view
  EXPECT_EQ(c.m_FirstVisible, 2);
  for (int i = 0; i < 3; ++i) Press(VK_LEFT);
  EXPECT_EQ(c.m_CurLine, 1);  // above it: the view follows by one line
  EXPECT_EQ(c.m_FirstVisible, 1);
  ExpectScreenMatchesFields(host);
}

TEST_F(ScreenState, DownPastTheViewScrollsByOneLine) {
  c.SetText(NumberedLines(6));
  PlaceCaret(6);  // line 3
  Press(VK_DOWN);
  EXPECT_EQ(c.m_CurLine, 4);
  EXPECT_EQ(c.m_FirstVisible, 2);
  EXPECT_EQ(c.m_pScrollBar->GetScrollPos(), ExpectedThumb(c));
  ExpectScreenMatchesFields(host);
  Press(VK_UP);
  Press(VK_UP);
  Press(VK_UP);  // onto line 1, above the view
  EXPECT_EQ(c.m_FirstVisible, 1);
  ExpectScreenMatchesFields(host);
}

TEST_F(ScreenState, TypingALineBelowTheViewScrollsItDown) {
  ControlHost narrow{CRect(0, 0, 100, 58)};  // text rectangle 80 × 54: three lines in view
  CKestrixCtrl& n = Activated(narrow);
  n.SetText("a\rb\rcccc dd");
  n.m_CharIndex = n.IndexFromOffset(11);
  narrow.display.Char('d');  // "cccc ddd" no longer fits: "ddd" wraps onto a fourth line
  EXPECT_EQ(n.LineCount(), 4);
  EXPECT_EQ(n.m_CurLine, 4);
  EXPECT_EQ(n.m_CharIndex, 3);
  EXPECT_EQ(n.m_FirstVisible, 2);
  EXPECT_EQ(n.m_pScrollBar->GetScrollPos(), ExpectedThumb(n));
  ExpectScreenMatchesFields(narrow);
}

TEST_F(ScreenState, CrossingALineLeavesNoCaretBehind) {
  c.SetText("abc\rdefgh");
  PlaceCaret(4);  // line 2, index 0
  Press(VK_LEFT);
  EXPECT_EQ(c.m_CurLine, 1);
  ExpectScreenMatchesFields(host);
  Press(VK_RIGHT);
  EXPECT_EQ(c.m_CurLine, 2);
  ExpectScreenMatchesFields(host);
  Press(VK_UP);
  Press(VK_DOWN);
  ExpectScreenMatchesFields(host);
}

TEST_F(ScreenState, TheThumbFollowsEveryMoveThatScrolls) {
  ControlHost tall{CRect(0, 0, 320, 184)};  // ten lines in view
  CKestrixCtrl& t = *tall.ctrl;
  t.SetText(NumberedLines(30));
  t.SetFocus();
  auto press = [&](int key) {
    tall.display.KeyDown(key);
    tall.display.KeyUp(key);
  };
  tall.display.KeyDown(VK_CONTROL, 0x1D);
  press(VK_END);
  EXPECT_EQ(t.m_FirstVisible, 30);
  EXPECT_EQ(t.m_pScrollBar->GetScrollPos(), ExpectedThumb(t));
  press(VK_HOME);
  EXPECT_EQ(t.m_pScrollBar->GetScrollPos(), 0);
  tall.display.KeyUp(VK_CONTROL, 0x1D);
  for (int line = 1; line < 10; ++line) press(VK_DOWN);
  press(VK_END);
  press(VK_RIGHT);  // onto line 11: the view moves down one line
  EXPECT_EQ(t.m_FirstVisible, 2);
  EXPECT_EQ(t.m_pScrollBar->GetScrollPos(), 1);
  t.SendMessage(WM_VSCROLL, SB_THUMBTRACK | (8u << 16),
                reinterpret_cast<LPARAM>(t.m_pScrollBar->GetSafeHwnd()));
  ASSERT_EQ(t.m_FirstVisible, 9);
  press(VK_LEFT);  // line 10, above nothing: the view stays
  press(VK_HOME);
  press(VK_LEFT);  // onto line 9, the view's first line
  press(VK_HOME);
  press(VK_LEFT);  // onto line 8: the view moves up one line
  EXPECT_EQ(t.m_FirstVisible, 8);
  EXPECT_EQ(t.m_pScrollBar->GetScrollPos(), 7);
}

TEST_F(ScreenState, GrowingTheWindowWhileScrolledShowsTheTop) {
  c.SetText(NumberedLines(30));
  host.display.KeyDown(VK_CONTROL, 0x1D);
  Press(VK_END);
  host.display.KeyUp(VK_CONTROL, 0x1D);
  ASSERT_EQ(c.m_FirstVisible, 30);
  ASSERT_TRUE(c.m_pScrollBar->IsWindowVisible());
  c.SetRectInContainer(CRect(0, 0, 320, 590));  // the same width: no rebuild
  EXPECT_FALSE(c.m_pScrollBar->IsWindowVisible());
  EXPECT_EQ(c.m_FirstVisible, 1);
  EXPECT_EQ(c.m_LastVisible, 30);
  ExpectScreenMatchesFields(host);
  c.SetRectInContainer(CRect(0, 0, 320, 58));  // and back
  EXPECT_TRUE(c.m_pScrollBar->IsWindowVisible());
  ExpectScreenMatchesFields(host);
}

TEST_F(ScreenState, TypingThatMakesALineKeepsTheViewAndTheScreenTogether) {
  ControlHost small{CRect(0, 0, 100, 54)};  // text rectangle 80 × 50: two lines in view
  CKestrixCtrl& s = Activated(small);
  s.SetText("aaaa bbbb");
  s.m_CharIndex = s.IndexFromOffset(9);
  small.display.TypeText(" ccc");
  EXPECT_EQ(s.GetText(), "aaaa bbbb ccc");
  EXPECT_EQ(s.LineCount(), 3);
  EXPECT_EQ(s.m_CurLine, 3);
  EXPECT_EQ(s.m_FirstVisible, 1);  // three lines fit above the bottom edge
  ExpectScreenMatchesFields(small);
}

TEST_F(ScreenState, TypingCostsTheSameWhereverTheViewStands) {
  // A paragraph whose every line is full: a letter typed at its start pushes a word through
  // all of them. Only the lines in view are painted.
  ControlHost narrow{CRect(0, 0, 100, 94)};  // text rectangle 80 × 90: five lines in view
  CKestrixCtrl& n = *narrow.ctrl;
  std::string paragraph;
  for (int i = 0; i < 300; ++i) paragraph += "abc ";
  n.SetFocus();
  auto linesDrawnByTyping = [&](bool scrolledToEnd) {
    n.SetText(paragraph);
    if (scrolledToEnd)
      n.SendMessage(WM_VSCROLL, SB_THUMBTRACK | (static_cast<UINT>(n.LineCount() - 5) << 16),
                    reinterpret_cast<LPARAM>(n.m_pScrollBar->GetSafeHwnd()));
    n.m_CharIndex = n.IndexFromOffset(0);
    narrow.library.ClearCalls();
    narrow.display.Char('x');
    EXPECT_EQ(n.GetText(), "x" + paragraph);
    return narrow.library.CallsOf("aTextOut").size();
  };
  EXPECT_LE(linesDrawnByTyping(false), 30u);
  ExpectScreenMatchesFields(narrow);
  size_t atEnd = linesDrawnByTyping(true);
  EXPECT_GT(n.m_FirstVisible, 140);
  EXPECT_LE(atEnd, 30u);
  ExpectScreenMatchesFields(narrow);
}

}  // namespace

}  // namespace kestrix
