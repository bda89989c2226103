#include <gtest/gtest.h>

#include "ControlHost.h"

namespace kestrix {

namespace {

// A control whose text rectangle is 100 pixels wide (120 − 4 edge − 16 scroll strip).
class Rebuild : public ::testing::Test {
 protected:
  ControlHost host{CRect(0, 0, 120, 200)};
  CKestrixCtrl& c = *host.ctrl;

  std::vector<std::string> Lines() {
    std::vector<std::string> out;
    for (int n = 1; n <= c.LineCount(); ++n) out.push_back(c.m_Lines.At(n)->m_Chars);
    return out;
  }
  using Lines_ = std::vector<std::string>;
};

TEST_F(Rebuild, TextWriteDropsControlCharactersButKeepsHardBreaks) {
  ASSERT_EQ(c.m_TextRect.Width(), 100);
  c.SetText("a\r\nb");
  EXPECT_EQ(Lines(), (Lines_{"a\r", "b"}));
  EXPECT_EQ(c.GetText(), "a\rb");
  EXPECT_EQ(c.TextSnapshot(), "a\r\nb");  // the snapshot keeps the text as handed in
  EXPECT_TRUE(c.IsModified());

  c.SetText("x\ty\r");
  EXPECT_EQ(Lines(), (Lines_{"xy\r", ""}));
  c.SetText("");
  EXPECT_EQ(Lines(), (Lines_{""}));
  EXPECT_EQ(c.GetTextProperty(), L"");
}

TEST_F(Rebuild, LinesTakeTheirDirectionFromTheirText) {
  c.SetText("abc\r\xC7\xC8\r123");
  EXPECT_EQ(c.m_Lines.At(1)->m_Direction, 0);
  EXPECT_EQ(c.m_Lines.At(2)->m_Direction, 1);
  EXPECT_EQ(c.m_Lines.At(3)->m_Direction, 1);  // no strong character: the reading order
}

TEST_F(Rebuild, MaxLengthCountsEverythingButHardBreaks) {
  c.m_MaxLength = 5;
  c.SetText("abcdefg");
  EXPECT_EQ(c.GetText(), "abcde");
  c.SetText("abc\rdefg");
  EXPECT_EQ(Lines(), (Lines_{"abc\r", "de"}));
  EXPECT_EQ(c.m_CharCount, 5);
}

TEST_F(Rebuild, ReadOnlyControlStillTakesANewText) {
  c.m_ReadOnly = TRUE;
  c.SetText("ab");
  EXPECT_EQ(c.GetText(), "ab");
  EXPECT_TRUE(c.m_ReadOnly);
}

TEST_F(Rebuild, WrapNeedsTheSlackAndASpace) {
  host.SetLines({"abcd efgh"});  // 90 px
  EXPECT_FALSE(c.LineNeedsWrap());  // 90 + 10 = 100 fits
  c.m_TextRect.right -= 1;
  EXPECT_TRUE(c.LineNeedsWrap());  // 100 > 99
  host.SetLines({"abcdefghijklmnop"});
  EXPECT_FALSE(c.LineNeedsWrap());  // no space: never wrapped
}

TEST_F(Rebuild, BreakFallsAfterTheLastSpaceThatFits) {
  // 40 px before the first space fits; 94 px before the second does not (94 + 10 > 100).
  host.SetLines({"abcd efgh\xDC ij"});
  c.m_CharIndex = 3;
  EXPECT_EQ(c.FindWrapIndex(), 5);
  c.SetText("abcd efgh\xDC ij");
  EXPECT_EQ(Lines(), (Lines_{"abcd ", "efgh\xDC ij"}));
  // Typed at the start, "x" makes 90 px before the space: 90 + 10 just fits, so the break
  // stays after the space and nothing but the caret's line changes.
  c.SetText("abcdefgh jk");
  ASSERT_EQ(Lines(), (Lines_{"abcdefgh ", "jk"}));
  c.SetFocus();
  c.m_CharIndex = c.IndexFromOffset(0);
  host.display.Char('x');
  EXPECT_EQ(Lines(), (Lines_{"xabcdefgh ", "jk"}));
}

TEST_F(Rebuild, OverlongWordsStayWhole) {
  c.SetText("abcdefghijklmn");
  EXPECT_EQ(Lines(), (Lines_{"abcdefghijklmn"}));
  c.SetText("abcdefghijklmn op qr");
  EXPECT_EQ(Lines(), (Lines_{"abcdefghijklmn ", "op qr"}));
}

TEST_F(Rebuild, ASpaceTypedIntoALineWithoutOneLetsItWrap) {
  // A line typed without spaces is not searched again for one at every character; a space
  // typed into its middle must still be seen.
  c.SetText("abcdefgh");
  c.SetFocus();
  c.m_CharIndex = c.IndexFromOffset(8);
  host.display.Char('i');
  ASSERT_EQ(Lines(), (Lines_{"abcdefghi"}));  // 90 px and no space
  c.m_CharIndex = 4;
  host.display.Char(' ');  // 100 px: 100 + 10 > 100, and now a space to break after
  EXPECT_EQ(Lines(), (Lines_{"abcd ", "efghi"}));
}

TEST_F(Rebuild, SettingsTurnWrappingOff) {
  c.m_WordWrap = FALSE;
  c.SetText("aaa bbb ccc ddd eee\rfff");
  EXPECT_EQ(Lines(), (Lines_{"aaa bbb ccc ddd eee\r", "fff"}));
  c.m_WordWrap = TRUE;
  c.m_MultiLines = FALSE;
  c.SetText("aaa bbb ccc ddd eee\r\nfff");
  // A single-line control joins paragraphs with a space and keeps no CR.
  EXPECT_EQ(Lines(), (Lines_{"aaa bbb ccc ddd eee fff"}));
  EXPECT_EQ(c.GetText(), "aaa bbb ccc ddd eee fff");
}

TEST_F(Rebuild, TypingPushesOverflowDownWithinTheParagraph) {
  c.SetText("aa bb cc dd ee ff gg hh ii\rzz");
  Lines_ before = Lines();
  ASSERT_EQ(before, (Lines_{"aa bb cc ", "dd ee ff ", "gg hh ii\r", "zz"}));
  // Type "xy " at the start of the paragraph: every line overflows into the next, and the
  // last one, holding the CR, gets a line of its own before the next paragraph.
  c.GotoLine(1);
  c.m_CharIndex = 0;
  c.AcquireDC();
  for (char ch : std::string("xy ")) c.InsertChar(static_cast<unsigned char>(ch));
  c.StoreLine();
  c.ReleaseHeldDC();
  EXPECT_EQ(Lines(), (Lines_{"xy aa bb ", "cc dd ee ", "ff gg hh ", "ii\r", "zz"}));
  EXPECT_EQ(c.m_CurLine, 1);
  EXPECT_EQ(c.m_CharIndex, 3);
}

TEST_F(Rebuild, CaretKeepsItsOffsetAcrossARebuild) {
  c.SetText("aa bb cc dd ee ff gg hh ii");
  c.m_CharIndex = c.IndexFromOffset(13);  // before "e" of "ee"
  c.RebuildText(c.GetText(), -1);
  EXPECT_EQ(c.OffsetFromIndex(c.m_CharIndex), 13);
  c.RebuildText(c.GetText(), 10000);  // past the end: the end
  EXPECT_EQ(c.OffsetFromIndex(c.m_CharIndex), 26);
}

TEST_F(Rebuild, NarrowingTheWindowRewrapsAndKeepsTheCaret) {
  c.SetText("aaa bbb ccc ddd eee fff");
  c.GotoLine(c.LineFromOffset(17));
  c.m_CharIndex = c.IndexFromOffset(17);
  c.SetRectInContainer(CRect(0, 0, 80, 200));
  EXPECT_EQ(c.m_TextRect.Width(), 60);
  EXPECT_EQ(Lines(), (Lines_{"aaa ", "bbb ", "ccc ", "ddd ", "eee ", "fff"}));
  EXPECT_EQ(c.OffsetFromIndex(c.m_CharIndex), 17);
  EXPECT_EQ(c.m_FirstVisible, 1);  // the whole text fits
}

TEST_F(Rebuild, HeightOnlyResizeDoesNotRebreak) {
  c.SetText("aaa bbb ccc ddd eee fff");
  // Only a rebuild refreshes the snapshot, so a mark left in it tells whether one ran.
  c.TextSnapshot() = "not rebuilt";
  c.SetRectInContainer(CRect(0, 0, 120, 60));
  EXPECT_EQ(c.m_VisibleLines, 56 / 18);
  EXPECT_EQ(c.TextSnapshot(), "not rebuilt");
  EXPECT_EQ(Lines(), (Lines_{"aaa bbb ", "ccc ddd ", "eee fff"}));
  c.SetRectInContainer(CRect(0, 0, 120, 10));
  EXPECT_EQ(c.m_VisibleLines, 1);
  EXPECT_EQ(c.TextSnapshot(), "not rebuilt");
  c.SetRectInContainer(CRect(0, 0, 150, 60));  // a new width re-breaks
  EXPECT_EQ(c.TextSnapshot(), "aaa bbb ccc ddd eee fff");
  EXPECT_EQ(Lines(), (Lines_{"aaa bbb ccc ", "ddd eee fff"}));
}

TEST_F(Rebuild, TinyAndEmptyWindowsDoNotLoopOrDivideByZero) {
  for (CRect r : {CRect(0, 0, 0, 0), CRect(0, 0, 3, 3), CRect(0, 0, 21, 30)}) {
    c.SetRectInContainer(r);
    c.SetText("aa bb cc\rdd ee");
    EXPECT_EQ(c.GetText(), "aa bb cc\rdd ee");
  }
  host.library.metrics = TEXTMETRIC{1, 1, 0, 0, 0, 1, 1};
  c.InitFonts();
  c.SetText("aa bb cc\rdd ee");
  EXPECT_EQ(c.GetText(), "aa bb cc\rdd ee");
}

}  // namespace

}  // namespace kestrix
