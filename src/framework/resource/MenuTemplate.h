// A menu template: one or more popups, each a title and its items.
#pragma once

#include <string>
#include <vector>

#include "../WinTypes.h"

namespace kestrix {

struct MenuItemTemplate {
  std::string text;
  UINT commandId = 0;
};

struct PopupTemplate {
  std::string title;
  std::vector<MenuItemTemplate> items;
};

struct MenuTemplate {
  std::vector<PopupTemplate> popups;
};

}  // namespace kestrix
