// The selection as a host and a person make it: the host's SelStart and SelLength, select-all,
// Shift with the moving keys, typing over a selection, and the inverted spans on the screen.
#include <gtest/gtest.h>

#include <string>

#include "ScreenCheck.h"

namespace kestrix {

namespace {

constexpr UINT kShiftScan = 0x2A;
constexpr UINT kControlScan = 0x1D;

// A left-to-right control: with the fixed-metric library the caret at index i of a line
// stands at x = 5 + 10 i, and a line's text runs from 5 to 5 + 10 × its length.
class Selection : public ::testing::Test {
 protected:
  ControlHost host;
  CKestrixCtrl& c = *host.ctrl;

  void SetUp() override {
    c.SetReadingOrder(0);
    c.ActivateEdit(L"", L"");  // turns the order back to right-to-left ...
    c.m_ReadingOrder = 0;      // ... which only the flag's side would show
    c.m_Alignment = 0;
    c.SetFocus();
  }
  void Key(int key, UINT scan = 0) {
    host.display.KeyDown(key, scan);
    host.display.KeyUp(key, scan);
  }
  void ShiftKeys(std::initializer_list<int> keys, bool release = true) {
    host.display.KeyDown(VK_SHIFT, kShiftScan);
    for (int key : keys) Key(key);
    if (release) host.display.KeyUp(VK_SHIFT, kShiftScan);
  }
  int Offset() { return c.OffsetFromIndex(c.m_CharIndex); }
  void PlaceCaret(int offset) {
    c.m_CharIndex = c.IndexFromOffset(offset);
    c.UpdateCaret();
  }
  Surface Screen() { return host.display.CaptureClient(c.GetSafeHwnd()); }
  // How many pixels of the band of line n, from x0 to x1, differ between two screens.
  static int Inverted(const Surface& before, const Surface& after, int x0, int x1, int top, int bottom) {
    int n = 0;
    for (int y = top; y < bottom; ++y)
      for (int x = x0; x < x1; ++x) n += before.Pixel(x, y) != after.Pixel(x, y);
    return n;
  }
};

TEST_F(Selection, TheHostSelectsARangeAcrossAParagraphBreak) {
  c.SetText("ab\rcd");
  PlaceCaret(1);
  c.EraseCaret();
  Surface before = Screen();  // the text alone
  c.DrawCaret();
  Surface withCaret = Screen();
  c.SetSelStart(1);
  EXPECT_EQ(c.m_SelLength, 0);  // with nothing selected the start is only stored
  EXPECT_EQ(DifferingPixels(withCaret, Screen()), 0);
  host.library.ClearCalls();
  c.SetSelLength(3);
  EXPECT_EQ(c.GetSelStart(), 1);
  EXPECT_EQ(c.GetSelLength(), 3);
  EXPECT_TRUE(c.IsModified());
  const LineRecord* one = c.m_Lines.At(1);
  const LineRecord* two = c.m_Lines.At(2);
  EXPECT_EQ(one->m_HighlightLeft, 15);   // the x of offset 1
  EXPECT_EQ(one->m_HighlightRight, 25);  // the end of "ab" and its CR
  EXPECT_EQ(two->m_HighlightLeft, 5);
  EXPECT_EQ(two->m_HighlightRight, 15);  // the x of offset 4
  // Exactly those spans are inverted, over the rows of each band (line 1's from row 0, its
  // first row lying above the window; line 2's 16 rows from 17), and no text was drawn. The
  // caret hides.
  Surface after = Screen();
  EXPECT_FALSE(c.m_CaretShown);
  EXPECT_EQ(DifferingPixels(before, after), 10 * 15 + 10 * 16);
  EXPECT_EQ(Inverted(before, after, 15, 25, 0, 15), 10 * 15);
  EXPECT_EQ(Inverted(before, after, 5, 15, 17, 33), 10 * 16);
  EXPECT_LE(host.library.CallsOf("aTextOut").size(), 1u);  // only the caret's line, to erase it
  ExpectScreenMatchesFields(host);
  // Collapsing inverts the same pixels back; the caret returns to the range's start.
  c.SetSelLength(0);
  EXPECT_EQ(c.m_SelLength, 0);
  EXPECT_EQ(Offset(), 1);
  EXPECT_EQ(DifferingPixels(withCaret, Screen()), 0);
  EXPECT_FALSE(c.m_Lines.At(1)->m_Highlighted);
}

TEST_F(Selection, HostRangesAreKeptValid) {
  c.SetText("abcdefghij");
  c.SetSelStart(10);  // at the end: a length then changes nothing
  c.SetSelLength(2);
  EXPECT_EQ(c.GetSelLength(), 0);
  c.SetSelStart(3);
  c.SetSelLength(100);
  EXPECT_EQ(c.GetSelLength(), 7);  // cut at the end of the text
  c.SetSelLength(-4);  // a negative length selects nothing
  EXPECT_EQ(c.GetSelLength(), 0);
  EXPECT_EQ(Offset(), 3);
  c.SetSelStart(-5);  // a start before the text counts as 0
  EXPECT_EQ(c.GetSelStart(), 0);
  c.SetSelLength(2);
  EXPECT_EQ(c.SelectedText(), "ab");
  ExpectScreenMatchesFields(host);
}

TEST_F(Selection, ControlASelectsEverything) {
  c.SetText("abc\rdefg\rhij");
  PlaceCaret(5);
  host.display.KeyDown(VK_CONTROL, kControlScan);
  host.display.Char(0x01);
  host.display.KeyUp(VK_CONTROL, kControlScan);
  EXPECT_EQ(c.GetSelStart(), 0);
  EXPECT_EQ(c.GetSelLength(), 12);
  EXPECT_EQ(Offset(), 5);  // the caret stays
  for (int n = 1; n <= 3; ++n) EXPECT_TRUE(c.m_Lines.At(n)->m_Highlighted);
  ExpectScreenMatchesFields(host);
}

TEST_F(Selection, ShiftWithTheMovingKeysSelectsFromTheCaret) {
  c.SetText("abcdefghijkl");
  PlaceCaret(2);
  ShiftKeys({VK_RIGHT, VK_RIGHT, VK_RIGHT});
  EXPECT_EQ(c.GetSelStart(), 2);
  EXPECT_EQ(c.GetSelLength(), 3);
  EXPECT_EQ(c.SelectedText(), "cde");
  ExpectScreenMatchesFields(host);
  // Backwards, released and taken up again: the far end stays.
  Key(VK_END);  // drops the selection
  EXPECT_EQ(c.GetSelLength(), 0);
  PlaceCaret(10);
  ShiftKeys({VK_LEFT});
  ShiftKeys({VK_LEFT});
  EXPECT_EQ(c.GetSelStart(), 8);
  EXPECT_EQ(c.GetSelLength(), 2);
  ShiftKeys({});  // Shift pressed and released alone keeps it
  EXPECT_EQ(c.GetSelLength(), 2);
  ExpectScreenMatchesFields(host);
  // Shift+Delete cuts 8 to 10.
  ShiftKeys({VK_DELETE});
  EXPECT_EQ(c.GetText(), "abcdefghkl");
  EXPECT_EQ(host.display.ClipboardData().value_or(""), "ij");
  EXPECT_EQ(Offset(), 8);
}

TEST_F(Selection, ACommandWhileShiftIsHeldTakesTheRangeShown) {
  c.SetText("abcdef");
  PlaceCaret(4);
  host.display.KeyDown(VK_SHIFT, kShiftScan);
  Key(VK_LEFT);
  Key(VK_LEFT);  // "cd", made backwards
  host.display.KeyDown(VK_CONTROL, kControlScan);
  host.display.Char(0x18);  // Ctrl+X before Shift goes up
  host.display.KeyUp(VK_CONTROL, kControlScan);
  host.display.KeyUp(VK_SHIFT, kShiftScan);
  EXPECT_EQ(c.GetText(), "abef");
  EXPECT_EQ(host.display.ClipboardData().value_or(""), "cd");
  EXPECT_EQ(Offset(), 2);
}

TEST_F(Selection, ShiftAcrossLinesAndBackLeavesNoHighlightBehind) {
  c.SetText("abcd\refgh\rijkl\rmnop");
  PlaceCaret(7);  // line 2, index 2
  ShiftKeys({VK_DOWN, VK_DOWN}, false);
  EXPECT_EQ(c.SelectedText(), "gh\rijkl\rmn");
  ShiftKeys({VK_UP, VK_UP, VK_UP});
  EXPECT_EQ(c.SelectedText(), "cd\ref");
  EXPECT_FALSE(c.m_Lines.At(3)->m_Highlighted);
  EXPECT_FALSE(c.m_Lines.At(4)->m_Highlighted);
  ExpectScreenMatchesFields(host);
  Key(VK_LEFT);  // a key without Shift drops it, after moving
  EXPECT_EQ(c.GetSelLength(), 0);
  for (int n = 1; n <= 4; ++n) EXPECT_FALSE(c.m_Lines.At(n)->m_Highlighted);
  ExpectScreenMatchesFields(host);
}

// Moving the end of a range measures the lines whose highlight changes, whatever the range
// spans: the same text-library calls with ten lines selected as with a thousand.
TEST_F(Selection, MovingTheEndMeasuresOnlyTheLinesItChanges) {
  auto measuredForOneStep = [&](int lines) {
    std::string text;
    for (int i = 0; i < lines; ++i) text += "line\r";
    c.SetText(text + "end");
    PlaceCaret(2);
    host.display.KeyDown(VK_SHIFT, kShiftScan);
    host.display.KeyDown(VK_CONTROL, kControlScan);
    Key(VK_END);
    host.display.KeyUp(VK_CONTROL, kControlScan);
    EXPECT_EQ(c.GetSelLength(), lines * 5 + 1);
    host.library.ClearCalls();
    Key(VK_LEFT);
    host.display.KeyUp(VK_SHIFT, kShiftScan);
    EXPECT_EQ(c.GetSelLength(), lines * 5);
    return host.library.calls.size();
  };
  const size_t few = measuredForOneStep(10);
  EXPECT_EQ(measuredForOneStep(1000), few);
}

TEST_F(Selection, TypingReplacesTheSelection) {
  c.SetText("abcdef");
  c.SetSelStart(1);
  c.SetSelLength(3);
  host.display.TypeText("X");  // the key-down removes it, the character takes its place
  EXPECT_EQ(c.GetText(), "aXef");
  EXPECT_EQ(Offset(), 2);
  c.SetSelStart(0);
  c.SetSelLength(2);
  Key(0x71);  // F2: a function key removes it too
  EXPECT_EQ(c.GetText(), "ef");
  c.SetSelStart(0);
  c.SetSelLength(1);
  host.display.KeyDown(VK_SHIFT, kShiftScan);
  host.display.KeyDown('A');  // Shift with a typing key cuts
  host.display.Char('A');
  host.display.KeyUp('A');
  host.display.KeyUp(VK_SHIFT, kShiftScan);
  EXPECT_EQ(c.GetText(), "Af");
  EXPECT_EQ(host.display.ClipboardData().value_or(""), "e");
  ExpectScreenMatchesFields(host);
}

TEST_F(Selection, ReadOnlyKeepsTheTextButSelects) {
  c.SetText("abcdef");
  c.m_ReadOnly = TRUE;
  PlaceCaret(1);
  ShiftKeys({VK_RIGHT, VK_RIGHT});
  EXPECT_EQ(c.SelectedText(), "bc");
  host.display.TypeText("Z");
  Key(VK_DELETE);
  Key(VK_BACK);
  Key(VK_RETURN);
  EXPECT_EQ(c.GetText(), "abcdef");
}

TEST_F(Selection, HiddenWithoutTheFocusAndBackWithIt) {
  c.SetText("abcdef");
  c.SetSelStart(1);
  c.SetSelLength(3);
  Surface selected = Screen();
  host.container.SetFocus();
  c.Redraw();  // a repaint without the focus draws no highlight
  Surface unfocused = Screen();
  EXPECT_GT(DifferingPixels(selected, unfocused), 0);
  c.SetFocus();
  EXPECT_EQ(DifferingPixels(selected, Screen()), 0);
  c.m_HideSelection = FALSE;
  host.container.SetFocus();
  c.Redraw();
  EXPECT_EQ(DifferingPixels(selected, Screen()), 0);
}

TEST_F(Selection, RightToLeftLinesTakeTheMirroredSpans) {
  ControlHost rtl;  // the default right-to-left control
  CKestrixCtrl& r = *rtl.ctrl;
  r.SetText("\xC7\xC8\xC7\xC8\r\xC7\xC8\xC7\xC8\r\xC7\xC8");
  r.SetFocus();
  r.m_CharIndex = r.IndexFromOffset(2);
  rtl.display.KeyDown(VK_SHIFT, kShiftScan);
  rtl.display.KeyDown(VK_DOWN);  // the moving end goes below the anchor
  rtl.display.KeyUp(VK_SHIFT, kShiftScan);
  const LineRecord* anchor = r.m_Lines.At(1);
  ASSERT_EQ(anchor->m_Direction, 1);
  r.GotoLine(1);
  // A right-to-left anchor line is highlighted from its left text edge to the anchor.
  EXPECT_EQ(std::min(anchor->m_HighlightLeft, anchor->m_HighlightRight), r.m_LineLeft);
  EXPECT_EQ(r.SelectedText(), "\xC7\xC8\r\xC7\xC8");
  ExpectScreenMatchesFields(rtl);
}

}  // namespace

}  // namespace kestrix
