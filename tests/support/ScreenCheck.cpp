#include "ScreenCheck.h"

#include <gtest/gtest.h>

namespace kestrix {

int DifferingPixels(const Surface& a, const Surface& b) {
  int differing = 0;
  for (int y = 0; y < std::min(a.Height(), b.Height()); ++y)
    for (int x = 0; x < std::min(a.Width(), b.Width()); ++x) differing += a.Pixel(x, y) != b.Pixel(x, y);
  return differing;
}

int StalePixels(ControlHost& host, std::string* where) {
  Surface shown, expected;
  int differing = host.ctrl->StalePixels(where, &shown, &expected);
  if (differing > 0) {
    WritePng(shown, TestOutputPath("screen-shown.png"));
    WritePng(expected, TestOutputPath("screen-expected.png"));
  }
  return differing;
}

void ExpectScreenMatchesFields(ControlHost& host) {
  CKestrixCtrl& c = *host.ctrl;
  EXPECT_EQ(c.m_ScrollOffset, (c.m_FirstVisible - 1) * c.m_LineHeight);
  if (c.m_CaretShown && c.m_SelLength == 0) {
    int baseline = c.LineBottom(c.m_CurLine) - c.m_ScrollOffset - c.m_BaselineLift;
    EXPECT_EQ(c.m_CaretY, baseline) << "the caret is not drawn on its line";
  }
  std::string where;
  EXPECT_EQ(StalePixels(host, &where), 0) << "first stale pixel at " << where;
}

}  // namespace kestrix
