// The control window: its message table, creation, sizing, focus, the blink timer, font
// changes, and re-creation.
#include <algorithm>

#include "control/KestrixCtrl.h"

namespace kestrix {

BEGIN_MESSAGE_MAP(CKestrixCtrl, COleControl)
ON_WM_MOUSEMOVE()
ON_WM_LBUTTONUP()
ON_WM_LBUTTONDOWN()
ON_WM_LBUTTONDBLCLK()
ON_WM_RBUTTONDOWN()
ON_WM_SETFOCUS()
ON_WM_KILLFOCUS()
ON_WM_SIZE()
ON_WM_CREATE()
ON_WM_CHAR()
ON_WM_KEYDOWN()
ON_WM_KEYUP()
ON_WM_SYSKEYDOWN()
ON_WM_MOUSEACTIVATE()
ON_WM_VSCROLL()
ON_WM_MOUSEWHEEL()
ON_WM_TIMER()
ON_WM_DESTROY()
ON_COMMAND(CKestrixCtrl::kCopyCommand, OnEditCopy)
ON_COMMAND(CKestrixCtrl::kPasteCommand, OnEditPaste)
ON_COMMAND(CKestrixCtrl::kUndoCommand, OnEditUndo)
ON_COMMAND(CKestrixCtrl::kRedoCommand, OnEditRedo)
END_MESSAGE_MAP()

BOOL CKestrixCtrl::PreCreateWindow(CREATESTRUCT& cs) {
  // The window always has the sunken two-pixel client edge.
  cs.dwExStyle |= WS_EX_CLIENTEDGE;
  FreeLines();
  return COleControl::PreCreateWindow(cs);
}

int CKestrixCtrl::OnCreate(CREATESTRUCT* cs) {
  InitFonts();
  return COleControl::OnCreate(cs);
}

void CKestrixCtrl::OnSize(UINT type, int cx, int cy) {
  COleControl::OnSize(type, cx, cy);
  StoreLine();
  // With StandardEditing the caret's line keeps its row in the view where it was in view.
  const int caretRow = m_CurLine >= m_FirstVisible && m_CurLine <= m_LastVisible ? m_CurLine - m_FirstVisible : -1;
  CRect recorded;
  GetRectInContainer(&recorded);
  if (cx + 2 * GetBorderStyle() + 4 == recorded.Width()) {
    LayoutTextRect();
    m_VisibleLines = m_LineHeight > 0 ? m_TextRect.Height() / m_LineHeight : 1;
    if (m_VisibleLines <= 0) m_VisibleLines = 1;
    SetFirstVisible(m_FirstVisible);
    // The text rectangle may have moved (the scroll bar's side follows a reading order that
    // ActivateEdit set without a new layout): the highlight goes where its characters now are.
    RestateHighlight();
    PaintLines(m_FirstVisible, m_LastVisible);
    // The caret follows the text area it stands in; a window just made has not placed it yet.
    UpdateCaret();
  } else {
    RebuildText(GetText(), -1);
  }
  if (m_StandardEditing && !m_Lines.Empty()) KeepCaretRowAfterResize(caretRow);
  UpdateScrollBar();
}

void CKestrixCtrl::KeepCaretRowAfterResize(int caretRow) {
  const int row = std::clamp(caretRow, 0, std::max(m_VisibleLines - 1, 0));
  const int first = caretRow >= 0 ? std::max(1, m_CurLine - row) : m_FirstVisible;
  const int before = m_FirstVisible;
  SetFirstVisible(first);
  ScrollCaretIntoView();
  // No room is left empty below the text's end while lines above it are out of view.
  if (m_LastVisible - m_FirstVisible + 1 < m_VisibleLines)
    SetFirstVisible(std::max(1, m_Lines.Count() - m_VisibleLines + 1));
  if (m_FirstVisible != before) {
    PaintLines(m_FirstVisible, m_LastVisible);
    UpdateCaret();
  }
}

void CKestrixCtrl::OnSetFocus(CWnd* oldWnd) {
  COleControl::OnSetFocus(oldWnd);
  GotoLine(m_CurLine);
  m_HasFocus = TRUE;
  DrawCaret();
  ShowSelectionOnFocusGain();
}

void CKestrixCtrl::OnKillFocus(CWnd* newWnd) {
  COleControl::OnKillFocus(newWnd);
  StoreLine();
  m_ChordArmed = false;  // the chord's keys go up where the control does not hear them
  HideSelectionOnFocusLoss();
  EraseCaret();
  m_HasFocus = FALSE;
}

void CKestrixCtrl::OnTimer(UINT_PTR id) {
  if (m_CaretShown)
    EraseCaret();
  else
    DrawCaret();
  COleControl::OnTimer(id);
}

void CKestrixCtrl::OnDestroy() {
  COleControl::OnDestroy();
  KillTimer(m_BlinkTimer);
}

void CKestrixCtrl::OnFontChanged() {
  ApplyNewFonts();
  if (!TextSnapshotEmpty()) RebuildText(CString(TextSnapshot()), -1);
  COleControl::OnFontChanged();
}

// The caret keeps its offset in the text: measured after the re-creation it would fall into
// the new, empty store and come back at the start.
void CKestrixCtrl::RecreateAndReload() {
  StoreLine();
  m_CharCount = 0;
  int caret = OffsetFromIndex(m_CharIndex);
  CString text = GetText();
  KillTimer(m_BlinkTimer);
  RecreateControlWindow();
  if (!text.empty()) RebuildText(text, caret);
  SetModifiedFlag(TRUE);
}

void CKestrixCtrl::ApplyNewFonts() {
  if (m_CharCount != 0)
    RecreateAndReload();
  else if (GetSafeHwnd())
    TakeNewFonts();
}

// A store without characters is not made again, but what is typed or set into it next must be
// measured and drawn in the fonts now chosen, and its lines stand at the new line height.
void CKestrixCtrl::TakeNewFonts() {
  StoreLine();
  m_lfEn = FontToLogFont(m_FontEn.GetFontDispatch());
  m_lfAr = FontToLogFont(m_FontAr.GetFontDispatch());
  UpdateMetrics();
  // The lines are laid out again at the new height; the host's text and what it was shown as
  // are the host's, and stay as they were.
  const CString hostText = TextSnapshot();
  const std::optional<CString> hostTextShown = m_DocumentTextShown;
  const bool hostTextShownWhole = m_DocumentShownWhole;
  RebuildText(GetText(), -1);
  SetTextSnapshot(hostText);
  m_DocumentTextShown = hostTextShown;
  m_DocumentShownWhole = hostTextShownWhole;
}

int CKestrixCtrl::OnMouseActivate(CWnd* topParent, UINT hitTest, UINT message) {
  StoreLine();
  return COleControl::OnMouseActivate(topParent, hitTest, message);
}

}  // namespace kestrix
