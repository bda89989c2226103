#include "ResourceScript.h"

#include <cstdio>

namespace kestrix {

namespace {

std::string Hex(uint32_t v) {
  char text[16];
  std::snprintf(text, sizeof text, "0x%X", v);
  return text;
}

std::string Rect(const DialogUnitRect& r) {
  return std::to_string(r.x) + ", " + std::to_string(r.y) + ", " + std::to_string(r.cx) + ", " +
         std::to_string(r.cy);
}

std::string Dotted(const std::array<uint16_t, 4>& v, const char* separator) {
  return std::to_string(v[0]) + separator + std::to_string(v[1]) + separator +
         std::to_string(v[2]) + separator + std::to_string(v[3]);
}

std::string DialogItem(const DialogItemTemplate& item) {
  const std::string place = std::to_string(item.id) + ", " + Rect(item.rect);
  switch (item.kind) {
    case DialogItemKind::StaticText:
      return "  LTEXT " + Quoted(item.text) + ", " + place + "\n";
    case DialogItemKind::Icon:
      return "  ICON " + std::to_string(item.iconId) + ", " + place + "\n";
    case DialogItemKind::PushButton:
      return "  PUSHBUTTON " + Quoted(item.text) + ", " + place + "\n";
    case DialogItemKind::DefaultPushButton:
      return "  DEFPUSHBUTTON " + Quoted(item.text) + ", " + place + "\n";
  }
  return {};
}

}  // namespace

std::string ScriptHeader(WORD language) {
  return "#pragma code_page(1256)\nLANGUAGE " + Hex(language & 0x3FFu) + ", " +
         Hex(static_cast<uint32_t>(language >> 10)) + "\n\n";
}

std::string Quoted(const std::string& text) {
  std::string out = "\"";
  for (char c : text) {
    if (c == '"')
      out += "\"\"";
    else if (c == '\t')
      out += "\\t";
    else if (c == '\n')
      out += "\\n";
    else if (c == '\\')
      out += "\\\\";
    else
      out.push_back(c);
  }
  return out + "\"";
}

std::string StringTable(const std::vector<std::pair<UINT, std::string>>& strings) {
  std::string out = "STRINGTABLE\nBEGIN\n";
  for (const auto& [id, text] : strings)
    out += "  " + std::to_string(id) + ", " + Quoted(text) + "\n";
  return out + "END\n\n";
}

std::string MenuResource(UINT id, const MenuTemplate& menu) {
  std::string out = std::to_string(id) + " MENU\nBEGIN\n";
  for (const PopupTemplate& popup : menu.popups) {
    out += "  POPUP " + Quoted(popup.title) + "\n  BEGIN\n";
    for (const MenuItemTemplate& item : popup.items)
      out += "    MENUITEM " + Quoted(item.text) + ", " + std::to_string(item.commandId) + "\n";
    out += "  END\n";
  }
  return out + "END\n\n";
}

std::string DialogResource(UINT id, const DialogTemplate& dialog) {
  std::string out = std::to_string(id) + " DIALOGEX " + Rect(dialog.rect) + "\n";
  out += "STYLE " + Hex(dialog.style) + "\n";
  if (dialog.HasCaption()) out += "CAPTION " + Quoted(dialog.title) + "\n";
  out += "FONT " + std::to_string(dialog.fontPointSize) + ", " + Quoted(dialog.fontFace) + "\n";
  out += "BEGIN\n";
  for (const DialogItemTemplate& item : dialog.items) out += DialogItem(item);
  return out + "END\n\n";
}

std::string VersionResource(const VersionInfo& version) {
  char block[16];
  std::snprintf(block, sizeof block, "%04X%04X", version.translationLanguage,
                version.translationCodePage);
  std::string out = "1 VERSIONINFO\n";
  out += "FILEVERSION " + Dotted(version.fileVersion, ",") + "\n";
  out += "PRODUCTVERSION " + Dotted(version.productVersion, ",") + "\n";
  out += "FILEOS 0x4\nFILETYPE 0x2\nBEGIN\n  BLOCK \"StringFileInfo\"\n  BEGIN\n";
  out += "    BLOCK \"" + std::string(block) + "\"\n    BEGIN\n";
  // Each value ends in its terminator, so that an empty one (a mark) is still there.
  for (const auto& [name, value] : version.strings)
    out += "      VALUE " + Quoted(name) + ", " +
           Quoted(value).insert(Quoted(value).size() - 1, "\\0") + "\n";
  out += "    END\n  END\n  BLOCK \"VarFileInfo\"\n  BEGIN\n";
  out += "    VALUE \"Translation\", " + Hex(version.translationLanguage) + ", " +
         std::to_string(version.translationCodePage) + "\n";
  return out + "  END\nEND\n\n";
}

}  // namespace kestrix
