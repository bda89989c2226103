// Keys and characters as a display delivers them: the key table, F5, typed characters, and a host that changes or cancels the codes it is shown.
#include <gtest/gtest.h>

#include <functional>

#include "ControlHost.h"

namespace kestrix {

namespace {

constexpr UINT kControl = 0x1D;

// A host whose KeyDown handler may rewrite the key code.
struct RewritingHost : EventSink {
  std::function<short(short)> rewrite = [](short code) { return code; };
  int keyDowns = 0;
  void OnStockEvent(StockEvent& e) override {
    if (e.dispid != DISPID_KEYDOWN) return;
    ++keyDowns;
    e.keyCode = rewrite(e.keyCode);
  }
};

class KeyMessages : public ::testing::Test {
 protected:
  ControlHost host;
  CKestrixCtrl& c = *host.ctrl;
  RewritingHost events;

  void SetUp() override {
    c.SetEventSink(&events);
    c.SetFocus();
  }
  void Press(int key, UINT scan = 0) {
    host.display.KeyDown(key, scan);
    host.display.KeyUp(key, scan);
  }
  int Offset() { return c.OffsetFromIndex(c.m_CharIndex); }
  void PlaceCaret(int offset) { c.m_CharIndex = c.IndexFromOffset(offset); }
};

TEST_F(KeyMessages, F5RebuildsTheTextKeepingTheCaretOffset) {
  c.SetText("abcdef\rgh");
  c.SetModifiedFlag(FALSE);
  PlaceCaret(2);
  c.m_MaxLength = 4;  // a lower limit takes effect at the next rebuild
  c.TextSnapshot() = "stale";
  c.m_SelStart = 1;
  c.m_SelLength = 2;
  c.m_Selecting = 1;
  c.m_SelActiveLine = 2;
  Press(VK_F5);
  EXPECT_EQ(c.m_SelStart, 0);  // every rebuild ends with nothing selected
  EXPECT_EQ(c.m_SelLength, 0);
  EXPECT_EQ(c.m_Selecting, 0);
  EXPECT_EQ(c.m_SelActiveLine, 0);
  EXPECT_EQ(c.GetText(), "abcd\r");
  EXPECT_EQ(c.TextSnapshot(), "abcdef\rgh");  // the snapshot is the text the rebuild was handed
  EXPECT_EQ(Offset(), 2);
  EXPECT_FALSE(c.IsModified());
}

TEST_F(KeyMessages, TheKeyTableMovesTheCaretOncePerKey) {
  c.SetText("abcdef\rghijkl\rmnopqr");
  PlaceCaret(10);  // line 2, index 3
  Press(VK_LEFT);
  EXPECT_EQ(Offset(), 9);
  Press(VK_RIGHT);
  EXPECT_EQ(Offset(), 10);
  Press(VK_UP);
  EXPECT_EQ(c.m_CurLine, 1);
  Press(VK_DOWN);
  EXPECT_EQ(c.m_CurLine, 2);
  Press(VK_END);
  EXPECT_EQ(c.m_CharIndex, 6);  // before the CR
  Press(VK_HOME);
  EXPECT_EQ(c.m_CharIndex, 0);
  Press(VK_NEXT);
  EXPECT_EQ(c.m_CurLine, 3);
  Press(VK_PRIOR);
  EXPECT_EQ(c.m_CurLine, 1);
  Press(VK_TAB);
  EXPECT_EQ(c.GetText(), "abcdef\rghijkl\rmnopqr");
  EXPECT_EQ(events.keyDowns, 9);
}

TEST_F(KeyMessages, AHostRewritingOrCancellingKeyDownChangesNothing) {
  c.SetText("abcdefgh");
  PlaceCaret(4);
  events.rewrite = [](short) { return short(0); };  // cancelled
  Press(VK_LEFT);
  EXPECT_EQ(Offset(), 3);
  events.rewrite = [](short code) { return code == VK_LEFT ? short(VK_RIGHT) : code; };
  Press(VK_LEFT);
  EXPECT_EQ(Offset(), 2);
  events.rewrite = [](short) { return short(VK_F5); };
  Press(VK_RIGHT);
  EXPECT_EQ(Offset(), 3);
}

TEST_F(KeyMessages, KeysWithAltMoveOnceThroughTheHookEvenWhenCancelled) {
  c.SetText("abcdefgh");
  PlaceCaret(4);
  host.display.KeyDown(VK_MENU, 0x38);
  Press(VK_LEFT);
  EXPECT_EQ(Offset(), 3);
  events.rewrite = [](short code) { return code == VK_LEFT ? short(0) : code; };
  Press(VK_LEFT);
  EXPECT_EQ(Offset(), 2);
  events.rewrite = [](short code) { return code == VK_RIGHT ? short(VK_LEFT) : code; };
  Press(VK_RIGHT);
  EXPECT_EQ(Offset(), 3);
  Press(VK_HOME);  // not one of the hook's keys
  EXPECT_EQ(Offset(), 3);
  host.display.KeyUp(VK_MENU, 0x38);
}

TEST_F(KeyMessages, TypedCharactersAreInsertedAtTheCaret) {
  c.SetText("ad");
  PlaceCaret(1);
  host.display.TypeText("bc");
  host.display.Char(0xC7);
  EXPECT_EQ(c.GetText(), "abc\xC7" "d");
  EXPECT_EQ(Offset(), 4);
  host.display.Char('\t');  // control characters are refused
  host.display.Char(0x1B);
  EXPECT_EQ(c.GetText(), "abc\xC7" "d");
}

TEST_F(KeyMessages, WideCharacterCodesAreRefused) {
  c.SetText("ab");
  PlaceCaret(1);
  for (WPARAM code : {WPARAM{0x10D}, WPARAM{0x100}, WPARAM{0x141}, WPARAM{0xFFFF}, WPARAM{0x1000D}})
    c.SendMessage(WM_CHAR, code, 1);
  EXPECT_EQ(c.GetText(), "ab");
  EXPECT_EQ(c.LineCount(), 1);
  c.SendMessage(WM_CHAR, 0xFF, 1);  // the top of the code page is a character
  EXPECT_EQ(c.GetText(), "a\xFF" "b");
}

TEST_F(KeyMessages, NothingIsTypedWithControlDown) {
  c.SetText("ab");
  host.display.KeyDown(VK_CONTROL, kControl);
  host.display.Char('x');
  host.display.KeyDown(VK_MENU, 0x38);  // AltGr is Control with Alt
  host.display.Char(0xC7);
  host.display.KeyUp(VK_MENU, 0x38);
  host.display.KeyUp(VK_CONTROL, kControl);
  EXPECT_EQ(c.GetText(), "ab");
}

TEST_F(KeyMessages, AMouseMoveShowsTheIBeam) {
  host.display.SetCursor(PointerShape::Arrow);
  host.display.MouseMove(c.GetSafeHwnd(), 50, 20);
  EXPECT_EQ(host.display.GetCursor(), PointerShape::IBeam);
  EXPECT_EQ(host.display.PreviousCursor(), PointerShape::Hidden);  // set to none on the way
}

}  // namespace

}  // namespace kestrix
