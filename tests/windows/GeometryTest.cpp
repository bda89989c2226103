// The control's window in its container has the control's own frame (the sunken edge), so its
// client area is the control's: the spans and points the control reports are where the window
// shows them and where a click finds them, as on the headless display.
#include <gtest/gtest.h>

#include <algorithm>

#include "Automation.h"
#include "Container.h"
#include "KestrixInspection.h"
#include "Pixels.h"

namespace kestrix {

namespace {

class ControlGeometry : public testing::Test {
 protected:
  void SetUp() override {
    // Documented widths: every letter 10 pixels, the line starting 5 pixels in.
    SetEnvironmentVariableW(kKestrixTestMetricsVariable, L"fixed");
    const HRESULT created = container.Create();
    SetEnvironmentVariableW(kKestrixTestMetricsVariable, nullptr);
    ASSERT_EQ(created, S_OK);
    window = container.ControlWindow();
    ASSERT_EQ(container.Control()->QueryInterface(IID_IKestrixInspection,
                                                  reinterpret_cast<void**>(&inspection)),
              S_OK);
    Automation a(container.Dispatch());
    ASSERT_EQ(a.PutLong(L"ReadingOrder", 0), S_OK);
    ASSERT_EQ(a.Put(L"Text", std::wstring(L"abcdefghij")), S_OK);
    PumpMessages();
  }
  void TearDown() override {
    if (inspection) inspection->Release();
  }
  void Click(int x, int y) {
    PostMessageW(window, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(x, y));
    PostMessageW(window, WM_LBUTTONUP, 0, MAKELPARAM(x, y));
    PumpMessages();
  }

  LONG CaretIndex() {
    LONG line = 0, index = -1, offset = 0;
    inspection->Caret(&line, &index, &offset);
    return index;
  }

  Container container;
  HWND window = nullptr;
  IKestrixInspection* inspection = nullptr;
};

TEST_F(ControlGeometry, TheWindowsFrameIsTheSunkenEdgeAndItsClientAreaTheControls) {
  RECT outer{}, client{};
  GetWindowRect(window, &outer);
  GetClientRect(window, &client);
  EXPECT_EQ(outer.right - outer.left, Container::kWidth);
  EXPECT_EQ(outer.bottom - outer.top, Container::kHeight);
  EXPECT_NE(GetWindowLongPtrW(window, GWL_EXSTYLE) & WS_EX_CLIENTEDGE, 0);
  EXPECT_EQ(client.right, Container::kWidth - 4);
  EXPECT_EQ(client.bottom, Container::kHeight - 4);
  POINT origin{0, 0};
  ClientToScreen(window, &origin);
  EXPECT_EQ(origin.x - outer.left, 2);
  EXPECT_EQ(origin.y - outer.top, 2);
  // The start of a line is the control's margin from the client area's left.
  LONG x = 0, y = 0;
  ASSERT_EQ(inspection->LinePoint(1, 0, &x, &y), S_OK);
  EXPECT_EQ(x, 5);
}

TEST_F(ControlGeometry, AClickFindsTheBoundaryNearestItsClientPoint) {
  // Boundaries lie at 5, 15, 25, ...: a point four pixels short of one belongs to it, a point
  // four pixels past it too; two pixels off in either direction would change the answer.
  Click(41, 8);
  EXPECT_EQ(CaretIndex(), 4);
  Click(29, 8);
  EXPECT_EQ(CaretIndex(), 2);
}

TEST_F(ControlGeometry, TheHighlightTheControlReportsIsWhereTheWindowShowsIt) {
  Automation a(container.Dispatch());
  // The selection stays shown and no caret is drawn while the control lacks the focus.
  ASSERT_EQ(a.PutBool(L"HideSelection", false), S_OK);
  SetFocus(container.Form());
  PumpMessages();
  const Picture before = CaptureClient(window);
  ASSERT_EQ(a.PutLong(L"SelStart", 2), S_OK);
  ASSERT_EQ(a.PutLong(L"SelLength", 4), S_OK);
  PumpMessages();
  const Picture after = CaptureClient(window);
  BSTR chars = nullptr;
  LONG direction = 0, left = 0, right = 0;
  BOOL highlighted = FALSE;
  ASSERT_EQ(inspection->Line(1, &chars, &direction, &highlighted, &left, &right), S_OK);
  SysFreeString(chars);
  ASSERT_TRUE(highlighted);
  EXPECT_EQ(std::min(left, right), 25);
  EXPECT_EQ(std::max(left, right), 65);
  int firstChanged = after.width, lastChanged = -1;
  for (int column = 0; column < after.width; ++column)
    for (int row = 0; row < after.height; ++row)
      if (before.At(column, row) != after.At(column, row)) {
        firstChanged = std::min(firstChanged, column);
        lastChanged = column;
      }
  EXPECT_EQ(firstChanged, 25);
  EXPECT_EQ(lastChanged, 64);
}

}  // namespace

}  // namespace kestrix
