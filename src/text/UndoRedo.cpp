// Undo and redo: a step of the history is taken back or made again through the same edit
// rebuild the keys use, so that only the paragraphs it touches are broken again, and the
// caret, the selection and the view are put back where the step found or left them.
#include <algorithm>

#include "control/KestrixCtrl.h"

namespace kestrix {

namespace {

// The characters that count against MaxLength: all but the CRs.
int64_t CountedCharacters(const CString& text) {
  return static_cast<int64_t>(text.size()) - std::count(text.begin(), text.end(), '\r');
}

}  // namespace

bool CKestrixCtrl::CanUndo() const {
  return !m_ReadOnly && m_Busy == 0 && !m_Lines.Empty() && m_History.CanUndo();
}

bool CKestrixCtrl::CanRedo() const {
  return !m_ReadOnly && m_Busy == 0 && !m_Lines.Empty() && m_History.CanRedo();
}

bool CKestrixCtrl::Undo() {
  if (!CanUndo()) return false;
  NoteSavedStep();
  const UndoStep& step = *m_History.ToUndo();
  if (!ReplaceFromHistory(step.start, step.inserted, step.removed)) return false;
  m_History.Undone();
  RestorePlace(step.before);
  COleControl::SetModifiedFlag(m_ChangedBesideText || !m_History.AtSaved());
  return true;
}

bool CKestrixCtrl::Redo() {
  if (!CanRedo()) return false;
  NoteSavedStep();
  const UndoStep& step = *m_History.ToRedo();
  if (!ReplaceFromHistory(step.start, step.removed, step.inserted)) return false;
  m_History.Redone();
  RestorePlace(step.after);
  COleControl::SetModifiedFlag(m_ChangedBesideText || !m_History.AtSaved());
  return true;
}

bool CKestrixCtrl::ReplaceFromHistory(int64_t start, const CString& now, const CString& replacement) {
  StoreLine();
  const int64_t size = m_Lines.PrefixLength(m_Lines.Count());
  const int64_t end = start + static_cast<int64_t>(now.size());
  if (start < 0 || end > size || m_Lines.TextBetween(start, end) != now) {
    // Something changed the text without a step (a rebuild a property write made): the
    // history no longer fits it.
    ForgetUndoHistory();
    return false;
  }
  // A limit the host lowered since would cut the text the step gives back.
  if (m_MaxLength > 0 && m_CharCount - CountedCharacters(now) + CountedCharacters(replacement) > m_MaxLength) return false;
  CollapseSelection();
  BeginWaitCursor();
  const EditRange range{start, end, size};
  const auto caret = static_cast<int>(std::min<int64_t>(start + static_cast<int64_t>(replacement.size()), INT32_MAX));
  if (!RebuildEdit(range, replacement, caret)) RebuildText(TextReplacing(range, replacement), caret);
  EndWaitCursor();
  return true;
}

void CKestrixCtrl::RestorePlace(const EditPlace& place) {
  const int count = m_Lines.Count();
  const int64_t size = m_Lines.PrefixLength(count);
  EraseCaret();
  // The scroll bar for the lines as they are now, then the view as it was, even where the
  // keys had scrolled a text that fits.
  UpdateScrollBar();
  SetFirstVisible(place.firstVisible);
  SyncScrollPos();
  // The caret goes back to its line where that line still holds its offset (the end of a
  // wrapped line and the start of the next share one), else to the line holding the offset.
  const int64_t caret = std::clamp<int64_t>(place.caret, 0, size);
  const int line = place.caretLine;
  if (line >= 1 && line <= count && caret >= m_Lines.LengthBefore(line) &&
      caret <= m_Lines.PrefixLength(line) - (m_Lines.EndsParagraph(line) ? 1 : 0)) {
    m_CharIndex = static_cast<int>(caret - m_Lines.LengthBefore(line));
    GotoLine(line);
  } else {
    m_CharIndex = IndexFromOffset(static_cast<int>(std::min<int64_t>(caret, INT32_MAX)));
  }
  const int caretLine = m_CurLine, caretIndex = m_CharIndex;
  // The caret may be out of the view, as a wheel may have left it.
  PaintLines(m_FirstVisible, m_LastVisible);
  const int64_t selEnd = std::min<int64_t>(static_cast<int64_t>(place.selStart) + place.selLength, size);
  if (place.selLength > 0 && place.selStart >= 0 && place.selStart < selEnd) {
    m_SelStart = place.selStart;
    m_SelLength = static_cast<int>(selEnd - place.selStart);
    m_SelAnchorOffset = caret == place.selStart ? static_cast<int>(selEnd) : place.selStart;
    PushPosition(TRUE);
    m_SelAnchorLine = LineFromOffset(m_SelStart);
    m_SelActiveLine = LineFromOffset(static_cast<int>(selEnd));
    PopPosition();
    ShowRange(m_SelStart, static_cast<int>(selEnd));
  } else {
    // With nothing selected SelStart still reads what it held.
    m_SelStart = place.selStart;
  }
  GotoLine(caretLine);
  m_CharIndex = caretIndex;
  UpdateCaret();
}

}  // namespace kestrix
