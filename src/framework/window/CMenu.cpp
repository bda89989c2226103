// Popup menus. The display's chooser stands in for the user picking an item.
#include "framework/window/CMenu.h"

#include <algorithm>

#include "framework/resource/ResourceTable.h"
#include "framework/window/Display.h"

namespace kestrix {

BOOL CMenu::CreatePopupMenu() {
  items_.clear();
  return TRUE;
}

BOOL CMenu::AppendMenu(UINT, UINT id, const char* text) {
  items_.push_back(MenuItem{id, text ? text : ""});
  return TRUE;
}

BOOL CMenu::TrackPopupMenu(UINT, int x, int y, CWnd* owner) {
  Display* d = Display::CurrentOrNull();
  if (!d) return FALSE;
  UINT chosen = d->RunPopupMenu(items_, POINT{x, y});
  if (chosen != 0 && owner && d->IsWindow(owner->m_hWnd))
    d->Post(owner->m_hWnd, WM_COMMAND, chosen, 0);
  return TRUE;
}

BOOL CMenu::DestroyMenu() {
  items_.clear();
  popups_.clear();
  title_.clear();
  return TRUE;
}

BOOL CMenu::LoadMenu(const ResourceTable& resources, UINT id) {
  DestroyMenu();
  const MenuTemplate* menu = resources.FindMenu(id);
  if (!menu) return FALSE;
  for (const PopupTemplate& popup : menu->popups) {
    auto sub = std::make_unique<CMenu>();
    sub->title_ = popup.title;
    for (const MenuItemTemplate& item : popup.items) sub->AppendMenu(MF_STRING, item.commandId, item.text.c_str());
    popups_.push_back(std::move(sub));
  }
  return TRUE;
}

CMenu* CMenu::GetSubMenu(int position) const {
  if (position < 0 || position >= static_cast<int>(popups_.size())) return nullptr;
  return popups_[static_cast<size_t>(position)].get();
}

UINT Display::RunPopupMenu(const std::vector<MenuItem>& items, POINT at) {
  menusShown_.push_back(items);
  if (!menuChooser_) return 0;
  UINT chosen = menuChooser_(items, at);
  // Only an item of the menu can be chosen; anything else dismisses it.
  bool known = std::any_of(items.begin(), items.end(),
                           [chosen](const MenuItem& item) { return item.id == chosen; });
  return known ? chosen : 0;
}

}  // namespace kestrix
