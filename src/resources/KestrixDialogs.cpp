// The about box and the property page, placed in dialog units.
#include "resources/KestrixResources.h"

namespace kestrix {

DialogTemplate KestrixAboutBoxTemplate() {
  DialogTemplate dialog;
  dialog.style = DS_MODALFRAME | DS_SETFONT | WS_POPUP | WS_CAPTION | WS_SYSMENU;
  dialog.rect = {34, 22, 260, 55};
  dialog.fontPointSize = 8;
  dialog.fontFace = "MS Sans Serif";
  dialog.title = "About Kestrix Control";
  dialog.items = {
      {DialogItemKind::Icon, IDC_STATIC, {10, 10, 20, 20}, "", IDI_ABOUTDLL},
      {DialogItemKind::StaticText, IDC_STATIC, {40, 10, 170, 8}, "Kestrix Control, Version 1.0", 0},
      {DialogItemKind::StaticText, IDC_STATIC, {40, 25, 170, 8}, "Plain text in Arabic and English", 0},
      {DialogItemKind::DefaultPushButton, IDC_ABOUT_OK, {221, 7, 32, 14}, "OK", 0},
  };
  return dialog;
}

DialogTemplate KestrixPropPageTemplate() {
  DialogTemplate dialog;
  dialog.style = DS_SETFONT | WS_CHILD;
  dialog.rect = {0, 0, 250, 62};
  dialog.fontPointSize = 8;
  dialog.fontFace = "MS Sans Serif";
  dialog.items = {
      {DialogItemKind::CheckBox, IDC_VISUAL_CARET, {7, 25, 229, 12}, "&Caret where the characters are drawn", 0},
      {DialogItemKind::CheckBox, IDC_STANDARD_EDITING, {7, 41, 229, 12}, "&Editing keys and clicks as in other editors", 0},
  };
  return dialog;
}

}  // namespace kestrix
