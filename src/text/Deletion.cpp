// Removing text: the split of the whole text around the selection, deleting the selection or
// the character after the caret, and clearing everything.
#include <algorithm>
#include <cstdint>

#include "control/KestrixCtrl.h"
#include "framework/window/Clipboard.h"

namespace kestrix {

CKestrixCtrl::TextAround CKestrixCtrl::SplitTextAtSelection() {
  TextAround around;
  int64_t start = 0;
  int64_t end = 0;
  // A negative length selects nothing; the host may write any start and length, so the range
  // is taken from 0 at the earliest and cut at the end of the text below.
  if (m_SelLength <= 0) {
    start = end = OffsetFromIndex(m_CharIndex);
  } else {
    start = std::max(m_SelStart, 0);
    end = start + m_SelLength;
  }
  int curLine = m_CurLine;
  CString whole = GetText();
  auto size = static_cast<int64_t>(whole.size());
  start = std::clamp<int64_t>(start, 0, size);
  end = std::clamp<int64_t>(end, start, size);
  around.wholeSize = whole.size();
  around.before = whole.substr(0, static_cast<size_t>(start));
  around.after = whole.substr(static_cast<size_t>(end));
  m_CurLine = curLine;
  return around;
}

void CKestrixCtrl::DeleteAtCaret(BOOL cut) {
  if (m_ReadOnly) return;
  if (cut) {
    // A password is not cut: it could only be copied out, which it never is.
    if (m_PasswordChar > 0) return;
    // What is cut must reach the clipboard; otherwise it would be lost.
    if (!CanOpenClipboard(m_hWnd)) return;
    OnEditCopy();
  }
  BeginWaitCursor();
  if (!m_HasFocus) m_HasFocus = TRUE;
  StoreLine();
  TextAround around = SplitTextAtSelection();
  // Without a selection the character after the caret goes; a CR joins two paragraphs.
  if (m_SelLength <= 0 && !around.after.empty()) around.after.erase(0, 1);
  // The caret stands where the removed range began.
  auto caret = static_cast<int>(std::min<size_t>(around.before.size(), INT32_MAX));
  const bool removes = around.before.size() + around.after.size() < around.wholeSize;
  RebuildText(around.before + around.after, caret);
  if (removes) NoteTextEdited();
  EndWaitCursor();
}

void CKestrixCtrl::Clear() {
  const bool hadText = !m_Text.empty() || !GetText().empty();
  InitFonts();
  // The text snapshot goes too, or a later font change would rebuild the cleared text.
  m_Text.clear();
  CRect r = m_TextRect;
  if (m_ReadingOrder == 1)
    r.left -= m_ScrollBarWidth;
  else
    r.right += m_ScrollBarWidth;
  AcquireDC();
  if (m_pDC) {
    CBrush brush(m_BackColor);
    m_pDC->FillRect(&r, &brush);
    brush.DeleteObject();
  }
  UpdateCaret();
  ReleaseHeldDC();
  if (hadText) NoteTextEdited();
}

}  // namespace kestrix
