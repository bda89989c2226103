// Popup menus. On the headless display the test chooses the item; the choice reaches the owner
// as WM_COMMAND.
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "CWnd.h"

namespace kestrix {

class ResourceTable;

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

  // Loads menu id of a module's resources: one popup per popup of the template, reached with
  // GetSubMenu. FALSE (and an empty menu) when the module has no such menu.
  BOOL LoadMenu(const ResourceTable& resources, UINT id);
  // The popup at position, or null.
  CMenu* GetSubMenu(int position) const;
  const std::string& Title() const { return title_; }

 private:
  std::string title_;
  std::vector<MenuItem> items_;
  std::vector<std::unique_ptr<CMenu>> popups_;
};

}  // namespace kestrix
