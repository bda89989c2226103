#include <gtest/gtest.h>

#include "ControlHost.h"

namespace kestrix {

namespace {

class LineStore : public ::testing::Test {
 protected:
  ControlHost host;
  CKestrixCtrl& c = *host.ctrl;
};

TEST_F(LineStore, ResetLeavesOneEmptyLine) {
  c.ResetLines();
  EXPECT_EQ(c.LineCount(), 1);
  EXPECT_EQ(c.m_LineHeight, 18);
  EXPECT_EQ(c.GetText(), "");
  for (int offset : {0, 100}) {
    EXPECT_EQ(c.IndexFromOffset(offset), 0);
    EXPECT_EQ(c.m_CurLine, 1);
  }
  EXPECT_EQ(c.m_Margin, 5);
  EXPECT_EQ(c.m_ScrollBarWidth, 16);
  EXPECT_EQ(c.m_FirstVisible, 1);
  EXPECT_EQ(c.m_LastVisible, 1);
  EXPECT_TRUE(c.m_PositionStack.empty());
}

TEST_F(LineStore, OffsetsOfATwoLineStore) {
  host.SetLines({"ab\r", "cd"});
  EXPECT_EQ(c.GetText(), "ab\rcd");

  c.GotoLine(2);
  EXPECT_EQ(c.OffsetFromIndex(1), 4);
  EXPECT_EQ(c.m_CurLine, 2);  // restored around the walk

  EXPECT_EQ(c.IndexFromOffset(3), 0);
  EXPECT_EQ(c.m_CurLine, 2);
  EXPECT_EQ(c.IndexFromOffset(2), 2);
  EXPECT_EQ(c.m_CurLine, 1);
  EXPECT_EQ(c.IndexFromOffset(9), 2);
  EXPECT_EQ(c.m_CurLine, 2);
  EXPECT_EQ(c.IndexFromOffset(-7), 0);  // before the text: its start
  EXPECT_EQ(c.m_CurLine, 1);

  EXPECT_EQ(c.LineFromOffset(3), 2);
  EXPECT_EQ(c.LineFromOffset(2), 1);
  EXPECT_EQ(c.LineFromOffset(1 << 30), 2);
  EXPECT_EQ(c.LineFromOffset(-1), 1);
}

TEST_F(LineStore, GotoLineClampsTheCaretBeforeAHardBreak) {
  host.SetLines({"ab\r", "cd"});
  c.m_CharIndex = 7;
  c.GotoLine(1);
  EXPECT_EQ(c.m_CharIndex, 2);
  c.m_CharIndex = 7;
  c.GotoLine(2);
  EXPECT_EQ(c.m_CharIndex, 2);
  // Numbers from outside never reach past the store.
  c.GotoLine(0);
  EXPECT_EQ(c.m_CurLine, 2);
  c.GotoLine(-5);
  EXPECT_EQ(c.m_CurLine, 2);
  c.GotoLine(1000000);
  EXPECT_EQ(c.m_CurLine, 2);
  EXPECT_EQ(c.m_LineText, "cd");
  EXPECT_EQ(c.LineAt(-1), nullptr);
  EXPECT_EQ(c.LineAt(3), nullptr);
  EXPECT_EQ(c.m_CurLine, 3);  // LineAt records the number it was asked for
}

// Walking the store line by line, as the lines' owner describes it, must end in the same
// state as the running totals give.
TEST_F(LineStore, OffsetLookupsMatchALineByLineWalk) {
  host.SetLines({"abc\r", "", "\xC8\xC7 x", "yz\r", "q\r", "end"});
  auto walkIndex = [&](int offset) {
    c.m_LineLength = 0;
    int total = 0, n = 1;
    while (n <= c.LineCount() && total <= offset) {
      c.GotoLine(n);
      total += c.m_LineLength;
      ++n;
    }
    if (total < offset) offset = total;
    return std::tuple{offset - total + c.m_LineLength, c.m_CurLine, c.m_CharIndex};
  };
  for (int start : {0, 2, 9}) {
    for (int offset = 0; offset <= 20; ++offset) {
      c.m_CharIndex = start;
      auto [wantIndex, wantLine, wantCaret] = walkIndex(offset);
      c.m_CharIndex = start;
      int index = c.IndexFromOffset(offset);
      EXPECT_EQ(index, wantIndex) << offset;
      EXPECT_EQ(c.m_CurLine, wantLine) << offset;
      EXPECT_EQ(c.m_CharIndex, wantCaret) << offset << " from " << start;
    }
  }
}

TEST_F(LineStore, NewLineInsertsAndShiftsTheLinesBelow) {
  host.SetLines({"a", "b", "c"});
  c.GotoLine(1);
  c.NewLine(2, TRUE);
  ASSERT_EQ(c.LineCount(), 4);
  EXPECT_EQ(c.m_CurLine, 2);
  EXPECT_EQ(c.LineAt(2)->m_Chars, "");
  EXPECT_EQ(c.LineAt(3)->m_Chars, "b");
  EXPECT_EQ(c.LineAt(2)->m_Direction, c.m_ReadingOrder);
}

TEST_F(LineStore, SingleLineControlNeverGetsASecondLine) {
  c.m_MultiLines = FALSE;
  c.ResetLines();
  c.NewLine(2, FALSE);
  EXPECT_EQ(c.LineCount(), 1);
}

TEST_F(LineStore, StoreLineRecomputesDirectionOnlyWhileRebuilding) {
  host.SetLines({"abc"});
  EXPECT_EQ(c.LineAt(1)->m_Direction, 1);  // created with the reading order
  c.m_Busy = 1;
  c.GotoLine(1);
  c.StoreLine();
  c.m_Busy = 0;
  EXPECT_EQ(c.LineAt(1)->m_Direction, 0);
  c.GotoLine(1);
  c.m_LineText = "\xC7\xC8";
  c.StoreLine();
  EXPECT_EQ(c.LineAt(1)->m_Direction, 0);  // typing keeps the stored direction
  c.m_Busy = 5;  // a hit test keeps it too
  c.GotoLine(1);
  c.m_LineText = "\xC7\xC8";
  c.StoreLine();
  c.m_Busy = 0;
  EXPECT_EQ(c.LineAt(1)->m_Direction, 0);
}

TEST_F(LineStore, PositionsSurviveAWalkThatRemovedLines) {
  host.SetLines({"a", "b", "c", "d"});
  c.GotoLine(3);
  c.m_CharIndex = 1;
  c.PushPosition(TRUE);
  c.GotoLine(1);
  c.m_CharIndex = 0;
  c.PopPosition();
  EXPECT_EQ(c.m_CurLine, 3);
  EXPECT_EQ(c.m_CharIndex, 1);
  EXPECT_EQ(c.m_LineText, "c");

  c.GotoLine(4);
  c.PushPosition(TRUE);
  host.SetLines({"x", "yy"});
  c.PopPosition();
  EXPECT_EQ(c.m_CurLine, 2);
  EXPECT_EQ(c.m_LineText, "yy");
  EXPECT_TRUE(c.m_PositionStack.empty());
  // An unpaired pop changes nothing.
  c.PopPosition();
  EXPECT_EQ(c.m_CurLine, 2);
}

TEST_F(LineStore, PopReacquiresAContextThatWasHeld) {
  host.SetLines({"a"});
  c.AcquireDC();
  c.PushPosition(FALSE);
  c.ReleaseHeldDC();
  c.PopPosition();
  EXPECT_NE(c.m_pDC, nullptr);
  c.ReleaseHeldDC();
}

TEST_F(LineStore, LineFromYAmongTheVisibleLines) {
  std::initializer_list<std::string> many = {"1", "2", "3", "4", "5", "6", "7", "8", "9", "10",
                                             "11", "12", "13", "14", "15", "16", "17", "18"};
  host.SetLines(many);
  c.SetFirstVisible(5);
  int h = c.m_LineHeight;
  EXPECT_EQ(c.LineFromY(-500), 5);
  EXPECT_EQ(c.LineFromY(100000), c.m_LastVisible);
  // Client y is document y less 4h; line n's band runs from n·h − 14 to n·h + 3.
  EXPECT_EQ(c.LineFromY(7 * h - 14 - 4 * h), 7);
  c.GotoLine(9);
  EXPECT_EQ(c.LineFromY(6 * h + 2 - 4 * h), 6);
  EXPECT_EQ(c.m_CurLine, 9);  // a lookup only
  EXPECT_EQ(c.LineFromY(6 * h + 3 - 4 * h), 6);  // the gap below line 6's band
  EXPECT_EQ(c.LineFromY(7 * h - 15 - 4 * h), 6);
}

TEST_F(LineStore, LayoutPutsTheScrollBarStripOnTheReadingSide) {
  c.m_ReadingOrder = 1;
  c.LayoutTextRect();
  EXPECT_EQ(c.m_TextRect, CRect(16, 0, 316, 196));
  EXPECT_EQ(c.m_LineRight, 311);
  EXPECT_EQ(c.m_LineLeft, 21);
  c.m_ReadingOrder = 0;
  c.LayoutTextRect();
  EXPECT_EQ(c.m_TextRect, CRect(0, 0, 300, 196));
}

TEST_F(LineStore, ZeroLineHeightIsNeverDividedBy) {
  host.library.metrics = TEXTMETRIC{1, 1, 0, 0, 0, 1, 1};
  c.InitFonts();
  EXPECT_EQ(c.m_LineHeight, 0);
  EXPECT_EQ(c.m_VisibleLines, 1);
  host.SetLines({"a", "b"});
  EXPECT_EQ(c.LineFromY(3), 1);
}

}  // namespace

namespace {

TEST_F(LineStore, FirstLineStartsAtTheReadingOrdersEnd) {
  EXPECT_EQ(c.m_Lines.At(1)->m_StartX, 311);  // right-to-left: the right margin
  c.m_ReadingOrder = 0;
  c.ResetLines();
  EXPECT_EQ(c.m_Lines.At(1)->m_StartX, 5);
}

}  // namespace

}  // namespace kestrix
