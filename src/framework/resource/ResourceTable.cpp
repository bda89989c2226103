#include "framework/resource/ResourceTable.h"

namespace kestrix {

ResourceTable& ResourceTable::AddString(UINT id, std::string text) {
  strings_[id] = std::move(text);
  return *this;
}

ResourceTable& ResourceTable::AddDialog(UINT id, DialogTemplate dialog) {
  dialogs_[id] = std::move(dialog);
  return *this;
}

ResourceTable& ResourceTable::AddMenu(UINT id, MenuTemplate menu) {
  menus_[id] = std::move(menu);
  return *this;
}

ResourceTable& ResourceTable::AddBitmap(UINT id, ImageResource bitmap) {
  bitmaps_[id] = std::move(bitmap);
  return *this;
}

ResourceTable& ResourceTable::AddIcon(UINT id, ImageResource icon) {
  icons_[id] = std::move(icon);
  return *this;
}

ResourceTable& ResourceTable::SetVersionInfo(VersionInfo version) {
  version_ = std::move(version);
  return *this;
}

const std::string* ResourceTable::FindString(UINT id, WORD language) const {
  return Find(strings_, id, language);
}

const DialogTemplate* ResourceTable::FindDialog(UINT id, WORD language) const {
  return Find(dialogs_, id, language);
}

const MenuTemplate* ResourceTable::FindMenu(UINT id, WORD language) const {
  return Find(menus_, id, language);
}

const ImageResource* ResourceTable::FindBitmap(UINT id, WORD language) const {
  return Find(bitmaps_, id, language);
}

const ImageResource* ResourceTable::FindIcon(UINT id, WORD language) const {
  return Find(icons_, id, language);
}

const VersionInfo* ResourceTable::FindVersionInfo(WORD language) const {
  return version_ && Speaks(language) ? &*version_ : nullptr;
}

BOOL LoadString(const ResourceTable& resources, UINT id, std::string& text) {
  const std::string* found = resources.FindString(id);
  text = found ? *found : std::string();
  return found ? TRUE : FALSE;
}

std::string LoadResourceString(const ResourceTable& resources, UINT id) {
  std::string text;
  LoadString(resources, id, text);
  return text;
}

}  // namespace kestrix
