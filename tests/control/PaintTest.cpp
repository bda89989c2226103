#include <gtest/gtest.h>

#include "ControlHost.h"

namespace kestrix {

namespace {

constexpr uint32_t kWhite = 0xFFFFFF;
constexpr uint32_t kBlack = 0x000000;

class Paint : public ::testing::Test {
 protected:
  ControlHost host;
  CKestrixCtrl& c = *host.ctrl;
  uint32_t At(int x, int y) { return host.display.CaptureClient(c.GetSafeHwnd()).Pixel(x, y); }
};

// With the fixed-metric library each drawn character is a box from one pixel inside its
// 10-pixel cell, from 10 pixels above the baseline to the baseline. Line 1's baseline is
// 18 − 6 = 12.
TEST_F(Paint, RightAlignedLineEndsAtTheRightMargin) {
  c.SetText("abc   ");
  auto outs = host.library.CallsOf("aTextOut");
  ASSERT_FALSE(outs.empty());
  EXPECT_EQ(outs.back().text, "abc");  // trailing spaces are not drawn
  EXPECT_EQ(outs.back().numbers[0], 311 - 30);
  EXPECT_EQ(outs.back().numbers[1], 12);
  EXPECT_EQ(At(302, 8), kBlack);   // inside "c"
  EXPECT_EQ(At(310, 8), kWhite);   // the gap after it
  EXPECT_EQ(At(282, 2), kBlack);   // top of "a"
  EXPECT_EQ(At(282, 1), kWhite);
  EXPECT_EQ(At(281, 8), kWhite);   // left of "a"
}

TEST_F(Paint, PasswordMaskingKeepsThePosition) {
  c.m_PasswordChar = 42;
  c.SetText("ab\xC7");
  auto out = host.library.CallsOf("aTextOut").back();
  EXPECT_EQ(out.text, "***");
  EXPECT_EQ(out.numbers[0], 311 - 30);
  EXPECT_EQ(c.GetText(), "ab\xC7");  // stored as typed
  for (short off : {short(0), short(-5)}) {
    c.m_PasswordChar = off;
    c.PaintLines(1, 1);
    EXPECT_EQ(host.library.CallsOf("aTextOut").back().text, "ab\xC7");
  }
}

TEST_F(Paint, BandsAndTheAreaBelowTakeTheBackgroundColour) {
  c.SetText("ab\r\rcd");
  Surface& screen = host.display.GetSurface();
  screen.Fill(CRect(0, 0, 800, 600), 0x00FF00);  // something to paint over
  c.m_BackColor = RGB(0x20, 0x40, 0x60);
  c.PaintLines(1, 3);
  uint32_t back = 0x204060;
  EXPECT_EQ(At(100, 0), back);     // the first band starts at the top
  EXPECT_EQ(At(100, 20), back);    // the empty line 2 still has its band
  EXPECT_EQ(At(100, 150), back);   // below the last line
  EXPECT_EQ(At(5, 150), back);     // the hidden scroll bar's strip too
  EXPECT_EQ(At(304, 8), kBlack);   // text over the band
}

TEST_F(Paint, TheFirstVisibleBandReachesTheTopOfTheWindow) {
  // Line height 18, ascent 6, descent 12: the band starts 6 pixels below its slot's top.
  host.library.metrics = TEXTMETRIC{24, 8, 16, 0, 0, 10, 10};
  c.InitFonts();
  c.SetText("1\r2\r3");
  host.display.GetSurface().Fill(CRect(0, 0, 800, 600), 0x00FF00);
  c.SetFirstVisible(2);
  c.PaintLines(2, 3);
  EXPECT_EQ(At(100, 0), kWhite);    // stretched to the top
  EXPECT_EQ(At(100, 23), kWhite);
  // A line below the first keeps its own band.
  host.display.GetSurface().Fill(CRect(0, 0, 800, 600), 0x00FF00);
  c.PaintLines(3, 3);
  EXPECT_EQ(At(100, 23), 0x00FF00u);
  EXPECT_EQ(At(100, 24), kWhite);
}

TEST_F(Paint, NothingBelowTheLastPaintedLineWhenTheTextGoesOn) {
  ControlHost small{CRect(0, 0, 320, 58)};  // text rectangle 54 px: three lines
  CKestrixCtrl& s = *small.ctrl;
  s.SetText("1\r2\r3\r4\r5\r6");
  ASSERT_EQ(s.m_LastVisible, 3);
  small.display.GetSurface().Fill(CRect(0, 0, 800, 600), 0x00FF00);
  s.PaintLines(1, 3);
  Surface client = small.display.CaptureClient(s.GetSafeHwnd());
  EXPECT_EQ(client.Pixel(100, 53), 0x00FF00u);  // below line 3's band: left alone
  EXPECT_EQ(client.Pixel(100, 40), kWhite);
}

TEST_F(Paint, CaretIsAStemWithAFlagInTheReadingDirection) {
  c.SetText("abc");
  c.ActivateEdit(L"", L"");
  c.SetFocus();
  ASSERT_TRUE(c.m_CaretShown);
  int x = c.m_CaretX;
  EXPECT_EQ(c.m_CaretY, 12);
  EXPECT_EQ(c.m_CaretHeight, 10);
  EXPECT_EQ(At(x, 12), kBlack);      // foot of the stem
  EXPECT_EQ(At(x, 3), kBlack);       // top of the stem: 12 − 10 + 1
  EXPECT_EQ(At(x, 2), kWhite);
  EXPECT_EQ(At(x - 1, 3), kBlack);   // the flag points left for right-to-left
  EXPECT_EQ(At(x + 1, 3), kWhite);

  host.display.AdvanceClock(600);    // blink: erased
  EXPECT_FALSE(c.m_CaretShown);
  EXPECT_EQ(At(x, 8), kWhite);
  host.display.AdvanceClock(600);    // and drawn again
  EXPECT_TRUE(c.m_CaretShown);
  EXPECT_EQ(At(x, 8), kBlack);
}

TEST_F(Paint, TheFlagsSlantedEdgeReturnsToTheStem) {
  c.SetText("");
  c.ActivateEdit(L"", L"");
  c.SetFocus();
  int x = c.m_CaretX;
  // Stem from the baseline (12) up to 3, flag two pixels to the left, slanted edge back to the
  // stem at 12 - 10 × 0.8 = 4.
  const char* expected[] = {"......", "......", "......", "..###.", "...##.", "....#.", "....#.",
                            "....#.", "....#.", "....#.", "....#.", "....#.", "....#.", "......"};
  for (int y = 0; y < 14; ++y) {
    std::string row;
    for (int dx = -4; dx <= 1; ++dx) row += At(x + dx, y) == kBlack ? '#' : '.';
    EXPECT_EQ(row, expected[y]) << "row " << y;
  }
}

TEST_F(Paint, NoCaretWithoutFocusOrBeforeActivation) {
  c.SetText("abc");
  c.SetFocus();
  EXPECT_FALSE(c.m_CaretShown);  // no ActivateEdit yet
  c.ActivateEdit(L"x", L"y");
  EXPECT_FALSE(c.m_HasFocus);
  c.m_CharIndex = 1;
  c.UpdateCaret();
  EXPECT_EQ(c.m_CaretX, 301);  // still tracked
  EXPECT_FALSE(c.m_CaretShown);
  host.display.AdvanceClock(1200);
  EXPECT_FALSE(c.m_CaretShown);  // timer ticks without focus draw nothing
}

TEST_F(Paint, LeftToRightFlagPointsRight) {
  c.SetReadingOrder(0);
  c.SetText("abc");
  c.ActivateEdit(L"", L"");  // turns the control back to right-to-left ...
  c.m_ReadingOrder = 0;      // ... so set the flag's side directly for this check
  c.SetFocus();
  int x = c.m_CaretX;
  EXPECT_EQ(At(x + 1, 3), kBlack);
  EXPECT_EQ(At(x - 1, 3), kWhite);
}

}  // namespace

namespace {

TEST_F(Paint, BackgroundColourChangeRepaintsAndMarksModified) {
  c.SetText("ab");
  c.SetModifiedFlag(FALSE);
  c.m_BackColor = RGB(0, 0, 0x80);
  c.SetBackColor(0xFFFFFF);  // the stock colour changes; painting uses m_BackColor
  EXPECT_TRUE(c.IsModified());
  EXPECT_EQ(At(100, 8), 0x000080u);
}

}  // namespace

}  // namespace kestrix
