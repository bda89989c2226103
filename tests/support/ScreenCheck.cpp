#include "ScreenCheck.h"

#include <gtest/gtest.h>

namespace {

// A full repaint in the order the control draws: lines, caret, then the highlight over both.
void RepaintFromFields(CKestrixCtrl& c) {
  const int selLength = c.m_SelLength;
  c.m_SelLength = 0;  // lines without highlight, and a caret that may be drawn
  c.Redraw();
  if (c.m_CaretShown) c.DrawCaret();
  c.m_SelLength = selLength;
  c.RepaintHighlight();
}

}  // namespace

int DifferingPixels(const Surface& a, const Surface& b) {
  int differing = 0;
  for (int y = 0; y < std::min(a.Height(), b.Height()); ++y)
    for (int x = 0; x < std::min(a.Width(), b.Width()); ++x) differing += a.Pixel(x, y) != b.Pixel(x, y);
  return differing;
}

int StalePixels(ControlHost& host, std::string* where) {
  CKestrixCtrl& c = *host.ctrl;
  Surface shown = host.display.CaptureClient(c.GetSafeHwnd());
  RepaintFromFields(c);
  Surface expected = host.display.CaptureClient(c.GetSafeHwnd());
  // Below the view's last line, when the text goes on, the fields say nothing: a line only
  // partly in the window is not counted as visible.
  int bottom = shown.Height();
  if (c.m_LastVisible < c.LineCount())
    bottom = c.m_Lines.At(c.m_LastVisible)->m_Y - c.m_ScrollOffset - c.m_BaselineLift + c.m_Descent;
  int differing = 0;
  for (int y = 0; y < std::min(bottom, shown.Height()); ++y)
    for (int x = 0; x < shown.Width(); ++x)
      if (shown.Pixel(x, y) != expected.Pixel(x, y) && differing++ == 0 && where)
        *where = std::to_string(x) + ", " + std::to_string(y);
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
    int baseline = c.m_Lines.At(c.m_CurLine)->m_Y - c.m_ScrollOffset - c.m_BaselineLift;
    EXPECT_EQ(c.m_CaretY, baseline) << "the caret is not drawn on its line";
  }
  std::string where;
  EXPECT_EQ(StalePixels(host, &where), 0) << "first stale pixel at " << where;
}
