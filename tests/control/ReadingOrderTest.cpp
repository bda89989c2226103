#include <gtest/gtest.h>

#include "ControlHost.h"

namespace kestrix {

namespace {

class ReadingOrder : public ::testing::Test {
 protected:
  ControlHost host;
  CKestrixCtrl& c = *host.ctrl;

  void SetUp() override {
    c.SetText("abc");
    c.SetModifiedFlag(FALSE);
    host.library.ClearCalls();
  }
  size_t LayoutRequests() const { return host.display.LayoutRequests().size(); }
};

TEST_F(ReadingOrder, SwitchingToLeftToRightRecreatesAndAsksForEnglish) {
  HWND before = c.GetSafeHwnd();
  c.SetReadingOrder(0);
  EXPECT_EQ(c.m_Alignment, 0);
  ASSERT_EQ(LayoutRequests(), 1u);
  EXPECT_EQ(host.display.LayoutRequests()[0].layout, 0x04090409);
  EXPECT_EQ(host.display.LayoutRequests()[0].flags, 5u);
  auto orders = host.library.CallsOf("aSetReadingOrder");
  ASSERT_EQ(orders.size(), 1u);
  EXPECT_EQ(orders[0].numbers[0], 0);
  EXPECT_NE(c.GetSafeHwnd(), before);  // a new window
  EXPECT_TRUE(c.IsModified());
  EXPECT_EQ(c.GetText(), "abc");  // the text came back
  EXPECT_EQ(c.m_TextRect, CRect(0, 0, 300, 196));
}

TEST_F(ReadingOrder, WritingTheSameValueDoesNothing) {
  HWND before = c.GetSafeHwnd();
  c.SetReadingOrder(1);
  EXPECT_EQ(LayoutRequests(), 0u);
  EXPECT_TRUE(host.library.CallsOf("aSetReadingOrder").empty());
  EXPECT_EQ(c.GetSafeHwnd(), before);
  EXPECT_FALSE(c.IsModified());
}

TEST_F(ReadingOrder, OtherValuesAreStoredAndReadAsRightToLeft) {
  c.SetReadingOrder(2);
  EXPECT_EQ(c.m_ReadingOrder, 2);
  EXPECT_EQ(c.m_Alignment, 2);
  EXPECT_EQ(host.display.ActiveLayout(), 0x04010401);
  EXPECT_EQ(host.library.CallsOf("aSetReadingOrder")[0].numbers[0], 2);
  // Only 1 puts the scroll strip on the left; the line records keep the value as given.
  EXPECT_EQ(c.m_TextRect, CRect(0, 0, 300, 196));
  c.SetReadingOrder(-7);
  EXPECT_EQ(c.m_Lines.At(1)->m_Direction, 0);  // "abc" is left-to-right whatever the order
  c.m_LineText = "";
  EXPECT_EQ(c.DetectLineDirection(), -7);
}

TEST_F(ReadingOrder, ActivateEditTurnsRightToLeftWithoutRecreating) {
  c.SetReadingOrder(0);
  HWND before = c.GetSafeHwnd();
  host.library.ClearCalls();
  c.SetModifiedFlag(FALSE);
  EXPECT_TRUE(c.ActivateEdit(L"", L""));
  EXPECT_EQ(c.m_ReadingOrder, 1);
  EXPECT_EQ(c.m_Alignment, 2);
  EXPECT_EQ(c.GetSafeHwnd(), before);
  EXPECT_EQ(host.display.ActiveLayout(), 0x04010401);
  // The library hears of the order, then of the keyboard; the lines are repainted with the
  // new alignment, and nothing is measured anew for a re-break.
  std::vector<std::string> told;
  for (const TextLibraryCall& call : host.library.calls)
    if (call.function == "aSetReadingOrder" || call.function == "aSetKeyboardLanguage") told.push_back(call.function);
  EXPECT_EQ(told, (std::vector<std::string>{"aSetReadingOrder", "aSetKeyboardLanguage"}));
  EXPECT_EQ(host.library.CallsOf("aSetKeyboardLanguage")[0].numbers[0], 1);
  // Right-aligned now, in the text rectangle the window was created with.
  EXPECT_EQ(host.library.CallsOf("aTextOut").back().numbers[0], 295 - 30);
  EXPECT_EQ(c.m_BlinkTimer, 100u);
  EXPECT_TRUE(host.display.HasTimer(c.GetSafeHwnd(), 100));
  EXPECT_FALSE(c.IsModified());
}

TEST_F(ReadingOrder, ControlWithEitherShiftPicksADirection) {
  constexpr UINT kLeftShift = 0x2A, kRightShift = 0x36, kControl = 0x1D;
  c.SetFocus();
  auto shift = [&](UINT scan) {
    host.display.KeyDown(VK_SHIFT, scan);
    host.display.KeyUp(VK_SHIFT, scan);
  };
  shift(kLeftShift);  // Shift alone: nothing
  EXPECT_EQ(c.m_ReadingOrder, 1);
  host.display.KeyDown(VK_CONTROL, kControl);
  shift(kRightShift);  // right Shift on a right-to-left control: nothing
  EXPECT_EQ(LayoutRequests(), 0u);
  shift(kLeftShift);  // left Shift: left-to-right
  EXPECT_EQ(c.m_ReadingOrder, 0);
  EXPECT_EQ(c.m_Alignment, 0);
  EXPECT_EQ(host.display.ActiveLayout(), 0x04090409);
  shift(kRightShift);
  EXPECT_EQ(c.m_ReadingOrder, 1);
  EXPECT_EQ(host.display.ActiveLayout(), 0x04010401);
  host.display.KeyUp(VK_CONTROL, kControl);
  EXPECT_EQ(c.GetText(), "abc");
}

TEST_F(ReadingOrder, AfterASwitchTheCaretKeepsItsPlaceAndTypingGoesOn) {
  c.SetText("abc\rdefgh");
  c.ActivateEdit(L"", L"");
  c.SetFocus();
  c.m_CharIndex = c.IndexFromOffset(6);  // line 2, index 2
  c.UpdateCaret();
  HWND before = c.GetSafeHwnd();
  host.display.KeyDown(VK_CONTROL, 0x1D);
  host.display.KeyDown(VK_SHIFT, 0x2A);
  host.display.KeyUp(VK_SHIFT, 0x2A);
  host.display.KeyUp(VK_CONTROL, 0x1D);
  ASSERT_NE(c.GetSafeHwnd(), before);
  EXPECT_EQ(c.m_ReadingOrder, 0);
  EXPECT_EQ(c.m_CurLine, 2);
  EXPECT_EQ(c.OffsetFromIndex(c.m_CharIndex), 6);
  EXPECT_EQ(host.display.GetFocus(), c.GetSafeHwnd());
  EXPECT_TRUE(c.m_HasFocus);
  host.display.TypeText("x");
  EXPECT_EQ(c.GetText(), "abc\rdexfgh");
  // Switched away without the focus, the control does not take it.
  host.container.SetFocus();
  EXPECT_FALSE(c.m_HasFocus);
  c.SetReadingOrder(1);
  EXPECT_EQ(host.display.GetFocus(), host.container.GetSafeHwnd());
  EXPECT_FALSE(c.m_HasFocus);
  EXPECT_EQ(c.OffsetFromIndex(c.m_CharIndex), 7);
}

TEST_F(ReadingOrder, RecreatingStopsTheBlinkingCaret) {
  c.ActivateEdit(L"", L"");
  c.SetFocus();
  ASSERT_TRUE(c.m_CaretShown);
  c.SetReadingOrder(0);
  EXPECT_FALSE(host.display.HasTimer(c.GetSafeHwnd(), 100));
  BOOL shown = c.m_CaretShown;
  host.display.AdvanceClock(3000);
  EXPECT_EQ(c.m_CaretShown, shown);  // steady until the next ActivateEdit
}

}  // namespace

}  // namespace kestrix
