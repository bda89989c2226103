// The clipboard's open/closed rules and CF_TEXT content; popup menus choosing a command.
#include <gtest/gtest.h>

#include "RecordingWindow.h"
#include "framework/window/CMenu.h"
#include "framework/window/Clipboard.h"

namespace kestrix {

namespace {

class ClipboardMenuTest : public ::testing::Test {
 protected:
  Display display{100, 100};
};

TEST_F(ClipboardMenuTest, ReadsAndWritesOnlyWhileOpenAndStopsAtNul) {
  EXPECT_FALSE(SetClipboardText("closed"));
  EXPECT_FALSE(GetClipboardText().has_value());
  EXPECT_FALSE(EmptyClipboard());
  EXPECT_FALSE(CloseClipboard());
  ASSERT_TRUE(OpenClipboard(nullptr));
  EXPECT_FALSE(OpenClipboard(nullptr));  // already open
  EXPECT_FALSE(GetClipboardText().has_value());
  EXPECT_FALSE(IsClipboardFormatAvailable(CF_TEXT));
  EXPECT_TRUE(SetClipboardText("abc"));
  EXPECT_EQ(GetClipboardText(), "abc");
  EXPECT_TRUE(CloseClipboard());
  EXPECT_FALSE(GetClipboardText().has_value());
  // Availability does not need the clipboard open.
  EXPECT_TRUE(IsClipboardFormatAvailable(CF_TEXT));
  EXPECT_FALSE(IsClipboardFormatAvailable(2));
  ASSERT_TRUE(OpenClipboard(nullptr));
  EXPECT_TRUE(EmptyClipboard());
  EXPECT_FALSE(GetClipboardText().has_value());
  // CF_TEXT ends at its first NUL, also when a host put it there.
  EXPECT_TRUE(SetClipboardText(std::string("ab\0cd", 5)));
  EXPECT_EQ(GetClipboardText(), "ab");
  display.PutClipboardText(std::string("\0x", 2));
  EXPECT_EQ(GetClipboardText(), "");
  EXPECT_TRUE(EmptyClipboard());
  EXPECT_TRUE(CloseClipboard());
  EXPECT_FALSE(IsClipboardFormatAvailable(CF_TEXT));
}

class MenuOwner : public CWnd {
 public:
  DECLARE_MESSAGE_MAP()
  void OnCopy() { commands.push_back(20); }
  void OnPaste() { commands.push_back(30); }
  std::vector<UINT> commands;
};

BEGIN_MESSAGE_MAP(MenuOwner, CWnd)
  ON_COMMAND(20, OnCopy)
  ON_COMMAND(30, OnPaste)
END_MESSAGE_MAP()

TEST_F(ClipboardMenuTest, ChosenMenuItemReachesTheOwnerAsACommand) {
  MenuOwner owner;
  ASSERT_TRUE(CreateTop(owner, CRect(0, 0, 50, 50)));
  CMenu menu;
  ASSERT_TRUE(menu.CreatePopupMenu());
  menu.AppendMenu(MF_STRING, 20, "Copy");
  menu.AppendMenu(MF_STRING, 30, "Paste");
  POINT shownAt{};
  display.SetMenuChooser([&](const std::vector<MenuItem>& items, POINT at) {
    shownAt = at;
    return items.at(1).id;
  });
  EXPECT_TRUE(menu.TrackPopupMenu(TPM_LEFTALIGN | TPM_RIGHTBUTTON, 40, 45, &owner));
  EXPECT_TRUE(owner.commands.empty());  // posted, not sent
  display.PumpMessages();
  EXPECT_EQ(owner.commands, std::vector<UINT>{30});
  EXPECT_EQ(shownAt.x, 40);
  ASSERT_EQ(display.MenusShown().size(), 1u);
  EXPECT_EQ(display.MenusShown()[0].at(0).text, "Copy");
}

TEST_F(ClipboardMenuTest, DismissedOrForeignChoicesSendNothing) {
  MenuOwner owner;
  ASSERT_TRUE(CreateTop(owner, CRect(0, 0, 50, 50)));
  CMenu menu;
  menu.CreatePopupMenu();
  menu.AppendMenu(MF_STRING, 20, "Copy");
  EXPECT_TRUE(menu.TrackPopupMenu(0, 0, 0, &owner));  // no chooser: dismissed
  display.SetMenuChooser([](const std::vector<MenuItem>&, POINT) { return 30u; });
  EXPECT_TRUE(menu.TrackPopupMenu(0, 0, 0, &owner));  // not an item of this menu
  display.PumpMessages();
  EXPECT_TRUE(owner.commands.empty());
  EXPECT_EQ(display.MenusShown().size(), 2u);
}

}  // namespace

}  // namespace kestrix
