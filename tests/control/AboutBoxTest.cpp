// The AboutBox method: dialog 1, modal, with the control's window taking no input meanwhile.
#include <gtest/gtest.h>

#include "ControlHost.h"
#include "control/Dispids.h"
#include "framework/ole/Variant.h"
#include "framework/window/Dialog.h"

namespace kestrix {

namespace {

HRESULT InvokeAboutBox(CKestrixCtrl& c, VARIANT* result) {
  DISPPARAMS none;
  VariantInit(result);
  return c.GetIDispatch()->Invoke(DISPID_ABOUTBOX, IID_NULL, 0, DISPATCH_METHOD, &none, result, nullptr, nullptr);
}

TEST(AboutBox, ThroughAutomationRunsTheAboutDialogUntilItIsClosed) {
  ControlHost host;
  CKestrixCtrl& c = *host.ctrl;
  c.SetText("abc");
  c.SetFocus();
  std::string title;
  std::string buttons;
  host.display.ScheduleInput(10, [&] {
    CDialog* dialog = CDialog::TopmostDialog();
    title = dialog ? dialog->Title() : "none";
    if (dialog)
      for (const auto& item : dialog->Items())
        if (dynamic_cast<CPushButton*>(item.get())) buttons += item->Text();
    // Typing and clicking reach the dialog, not the control under it.
    host.display.TypeText("x");
    host.display.Click(c.GetSafeHwnd(), 5, 5);
  });
  host.display.ScheduleInput(20, [&] { host.display.KeyDown(VK_RETURN); });
  VARIANT result;
  EXPECT_EQ(InvokeAboutBox(c, &result), S_OK);
  EXPECT_EQ(result.vt, VT_EMPTY);
  EXPECT_EQ(title, "About Kestrix Control");
  EXPECT_EQ(buttons, "OK");
  EXPECT_EQ(CDialog::TopmostDialog(), nullptr);
  EXPECT_EQ(c.GetText(), "abc");
  EXPECT_EQ(host.display.GetFocus(), c.GetSafeHwnd());
  EXPECT_TRUE(host.container.IsWindowEnabled());
}

TEST(AboutBox, AHostThatGivesNoInputGetsControlBack) {
  ControlHost host;
  size_t windows = host.display.WindowCount();
  host.ctrl->AboutBox();
  EXPECT_EQ(host.display.WindowCount(), windows);
  EXPECT_EQ(CDialog::TopmostDialog(), nullptr);
}

}  // namespace

}  // namespace kestrix
