// Key-down and character messages: the key table of the moving and editing keys, the
// reading-order switch on Control+Shift, F5, and typed characters.
//
// The host sees KeyDown and KeyPress first and may change or cancel the code it is given; the
// control acts on the key as the message delivered it.
#include "control/KestrixCtrl.h"

namespace {
constexpr UINT kMinus = 0x2D;
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
      MoveLeft();
      return true;
    case VK_RIGHT:
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
  switch (static_cast<USHORT>(ch)) {
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
    case VK_SHIFT:
      ReadingOrderKey(flags);
      break;
    default:
      RunMoveKey(ch);
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
  if (IsCtrlDown()) return;
  if (IsShiftDown() && ch == kMinus) return;
  AcquireDC();
  InsertChar(ch);
  StoreLine();
  PaintCurrentLine();
  UpdateCaret();
  ReleaseHeldDC();
}

void CKestrixCtrl::Refresh() { RebuildText(GetText(), -1); }
