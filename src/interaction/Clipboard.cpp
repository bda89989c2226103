// Copy and paste through the clipboard's CF_TEXT, the SelText method, and the right-button
// menu that offers the two commands (and Undo and Redo with StandardEditing).
#include <optional>
#include <string>

#include "control/KestrixCtrl.h"
#include "framework/window/CMenu.h"
#include "framework/window/Clipboard.h"
#include "resources/KestrixResources.h"

namespace kestrix {

// The menu's identifiers are the control's resources' own.
static_assert(CKestrixCtrl::kContextMenu == IDR_CONTEXT_MENU && CKestrixCtrl::kCopyCommand == ID_EDIT_COPY &&
              CKestrixCtrl::kPasteCommand == ID_EDIT_PASTE);

CString CKestrixCtrl::SelectedText() {
  if (m_SelLength <= 0) return {};
  // The same range as a deletion or a paste would replace, so that what is copied is what
  // they remove.
  const EditRange range = SelectionRange();
  return m_Lines.TextBetween(range.start, range.end);
}

void CKestrixCtrl::OnEditCopy() {
  // A password never leaves the control: the clipboard keeps what it held. With
  // StandardEditing neither does a copy of nothing.
  if (m_PasswordChar > 0 || CopiesNothing()) return;
  BeginWaitCursor();
  StoreLine();
  m_SelText = SelectedText();
  // A paragraph break goes out as a bare CR, as it is stored. Nothing selected still
  // replaces the clipboard's text, with the empty text.
  if (OpenClipboard(m_hWnd)) {
    EmptyClipboard();
    SetClipboardText(m_SelText);
    CloseClipboard();
  }
  EndWaitCursor();
}

void CKestrixCtrl::OnEditPaste() {
  if (m_ReadOnly) return;
  InsertText(CString(), 1);
}

CString CKestrixCtrl::ClipboardText() { return ClipboardTextToPaste().value_or(CString()); }

std::optional<CString> CKestrixCtrl::ClipboardTextToPaste() {
  CString result;
  if (!OpenClipboard(m_hWnd)) return result;
  std::optional<std::string> text = GetClipboardText();
  std::optional<std::string> refusal = GetClipboardRefusal();
  CloseClipboard();
  // Text with a character the code page has no place for is not pasted in part: nothing
  // changes, and the person hears and reads why.
  if (!text && refusal) {
    RefuseInput("Nothing was pasted: " + *refusal);
    return std::nullopt;
  }
  if (text) result = text->substr(0, text->find('\0'));
  return result;
}

WideString CKestrixCtrl::SelText() {
  m_SelText = SelectedText();
  return BstrFromCp1256(m_SelText);
}

void CKestrixCtrl::OnRButtonDown(UINT flags, CPoint point) {
  COleControl::OnRButtonDown(flags, point);
  StoreLine();
  // The menu comes from the control's resources; without it there is no menu.
  CMenu menu;
  if (!menu.LoadMenu(KestrixResources(), kContextMenu)) return;
  CMenu* popup = menu.GetSubMenu(0);
  if (!popup) return;
  // The menu is placed in screen coordinates.
  POINT screen = point;
  ClientToScreen(&screen);
  // Its items are always offered; the choice comes back as WM_COMMAND. With StandardEditing
  // Undo and Redo come first, as in other editors' menus.
  CMenu withHistory;
  if (m_StandardEditing) {
    withHistory.CreatePopupMenu();
    withHistory.AppendMenu(0, kUndoCommand, "Undo \tCtrl+Z");
    withHistory.AppendMenu(0, kRedoCommand, "Redo \tCtrl+Y");
    for (const MenuItem& item : popup->Items()) withHistory.AppendMenu(0, item.id, item.text.c_str());
    popup = &withHistory;
  }
  popup->TrackPopupMenu(0, screen.x, screen.y, this);
  withHistory.DestroyMenu();
  menu.DestroyMenu();
}

}  // namespace kestrix
