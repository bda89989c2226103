// The mouse wheel: a notch scrolls the view three lines through the line-scrolling operations,
// and the caret stays on its line.
#include <gtest/gtest.h>

#include <string>

#include "ControlHost.h"

namespace kestrix {

namespace {

std::string NumberedLines(int count) {
  std::string text;
  for (int i = 1; i <= count; ++i) text += std::to_string(i) + (i < count ? "\r" : "");
  return text;
}

// Ten lines of 18 pixels fit the text rectangle.
class Wheel : public ::testing::Test {
 protected:
  void SetUp() override {
    c.SetText(NumberedLines(30));
    host.display.SetFocus(c.GetSafeHwnd());
    c.SetSelStart(0);
  }
  void Turn(int delta) { host.display.Wheel(c.GetSafeHwnd(), 100, 50, delta); }
  int ScrollPos() {
    SCROLLINFO info;
    c.m_pScrollBar->GetScrollInfo(&info);
    return info.nPos;
  }

  ControlHost host{CRect(0, 0, 320, 184)};
  CKestrixCtrl& c = *host.ctrl;
};

TEST_F(Wheel, ANotchTowardTheUserScrollsThreeLinesDownAndBack) {
  Turn(-WHEEL_DELTA);
  EXPECT_EQ(c.m_FirstVisible, 4);
  EXPECT_EQ(c.m_LastVisible, 13);
  EXPECT_EQ(ScrollPos(), 3);
  EXPECT_EQ(c.m_CurLine, 1);
  EXPECT_EQ(c.m_CharIndex, 0);
  Turn(-2 * WHEEL_DELTA);
  EXPECT_EQ(c.m_FirstVisible, 10);
  Turn(WHEEL_DELTA);
  EXPECT_EQ(c.m_FirstVisible, 7);
  EXPECT_EQ(c.m_CurLine, 1);
}

TEST_F(Wheel, StopsAtBothEnds) {
  Turn(WHEEL_DELTA);
  EXPECT_EQ(c.m_FirstVisible, 1);
  for (int i = 0; i < 20; ++i) Turn(-WHEEL_DELTA);
  // As with the scroll bar's line steps, until the last line is the first one shown.
  EXPECT_EQ(c.m_FirstVisible, 30);
  EXPECT_EQ(c.m_LastVisible, 30);
}

TEST_F(Wheel, FineTurnsAddUpToNotches) {
  Turn(-40);
  Turn(-40);
  EXPECT_EQ(c.m_FirstVisible, 1);
  Turn(-40);
  EXPECT_EQ(c.m_FirstVisible, 4);
}

TEST_F(Wheel, ATextThatFitsDoesNotScroll) {
  c.SetText(NumberedLines(5));
  Turn(-WHEEL_DELTA);
  EXPECT_EQ(c.m_FirstVisible, 1);
}

TEST_F(Wheel, ANotchLooksLikeThreeLineStepsOfTheScrollBar) {
  ControlHost other{CRect(0, 0, 320, 184)};
  CKestrixCtrl& o = *other.ctrl;
  o.SetText(NumberedLines(30));
  other.display.SetFocus(o.GetSafeHwnd());
  o.SetSelStart(0);
  for (int i = 0; i < 3; ++i)
    other.display.Send(o.GetSafeHwnd(), WM_VSCROLL, MAKEWPARAM(SB_LINEDOWN, 0),
                       reinterpret_cast<LPARAM>(o.m_pScrollBar->GetSafeHwnd()));
  Turn(-WHEEL_DELTA);
  EXPECT_EQ(c.m_FirstVisible, o.m_FirstVisible);
  EXPECT_EQ(host.display.CaptureWindow(c.GetSafeHwnd()).Pixels(),
            other.display.CaptureWindow(o.GetSafeHwnd()).Pixels());
}

}  // namespace

}  // namespace kestrix
