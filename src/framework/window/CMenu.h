// Popup menus. On the headless display the test chooses the item; the choice reaches the owner
// as WM_COMMAND.
#pragma once

#include <string>
#include <vector>

#include "framework/window/CWnd.h"

struct MenuItem {
  UINT id = 0;
  std::string text;
};

class CMenu {
 public:
  BOOL CreatePopupMenu();
  BOOL AppendMenu(UINT flags, UINT id, const char* text);
  // Shows the menu at screen point (x, y); a chosen item is posted to owner as WM_COMMAND.
  BOOL TrackPopupMenu(UINT flags, int x, int y, CWnd* owner);
  BOOL DestroyMenu();
  const std::vector<MenuItem>& Items() const { return items_; }

 private:
  std::vector<MenuItem> items_;
};
