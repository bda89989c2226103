#include <gtest/gtest.h>

#include "ControlHost.h"

namespace kestrix {

namespace {

class Navigation : public ::testing::Test {
 protected:
  ControlHost host;
  CKestrixCtrl& c = *host.ctrl;
};

TEST_F(Navigation, LeftAndRightStepThroughTheWholeText) {
  host.SetLines({"abc\r", "wrapped ", "xy"});
  c.GotoLine(3);
  c.m_CharIndex = 0;
  c.MoveLeft();  // onto a wrapped line: before its last character
  EXPECT_EQ(c.m_CurLine, 2);
  EXPECT_EQ(c.m_CharIndex, 7);
  c.MoveRight();  // the end of a wrapped line is index 0 of the next
  EXPECT_EQ(c.m_CurLine, 3);
  EXPECT_EQ(c.m_CharIndex, 0);
  c.GotoLine(2);
  c.m_CharIndex = 0;
  c.MoveLeft();  // onto a paragraph's end: before its CR
  EXPECT_EQ(c.m_CurLine, 1);
  EXPECT_EQ(c.m_CharIndex, 3);
  c.m_CharIndex = 0;
  c.MoveLeft();  // at offset 0 nothing moves
  EXPECT_EQ(c.m_CurLine, 1);
  EXPECT_EQ(c.m_CharIndex, 0);
  c.GotoLine(3);
  c.m_CharIndex = 2;
  c.MoveRight();  // at the end of the text the caret stays
  EXPECT_EQ(c.m_CurLine, 3);
  EXPECT_EQ(c.m_CharIndex, 2);
}

TEST_F(Navigation, UpAndDownKeepTheIndex) {
  host.SetLines({"abcdefghijklmn\r", "abcd\r", "abcdefghijklmn"});
  c.m_CharIndex = 12;
  c.MoveDown(TRUE);
  EXPECT_EQ(c.m_CurLine, 2);
  EXPECT_EQ(c.m_CharIndex, 4);  // before the CR
  c.MoveUp(TRUE);
  EXPECT_EQ(c.m_CurLine, 1);
  EXPECT_EQ(c.m_CharIndex, 4);
  c.MoveUp(TRUE);  // nothing above line 1
  EXPECT_EQ(c.m_CurLine, 1);
  c.GotoLine(3);
  c.MoveDown(TRUE);  // nothing below the last line
  EXPECT_EQ(c.m_CurLine, 3);
}

TEST_F(Navigation, PagesClampToTheText) {
  std::string text;
  for (int i = 1; i <= 25; ++i) {
    text += 'l';
    text += std::to_string(i);
    if (i < 25) text += '\r';
  }
  c.SetText(text);
  ASSERT_EQ(c.m_VisibleLines, 10);
  c.GotoLine(24);
  c.PageDown();
  EXPECT_EQ(c.m_CurLine, 25);
  c.PageDown();  // on the last line: nothing
  EXPECT_EQ(c.m_CurLine, 25);
  c.SetFirstVisible(3);
  c.GotoLine(4);
  c.PageUp();
  EXPECT_EQ(c.m_CurLine, 1);
  EXPECT_EQ(c.m_FirstVisible, 1);
  EXPECT_EQ(c.m_pScrollBar->GetScrollPos(), 0);
}

TEST_F(Navigation, PageDownStopsWithTheLastLineInView) {
  std::string text;
  for (int i = 1; i <= 25; ++i) {
    text += 'l';
    text += std::to_string(i);
    if (i < 25) text += '\r';
  }
  c.SetText(text);
  c.SetFocus();
  c.GotoLine(1);
  auto pageDown = [&] {
    host.display.KeyDown(VK_NEXT, 0x51);
    host.display.KeyUp(VK_NEXT, 0x51);
  };
  pageDown();
  EXPECT_EQ(c.m_FirstVisible, 11);
  EXPECT_EQ(c.m_CurLine, 11);
  pageDown();
  pageDown();  // past the end: the view keeps the last two lines, the caret the last line
  EXPECT_EQ(c.m_FirstVisible, 24);
  EXPECT_EQ(c.m_CurLine, 25);
  EXPECT_EQ(c.m_ScrollOffset, 23 * 18);
}

TEST_F(Navigation, CtrlHomeAndEndShowTheEnds) {
  std::string text;
  for (int i = 1; i <= 25; ++i) text += "line" + std::to_string(i) + (i < 25 ? "\r" : "");
  c.SetText(text);
  c.GotoLine(12);
  c.m_CharIndex = 2;
  c.MoveEnd();  // without Ctrl: the end of this line, before its CR
  EXPECT_EQ(c.m_CurLine, 12);
  EXPECT_EQ(c.m_CharIndex, 6);
  host.display.KeyDown(VK_CONTROL, 0x1D);
  c.MoveEnd();
  EXPECT_EQ(c.m_CurLine, 25);
  EXPECT_EQ(c.m_FirstVisible, 25);
  EXPECT_EQ(c.m_CharIndex, 6);
  c.MoveHome();
  EXPECT_EQ(c.m_CurLine, 1);
  EXPECT_EQ(c.m_FirstVisible, 1);
  EXPECT_EQ(c.m_CharIndex, 0);
  host.display.KeyUp(VK_CONTROL, 0x1D);
}

}  // namespace

}  // namespace kestrix
