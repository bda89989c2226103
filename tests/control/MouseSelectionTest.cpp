// Selecting with the left button: the press snaps to a character boundary, a drag extends the
// range and its highlight, the release fixes it; outside the text the view scrolls a line per
// 50 ms of the display's clock until the pointer moves or the button goes up.
#include <gtest/gtest.h>

#include <string>

#include "ScreenCheck.h"

namespace kestrix {

namespace {

struct ClickCounter : EventSink {
  int clicks = 0;
  void OnStockEvent(StockEvent& e) override { clicks += e.dispid == DISPID_CLICK; }
};

std::string NumberedLines(int count) {
  std::string text;
  for (int i = 1; i <= count; ++i) text += "line" + std::to_string(i) + (i < count ? "\r" : "");
  return text;
}

// Left to right, ten lines of 18 pixels in view. Line n's band on screen runs from
// 18 n − 20 to 18 n − 3; the caret at index i stands at x = 5 + 10 i.
class MouseSelection : public ::testing::Test {
 protected:
  ControlHost host{CRect(0, 0, 320, 184)};
  CKestrixCtrl& c = *host.ctrl;
  HWND w() { return c.GetSafeHwnd(); }
  ClickCounter clicks;

  void SetUp() override {
    c.SetReadingOrder(0);
    c.SetEventSink(&clicks);
    c.ActivateEdit(L"", L"");
    c.m_ReadingOrder = 0;
    c.m_Alignment = 0;
  }
  static int Y(int line) { return 18 * line - 10; }
  int Offset() { return c.OffsetFromIndex(c.m_CharIndex); }
};

TEST_F(MouseSelection, APressSnapsToTheNearestBoundary) {
  c.SetText("abcdefghij\rklmno");
  host.display.Click(w(), 38, Y(1));  // between the boundaries at 35 and 45, nearer 35
  EXPECT_EQ(Offset(), 3);
  EXPECT_EQ(c.m_CaretX, 35);
  EXPECT_EQ(c.GetSelLength(), 0);
  EXPECT_TRUE(c.m_HasFocus);
  EXPECT_TRUE(c.m_CaretShown);
  host.display.Click(w(), 300, Y(1));  // past the end of a paragraph: before its CR
  EXPECT_EQ(Offset(), 10);
  host.display.Click(w(), 41, Y(2));
  EXPECT_EQ(Offset(), 15);
  // A click in the gap row between two bands goes to the line above it.
  host.display.Click(w(), 15, 18 * 1 - 3);
  EXPECT_EQ(c.m_CurLine, 1);
  EXPECT_EQ(clicks.clicks, 4);
  ExpectScreenMatchesFields(host);
}

TEST_F(MouseSelection, ADragSelectsEitherWay) {
  c.SetText("abcdefghijklmnop");
  host.display.MouseDown(w(), 105, Y(1));
  host.display.MouseMove(w(), 75, Y(1));
  host.display.MouseMove(w(), 45, Y(1));
  host.display.MouseUp(w(), 45, Y(1));
  EXPECT_EQ(c.GetSelStart(), 4);
  EXPECT_EQ(c.GetSelLength(), 6);
  EXPECT_EQ(Offset(), 4);
  const LineRecord* line = c.m_Lines.At(1);
  EXPECT_EQ(std::min(line->m_HighlightLeft, line->m_HighlightRight), 45);
  EXPECT_EQ(std::max(line->m_HighlightLeft, line->m_HighlightRight), 105);
  EXPECT_FALSE(c.m_CaretShown);
  ExpectScreenMatchesFields(host);
  // A new press drops it; a drag back to its anchor ends with nothing selected or highlighted.
  host.display.MouseDown(w(), 25, Y(1));
  EXPECT_EQ(c.GetSelLength(), 0);
  host.display.MouseMove(w(), 85, Y(1));
  host.display.MouseMove(w(), 25, Y(1));
  host.display.MouseUp(w(), 25, Y(1));
  EXPECT_EQ(c.GetSelLength(), 0);
  EXPECT_FALSE(c.m_Lines.At(1)->m_Highlighted);
  EXPECT_TRUE(c.m_CaretShown);
  ExpectScreenMatchesFields(host);
}

TEST_F(MouseSelection, ADragAlongALineInvertsOnlyTheSweptStrips) {
  c.SetText("abcdefghij");
  Surface before = host.display.CaptureClient(w());
  host.display.MouseDown(w(), 45, Y(1));  // the boundary at 45 anchors
  host.library.ClearCalls();
  host.display.MouseMove(w(), 65, Y(1));
  host.display.MouseMove(w(), 55, Y(1));  // back: 55 .. 65 is inverted once more
  Surface during = host.display.CaptureClient(w());
  EXPECT_TRUE(host.library.CallsOf("aTextOut").empty());  // no text was repainted
  // Exactly 45 .. 55 differs, over line 1's band (rows 0 to 14 in the window).
  EXPECT_EQ(DifferingPixels(before, during), 10 * 15);
  for (int x : {44, 45, 54, 55}) {
    bool inverted = before.Pixel(x, 5) != during.Pixel(x, 5);
    EXPECT_EQ(inverted, x >= 45 && x < 55) << x;
  }
  host.display.MouseUp(w(), 55, Y(1));
  EXPECT_EQ(c.SelectedText(), "e");
}

TEST_F(MouseSelection, ADragAcrossLinesHighlightsTheLinesBetween) {
  c.SetText(NumberedLines(9));
  host.display.MouseDown(w(), 25, Y(2));           // line 2, index 2: offset 8
  host.display.MouseMove(w(), 35, Y(6));           // straight to line 6
  host.display.MouseMove(w(), 35, Y(6));
  host.display.MouseUp(w(), 35, Y(6));
  EXPECT_EQ(c.GetSelStart(), 8);
  EXPECT_EQ(c.SelectedText(), "ne2\rline3\rline4\rline5\rlin");
  // Below its anchor, a left-to-right anchor line is highlighted from the anchor to its end,
  // and the line reached from its start.
  const LineRecord* anchor = c.m_Lines.At(2);
  EXPECT_EQ(std::min(anchor->m_HighlightLeft, anchor->m_HighlightRight), 25);
  EXPECT_EQ(std::max(anchor->m_HighlightLeft, anchor->m_HighlightRight), 55);
  const LineRecord* reached = c.m_Lines.At(6);
  EXPECT_EQ(std::min(reached->m_HighlightLeft, reached->m_HighlightRight), 5);
  for (int n = 2; n <= 6; ++n) EXPECT_TRUE(c.m_Lines.At(n)->m_Highlighted) << n;
  EXPECT_FALSE(c.m_Lines.At(7)->m_Highlighted);
  ExpectScreenMatchesFields(host);
  // Down three lines and back up to the anchor line: the lines left behind lose it.
  host.display.MouseDown(w(), 25, Y(2));
  host.display.MouseMove(w(), 25, Y(5));
  host.display.MouseMove(w(), 45, Y(2));
  host.display.MouseUp(w(), 45, Y(2));
  EXPECT_EQ(c.SelectedText(), "ne");
  for (int n = 3; n <= 5; ++n) EXPECT_FALSE(c.m_Lines.At(n)->m_Highlighted) << n;
  ExpectScreenMatchesFields(host);
}

TEST_F(MouseSelection, ShiftPressAnchorsAtTheCaret) {
  c.SetText("abcdefghij");
  c.SetFocus();
  c.m_CharIndex = 6;
  host.display.KeyDown(VK_SHIFT, 0x2A);
  host.display.MouseDown(w(), 25, Y(1));
  EXPECT_EQ(Offset(), 6);  // the caret does not move
  host.display.MouseUp(w(), 25, Y(1));
  host.display.KeyUp(VK_SHIFT, 0x2A);
  EXPECT_EQ(c.GetSelLength(), 0);
}

TEST_F(MouseSelection, DraggingBelowTheTextScrollsALinePerPace) {
  c.SetText(NumberedLines(30));
  host.display.MouseDown(w(), 25, Y(3));  // anchor at offset 14
  // The pointer rests below the window; the button goes up 130 ms later, still there.
  host.display.ScheduleInput(130, [&] { host.display.MouseUp(w(), 45, 400); });
  host.display.MouseMove(w(), 45, 400);
  EXPECT_EQ(c.m_FirstVisible, 4);  // at once, then at 50 and 100 ms
  EXPECT_EQ(clicks.clicks, 0);     // a release outside the client area is no click
  EXPECT_FALSE(c.m_MouseDown);
  // The release fixed the range at the last visible line, and the caret stands at its end.
  EXPECT_EQ(c.m_CurLine, 13);
  EXPECT_EQ(c.GetSelStart(), 14);
  EXPECT_EQ(c.GetSelStart() + c.GetSelLength(), Offset());
  EXPECT_EQ(c.SelectedText().substr(0, 4), "ne3\r");
  EXPECT_EQ(c.m_pScrollBar->GetScrollPos(), 3);
  ExpectScreenMatchesFields(host);
}

TEST_F(MouseSelection, AMoveBackInsideEndsTheScrollingAndTheDragGoesOn) {
  c.SetText(NumberedLines(30));
  host.display.MouseDown(w(), 25, Y(5));
  host.display.ScheduleInput(60, [&] { host.display.MouseMove(w(), 25, Y(9)); });
  host.display.MouseMove(w(), 25, 400);  // two turns, then the move ends the loop
  EXPECT_EQ(c.m_FirstVisible, 3);
  EXPECT_TRUE(c.m_MouseDown);
  host.display.MouseUp(w(), 25, Y(9));
  EXPECT_EQ(clicks.clicks, 1);
  EXPECT_EQ(c.m_CurLine, 11);  // the ninth line of the view
  EXPECT_EQ(c.GetSelStart(), 4 * 6 + 2);
  EXPECT_EQ(c.GetSelStart() + c.GetSelLength(), Offset());
  ExpectScreenMatchesFields(host);
}

TEST_F(MouseSelection, DraggingAboveScrollsUpAndKeepsABackwardRange) {
  c.SetText(NumberedLines(30));
  c.SendMessage(WM_VSCROLL, SB_THUMBTRACK | (10u << 16), reinterpret_cast<LPARAM>(c.m_pScrollBar->GetSafeHwnd()));
  ASSERT_EQ(c.m_FirstVisible, 11);
  host.display.MouseDown(w(), 35, Y(3));  // line 13, index 3
  int anchor = Offset();
  host.display.ScheduleInput(120, [&] { host.display.MouseUp(w(), 15, -30); });
  host.display.MouseMove(w(), 15, -30);
  EXPECT_EQ(c.m_FirstVisible, 8);
  EXPECT_EQ(c.m_CurLine, 8);
  EXPECT_EQ(Offset(), c.GetSelStart());  // a backward range: the caret at its start
  EXPECT_EQ(c.GetSelStart() + c.GetSelLength(), anchor);
  ExpectScreenMatchesFields(host);
}

TEST_F(MouseSelection, ADragThatTurnsBackAboveTheAnchorClearsTheLinesBelowIt) {
  c.SetText(NumberedLines(30));
  c.SendMessage(WM_VSCROLL, SB_THUMBTRACK | (10u << 16), reinterpret_cast<LPARAM>(c.m_pScrollBar->GetSafeHwnd()));
  host.display.MouseDown(w(), 25, Y(5));  // line 15
  host.display.MouseMove(w(), 25, Y(8));  // down to line 18
  host.display.ScheduleInput(60, [&] { host.display.MouseUp(w(), 25, -30); });
  host.display.MouseMove(w(), 25, -30);   // then above the window
  EXPECT_EQ(c.m_FirstVisible, 9);
  for (int n = 16; n <= 18; ++n) EXPECT_FALSE(c.m_Lines.At(n)->m_Highlighted) << n;
  EXPECT_EQ(c.GetSelStart() + c.GetSelLength(), 9 * 6 + 5 * 7 + 2);  // up to the anchor
  ExpectScreenMatchesFields(host);
}

TEST_F(MouseSelection, TheDragLoopGivesWayToOtherButtonsAndStopsWithoutInput) {
  c.SetText(NumberedLines(30));
  host.display.MouseDown(w(), 25, Y(2));
  host.display.SetMenuChooser([](const std::vector<MenuItem>&, POINT) { return 0u; });
  host.display.ScheduleInput(70, [&] { host.display.MouseDown(w(), 25, Y(4), true); });
  host.display.MouseMove(w(), 25, 400);
  EXPECT_EQ(c.m_FirstVisible, 3);  // at once and at 50 ms; the right button then ends it
  host.display.MouseMove(w(), 25, 500);  // nothing scheduled: one turn, and no endless loop
  EXPECT_EQ(c.m_FirstVisible, 4);
  host.display.MouseUp(w(), 25, 500);
  EXPECT_FALSE(c.m_MouseDown);
}

}  // namespace

}  // namespace kestrix
