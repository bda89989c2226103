#include <gtest/gtest.h>

#include "ControlHost.h"

namespace kestrix {

namespace {

struct EventLog : EventSink {
  std::vector<DISPID> events;
  void OnStockEvent(StockEvent& e) override { events.push_back(e.dispid); }
};

class WindowLifecycle : public ::testing::Test {
 protected:
  ControlHost host;
  CKestrixCtrl& c = *host.ctrl;
  EventLog log;
  void SetUp() override { c.SetEventSink(&log); }
};

TEST_F(WindowLifecycle, CreationSetsUpAnEmptyStoreWithAClientEdge) {
  EXPECT_TRUE(c.GetExStyle() & WS_EX_CLIENTEDGE);
  EXPECT_EQ(c.LineCount(), 1);
  EXPECT_EQ(c.m_CurLine, 1);
  EXPECT_NE(c.m_pScrollBar, nullptr);
  EXPECT_FALSE(c.m_pScrollBar->IsWindowVisible());
}

TEST_F(WindowLifecycle, StockEventsComeFromEveryHandler) {
  c.SetText("abc");
  HWND w = c.GetSafeHwnd();
  host.display.MouseMove(w, 50, 10);
  host.display.Click(w, 50, 10);
  host.display.DoubleClick(w, 50, 10);
  host.display.KeyDown('A', 0x1E);
  host.display.Char('a');
  host.display.KeyUp('A', 0x1E);
  std::vector<DISPID> expected = {DISPID_MOUSEMOVE, DISPID_CLICK,   DISPID_CLICK,
                                  DISPID_DBLCLICK,  DISPID_KEYDOWN, DISPID_KEYPRESS,
                                  DISPID_KEYUP};
  EXPECT_EQ(log.events, expected);
}

TEST_F(WindowLifecycle, FocusDrawsAndErasesTheCaret) {
  c.SetText("abc");
  c.ActivateEdit(L"", L"");
  c.SetFocus();
  EXPECT_TRUE(c.m_HasFocus);
  EXPECT_TRUE(c.m_CaretShown);
  host.container.SetFocus();
  EXPECT_FALSE(c.m_HasFocus);
  EXPECT_FALSE(c.m_CaretShown);
}

TEST_F(WindowLifecycle, FocusLoadsTheWorkingCopyAndItsLossStoresIt) {
  c.SetText("abc\rdefg");
  c.GotoLine(1);
  c.m_LineText = "stale";  // out of step with the record
  c.m_CharIndex = 9;
  c.SetFocus();
  EXPECT_EQ(c.m_LineText, "abc\r");
  EXPECT_EQ(c.m_CharIndex, 3);  // clamped before the hard break
  c.m_LineText = "abcx\r";     // an edit not yet stored
  host.container.SetFocus();
  EXPECT_EQ(c.m_Lines.At(1)->m_Chars, "abcx\r");
}

TEST_F(WindowLifecycle, ArrowKeysMoveTheCaretOnce) {
  c.SetText("abc\rdef\rghi");
  c.SetFocus();
  c.GotoLine(1);
  c.m_CharIndex = 1;
  host.display.KeyDown(VK_DOWN, 0x50);
  EXPECT_EQ(c.m_CurLine, 2);
  EXPECT_EQ(c.m_CharIndex, 1);
  host.display.KeyDown(VK_RIGHT, 0x4D);
  EXPECT_EQ(c.m_CharIndex, 2);
  host.display.KeyDown(VK_UP, 0x48, true);  // Alt+Up reaches the hook alone
  EXPECT_EQ(c.m_CurLine, 1);
}

TEST_F(WindowLifecycle, FontChangeReloadsTheText) {
  c.SetText("abc def");
  HWND before = c.GetSafeHwnd();
  c.m_FontEn.GetFontDispatch()->put_Size(200000);
  EXPECT_NE(c.GetSafeHwnd(), before);  // recreated: characters were held
  EXPECT_EQ(c.m_lfEn.lfHeight, 20);
  EXPECT_EQ(c.GetText(), "abc def");
  EXPECT_TRUE(c.IsModified());
}

TEST_F(WindowLifecycle, FontChangeOnAnEmptyControlKeepsTheWindow) {
  HWND before = c.GetSafeHwnd();
  c.m_FontAr.GetFontDispatch()->put_Size(100000);
  EXPECT_EQ(c.GetSafeHwnd(), before);
}

TEST_F(WindowLifecycle, LoadedTextReachesTheStoreThroughTheFontNotification) {
  PropertyBag bag;
  bag.Write("m_Text", CString("ab\rcd"));
  c.LoadProperties(bag);
  EXPECT_EQ(c.GetText(), "");  // a load does not touch the store
  c.m_FontEn.GetFontDispatch()->put_Italic(TRUE);
  EXPECT_EQ(c.GetText(), "ab\rcd");
}

TEST_F(WindowLifecycle, SnapshotIsTakenOnlyByRebuilds) {
  c.SetText("ab");
  c.GotoLine(1);
  c.m_CharIndex = 2;
  c.AcquireDC();
  c.InsertChar('c');
  c.StoreLine();
  c.ReleaseHeldDC();
  EXPECT_EQ(c.GetText(), "abc");
  EXPECT_EQ(c.TextSnapshot(), "ab");
  PropertyBag bag;
  c.SaveProperties(bag);
  EXPECT_EQ(std::get<CString>(*bag.Read("m_Text")), "abc");  // a save takes the store's text
}

TEST_F(WindowLifecycle, DestroyKillsTheBlinkTimer) {
  c.ActivateEdit(L"", L"");
  HWND w = c.GetSafeHwnd();
  ASSERT_TRUE(host.display.HasTimer(w, 100));
  c.DestroyWindow();
  EXPECT_FALSE(host.display.HasTimer(w, 100));
}

}  // namespace

}  // namespace kestrix
