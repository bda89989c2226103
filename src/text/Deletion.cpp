// Removing text: the range of the selection (or the caret), deleting the selection or the
// character after the caret, and clearing everything.
#include <algorithm>
#include <cstdint>

#include "control/KestrixCtrl.h"
#include "framework/window/Clipboard.h"

namespace kestrix {

CKestrixCtrl::EditRange CKestrixCtrl::SelectionRange() {
  EditRange range;
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
  // The working copy is stored and loaded again, as reading the text does.
  PushPosition(TRUE);
  range.size = m_Lines.PrefixLength(m_Lines.Count());
  PopPosition();
  range.start = std::clamp<int64_t>(start, 0, range.size);
  range.end = std::clamp<int64_t>(end, range.start, range.size);
  m_CurLine = curLine;
  return range;
}

CString CKestrixCtrl::TextReplacing(const EditRange& range, const CString& inserted) {
  const CString whole = GetText();
  const auto start = static_cast<size_t>(std::min<int64_t>(range.start, static_cast<int64_t>(whole.size())));
  const auto end = static_cast<size_t>(std::clamp<int64_t>(range.end, static_cast<int64_t>(start), static_cast<int64_t>(whole.size())));
  CString text;
  text.reserve(whole.size() - (end - start) + inserted.size());
  text.append(whole, 0, start).append(inserted).append(whole, end);
  return text;
}

void CKestrixCtrl::DeleteAtCaret(BOOL cut) {
  if (m_ReadOnly) return;
  if (cut) {
    // A password is not cut: it could only be copied out, which it never is. With
    // StandardEditing a cut of nothing leaves the text alone as well as the clipboard.
    if (m_PasswordChar > 0 || CopiesNothing()) return;
    // What is cut must reach the clipboard; otherwise it would be lost.
    if (!CanOpenClipboard(m_hWnd)) return;
    OnEditCopy();
  }
  RecordedEdit edit(*this, EditKind::Other);
  BeginWaitCursor();
  if (!m_HasFocus) m_HasFocus = TRUE;
  StoreLine();
  EditRange range = SelectionRange();
  // Without a selection the character after the caret goes; a CR joins two paragraphs.
  if (m_SelLength <= 0 && range.end < range.size) ++range.end;
  // The caret stands where the removed range began.
  auto caret = static_cast<int>(std::min<int64_t>(range.start, INT32_MAX));
  const bool removes = range.end > range.start;
  ReplaceAndNote(range, CString(), caret);
  if (removes) NoteTextEdited();
  EndWaitCursor();
}

void CKestrixCtrl::Clear() {
  RecordedEdit edit(*this, EditKind::Other);
  const CString before = GetText();
  const bool hadText = !TextSnapshotEmpty() || !before.empty();
  InitFonts();
  // The text snapshot goes too, or a later font change would rebuild the cleared text.
  SetTextSnapshot(CString());
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
  NoteReplaced(0, before, CString());
  if (hadText) NoteTextEdited();
}

}  // namespace kestrix
