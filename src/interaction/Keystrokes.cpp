// Key-down, key-up and character messages: the key table of the moving and editing keys,
// selection with Shift, the reading-order switch on Control+Shift, and typed characters.
//
// The host sees KeyDown and KeyPress first and may change or cancel the code it is given; the
// control acts on the key as the message delivered it.
#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <string>

#include "control/KestrixCtrl.h"
#include "framework/text/TextConversion.h"
#include "framework/window/Clipboard.h"

namespace kestrix {

namespace {
constexpr UINT kMinus = 0x2D;
constexpr UINT kSpace = 0x20;
// Keys from here up type characters, or are keypad and function keys.
constexpr UINT kFirstTypingKey = 0x30;

// Right, Left, Up, Down, Home and End extend a selection while Shift is held.
bool IsSelectionKey(UINT key) {
  return key == VK_RIGHT || key == VK_LEFT || key == VK_UP || key == VK_DOWN || key == VK_HOME ||
         key == VK_END;
}
}  // namespace

bool CKestrixCtrl::RunMoveKey(UINT key) {
  switch (static_cast<USHORT>(key)) {
    case VK_UP:
      MoveUp(TRUE);
      return true;
    case VK_DOWN:
      MoveDown(TRUE);
      return true;
    case VK_PRIOR:
      PageUp();
      return true;
    case VK_NEXT:
      PageDown();
      return true;
    case VK_LEFT:
    case VK_RIGHT:
      if (m_StandardEditing && IsCtrlDown())
        MoveByWord(key == VK_RIGHT);
      else if (key == VK_LEFT)
        MoveLeft();
      else
        MoveRight();
      return true;
    default:
      return false;
  }
}

void CKestrixCtrl::OnKeyDown(UINT ch, UINT repeat, UINT flags) {
  COleControl::OnKeyDown(ch, repeat, flags);
  // A host that destroyed the window from its KeyDown handler leaves nothing to act on.
  if (!m_hWnd || m_Lines.Empty()) return;
  const UINT key = static_cast<USHORT>(ch);
  // Typing joins one step only while the caret stays where the typing left it.
  if (IsSelectionKey(key) || key == VK_PRIOR || key == VK_NEXT) m_History.CloseTyping();
  if (m_StandardEditing) ArmReadingOrderChord(key, flags);
  if (IsShiftDown() && key != VK_SHIFT) ShiftSelectBefore(key);
  // With StandardEditing Control makes Backspace and Delete take words, and keys commands.
  const bool standardCtrl = m_StandardEditing && IsCtrlDown();
  switch (key) {
    case VK_BACK:
      if (standardCtrl)
        DeleteWord(false);
      else
        DeleteBackward();
      break;
    case VK_TAB:
      break;
    case VK_F5:
      Refresh();
      break;
    case VK_HOME:
      MoveHome();
      break;
    case VK_END:
      MoveEnd();
      break;
    case VK_DELETE:
      if (standardCtrl && !IsShiftDown())
        DeleteWord(true);
      else
        DeleteAtCaret(IsShiftDown() ? TRUE : FALSE);
      break;
    case VK_SHIFT:
      if (!m_StandardEditing) ReadingOrderKey(flags);
      break;
    case VK_INSERT:
      if (!m_ReadOnly && IsShiftDown()) InsertText(CString(), 0);
      break;
    case VK_RETURN:
      if (!m_ReadOnly && m_MultiLines) {
        RecordedEdit typed(*this, EditKind::Typing);
        InsertText(CString(1, '\r'), 1);
      }
      break;
    default:
      if (RunMoveKey(key)) break;
      // Shift with a typing key cuts the selection; the character that follows takes its place,
      // in the same step as for a key without Shift. With StandardEditing a key with Control is
      // a command (Ctrl+Shift+Z) and cuts nothing.
      if (key >= kFirstTypingKey && IsShiftDown() && m_SelLength > 0 && !standardCtrl) {
        RecordedEdit typed(*this, EditKind::Typing);
        DeleteAtCaret(m_PasswordChar > 0 ? FALSE : TRUE);  // a password only loses it
      }
      break;
  }
  if (!m_hWnd || m_Lines.Empty()) return;
  if (IsShiftDown() && key != VK_SHIFT) ShiftSelectAfter(key);
  // With StandardEditing a word move without Shift drops the selection, as a move does.
  if (m_StandardEditing && IsCtrlDown() && !IsShiftDown() && m_SelLength > 0 && (key == VK_LEFT || key == VK_RIGHT))
    CollapseSelection();
  // Typing over a selection: a typing key removes it so that its character lands in its place;
  // any other key only drops it.
  if (!IsShiftDown() && !IsCtrlDown() && m_SelLength > 0) {
    if (key >= kFirstTypingKey || key == kSpace) {
      // The character that follows takes the selection's place in the same step.
      RecordedEdit typed(*this, EditKind::Typing);
      DeleteAtCaret(FALSE);
    } else {
      CollapseSelection();
    }
  }
}

void CKestrixCtrl::OnKeyUp(UINT ch, UINT repeat, UINT flags) {
  if (m_StandardEditing && m_hWnd && !m_Lines.Empty()) ReleaseReadingOrderChord(static_cast<USHORT>(ch));
  // Releasing Shift ends a keyboard selection, before the host hears of the key going up.
  if (static_cast<USHORT>(ch) == VK_SHIFT && m_Selecting && !m_Lines.Empty()) {
    int x = CaretXFromIndex();
    m_LineStartX = x;
    EndSelection(x, m_LineY - m_ScrollOffset, TRUE);
  }
  COleControl::OnKeyUp(ch, repeat, flags);
}

void CKestrixCtrl::ShiftSelectBefore(UINT key) {
  // Other keys find the range in order already (ShiftSelectAfter keeps it so).
  if (!IsSelectionKey(key) || m_Lines.Empty()) return;
  // A selection goes on from the anchor of its gesture.
  if (m_Selecting) return;
  PushPosition(TRUE);
  int x = CaretXFromIndex();
  int y = m_LineY - m_ScrollOffset;
  m_LineStartX = x;
  PressAt(x, y);
  PopPosition();
}

void CKestrixCtrl::ShiftSelectAfter(UINT key) {
  if (!IsSelectionKey(key)) {
    // Control or Alt pressed while Shift holds a selection start a command for it (Ctrl+X,
    // Ctrl+C), so they keep it; any other key drops it.
    if (key != VK_CONTROL && key != VK_MENU) CollapseSelection();
    return;
  }
  if (m_Lines.Empty() || !m_Selecting) return;
  PushPosition(TRUE);
  int offset = OffsetFromIndex(m_CharIndex);
  int line = LineFromOffset(offset);
  const int index = IndexFromOffset(offset);
  // The moving end is the caret, on its own line: the line may lie partly below the view,
  // where a drag would start scrolling instead.
  m_SelCurY = m_LineY - m_ScrollOffset;
  TrackToLine(line, index);
  PopPosition();
  // The range is kept in order at once, so that whatever comes before Shift goes up (a cut, a
  // command, a character) sees the range that is shown.
  int caret = OffsetFromIndex(m_CharIndex);
  m_SelLength = std::abs(m_SelAnchorOffset - caret);
  m_SelStart = std::min(m_SelAnchorOffset, caret);
}

void CKestrixCtrl::DeleteBackward() {
  if (m_ReadOnly) return;
  // The step starts before the caret steps back over the character.
  RecordedEdit edit(*this, EditKind::Other);
  int offset = OffsetFromIndex(m_CharIndex);
  if (offset <= 0 && m_SelLength == 0) return;
  if (m_SelLength == 0) --offset;
  m_CharIndex = IndexFromOffset(offset);
  DeleteAtCaret(FALSE);
}

void CKestrixCtrl::CtrlCharCommand(UINT ch) {
  switch (ch & 0xFF) {
    case 0x0C:  // Ctrl+L
      Clear();
      break;
    case 0x03:  // Ctrl+C
      OnEditCopy();
      break;
    case 0x16:  // Ctrl+V
      OnEditPaste();
      break;
    case 0x18:  // Ctrl+X
      DeleteAtCaret(TRUE);
      break;
    case 0x01:  // Ctrl+A
      SelectAll();
      break;
    case 0x1A:  // Ctrl+Z, and with Shift Ctrl+Shift+Z
      if (m_StandardEditing && IsShiftDown())
        Redo();
      else if (m_StandardEditing)
        Undo();
      break;
    case 0x19:  // Ctrl+Y
      if (m_StandardEditing) Redo();
      break;
    default:
      break;
  }
}

// Keys pressed with Alt come here; the control moves the caret for them through the hook, as
// the framework calls it after KeyDown. A host that cancels the key skips the hook, so the move
// is then made here, with the key the message delivered.
void CKestrixCtrl::OnSysKeyDown(UINT ch, UINT repeat, UINT flags) {
  m_SysKeyPending = true;
  m_SysKeyCode = ch;
  COleControl::OnSysKeyDown(ch, repeat, flags);
  bool pending = m_SysKeyPending;
  m_SysKeyPending = false;
  if (pending && m_hWnd && !m_Lines.Empty()) RunMoveKey(ch);
}

void CKestrixCtrl::OnKeyDownEvent(USHORT keyCode, short shift) {
  // A plain key-down moves through the key table; only system key-downs move here.
  if (m_SysKeyPending) {
    m_SysKeyPending = false;
    if (!m_Lines.Empty()) RunMoveKey(m_SysKeyCode);
  }
  COleControl::OnKeyDownEvent(keyCode, shift);
}

void CKestrixCtrl::OnChar(UINT ch, UINT repeat, UINT flags) {
  COleControl::OnChar(ch, repeat, flags);
  if (!m_hWnd || m_Lines.Empty()) return;
  // Characters typed with Control down are commands, never text; Shift with "-" pastes.
  if (IsCtrlDown()) {
    CtrlCharCommand(ch);
    return;
  }
  if (IsShiftDown() && ch == kMinus) {
    OnEditPaste();
    return;
  }
  RecordedEdit typed(*this, EditKind::Typing);
  // A display that delivers Unicode sends codes past 0xFF: such a character is taken by the
  // code page's conversion (an Arabic-Indic digit becomes its ASCII digit, a ligature its
  // letters), or refused aloud when it has no place.
  if (ch > 0xFF) {
    const std::string bytes = Cp1256ForCharacter(ch);
    if (bytes.empty()) {
      char why[96];
      std::snprintf(why, sizeof why, "U+%04X has no place in the Arabic code page (1256)", ch);
      RefuseInput(why);
      return;
    }
    if (bytes.size() > 1) {
      if (!m_ReadOnly) InsertText(bytes, 1);
      return;
    }
    ch = static_cast<unsigned char>(bytes[0]);
  }
  // A selection still there when a character arrives (no key-down removed it) is replaced by
  // the character, but only by one the insertion will take: a refused character (a control
  // code, a code the code page cannot hold, one past MaxLength) leaves the selection and its
  // text as they are. A selection whose gesture is under way is dropped first.
  if (m_SelLength > 0) {
    if (!AcceptsInPlaceOfSelection(ch)) return;
    DeleteAtCaret(FALSE);
  } else if (m_Selecting) {
    CollapseSelection();
  }
  AcquireDC();
  const bool accepted = CanInsertChar(ch) != FALSE;
  const int64_t at = m_Lines.LengthBefore(m_CurLine) + std::clamp(m_CharIndex, 0, static_cast<int>(m_LineText.size()));
  if (accepted && m_TextIsStore) NoteTyped(at);
  InsertChar(ch);
  if (accepted) {
    NoteReplaced(at, CString(), CString(1, static_cast<char>(ch)));
    NoteTextEdited();
  }
  StoreLine();
  PaintCurrentLine();
  // A selection that a read-only control kept is shown again over the repainted line.
  if (m_SelLength > 0 && !HighlightHidden()) {
    const LineRecord* record = m_Lines.At(m_CurLine);
    if (record) InvertShownSpans(*record, m_CurLine, true);
  }
  UpdateCaret();
  ReleaseHeldDC();
}

bool CKestrixCtrl::AcceptsInPlaceOfSelection(unsigned int c) {
  if (m_ReadOnly || !IsCharacterCode(c)) return false;
  if (m_MaxLength <= 0) return true;
  // The room the deletion frees: every selected character that counts against the limit.
  CString selected = SelectedText();
  auto freed = std::count_if(selected.begin(), selected.end(),
                             [](char s) { return IsCharacterCode(static_cast<unsigned char>(s)); });
  return static_cast<int64_t>(m_CharCount) - freed < m_MaxLength;
}

void CKestrixCtrl::Refresh() { RebuildText(GetText(), -1); }

}  // namespace kestrix
