#include "CloseDialogs.h"

#include "framework/window/Dialog.h"

namespace kestrix {

namespace {

constexpr UINT kSaveButton = 100;
constexpr UINT kDiscardButton = 101;

DialogTemplate MessageTemplate(const std::string& title) {
  DialogTemplate dialog;
  dialog.style = DS_MODALFRAME | DS_SETFONT | WS_POPUP | WS_CAPTION | WS_SYSMENU;
  dialog.rect = {0, 0, 230, 66};
  dialog.title = title;
  return dialog;
}

}  // namespace

CloseChoice AskAboutUnsavedChanges(CWnd* owner, const std::string& fileName) {
  DialogTemplate dialog = MessageTemplate("kestrix-edit");
  dialog.items = {
      {DialogItemKind::StaticText, IDC_STATIC, {10, 8, 210, 18}, "Save the changes to " + fileName + " before closing?", 0},
      {DialogItemKind::StaticText, IDC_STATIC, {10, 27, 210, 9}, "If you don't, they are lost.", 0},
      {DialogItemKind::DefaultPushButton, kSaveButton, {64, 45, 50, 14}, "&Save", 0},
      {DialogItemKind::PushButton, kDiscardButton, {118, 45, 50, 14}, "&Discard", 0},
      {DialogItemKind::PushButton, static_cast<UINT>(IDCANCEL), {172, 45, 50, 14}, "&Cancel", 0},
  };
  CDialog ask(std::move(dialog), nullptr, owner);
  switch (ask.DoModal()) {
    case kSaveButton: return CloseChoice::Save;
    case kDiscardButton: return CloseChoice::Discard;
    default: return CloseChoice::Cancel;  // the close box, Escape, or no dialog at all
  }
}

void TellSaveFailed(CWnd* owner, const std::string& why) {
  DialogTemplate dialog = MessageTemplate("kestrix-edit");
  dialog.items = {
      {DialogItemKind::StaticText, IDC_STATIC, {10, 8, 210, 9}, "The file was not saved:", 0},
      {DialogItemKind::StaticText, IDC_STATIC, {10, 19, 210, 24}, why, 0},
      {DialogItemKind::DefaultPushButton, static_cast<UINT>(IDOK), {172, 45, 50, 14}, "OK", 0},
  };
  CDialog tell(std::move(dialog), nullptr, owner);
  tell.DoModal();
}

}  // namespace kestrix
