// Where the caret stands for an index, and which index an x finds, on lines of Latin, Arabic and
// both, in either reading order: one named row per case. The control is 320 pixels wide with
// the fixed-metric library (a byte 10 px, an Arabic letter joined to the next 8 px, a mark
// 0 px, margin 5); right to left its text runs from 16 to 316, left to right from 0 to 300.
#include <gtest/gtest.h>

#include <ostream>
#include <string>

#include "ControlHost.h"

namespace kestrix {

namespace {

enum class Ask { CaretXOfIndex, IndexOfX };

struct Row {
  const char* name;
  short readingOrder;  // 1 right to left, 0 left to right
  short alignment;   // 0 left, 1 centre, 2 right
  const char* line;
  Ask ask;
  int given;  // the index, or the x
  int expected;
  int lineDir = -1;  // when not -1, the line's direction instead of the reading order's
  int startX = -1;   // when not -1, the x the line starts at instead of its record's
};

void PrintTo(const Row& row, std::ostream* out) { *out << row.name; }

constexpr Ask kCaretX = Ask::CaretXOfIndex;
constexpr Ask kIndex = Ask::IndexOfX;

const Row kRows[] = {
    // A Latin line measured from its right end (40 px, so 311 back to 271).
    {"RightAligned_Index0_AtTheRightEnd", 1, 2, "abcd", kCaretX, 0, 311},
    {"RightAligned_Index3_ThreeWidthsIn", 1, 2, "abcd", kCaretX, 3, 281},
    // Centred, the line's direction picks the end it is measured from (146 to 186).
    {"Centred_LeftToRightLine_FromTheLeftEnd", 1, 1, "abcd", kCaretX, 1, 156, 0},
    {"Centred_RightToLeftLine_FromTheRightEnd", 1, 1, "abcd", kCaretX, 1, 176, 1},
    // Hit-testing a right-aligned Latin line: each x left of the end finds the index after the
    // character under it; the right end itself finds 0.
    {"RightAligned_PastTheRightEnd_Index0", 1, 2, "abcdefgh", kIndex, 400, 0},
    {"RightAligned_AtTheRightEnd_Index0", 1, 2, "abcdefgh", kIndex, 311, 0},
    {"RightAligned_InsideTheFirstCharacter_Index1", 1, 2, "abcdefgh", kIndex, 310, 1},
    {"RightAligned_FirstCharactersLeftEdge_Index1", 1, 2, "abcdefgh", kIndex, 296, 1},
    {"RightAligned_SecondCharactersRightEdge_Index2", 1, 2, "abcdefgh", kIndex, 295, 2},
    {"RightAligned_SecondCharactersLeftEdge_Index2", 1, 2, "abcdefgh", kIndex, 286, 2},
    {"RightAligned_ThirdCharactersRightEdge_Index3", 1, 2, "abcdefgh", kIndex, 285, 3},
    {"RightAligned_ThirdCharactersLeftEdge_Index3", 1, 2, "abcdefgh", kIndex, 276, 3},
    {"RightAligned_FourthCharactersRightEdge_Index4", 1, 2, "abcdefgh", kIndex, 275, 4},
    {"RightAligned_FarLeft_TheLineLength", 1, 2, "abcdefgh", kIndex, -1000, 8},
    // Hit-testing a left-aligned Latin line that starts at 5.
    {"LeftAligned_LeftHalfOfTheFirstCharacter_Index0", 0, 0, "abc", kIndex, 9, 0, -1, 5},
    {"LeftAligned_RightHalfOfTheFirstCharacter_Index1", 0, 0, "abc", kIndex, 11, 1, -1, 5},
    {"LeftAligned_FarRight_TheLineLength", 0, 0, "abc", kIndex, 500, 3, -1, 5},
    {"LeftAligned_EmptyLine_Index0", 0, 0, "", kIndex, 50, 0, -1, 5},
    // Arabic then Latin, right to left: alef and lam join (8 px each), beh before the space
    // does not (10 px). Read from the right, the x that find an index narrow with the letters.
    {"RightToLeft_AfterAJoinedLetter", 1, 2, "\xC7\xE1\xC8 ab", kCaretX, 1, 303},
    {"RightToLeft_AfterTwoJoinedLetters", 1, 2, "\xC7\xE1\xC8 ab", kCaretX, 2, 295},
    {"RightToLeft_AfterTheUnjoinedLetter", 1, 2, "\xC7\xE1\xC8 ab", kCaretX, 3, 285},
    {"RightToLeft_BetweenArabicAndLatin", 1, 2, "\xC7\xE1\xC8 ab", kCaretX, 4, 275},
    {"RightToLeft_AtTheEndOfTheLatin", 1, 2, "\xC7\xE1\xC8 ab", kCaretX, 6, 255},
    {"RightToLeft_JoinedLetters_LastXOfIndex1", 1, 2, "\xC7\xE1\xC8 ab", kIndex, 298, 1},
    {"RightToLeft_JoinedLetters_FirstXOfIndex2", 1, 2, "\xC7\xE1\xC8 ab", kIndex, 297, 2},
    {"RightToLeft_JoinedLetters_LastXOfIndex2", 1, 2, "\xC7\xE1\xC8 ab", kIndex, 290, 2},
    {"RightToLeft_UnjoinedLetter_FirstXOfIndex3", 1, 2, "\xC7\xE1\xC8 ab", kIndex, 289, 3},
    // Latin then Arabic, right to left: the boundary between the two runs.
    {"RightToLeft_LatinThenArabic_AtTheBoundary", 1, 2, "ab\xC7\xE1", kCaretX, 2, 291},
    {"RightToLeft_LatinThenArabic_AfterTheJoinedLetter", 1, 2, "ab\xC7\xE1", kCaretX, 3, 283},
    // A mark between two letters adds nothing, and the letter before it still joins.
    {"RightToLeft_BeforeTheMark", 1, 2, "\xC8\xF3\xC7", kCaretX, 1, 303},
    {"RightToLeft_AfterTheMark", 1, 2, "\xC8\xF3\xC7", kCaretX, 2, 303},
    {"RightToLeft_AfterTheLastLetter", 1, 2, "\xC8\xF3\xC7", kCaretX, 3, 293},
    // Latin then Arabic, left to right, from 5.
    {"LeftToRight_BetweenLatinAndArabic", 0, 0, "ab\xC7\xE1", kCaretX, 2, 25},
    {"LeftToRight_AfterTheJoinedLetter", 0, 0, "ab\xC7\xE1", kCaretX, 3, 33},
    {"LeftToRight_AtTheEnd", 0, 0, "ab\xC7\xE1", kCaretX, 4, 43},
    {"LeftToRight_LatinLetter_LastXOfIndex2", 0, 0, "ab\xC7\xE1", kIndex, 29, 2, -1, 5},
    {"LeftToRight_JoinedLetter_FirstXOfIndex3", 0, 0, "ab\xC7\xE1", kIndex, 31, 3, -1, 5},
    {"LeftToRight_JoinedLetter_LastXOfIndex3", 0, 0, "ab\xC7\xE1", kIndex, 38, 3, -1, 5},
    {"LeftToRight_LastLetter_FirstXOfIndex4", 0, 0, "ab\xC7\xE1", kIndex, 39, 4, -1, 5},
    // Arabic then Latin, left to right.
    {"LeftToRight_ArabicThenLatin_AtTheBoundary", 0, 0, "\xC7\xE1 ab", kCaretX, 2, 23},
};

class CaretPlacement : public ::testing::TestWithParam<Row> {
 protected:
  ControlHost host;
  CKestrixCtrl& c = *host.ctrl;
};

TEST_P(CaretPlacement, Row) {
  const Row& row = GetParam();
  c.m_ReadingOrder = row.readingOrder;
  c.LayoutTextRect();
  host.SetLines({row.line});
  c.m_Alignment = row.alignment;
  c.GotoLine(1);
  if (row.lineDir >= 0) c.m_LineDir = row.lineDir;
  if (row.startX >= 0) c.m_LineStartX = row.startX;
  if (row.ask == Ask::CaretXOfIndex) {
    c.m_CharIndex = row.given;
    EXPECT_EQ(c.CaretXFromIndex(), row.expected);
  } else {
    EXPECT_EQ(c.IndexFromX(row.given), row.expected);
    // Finding an index leaves no context held and the control idle.
    EXPECT_EQ(c.m_Busy, 0);
    EXPECT_EQ(c.m_pDC, nullptr);
  }
}

INSTANTIATE_TEST_SUITE_P(Lines, CaretPlacement, ::testing::ValuesIn(kRows),
                         [](const ::testing::TestParamInfo<Row>& row) { return std::string(row.param.name); });

}  // namespace

}  // namespace kestrix
