// Caret moves through the text: logical Left and Right (or to the caret drawn beside), Up and Down keeping the index, pages,
// Home and End.
#include "control/KestrixCtrl.h"

namespace kestrix {

bool CKestrixCtrl::IsShiftDown() { return kestrix::GetKeyState(VK_SHIFT) < 0; }
bool CKestrixCtrl::IsCtrlDown() { return kestrix::GetKeyState(VK_CONTROL) < 0; }

void CKestrixCtrl::MoveLeft() {
  if (m_VisualCaret) {
    MoveToDrawnNeighbour(false);
    KeepCaretLineVisible();
    return;
  }
  int offset = OffsetFromIndex(m_CharIndex);
  if (offset > 0) --offset;
  m_CharIndex = IndexFromOffset(offset);
  KeepCaretLineVisible();
}

void CKestrixCtrl::MoveRight() {
  if (m_VisualCaret) {
    MoveToDrawnNeighbour(true);
    KeepCaretLineVisible();
    return;
  }
  m_CharIndex = IndexFromOffset(OffsetFromIndex(m_CharIndex) + 1);
  KeepCaretLineVisible();
}

void CKestrixCtrl::KeepCaretLineVisible() {
  int before = m_FirstVisible;
  if (m_CurLine > m_LastVisible) SetFirstVisible(m_FirstVisible + 1);
  if (m_CurLine < m_FirstVisible) SetFirstVisible(m_FirstVisible - 1);
  // The lines take their new places before the caret is placed, so that it is drawn on its
  // line; the thumb follows the view.
  if (m_FirstVisible != before) {
    PaintLines(m_FirstVisible, m_LastVisible);
    SyncScrollPos();
  }
  UpdateCaret();
}

void CKestrixCtrl::MoveUp(BOOL moveCaret) {
  StoreLine();
  EraseCaret();
  if (moveCaret) GotoLine(m_CurLine - 1);
  if (m_CurLine == m_FirstVisible - 1 || !moveCaret) ScrollLineUp();
  UpdateCaret();
}

void CKestrixCtrl::MoveDown(BOOL moveCaret) {
  if (m_CurLine >= m_Lines.Count()) return;
  StoreLine();
  EraseCaret();
  if (moveCaret) GotoLine(m_CurLine + 1);
  if (m_CurLine > m_LastVisible || !moveCaret) ScrollLineDown();
  UpdateCaret();
}

void CKestrixCtrl::PageUp() {
  EraseCaret();
  StoreLine();
  m_FirstVisible -= m_VisibleLines;
  if (m_FirstVisible <= 0) m_FirstVisible = 1;
  m_CurLine -= m_VisibleLines;
  if (m_CurLine <= 0) m_CurLine = 1;
  SetFirstVisible(m_FirstVisible);
  PaintLines(m_FirstVisible, m_LastVisible);
  if (m_pScrollBar && m_pScrollBar->GetSafeHwnd()) m_pScrollBar->SetScrollPos(m_FirstVisible - 1, TRUE);
  UpdateCaret();
}

void CKestrixCtrl::PageDown() {
  int count = m_Lines.Count();
  if (m_CurLine >= count) return;
  EraseCaret();
  StoreLine();
  if (m_pScrollBar && m_pScrollBar->IsWindowVisible()) {
    m_FirstVisible += m_VisibleLines;
    if (m_FirstVisible > count) m_FirstVisible = count - 1;
  }
  m_CurLine += m_VisibleLines;
  if (m_CurLine > count) m_CurLine = count;
  SetFirstVisible(m_FirstVisible);
  PaintLines(m_FirstVisible, m_LastVisible);
  if (m_pScrollBar && m_pScrollBar->GetSafeHwnd()) m_pScrollBar->SetScrollPos(m_FirstVisible - 1, TRUE);
  UpdateCaret();
}

void CKestrixCtrl::MoveHome() {
  if (IsCtrlDown()) {
    GotoLine(1);
    SetFirstVisible(m_CurLine);
    PaintLines(m_FirstVisible, m_LastVisible);
    SyncScrollPos();
  }
  m_CharIndex = 0;
  UpdateCaret();
}

void CKestrixCtrl::MoveEnd() {
  if (IsCtrlDown()) {
    GotoLine(m_Lines.Count());
    // The last line goes to the top of the view, or with StandardEditing to its bottom, so
    // that a text that fits is seen whole.
    SetFirstVisible(m_StandardEditing ? m_CurLine - m_VisibleLines + 1 : m_CurLine);
    PaintLines(m_FirstVisible, m_LastVisible);
    SyncScrollPos();
  }
  m_CharIndex = static_cast<int>(m_LineText.size());
  if (m_LineText.find('\r') != CString::npos) --m_CharIndex;
  UpdateCaret();
}

}  // namespace kestrix
