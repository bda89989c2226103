#include "resources/KestrixResources.h"

namespace kestrix {

namespace {

MenuTemplate ContextMenu() {
  MenuTemplate menu;
  menu.popups.push_back(PopupTemplate{
      "IDR_RBUTTON_MENU",
      {{"Copy \tCtrl+C", ID_EDIT_COPY}, {"Paste \tCtrl+V", ID_EDIT_PASTE}},
  });
  return menu;
}

VersionInfo ModuleVersion() {
  VersionInfo version;
  version.fileVersion = {1, 0, 0, 1};
  version.productVersion = {1, 0, 0, 1};
  version.translationLanguage = 0x0409;
  version.translationCodePage = 0x04B0;
  version.strings = {
      {"FileDescription", "Kestrix ActiveX Control Module"},
      {"FileVersion", "1, 0, 0, 1"},
      {"InternalName", "KESTRIX"},
      {"ProductName", "Kestrix ActiveX Control Module"},
      {"ProductVersion", "1, 0, 0, 1"},
      // Present and empty: it marks the module as one that registers itself.
      {"OLESelfRegister", ""},
  };
  return version;
}

ResourceTable BuildResources() {
  ResourceTable table(LANG_ARABIC_SAUDI_ARABIA);
  table.AddString(IDS_KESTRIX, "Velor Control")
      .AddString(IDS_KESTRIX_PPG, "Kestrix Property Page")
      .AddString(IDS_KESTRIX_PPG_CAPTION, "General")
      .AddDialog(IDD_ABOUTBOX_KESTRIX, KestrixAboutBoxTemplate())
      .AddDialog(IDD_PROPPAGE_KESTRIX, KestrixPropPageTemplate())
      .AddMenu(IDR_CONTEXT_MENU, ContextMenu())
      .AddBitmap(IDB_KESTRIX, KestrixToolboxBitmap())
      .AddIcon(IDI_ABOUTDLL, KestrixIcon())
      .SetVersionInfo(ModuleVersion());
  return table;
}

}  // namespace

const ResourceTable& KestrixResources() {
  static const ResourceTable table = BuildResources();
  return table;
}

}  // namespace kestrix
