// What a host observes of the control agrees with what the control does with messages: a
// click at the point given for a line and index puts the caret there, the lines, view and
// selection read back what the view shows, and observing changes nothing.
#include <gtest/gtest.h>

#include <string>

#include "ControlHost.h"
#include "control/Observation.h"

namespace kestrix {

namespace {

// Three Arabic letters (ba, ta, tha) in the code page.
const std::string kArabic = "\xC8\xCA\xCB";

struct PointRow {
  const char* name;
  short readingOrder;
  int line, index;
};

class Observation : public ::testing::Test {
 protected:
  ControlHost host{CRect(0, 0, 320, 76)};  // three lines in view
  CKestrixCtrl& c = *host.ctrl;
  ControlObservation observed{c};
  HWND w() { return c.GetSafeHwnd(); }

  void Place(short readingOrder) {
    c.SetReadingOrder(readingOrder);
    c.SetEventSink(nullptr);
    c.ActivateEdit(L"", L"");
    c.SetText("abc " + kArabic + " de\r" + kArabic + " xy " + kArabic + "\rline3\rline4\rline5");
  }
};

TEST_F(Observation, AClickAtALinesPointPutsTheCaretThere) {
  const PointRow rows[] = {
      {"left to right, line start", 0, 1, 0},   {"left to right, inside Arabic", 0, 1, 5},
      {"left to right, line end", 0, 1, 10},    {"right to left, Arabic line start", 1, 2, 0},
      {"right to left, inside Latin", 1, 2, 5}, {"right to left, line end", 1, 2, 10},
      {"past the line's end means its end", 1, 3, 99},
  };
  for (const PointRow& row : rows) {
    SCOPED_TRACE(row.name);
    Place(row.readingOrder);
    const std::string before = c.DescribeState();
    const std::optional<POINT> at = observed.PointOf(row.line, row.index);
    ASSERT_TRUE(at);
    EXPECT_EQ(c.DescribeState(), before);  // observing moved nothing
    host.display.Click(w(), at->x, at->y);
    const ObservedCaret caret = observed.Caret();
    const int length = static_cast<int>(observed.Line(row.line)->chars.find('\r'));
    EXPECT_EQ(caret.line, row.line);
    EXPECT_EQ(caret.index, std::min(row.index, length < 0 ? 99 : length));
    EXPECT_EQ(caret.x, at->x);
    EXPECT_TRUE(caret.shown);
    EXPECT_TRUE(observed.Activity().focused);
  }
}

TEST_F(Observation, NoPointForALineOrIndexThatIsNotThere) {
  Place(0);
  EXPECT_FALSE(observed.PointOf(0, 0));
  EXPECT_FALSE(observed.PointOf(observed.LineCount() + 1, 0));
  EXPECT_FALSE(observed.PointOf(1, -1));
  EXPECT_FALSE(observed.Line(0));
  EXPECT_FALSE(observed.Line(observed.LineCount() + 1));
}

TEST_F(Observation, TheViewLinesAndHighlightFollowTheWheelAndADrag) {
  Place(0);
  host.display.Wheel(w(), 20, 20, -120);  // three lines down
  const ObservedView view = observed.View();
  EXPECT_EQ(view.firstVisible, 4);
  EXPECT_EQ(view.lastVisible, 5);
  // The first line in view has its band at the top of the window.
  const ObservedLine first = *observed.Line(view.firstVisible);
  EXPECT_EQ(first.chars, "line4\r");
  EXPECT_EQ(first.direction, 0);
  const std::optional<POINT> top = observed.PointOf(view.firstVisible, 0);
  EXPECT_GT(top->y, 0);
  EXPECT_LT(top->y, first.y - view.scrollOffset);

  host.display.MouseDown(w(), top->x, top->y);
  const std::optional<POINT> end = observed.PointOf(5, 3);
  host.display.MouseMove(w(), end->x, end->y);
  EXPECT_TRUE(observed.Activity().mouseDown);
  EXPECT_TRUE(observed.Activity().selecting);
  host.display.MouseUp(w(), end->x, end->y);
  EXPECT_FALSE(observed.Activity().mouseDown);
  const ObservedSelection sel = observed.Selection();
  EXPECT_EQ(sel.start, c.GetSelStart());
  EXPECT_EQ(sel.length, 9);  // "line4\r" and "lin"
  // The lines the range covers show a highlight; the one above it none.
  for (int n : {4, 5}) {
    const ObservedLine line = *observed.Line(n);
    EXPECT_TRUE(line.highlighted && line.highlightLeft != line.highlightRight) << n;
  }
  EXPECT_FALSE(observed.Line(3)->highlighted);
}

}  // namespace

}  // namespace kestrix
