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

// The text rectangle is 180 pixels high: ten lines of 18 fit.
class Scrolling : public ::testing::Test {
 protected:
  ControlHost host{CRect(0, 0, 320, 184)};
  CKestrixCtrl& c = *host.ctrl;
};

TEST_F(Scrolling, ShownOnlyWhenTheTextIsTallerThanTheWindow) {
  c.SetText(NumberedLines(10));  // 10 × 18 − 6 = 174 < 180
  EXPECT_FALSE(c.m_pScrollBar->IsWindowVisible());
  c.SetText(NumberedLines(11));  // 192
  EXPECT_TRUE(c.m_pScrollBar->IsWindowVisible());
  CRect bar;
  c.m_pScrollBar->GetWindowRect(&bar);
  EXPECT_EQ(bar.left, 0);  // right-to-left: on the left
  EXPECT_EQ(bar.Width(), 16);
  EXPECT_EQ(bar.Height(), 181);
  SCROLLINFO info;
  c.m_pScrollBar->GetScrollInfo(&info);
  EXPECT_EQ(info.nMax, 10);
  EXPECT_EQ(info.nPage, 10u);
}

TEST_F(Scrolling, LeftToRightPutsTheBarOnTheRight) {
  c.SetReadingOrder(0);
  c.SetText(NumberedLines(20));
  CRect bar;
  c.m_pScrollBar->GetWindowRect(&bar);
  EXPECT_EQ(bar.left, 316 - 16);
  EXPECT_EQ(c.m_TextRect, CRect(0, 0, 300, 180));
}

TEST_F(Scrolling, LineDownStopsWhenTheLastLineIsFirst) {
  c.SetText(NumberedLines(30));
  c.SetFirstVisible(21);
  c.ScrollLineDown();
  EXPECT_EQ(c.m_FirstVisible, 22);
  EXPECT_EQ(c.m_LastVisible, 30);
  for (int i = 0; i < 20; ++i) c.ScrollLineDown();
  EXPECT_EQ(c.m_FirstVisible, 30);
  // With the last line in view the thumb goes to the line count; a range wider than the text
  // keeps the bar from clamping it.
  SCROLLINFO wide{28, SIF_RANGE | SIF_PAGE, 0, 100, 1, 0, 0};
  c.m_pScrollBar->SetScrollInfo(&wide, FALSE);
  c.SyncScrollPos();
  EXPECT_EQ(c.m_pScrollBar->GetScrollPos(), 30);
  c.SetFirstVisible(12);
  c.SyncScrollPos();
  EXPECT_EQ(c.m_pScrollBar->GetScrollPos(), 11);
  c.SetFirstVisible(0);
  EXPECT_EQ(c.m_FirstVisible, 1);
  c.SetFirstVisible(1000);
  EXPECT_EQ(c.m_FirstVisible, 30);
}

TEST_F(Scrolling, ARebuildBringsTheCaretsLineIntoView) {
  c.SetText(NumberedLines(30));
  c.SetFocus();
  c.GotoLine(25);
  host.display.KeyDown(VK_F5);  // the view was at the top: the caret's line becomes its last
  EXPECT_EQ(c.m_CurLine, 25);
  EXPECT_EQ(c.m_FirstVisible, 16);
  EXPECT_EQ(c.m_LastVisible, 25);
  c.SendMessage(WM_VSCROLL, SB_THUMBTRACK | (19u << 16),
                reinterpret_cast<LPARAM>(c.m_pScrollBar->GetSafeHwnd()));
  c.GotoLine(5);
  host.display.KeyDown(VK_F5);  // the view was below it: the caret's line becomes its first
  EXPECT_EQ(c.m_FirstVisible, 5);
  EXPECT_EQ(c.m_ScrollOffset, 4 * 18);
  c.GotoLine(8);
  host.display.KeyDown(VK_F5);  // in view: the view stays
  EXPECT_EQ(c.m_FirstVisible, 5);
}

TEST_F(Scrolling, ThumbShowsTheLineWithoutMovingTheCaret) {
  c.SetText(NumberedLines(30));
  c.GotoLine(2);
  c.SendMessage(WM_VSCROLL, SB_THUMBTRACK | (4u << 16),
                reinterpret_cast<LPARAM>(c.m_pScrollBar->GetSafeHwnd()));
  EXPECT_EQ(c.m_FirstVisible, 5);
  EXPECT_EQ(c.m_CurLine, 2);
  EXPECT_EQ(c.m_ScrollOffset, 4 * 18);
  EXPECT_EQ(c.m_CaretY, 2 * 18 - 6 - 4 * 18);  // follows its line out of the view
  // Another scroll bar's messages are left alone.
  CScrollBar other;
  other.Create(SBS_VERT, CRect(0, 0, 16, 50), &host.container, 7);
  c.SendMessage(WM_VSCROLL, SB_THUMBTRACK | (9u << 16), reinterpret_cast<LPARAM>(other.GetSafeHwnd()));
  EXPECT_EQ(c.m_FirstVisible, 5);
}

TEST_F(Scrolling, ArrowsAndPagesMoveTheView) {
  c.SetText(NumberedLines(30));
  c.GotoLine(1);
  auto send = [&](UINT code) {
    c.SendMessage(WM_VSCROLL, code, reinterpret_cast<LPARAM>(c.m_pScrollBar->GetSafeHwnd()));
  };
  send(SB_LINEDOWN);  // scrolls, the caret stays on its line
  EXPECT_EQ(c.m_FirstVisible, 2);
  EXPECT_EQ(c.m_CurLine, 1);
  send(SB_PAGEDOWN);
  EXPECT_EQ(c.m_CurLine, 11);
  EXPECT_EQ(c.m_FirstVisible, 12);
  send(SB_PAGEUP);
  EXPECT_EQ(c.m_CurLine, 1);
  EXPECT_EQ(c.m_FirstVisible, 2);
  send(SB_PAGEUP);  // near the top both clamp to line 1
  EXPECT_EQ(c.m_FirstVisible, 1);
  EXPECT_EQ(c.m_pScrollBar->GetScrollPos(), 0);
}

}  // namespace

namespace {

TEST_F(Scrolling, LineUpTopAndBottomFollowTheKeys) {
  c.SetText(NumberedLines(30));
  auto send = [&](UINT code) {
    c.SendMessage(WM_VSCROLL, code, reinterpret_cast<LPARAM>(c.m_pScrollBar->GetSafeHwnd()));
  };
  c.SetFirstVisible(5);
  c.GotoLine(5);
  send(SB_LINEUP);  // the caret leaves the view upwards: the view follows
  EXPECT_EQ(c.m_CurLine, 4);
  EXPECT_EQ(c.m_FirstVisible, 4);
  c.m_CharIndex = 1;
  send(SB_TOP);  // start of the line only, without Ctrl
  EXPECT_EQ(c.m_CurLine, 4);
  EXPECT_EQ(c.m_CharIndex, 0);
  host.display.KeyDown(VK_CONTROL, 0x1D);
  send(SB_BOTTOM);  // with Ctrl: the last line, shown first
  EXPECT_EQ(c.m_CurLine, 30);
  EXPECT_EQ(c.m_FirstVisible, 30);
  EXPECT_EQ(c.m_CharIndex, 2);
  send(SB_TOP);
  EXPECT_EQ(c.m_CurLine, 1);
  EXPECT_EQ(c.m_FirstVisible, 1);
  host.display.KeyUp(VK_CONTROL, 0x1D);
  send(SB_ENDSCROLL);
  EXPECT_EQ(c.m_CurLine, 1);
}

}  // namespace

}  // namespace kestrix
