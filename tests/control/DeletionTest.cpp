// Removing text, the split around a host-written selection, and inserting a string in place of
// the selection.
#include <gtest/gtest.h>

#include <climits>

#include "ControlHost.h"
#include "framework/window/Clipboard.h"

namespace kestrix {

namespace {

class Deletion : public ::testing::Test {
 protected:
  ControlHost host;
  CKestrixCtrl& c = *host.ctrl;

  int Offset() { return c.OffsetFromIndex(c.m_CharIndex); }
  void PlaceCaret(int offset) { c.m_CharIndex = c.IndexFromOffset(offset); }
  void Select(int start, int length) { c.m_SelStart = start, c.m_SelLength = length; }
};

TEST_F(Deletion, WithoutSelectionTheCharacterAfterTheCaretGoes) {
  c.SetText("abc\rdef");
  PlaceCaret(2);
  c.m_HasFocus = FALSE;
  c.DeleteAtCaret(FALSE);
  EXPECT_EQ(c.GetText(), "ab\rdef");
  EXPECT_EQ(Offset(), 2);
  EXPECT_TRUE(c.m_HasFocus);
  c.DeleteAtCaret(FALSE);  // the CR: the paragraphs join
  EXPECT_EQ(c.GetText(), "abdef");
  EXPECT_EQ(c.LineCount(), 1);
  PlaceCaret(5);
  c.DeleteAtCaret(FALSE);  // nothing after the end
  EXPECT_EQ(c.GetText(), "abdef");
  EXPECT_EQ(Offset(), 5);
}

TEST_F(Deletion, ASelectionGoesWholeAndTheCaretStandsAtItsStart) {
  // The caret at either end of the selection, or elsewhere when the host wrote the range.
  for (int caret : {4, 9, 0, 14}) {
    c.SetText("abcdef\rghij\rklm");
    PlaceCaret(caret);
    Select(4, 5);  // "ef\rgh"
    c.DeleteAtCaret(FALSE);
    EXPECT_EQ(c.GetText(), "abcdij\rklm") << caret;
    EXPECT_EQ(Offset(), 4) << caret;
    EXPECT_EQ(c.m_SelLength, 0);
  }
}

TEST_F(Deletion, HostWrittenRangesAreClampedToTheText) {
  c.SetText("abcdef");
  PlaceCaret(3);
  struct Case {
    int start, length;
    const char *before, *after, *selected;
  };
  for (const Case& k : {Case{-3, 2, "", "cdef", "ab"},  // a start before 0 counts as 0
                        Case{4, 100, "abcd", "", "ef"},  // cut at the end
                        Case{10, 3, "abcdef", "", ""},
                        Case{2, -4, "abc", "def", ""},  // selects nothing: the caret splits
                        Case{INT_MIN, INT_MAX, "", "", "abcdef"}}) {
    Select(k.start, k.length);
    const CKestrixCtrl::EditRange range = c.SelectionRange();
    EXPECT_EQ(c.GetText().substr(0, static_cast<size_t>(range.start)), k.before) << k.start;
    EXPECT_EQ(c.GetText().substr(static_cast<size_t>(range.end)), k.after) << k.start;
    EXPECT_EQ(c.SelectedText(), k.selected) << k.start;
  }
  Select(4, 100);
  c.DeleteAtCaret(FALSE);
  EXPECT_EQ(c.GetText(), "abcd");
  PlaceCaret(1);
  Select(3, -2);  // no selection: the character after the caret goes
  c.DeleteAtCaret(FALSE);
  EXPECT_EQ(c.GetText(), "acd");
}

TEST_F(Deletion, CutDeletesOnlyWhatReachedTheClipboardAndNothingWhenReadOnly) {
  c.SetText("ab\rcdef");
  Select(1, 3);
  c.m_ReadOnly = TRUE;
  c.DeleteAtCaret(TRUE);
  EXPECT_EQ(c.GetText(), "ab\rcdef");
  EXPECT_FALSE(host.display.ClipboardData().has_value());
  c.m_ReadOnly = FALSE;
  c.DeleteAtCaret(TRUE);
  EXPECT_EQ(host.display.ClipboardData(), "b\rc");
  EXPECT_EQ(c.GetText(), "adef");
  EXPECT_EQ(Offset(), 1);
  EXPECT_EQ(host.display.PreviousCursor(), PointerShape::Wait);
  EXPECT_EQ(host.display.GetCursor(), PointerShape::Arrow);

  Select(0, 2);
  ASSERT_TRUE(OpenClipboard(host.container.GetSafeHwnd()));  // held by another window
  c.DeleteAtCaret(TRUE);
  CloseClipboard();
  EXPECT_EQ(c.GetText(), "adef");
  EXPECT_EQ(host.display.ClipboardData(), "b\rc");
}

TEST_F(Deletion, ClearLeavesOneEmptyLineOnTheBackground) {
  std::string text;
  for (int i = 0; i < 30; ++i) text += "line\r";
  c.SetText(text);
  PlaceCaret(100);
  c.ScrollCaretIntoView();
  ASSERT_GT(c.m_FirstVisible, 1);
  Select(3, 4);
  c.m_BackColor = RGB(0x20, 0x40, 0x60);
  host.display.GetSurface().Fill(CRect(0, 0, 800, 600), 0x00FF00);
  c.m_ReadOnly = TRUE;  // does not stop Clear
  c.Clear();
  EXPECT_EQ(c.GetText(), "");
  EXPECT_EQ(c.LineCount(), 1);
  EXPECT_EQ(c.m_FirstVisible, 1);
  EXPECT_EQ(c.m_SelLength, 0);
  EXPECT_EQ(c.m_CharCount, 0);
  Surface client = host.display.CaptureClient(c.GetSafeHwnd());
  for (int x : {1, 100, 314}) EXPECT_EQ(client.Pixel(x, 150), 0x204060u) << x;
  c.OnFontChanged();  // does not bring the text back
  EXPECT_EQ(c.GetText(), "");
}

TEST_F(Deletion, InsertTextReplacesTheSelectionOrDoesNothing) {
  c.SetText("ab\rcd");
  PlaceCaret(2);  // at the end of a paragraph: an empty line after it
  c.InsertText("\r", 1);
  EXPECT_EQ(c.GetText(), "ab\r\rcd");
  EXPECT_EQ(c.m_CurLine, 2);
  EXPECT_EQ(c.m_CharIndex, 0);
  Select(0, 2);
  c.InsertText("x\ty\n", 1);  // dropped characters do not move the caret on
  EXPECT_EQ(c.GetText(), "xy\r\rcd");
  EXPECT_EQ(Offset(), 2);

  c.InsertText("Q", 0);  // without force only while Shift is down
  EXPECT_EQ(c.GetText(), "xy\r\rcd");
  host.display.KeyDown(VK_SHIFT);
  c.InsertText("Q", 0);
  host.display.KeyUp(VK_SHIFT);
  EXPECT_EQ(c.GetText(), "xyQ\r\rcd");
  c.m_MultiLines = FALSE;
  c.InsertText("\r", 1);
  EXPECT_EQ(c.GetText(), "xyQ\r\rcd");
}

}  // namespace

}  // namespace kestrix
