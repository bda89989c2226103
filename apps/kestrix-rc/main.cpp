// kestrix-rc DIR: writes the module's resources as a resource script, DIR/kestrix.rc, with its
// bitmap and icon files beside it. The script names the compiled type library, kestrix.tlb,
// as TYPELIB 1; the Windows build puts it in DIR.
#include <iostream>

#include "ImageFiles.h"
#include "ResourceScript.h"
#include "framework/file/DurableWrite.h"
#include "resources/KestrixResources.h"

using namespace kestrix;

int main(int argc, char** argv) {
  if (argc != 2) {
    std::cerr << "usage: kestrix-rc DIRECTORY\n";
    return 2;
  }
  const std::string dir = argv[1];
  const ResourceTable& table = KestrixResources();
  std::string script = ScriptHeader(table.Language());
  std::vector<std::pair<UINT, std::string>> strings;
  for (UINT id : {IDS_KESTRIX, IDS_KESTRIX_PPG, IDS_KESTRIX_PPG_CAPTION})
    strings.emplace_back(id, LoadResourceString(table, id));
  script += StringTable(strings);
  script += MenuResource(IDR_CONTEXT_MENU, *table.FindMenu(IDR_CONTEXT_MENU));
  for (UINT id : {IDD_ABOUTBOX_KESTRIX, IDD_PROPPAGE_KESTRIX})
    script += DialogResource(id, *table.FindDialog(id));
  script += VersionResource(*table.FindVersionInfo());
  script += std::to_string(IDB_KESTRIX) + " BITMAP \"kestrix.bmp\"\n";
  script += std::to_string(IDI_ABOUTDLL) + " ICON \"kestrix.ico\"\n";
  script += "1 TYPELIB \"kestrix.tlb\"\n";
  // The script last, so that a script on disk always finds its images.
  const std::pair<std::string, std::string> files[] = {
      {"kestrix.bmp", BitmapFile(*table.FindBitmap(IDB_KESTRIX))},
      {"kestrix.ico", IconFile(*table.FindIcon(IDI_ABOUTDLL))},
      {"kestrix.rc", script}};
  for (const auto& [name, bytes] : files) {
    std::string error;
    if (WriteFileDurably(dir + "/" + name, bytes, &error) != 0) {
      std::cerr << "kestrix-rc: " << error << "\n";
      return 1;
    }
  }
  return 0;
}
