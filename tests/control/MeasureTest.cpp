#include <gtest/gtest.h>

#include <random>

#include "ControlHost.h"

namespace kestrix {

namespace {

class Measure : public ::testing::Test {
 protected:
  ControlHost host;
  CKestrixCtrl& c = *host.ctrl;
};

TEST_F(Measure, EmptyStringMeasuresWithoutACall) {
  host.library.ClearCalls();
  SIZE s = c.TextExtent("");
  EXPECT_EQ(s.cx, 0);
  EXPECT_EQ(s.cy, 0);
  EXPECT_TRUE(host.library.calls.empty());
}

TEST_F(Measure, PrefixTakesTheJoiningFormOnlyBeforeAnArabicLetter) {
  // 0xC8 0xF3 0xE1 0xC7: a letter, a mark, then letters.
  host.SetLines({"\xC8\xF3\xE1\xC7"});
  for (int index : {0, 1}) {
    c.m_CharIndex = index;
    host.library.ClearCalls();
    SIZE s = c.PrefixExtent(c.m_LineText.substr(0, static_cast<size_t>(index) + 1));
    EXPECT_EQ(s.cx, 8) << index;
    auto extents = host.library.CallsOf("aTextExtent");
    ASSERT_EQ(extents.size(), 2u);
    EXPECT_EQ(extents[0].text, "\xDC");
    EXPECT_EQ(extents[1].text, c.m_LineText.substr(0, static_cast<size_t>(index) + 1) + "\xDC");
  }
  for (std::string line : {std::string("\xC8\xF3 x"), std::string("\xC8" "a"), std::string("\xC8" "1"),
                           std::string("\xC8\xF3")}) {
    host.SetLines({line});
    c.m_CharIndex = 0;
    host.library.ClearCalls();
    EXPECT_EQ(c.PrefixExtent("\xC8").cx, 10) << line;
    EXPECT_EQ(host.library.CallsOf("aTextExtent").size(), 1u);
  }
}

TEST_F(Measure, LineExtentsFollowTheAlignment) {
  host.SetLines({"abcd"});  // 40 px in a text rectangle from 16 to 316
  c.m_Alignment = 2;
  c.ComputeLineExtents();
  EXPECT_EQ(c.m_LineRight, 311);
  EXPECT_EQ(c.m_LineLeft, 271);
  c.m_Alignment = 0;
  c.ComputeLineExtents();
  EXPECT_EQ(c.m_LineLeft, 21);
  EXPECT_EQ(c.m_LineRight, 61);
  c.m_Alignment = 1;
  c.ComputeLineExtents();
  EXPECT_EQ(c.m_LineLeft, 16 + (300 - 40) / 2);
  EXPECT_EQ(c.m_LineRight, 16 + (300 + 40) / 2);
  c.m_Alignment = 3;
  c.ComputeLineExtents();
  EXPECT_EQ(c.m_LineLeft, 5);
  EXPECT_EQ(c.m_LineRight, -5);
}

}  // namespace

namespace {

// The fixed-metric library reuses the widths of what a string shares with the last one
// measured: after any edit, anywhere, the width is the one a fresh measure gives.
TEST(FixedMetricWidth, ReusedWidthsEqualAFreshMeasure) {
  const char alphabet[] = {'a', ' ', '\xC7', '\xC8', '\xE1', '\xF0', '\xF2', '\xDC', '\r', '\x01'};
  std::mt19937 random(7);
  FixedMetricTextLibrary library;
  std::string s;
  for (int step = 0; step < 3000; ++step) {
    size_t at = s.empty() ? 0 : random() % (s.size() + 1);
    switch (random() % 3) {
      case 0: s.insert(at, 1, alphabet[random() % sizeof alphabet]); break;
      case 1:
        if (at < s.size()) s.erase(at, 1 + random() % 3);
        break;
      default: s.push_back(alphabet[random() % sizeof alphabet]); break;
    }
    int fresh = 0;
    for (size_t i = 0; i < s.size(); ++i) fresh += FixedMetricTextLibrary::CharWidth(s, i);
    ASSERT_EQ(library.Width(s), fresh) << "step " << step;
  }
}

}  // namespace

}  // namespace kestrix
