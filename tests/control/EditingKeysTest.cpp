// The editing keys and Control commands as a person presses them: Backspace joining paragraphs
// and re-wrapping, Delete, Return, Insert, and Ctrl+X, Ctrl+L, Ctrl+Backspace.
#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "ScreenCheck.h"

namespace kestrix {

namespace {

constexpr UINT kControlScan = 0x1D;
constexpr UINT kShiftScan = 0x2A;

// A 100-pixel text rectangle: ten characters of 10 pixels fit with the slack.
class EditingKeys : public ::testing::Test {
 protected:
  ControlHost host{CRect(0, 0, 120, 200)};
  CKestrixCtrl& c = *host.ctrl;

  void SetUp() override {
    c.ActivateEdit(L"", L"");
    c.SetFocus();
  }
  void Key(int key, UINT scan = 0) {
    host.display.KeyDown(key, scan);
    host.display.KeyUp(key, scan);
  }
  void WithControl(const std::function<void()>& keys) {
    host.display.KeyDown(VK_CONTROL, kControlScan);
    keys();
    host.display.KeyUp(VK_CONTROL, kControlScan);
  }
  int Offset() { return c.OffsetFromIndex(c.m_CharIndex); }
  void PlaceCaret(int offset) {
    c.m_CharIndex = c.IndexFromOffset(offset);
    c.UpdateCaret();
  }
  std::vector<std::string> Lines() {
    std::vector<std::string> out;
    for (int n = 1; n <= c.LineCount(); ++n) out.push_back(c.m_Lines.At(n)->m_Chars);
    return out;
  }
};

TEST_F(EditingKeys, BackspaceJoinsParagraphsAndRewraps) {
  c.SetText("abc\rdef");
  PlaceCaret(4);  // the start of the line after a hard break
  Key(VK_BACK);
  EXPECT_EQ(c.GetText(), "abcdef");
  EXPECT_EQ(Offset(), 3);  // where the CR was
  c.SetText("aaaa bbbb cc");  // wraps after "aaaa bbbb "
  ASSERT_EQ(Lines(), (std::vector<std::string>{"aaaa bbbb ", "cc"}));
  PlaceCaret(10);  // the start of the second line: after a soft break
  Key(VK_BACK);    // takes the space at the break, and the words re-wrap
  EXPECT_EQ(c.GetText(), "aaaa bbbbcc");
  EXPECT_EQ(Lines(), (std::vector<std::string>{"aaaa ", "bbbbcc"}));
  EXPECT_EQ(Offset(), 9);
  PlaceCaret(0);
  Key(VK_BACK);  // at the start: nothing
  EXPECT_EQ(c.GetText(), "aaaa bbbbcc");
  ExpectScreenMatchesFields(host);
}

TEST_F(EditingKeys, DeleteTakesTheNextCharacterAndNothingAtTheEnd) {
  c.SetText("ab\rcd");
  PlaceCaret(2);
  Key(VK_DELETE);  // the CR: the paragraphs join
  EXPECT_EQ(c.GetText(), "abcd");
  EXPECT_EQ(Offset(), 2);
  PlaceCaret(4);
  Key(VK_DELETE);
  EXPECT_EQ(c.GetText(), "abcd");
}

TEST_F(EditingKeys, ReturnOpensALineOnlyInAMultiLineControl) {
  c.SetText("abc\rdef");
  PlaceCaret(3);  // the end of the first paragraph
  Key(VK_RETURN);
  EXPECT_EQ(c.GetText(), "abc\r\rdef");
  EXPECT_EQ(c.m_CurLine, 2);
  EXPECT_EQ(c.m_CharIndex, 0);
  c.SetText("abc");
  c.m_MaxLength = 3;  // full: no character goes in, but a hard break does
  PlaceCaret(3);
  host.display.TypeText("d");
  Key(VK_RETURN);
  EXPECT_EQ(c.GetText(), "abc\r");
  c.m_MultiLines = FALSE;
  Key(VK_RETURN);
  EXPECT_EQ(c.GetText(), "abc\r");
  ExpectScreenMatchesFields(host);
}

TEST_F(EditingKeys, InsertPastesOnlyWithShift) {
  c.SetText("ad");
  host.display.PutClipboardText("bc");
  PlaceCaret(1);
  Key(VK_INSERT);
  WithControl([&] { Key(VK_INSERT); });
  EXPECT_EQ(c.GetText(), "ad");
  host.display.KeyDown(VK_SHIFT, kShiftScan);
  Key(VK_INSERT);
  host.display.KeyUp(VK_SHIFT, kShiftScan);
  EXPECT_EQ(c.GetText(), "abcd");
  EXPECT_EQ(Offset(), 3);
  host.display.KeyDown(VK_SHIFT, kShiftScan);
  host.display.Char('-');  // Shift with "-" pastes too
  host.display.KeyUp(VK_SHIFT, kShiftScan);
  EXPECT_EQ(c.GetText(), "abcbcd");
  host.display.Char('-');
  EXPECT_EQ(c.GetText(), "abcbc-d");
}

TEST_F(EditingKeys, ControlCommandsCutClearAndTypeNothing) {
  c.SetText("abcd");
  PlaceCaret(1);
  WithControl([&] { host.display.Char(0x18); });  // Ctrl+X with nothing selected
  EXPECT_EQ(c.GetText(), "acd");
  EXPECT_EQ(host.display.ClipboardData().value_or("?"), "");
  WithControl([&] {
    Key(VK_BACK);                 // Ctrl+Backspace deletes one character back ...
    host.display.Char(0x7F);      // ... and the character that follows adds nothing
  });
  EXPECT_EQ(c.GetText(), "cd");
  c.m_ReadOnly = TRUE;
  WithControl([&] {
    host.display.Char(0x01);  // select-all works in a read-only control
    host.display.Char(0x18);  // a cut does not, not even its copy
  });
  EXPECT_EQ(c.GetSelLength(), 2);
  EXPECT_EQ(host.display.ClipboardData().value_or("?"), "");
  WithControl([&] { host.display.Char(0x0C); });  // Ctrl+L clears, read-only or not
  EXPECT_EQ(c.GetText(), "");
  EXPECT_EQ(c.TextSnapshot(), "");
  EXPECT_EQ(c.GetSelLength(), 0);
}

TEST_F(EditingKeys, MaxLengthRefusesTypingButRepaints) {
  c.SetText("abc");
  c.m_MaxLength = 3;
  PlaceCaret(3);
  host.library.ClearCalls();
  host.display.TypeText("d");
  EXPECT_EQ(c.GetText(), "abc");
  EXPECT_FALSE(host.library.CallsOf("aTextOut").empty());  // the line is still repainted
  c.m_MaxLength = 0;
  host.display.TypeText("d");
  EXPECT_EQ(c.GetText(), "abcd");
}

}  // namespace

}  // namespace kestrix
