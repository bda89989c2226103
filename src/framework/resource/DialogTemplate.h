// A dialog template: the dialog's style, size and font, and its items, all placed in dialog
// units. The window that shows it converts the units to pixels from the font's base units.
#pragma once

#include <string>
#include <vector>

#include "../WinTypes.h"

namespace kestrix {

// Command identifiers of the standard buttons.
inline constexpr int IDOK = 1;
inline constexpr int IDCANCEL = 2;
// The identifier of items that are never addressed (labels).
inline constexpr UINT IDC_STATIC = 0xFFFF;

// A rectangle in dialog units: origin and size, as templates give them.
struct DialogUnitRect {
  int x = 0;
  int y = 0;
  int cx = 0;
  int cy = 0;
};

enum class DialogItemKind {
  StaticText,        // left-aligned text, wrapped at word breaks within its rectangle
  Icon,              // an icon resource, drawn at the rectangle's top left
  PushButton,
  DefaultPushButton,  // the button that Return presses
};

struct DialogItemTemplate {
  DialogItemKind kind = DialogItemKind::StaticText;
  UINT id = IDC_STATIC;
  DialogUnitRect rect;
  std::string text;  // the label of a text item or button
  UINT iconId = 0;   // the icon resource of an icon item
};

struct DialogTemplate {
  DWORD style = 0;
  DialogUnitRect rect;  // x, y place a child dialog in its parent; cx, cy size every dialog
  int fontPointSize = 8;
  std::string fontFace = "MS Sans Serif";
  std::string title;
  std::vector<DialogItemTemplate> items;

  bool IsChild() const { return (style & WS_CHILD) != 0; }
  bool HasCaption() const { return (style & WS_CAPTION) == WS_CAPTION; }
};

}  // namespace kestrix
