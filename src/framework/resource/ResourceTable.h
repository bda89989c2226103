// The resources of one module, found by kind and identifier: strings, dialog and menu
// templates, bitmaps, icons and the version information. A module builds its table once, as
// data compiled into it; the framework's loaders (menus, dialogs, strings) read from it.
#pragma once

#include <map>
#include <optional>
#include <string>

#include "../WinTypes.h"
#include "DialogTemplate.h"
#include "ImageResource.h"
#include "MenuTemplate.h"
#include "VersionInfo.h"

namespace kestrix {

// Languages of resources: a table holds one; a lookup names one or takes any.
inline constexpr WORD LANG_ANY = 0;
inline constexpr WORD LANG_ARABIC_SAUDI_ARABIA = 0x0401;
inline constexpr WORD LANG_ENGLISH_US = 0x0409;

class ResourceTable {
 public:
  explicit ResourceTable(WORD language) : language_(language) {}

  WORD Language() const { return language_; }

  // Adding a resource under an identifier that its kind already uses replaces it.
  ResourceTable& AddString(UINT id, std::string text);
  ResourceTable& AddDialog(UINT id, DialogTemplate dialog);
  ResourceTable& AddMenu(UINT id, MenuTemplate menu);
  ResourceTable& AddBitmap(UINT id, ImageResource bitmap);
  ResourceTable& AddIcon(UINT id, ImageResource icon);
  ResourceTable& SetVersionInfo(VersionInfo version);

  // Each lookup answers null when the table has no such resource in the language asked for.
  const std::string* FindString(UINT id, WORD language = LANG_ANY) const;
  const DialogTemplate* FindDialog(UINT id, WORD language = LANG_ANY) const;
  const MenuTemplate* FindMenu(UINT id, WORD language = LANG_ANY) const;
  const ImageResource* FindBitmap(UINT id, WORD language = LANG_ANY) const;
  const ImageResource* FindIcon(UINT id, WORD language = LANG_ANY) const;
  const VersionInfo* FindVersionInfo(WORD language = LANG_ANY) const;

 private:
  bool Speaks(WORD language) const { return language == LANG_ANY || language == language_; }
  template <typename T>
  const T* Find(const std::map<UINT, T>& kind, UINT id, WORD language) const {
    if (!Speaks(language)) return nullptr;
    auto it = kind.find(id);
    return it == kind.end() ? nullptr : &it->second;
  }

  WORD language_;
  std::map<UINT, std::string> strings_;
  std::map<UINT, DialogTemplate> dialogs_;
  std::map<UINT, MenuTemplate> menus_;
  std::map<UINT, ImageResource> bitmaps_;
  std::map<UINT, ImageResource> icons_;
  std::optional<VersionInfo> version_;
};

// The string resource id of the table, as the platform's string loader gives it: the text and
// TRUE, or the empty text and FALSE when there is none.
BOOL LoadString(const ResourceTable& resources, UINT id, std::string& text);
// The same, answering the text alone (empty when there is none).
std::string LoadResourceString(const ResourceTable& resources, UINT id);

}  // namespace kestrix
