// The about box as a container's user meets it: a dialog in a window of its own, owned by the
// container's window and modal to it, closed by its OK button, Return or Escape.
#include <gtest/gtest.h>

#include <string>

#include "Automation.h"
#include "Container.h"
#include "Pixels.h"
#include "WindowSearch.h"

namespace kestrix {

namespace {

// What the dialog looked like while it was up.
struct Seen {
  bool found = false;
  HWND owner = nullptr;
  bool containerEnabled = true;
  std::wstring className;
  bool versionShown = false;
  bool controlHoldsIt = false;
};

enum class Close { Return, Escape, OkButton };

// Looks at the about box from inside its loop and closes it the given way.
bool LookAndClose(HWND form, HWND control, Close how, Seen& seen) {
  HWND dialog = FindThreadWindow(
      [](HWND window) { return WindowText(window) == L"About Kestrix Control"; });
  if (!dialog) return false;
  seen.found = true;
  seen.owner = GetWindow(dialog, GW_OWNER);
  seen.containerEnabled = IsWindowEnabled(form) != FALSE;
  seen.className = WindowClass(dialog);
  seen.versionShown = FindChildWithText(dialog, L"Kestrix Control, Version 1.0") != nullptr;
  seen.controlHoldsIt = IsChild(control, dialog) || dialog == control;
  if (how == Close::Return) KeepWindowPicture(dialog, "about-box.png");
  HWND focus = GetFocus();
  HWND target = focus && IsChild(dialog, focus) ? focus : dialog;
  switch (how) {
    case Close::Return:
    case Close::Escape: {
      const WPARAM key = how == Close::Return ? VK_RETURN : VK_ESCAPE;
      PostMessageW(target, WM_KEYDOWN, key, 1);
      PostMessageW(target, WM_KEYUP, key, 0xC0000001);
      break;
    }
    case Close::OkButton:
      PostMessageW(GetDlgItem(dialog, IDOK), BM_CLICK, 0, 0);
      break;
  }
  return true;
}

TEST(AboutBox, ShowsInAWindowOfItsOwnModalToTheContainerAndClosesEachWay) {
  Container container;
  ASSERT_EQ(container.Create(), S_OK);
  Automation a(container.Dispatch());
  const HWND control = container.ControlWindow();
  for (Close how : {Close::Return, Close::Escape, Close::OkButton}) {
    SCOPED_TRACE(static_cast<int>(how));
    SetFocus(control);
    Seen seen;
    ThreadTimerProbe probe([&] { return LookAndClose(container.Form(), control, how, seen); });
    const ULONGLONG start = GetTickCount64();
    EXPECT_EQ(a.Call(L"AboutBox"), S_OK);
    EXPECT_LT(GetTickCount64() - start, 5000u);
    ASSERT_TRUE(probe.Done());
    EXPECT_TRUE(seen.found);
    EXPECT_EQ(seen.className, L"#32770");
    EXPECT_FALSE(seen.controlHoldsIt);
    EXPECT_EQ(seen.owner, container.Form());
    EXPECT_FALSE(seen.containerEnabled);
    EXPECT_TRUE(seen.versionShown);
    // Gone, the container usable again, and the keyboard back with the control.
    EXPECT_EQ(FindThreadWindow([](HWND w) { return WindowText(w) == L"About Kestrix Control"; }),
              nullptr);
    EXPECT_TRUE(IsWindowEnabled(container.Form()));
    EXPECT_EQ(GetFocus(), control);
  }
  // The control goes on working after its dialog.
  ASSERT_EQ(a.Put(L"Text", std::wstring(L"after")), S_OK);
  EXPECT_EQ(a.GetText(L"Text"), L"after");
}

}  // namespace

}  // namespace kestrix
