// Verify names the rule a state breaks: each case starts from a sound control, breaks one rule
// by hand and expects that rule's name.
#include <gtest/gtest.h>

#include "ControlHost.h"
#include "control/Dispids.h"
#include "framework/ole/Variant.h"

namespace kestrix {

namespace {

// The report names the rule (or holds the phrase).
::testing::AssertionResult Names(const std::string& report, const std::string& rule) {
  if (report.find(rule) != std::string::npos) return ::testing::AssertionSuccess();
  return ::testing::AssertionFailure()
         << "expected \"" << rule << "\", Verify said \"" << report << "\"";
}

class VerifyTest : public ::testing::Test {
 protected:
  VerifyTest() {
    c.SetText("ab cd\r\xC7\xC8 ef\rgh");
    EXPECT_EQ(c.Verify(), "");
    EXPECT_EQ(c.LineCount(), 3);
  }
  // Makes line n current with the caret at its start, the working copy loaded.
  void Current(int n) {
    c.m_CharIndex = 0;
    c.GotoLine(n);
  }

  ControlHost host;
  CKestrixCtrl& c = *host.ctrl;
};

TEST_F(VerifyTest, SoundStatesPass) {
  c.SelectAll();
  EXPECT_EQ(c.Verify(), "");
  host.display.Click(c.GetSafeHwnd(), 30, 10);
  EXPECT_EQ(c.Verify(), "");
  c.SetText("");
  EXPECT_EQ(c.Verify(), "");
}

TEST_F(VerifyTest, SomethingHeldBetweenMessages) {
  c.AcquireDC();
  EXPECT_TRUE(Names(c.Verify(), "context held"));
  c.ReleaseHeldDC();
  c.PushPosition(FALSE);
  EXPECT_TRUE(Names(c.Verify(), "position stack"));
  c.PopPosition();
  EXPECT_EQ(c.Verify(), "");
}

TEST_F(VerifyTest, BrokenLines) {
  Current(3);
  // A CR inside a record, written through the list so that only the break rule is broken.
  c.m_Lines.SetChars(1, CString("a\rb cd\r"));
  EXPECT_TRUE(Names(c.Verify(), "line breaks"));
  c.m_Lines.SetChars(1, CString("ab cd\r"));
  c.m_Lines.SetChars(3, CString("gh\r"));
  c.m_LineText = "gh\r";
  EXPECT_TRUE(Names(c.Verify(), "line breaks")) << "the last line ends with a CR";
  c.m_Lines.SetChars(3, CString("gh"));
  c.m_LineText = "gh";

  // Bypassing SetChars leaves the cached totals behind the lines.
  (void)c.m_Lines.LengthBefore(3);
  c.m_Lines.At(1)->m_Chars = "abc cd\r";
  EXPECT_TRUE(Names(c.Verify(), "cached offsets"));
}

TEST_F(VerifyTest, WorkingCopyAndCaret) {
  Current(2);
  c.m_LineText += 'x';
  EXPECT_TRUE(Names(c.Verify(), "working copy"));
  c.m_LineText.pop_back();
  c.m_CharIndex = static_cast<int>(c.m_LineText.size());
  EXPECT_TRUE(Names(c.Verify(), "after the CR"));
  c.m_CharIndex = -1;
  EXPECT_TRUE(Names(c.Verify(), "caret index"));
  c.m_CharIndex = 0;
  c.m_CurLine = 4;
  EXPECT_TRUE(Names(c.Verify(), "caret line"));
}

TEST_F(VerifyTest, CountsAndLimit) {
  Current(3);
  c.m_CharCount += 1;
  EXPECT_TRUE(Names(c.Verify(), "character count"));
  c.m_CharCount -= 1;

  // A limit lowered by the host after the text was typed is no fault ...
  c.m_MaxLength = 4;
  EXPECT_EQ(c.Verify(), "");
  // ... but a text that grew past the limit it grew under is.
  c.m_MaxLength = c.m_CharCount + 1;
  c.m_CharIndex = 0;
  c.InsertChar('x');
  c.StoreLine();  // as the message handlers do after an insertion
  ASSERT_EQ(c.Verify(), "");
  c.m_LineText.insert(c.m_LineText.begin(), 'w');  // an insertion that skipped the limit check
  c.m_Lines.SetChars(3, c.m_LineText);
  c.m_CharCount += 1;
  EXPECT_TRUE(Names(c.Verify(), "over the MaxLength"));
}

TEST_F(VerifyTest, SelectionViewAndHighlight) {
  c.m_SelStart = 10;
  c.m_SelLength = 10;
  EXPECT_TRUE(Names(c.Verify(), "selection"));
  c.m_SelStart = c.m_SelLength = 0;

  c.m_LastVisible = 4;
  EXPECT_TRUE(Names(c.Verify(), "visible range"));
  c.m_LastVisible = 3;
  c.m_ScrollOffset = 7;
  EXPECT_TRUE(Names(c.Verify(), "scroll offset"));
  c.m_ScrollOffset = 0;

  c.m_Lines.At(2)->m_Highlighted = 1;
  EXPECT_TRUE(Names(c.Verify(), "without a selection"));
  c.m_SelLength = 1;
  c.m_SelAnchorLine = c.m_SelActiveLine = 1;
  EXPECT_TRUE(Names(c.Verify(), "outside the selected lines"));
  c.m_Lines.At(2)->m_Highlighted = 0;

  // Each visible line's span is the one the selection implies: one end moved is caught, and
  // so is a line the selection reaches that shows nothing.
  c.SetSelStart(1);
  c.SetSelLength(7);
  EXPECT_EQ(c.Verify(), "");
  c.m_Lines.At(1)->m_HighlightRight += 10;
  EXPECT_TRUE(Names(c.Verify(), "line 1 shows"));
  c.m_Lines.At(1)->m_HighlightRight -= 10;
  c.m_Lines.At(2)->m_Highlighted = 0;
  EXPECT_TRUE(Names(c.Verify(), "line 2 shows 0..0"));
}

TEST(VerifyScrollBar, ThumbAndRangeFollowTheView) {
  ControlHost host(CRect(0, 0, 100, 54));
  CKestrixCtrl& c = *host.ctrl;
  c.SetText("a\rb\rc\rd\re\rf\rg");
  ASSERT_TRUE(c.m_pScrollBar && c.m_pScrollBar->IsWindowVisible());
  ASSERT_EQ(c.Verify(), "");
  c.m_pScrollBar->SetScrollPos(c.m_pScrollBar->GetScrollPos() == 0 ? 1 : 0, FALSE);
  EXPECT_TRUE(Names(c.Verify(), "scroll bar position"));
  c.UpdateScrollBar();
  ASSERT_EQ(c.Verify(), "");
  SCROLLINFO info;
  c.m_pScrollBar->GetScrollInfo(&info);
  info.nMax += 1;
  c.m_pScrollBar->SetScrollInfo(&info, FALSE);
  EXPECT_TRUE(Names(c.Verify(), "scroll bar range"));
}

}  // namespace

namespace {

// The screen check: a highlight inverted one time too many, a highlight drawn where the records
// have none, and a record whose span the screen does not show are all caught.
TEST_F(VerifyTest, TheScreenMustShowTheHighlightOfTheRecords) {
  host.display.SetFocus(c.GetSafeHwnd());
  c.SetSelStart(1);
  c.SetSelLength(3);
  EXPECT_EQ(c.Verify(), "");
  EXPECT_EQ(c.VerifyScreen(), "");

  // The same span inverted once more on the screen: the XOR state no longer matches.
  CDC* dc = c.GetDC();
  CRect span(2, 2, 12, 8);
  dc->InvertRect(&span);
  c.ReleaseDC(dc);
  EXPECT_TRUE(Names(c.VerifyScreen(), "screen"));
  EXPECT_EQ(c.VerifyScreen(), "") << "the check repaints what it found stale";

  // A record that says its line is highlighted while the screen does not show it.
  LineRecord* record = c.m_Lines.At(1);
  record->m_HighlightLeft = std::min(record->m_HighlightLeft, record->m_HighlightRight) + 10;
  EXPECT_TRUE(Names(c.VerifyScreen(), "screen"));
}

}  // namespace

namespace {

// A new background reaches the one-pixel rows between the lines' bands too, through the host's
// write, with the caret and a selection on the screen.
TEST_F(VerifyTest, ABackColorWriteRepaintsEveryRow) {
  host.display.SetFocus(c.GetSafeHwnd());
  IDispatch* dispatch = c.GetIDispatch();
  for (LONG color : {0x000000, 0x00FFCC, 0xFFFFFF}) {
    VARIANT value = MakeVariantI4(color);
    DISPID named = DISPID_PROPERTYPUT;
    DISPPARAMS params{&value, &named, 1, 1};
    ASSERT_EQ(dispatch->Invoke(DISPID_BACKCOLOR, IID_NULL, 0, DISPATCH_PROPERTYPUT, &params,
                               nullptr, nullptr, nullptr),
              S_OK);
    EXPECT_EQ(c.VerifyScreen(), "") << std::hex << color;
    c.SetSelStart(1);
    c.SetSelLength(4);
  }
}

}  // namespace

}  // namespace kestrix
