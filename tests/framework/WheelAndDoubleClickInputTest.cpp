// The wheel and the second press of a double click, as a window system reports them.
#include <gtest/gtest.h>

#include "RecordingWindow.h"

namespace kestrix {

namespace {

class PointerInput : public ::testing::Test {
 protected:
  Display display{200, 200};
  RecordingWindow top, focused, under;
  void SetUp() override {
    ASSERT_TRUE(CreateTop(top, CRect(10, 20, 190, 190)));
    ASSERT_TRUE(CreateChild(focused, top, CRect(0, 0, 80, 80)));
    ASSERT_TRUE(CreateChild(under, top, CRect(90, 0, 170, 80)));
  }
};

TEST_F(PointerInput, TheWheelGoesToTheFocusWithTheScreenPoint) {
  focused.SetFocus();
  display.KeyDown(VK_SHIFT);
  display.Wheel(under.GetSafeHwnd(), 5, 6, -120);
  auto wheel = focused.Only({WM_MOUSEWHEEL});
  ASSERT_EQ(wheel.size(), 1u);
  EXPECT_EQ(GET_WHEEL_DELTA_WPARAM(wheel[0].wParam), -120);
  EXPECT_EQ(LOWORD(wheel[0].wParam), MK_SHIFT);
  // The point under the wheel, on the screen: the child at 90 in a window at 10, 20.
  EXPECT_EQ(GET_X_LPARAM(wheel[0].lParam), 10 + 90 + 5);
  EXPECT_EQ(GET_Y_LPARAM(wheel[0].lParam), 20 + 6);
  EXPECT_TRUE(under.Only({WM_MOUSEWHEEL}).empty());
}

TEST_F(PointerInput, WithoutAFocusTheWheelGoesToTheWindowUnderIt) {
  display.Wheel(under.GetSafeHwnd(), 5, 6, 240);
  auto wheel = under.Only({WM_MOUSEWHEEL});
  ASSERT_EQ(wheel.size(), 1u);
  EXPECT_EQ(GET_WHEEL_DELTA_WPARAM(wheel[0].wParam), 240);
}

TEST_F(PointerInput, TheSecondPressOfADoubleClickArrivesAsTheDoubleClick) {
  display.MouseDown(under.GetSafeHwnd(), 3, 4);
  display.MouseUp(under.GetSafeHwnd(), 3, 4);
  display.DoubleClickDown(under.GetSafeHwnd(), 3, 4);
  display.MouseUp(under.GetSafeHwnd(), 3, 4);
  std::vector<UINT> expected{WM_LBUTTONDOWN, WM_LBUTTONUP, WM_LBUTTONDBLCLK, WM_LBUTTONUP};
  auto clicks = under.Only({WM_LBUTTONDOWN, WM_LBUTTONUP, WM_LBUTTONDBLCLK});
  ASSERT_EQ(clicks.size(), expected.size());
  for (size_t i = 0; i < clicks.size(); ++i) EXPECT_EQ(clicks[i].message, expected[i]);
  EXPECT_EQ(clicks[2].wParam & MK_LBUTTON, WPARAM{MK_LBUTTON});
  EXPECT_EQ(clicks[2].lParam, MAKELPARAM(3, 4));
}

}  // namespace

}  // namespace kestrix
