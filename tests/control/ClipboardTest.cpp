// Copy and paste through the commands and the right-button menu, SelText, and a clipboard held
// open by another window.
#include <gtest/gtest.h>

#include "ControlHost.h"
#include "framework/window/Clipboard.h"

namespace kestrix {

namespace {

class ClipboardCommands : public ::testing::Test {
 protected:
  // The client area starts at (32, 42) on the screen: the window at (30, 40) in a container at
  // the origin, inside a 2-pixel client edge.
  ControlHost host{CRect(30, 40, 350, 240)};
  CKestrixCtrl& c = *host.ctrl;

  int Offset() { return c.OffsetFromIndex(c.m_CharIndex); }
  void PlaceCaret(int offset) { c.m_CharIndex = c.IndexFromOffset(offset); }
  void Select(int start, int length) { c.m_SelStart = start, c.m_SelLength = length; }
  void Copy() { c.SendMessage(WM_COMMAND, CKestrixCtrl::kCopyCommand, 0); }
  void Paste() { c.SendMessage(WM_COMMAND, CKestrixCtrl::kPasteCommand, 0); }
  std::optional<std::string> Clipboard() { return host.display.ClipboardData(); }
};

TEST_F(ClipboardCommands, CopyPutsTheSelectionWithABareCRUnlessTheClipboardIsHeld) {
  c.SetText("ab\rcd");
  c.m_ReadOnly = TRUE;  // copying is always allowed
  Select(1, 3);
  Copy();
  EXPECT_EQ(Clipboard(), "b\rc");
  EXPECT_EQ(c.m_SelText, "b\rc");
  EXPECT_FALSE(host.display.ClipboardIsOpen());
  Select(0, 0);
  ASSERT_TRUE(OpenClipboard(host.container.GetSafeHwnd()));
  Copy();
  EXPECT_TRUE(host.display.ClipboardIsOpen());  // still the other window's to close
  CloseClipboard();
  EXPECT_EQ(Clipboard(), "b\rc");
  Copy();  // nothing selected: the empty text
  EXPECT_EQ(Clipboard(), "");
}

TEST_F(ClipboardCommands, PasteTurnsCRLFIntoOneBreakAndLeavesTheCaretAfterIt) {
  c.SetText("ab");
  PlaceCaret(1);
  host.display.PutClipboardText("one\r\ntwo");
  Paste();
  EXPECT_EQ(c.GetText(), "aone\rtwob");
  EXPECT_EQ(c.m_CurLine, 2);
  EXPECT_EQ(c.m_CharIndex, 3);
  EXPECT_FALSE(host.display.ClipboardIsOpen());
  EXPECT_EQ(host.display.PreviousCursor(), PointerShape::Wait);
  EXPECT_EQ(host.display.GetCursor(), PointerShape::Arrow);
}

TEST_F(ClipboardCommands, PasteReplacesTheSelection) {
  c.SetText("abcdef");
  Select(1, 3);
  host.display.PutClipboardText(std::string("XY\0Z", 4));  // CF_TEXT ends at its NUL
  Paste();
  EXPECT_EQ(c.GetText(), "aXYef");
  EXPECT_EQ(Offset(), 3);
  EXPECT_EQ(c.m_SelLength, 0);
  ASSERT_TRUE(OpenClipboard(c.GetSafeHwnd()));
  EmptyClipboard();
  CloseClipboard();
  Select(0, 2);  // no text on the clipboard: the selection is replaced by nothing
  Paste();
  EXPECT_EQ(c.GetText(), "Yef");
  EXPECT_EQ(Offset(), 0);
}

TEST_F(ClipboardCommands, PasteChangesNothingWhenReadOnlyOrTheClipboardIsHeld) {
  c.SetText("abcdef");
  host.display.PutClipboardText("XY");
  Select(1, 3);
  c.m_ReadOnly = TRUE;
  Paste();
  c.m_ReadOnly = FALSE;
  ASSERT_TRUE(OpenClipboard(host.container.GetSafeHwnd()));
  Paste();
  CloseClipboard();
  EXPECT_EQ(c.GetText(), "abcdef");
  EXPECT_EQ(c.m_SelLength, 3);
}

TEST_F(ClipboardCommands, PastePastMaxLengthKeepsTheTextAroundIt) {
  c.SetText("abcdef");
  c.m_MaxLength = 8;
  PlaceCaret(3);
  // Breaks take no room; the pasted text stops at the first character that finds none.
  host.display.PutClipboardText("1\r2345");
  Paste();
  EXPECT_EQ(c.GetText(), "abc1\r2def");
  EXPECT_EQ(Offset(), 6);
  Paste();  // full: nothing goes in, nothing is lost
  EXPECT_EQ(c.GetText(), "abc1\r2def");
  // A single-line control stores a space for a CR, and that takes room.
  c.m_MultiLines = FALSE;
  c.m_MaxLength = 6;
  c.SetText("abcd");
  PlaceCaret(2);
  host.display.PutClipboardText("x\ry");
  Paste();
  EXPECT_EQ(c.GetText(), "abx cd");
  EXPECT_EQ(Offset(), 4);
}

TEST_F(ClipboardCommands, SelTextReturnsTheSelectedCharacters) {
  c.SetText("01\xC7\xC8" "456789");
  Select(2, 3);
  EXPECT_EQ(c.SelText(), L"\u0627\u06284");
  EXPECT_EQ(c.m_SelText, "\xC7\xC8" "4");
  Select(2, 0);
  EXPECT_EQ(c.SelText(), L"");
}

TEST_F(ClipboardCommands, RightButtonMenuOffersBothCommandsAndRunsTheChosenOne) {
  c.SetText("abcdef");
  c.m_ReadOnly = TRUE;
  PlaceCaret(5);
  Select(1, 2);
  POINT shownAt{};
  UINT choice = CKestrixCtrl::kCopyCommand;
  host.display.SetMenuChooser([&](const std::vector<MenuItem>&, POINT at) {
    shownAt = at;
    return choice;
  });
  host.display.MouseDown(c.GetSafeHwnd(), 50, 10, /*right=*/true);
  host.display.PumpMessages();
  ASSERT_EQ(host.display.MenusShown().size(), 1u);
  const std::vector<MenuItem>& items = host.display.MenusShown()[0];
  ASSERT_EQ(items.size(), 2u);
  EXPECT_EQ(items[0].text, "Copy \tCtrl+C");
  EXPECT_EQ(items[0].id, 32768u);
  EXPECT_EQ(items[1].text, "Paste \tCtrl+V");
  EXPECT_EQ(items[1].id, 32769u);
  EXPECT_EQ(shownAt.x, 82);
  EXPECT_EQ(shownAt.y, 52);
  EXPECT_EQ(Clipboard(), "bc");
  EXPECT_EQ(Offset(), 5);  // the right button moves neither the caret nor the selection
  EXPECT_EQ(c.m_SelLength, 2);
  host.display.MouseUp(c.GetSafeHwnd(), 50, 10, true);

  c.m_ReadOnly = FALSE;
  choice = CKestrixCtrl::kPasteCommand;
  host.display.PutClipboardText("XYZ");
  host.display.MouseDown(c.GetSafeHwnd(), 50, 10, true);
  host.display.PumpMessages();
  EXPECT_EQ(c.GetText(), "aXYZdef");
  EXPECT_EQ(Offset(), 4);
}

}  // namespace

}  // namespace kestrix
