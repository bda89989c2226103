#include "arabtext/Segmenter.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "InkHelpers.h"

namespace kestrix::arabtext {
namespace {

using testing::Cp;

std::vector<Segment> Split(const std::string& text) {
  std::vector<Segment> out;
  SplitSegments(text, 0, false, BaseByteClasses(), out);
  return out;
}

// "slot:text" for each segment, A for the Arabic font and L for Latin.
std::string Describe(const std::string& text) {
  std::string out;
  for (const Segment& s : Split(text)) {
    out += s.kind == SegmentKind::kInvisible ? '-' : s.slot == FontSlot::kArabic ? 'A' : 'L';
    out += ':' + Utf8FromCp1256(text.substr(s.begin, s.end - s.begin)) + ' ';
  }
  return out;
}

TEST(Segmenter, NeutralsBetweenArabicTakeTheArabicFontOthersTheLatin) {
  EXPECT_EQ(Describe(Cp("كتب، قلم")), "A:كتب A:، A:  A:قلم ");
  EXPECT_EQ(Describe(Cp("كتب - قلم")), "A:كتب A:  A:- A:  A:قلم ");
  EXPECT_EQ(Describe(Cp("كتب abc")), "A:كتب L:  L:abc ");
  EXPECT_EQ(Describe(Cp("abc. كتب!")), "L:abc L:. L:  A:كتب L:! ");
}

TEST(Segmenter, DigitsKeepTheLatinFontAndSplitFromLetters) {
  EXPECT_EQ(Describe(Cp("كتب 12 قلم")), "A:كتب L:  L:12 L:  A:قلم ");
  EXPECT_EQ(Describe("ab12cd"), "L:ab L:12 L:cd ");
}

TEST(Segmenter, MarksAndJoinersStayInTheirArabicWord) {
  // kaf with shadda, ZWNJ, then teh: one word so that shaping sees them together.
  EXPECT_EQ(Split(Cp("كّ\u200Cت")).size(), 1u);
}

TEST(Segmenter, ControlsBelongToNoSegmentAndSplitWords) {
  EXPECT_EQ(Describe("ab\r\ncd\x7f"), "L:ab L:cd ");
  EXPECT_TRUE(Split("\r\n\t\x01").empty());
  // A control between Arabic letters breaks the Arabic context of the space after it.
  EXPECT_EQ(Describe(Cp("كتب\r قلم")), "A:كتب L:  A:قلم ");
}

TEST(Segmenter, DirectionMarksAreInvisibleSegments) {
  EXPECT_EQ(Describe(Cp("a\u200Fb")), "L:a -:\u200F L:b ");
}

TEST(Segmenter, StableEndIsWhereAppendingCanStillChangeSegments) {
  const ByteClassTable& t = BaseByteClasses();
  EXPECT_EQ(StableSegmentEnd("ab cd", t), 3u);   // the last word may grow
  EXPECT_EQ(StableSegmentEnd("ab cd  ", t), 5u);  // trailing spaces wait for their font
  EXPECT_EQ(StableSegmentEnd("ab\r", t), 3u);
  EXPECT_EQ(StableSegmentEnd("", t), 0u);
}

}  // namespace
}  // namespace kestrix::arabtext
