// Recording the edits for undo: each change of the text, by a person or a host, is bracketed,
// and what it removed and put in becomes a step of the history with the caret, selection and
// view before and after it. Typed characters join the step before them while the caret has
// not moved since and no space or CR starts a new word; the host's dirty state follows.
#include <algorithm>

#include "control/KestrixCtrl.h"

namespace kestrix {

namespace {

bool IsWordBreak(char c) { return c == ' ' || c == '\r'; }

// Whether typed text may join typing that ended with last: not when a space or CR follows a
// character that is neither.
bool JoinsTyping(const CString& before, const CString& typed) {
  if (before.empty() || typed.empty()) return true;
  return !(IsWordBreak(typed.front()) && !IsWordBreak(before.back()));
}

// Drops what the removed and inserted texts share at their ends: a Text write that changes
// a few characters of a long text keeps only those.
void Trim(UndoStep& step) {
  size_t head = 0;
  const size_t most = std::min(step.removed.size(), step.inserted.size());
  while (head < most && step.removed[head] == step.inserted[head]) ++head;
  size_t tail = 0;
  while (tail < most - head &&
         step.removed[step.removed.size() - 1 - tail] == step.inserted[step.inserted.size() - 1 - tail])
    ++tail;
  if (head == 0 && tail == 0) return;
  step.removed = step.removed.substr(head, step.removed.size() - head - tail);
  step.inserted = step.inserted.substr(head, step.inserted.size() - head - tail);
  step.start += static_cast<int64_t>(head);
}

}  // namespace

CKestrixCtrl::RecordedEdit::RecordedEdit(CKestrixCtrl& control, EditKind kind) : control_(control) {
  if (control_.m_EditDepth++ > 0) return;
  control_.NoteSavedStep();
  control_.m_EditKind = kind;
  control_.m_EditBefore = control_.CurrentPlace();
  control_.m_EditNoted.reset();
  control_.m_EditUnnoted = false;
}

CKestrixCtrl::RecordedEdit::~RecordedEdit() {
  if (--control_.m_EditDepth == 0) control_.CommitEdit();
}

EditPlace CKestrixCtrl::CurrentPlace() {
  EditPlace place;
  const int line = std::clamp(m_CurLine, 1, std::max(1, m_Lines.Count()));
  place.caret = m_Lines.LengthBefore(line) + std::max(m_CharIndex, 0);
  place.caretLine = line;
  place.selStart = m_SelStart;
  place.selLength = std::max(m_SelLength, 0);
  place.firstVisible = m_FirstVisible;
  return place;
}

void CKestrixCtrl::NoteReplaced(int64_t start, const CString& removed, const CString& inserted) {
  if (m_EditDepth == 0 || (removed.empty() && inserted.empty())) return;
  if (!m_EditNoted) {
    m_EditNoted = UndoStep{start, removed, inserted, {}, {}};
    return;
  }
  // A second change within what the first put in (typing over a selection: the selection
  // goes, then the character comes) makes one change with it; any other could not be undone
  // as one step.
  UndoStep& noted = *m_EditNoted;
  const int64_t end = start + static_cast<int64_t>(removed.size());
  if (start >= noted.start && end <= noted.start + static_cast<int64_t>(noted.inserted.size()))
    noted.inserted.replace(static_cast<size_t>(start - noted.start), removed.size(), inserted);
  else
    m_EditUnnoted = true;
}

void CKestrixCtrl::ReplaceAndNote(const EditRange& range, const CString& inserted, int caretOffset) {
  const CString removed = m_Lines.TextBetween(range.start, range.end);
  // MaxLength refuses new characters only: an edit of a text longer than a MaxLength lowered
  // since it was written keeps every character it does not replace.
  const LONG maxLength = m_MaxLength;
  if (m_MaxLength > 0) {
    const CString after = TextReplacing(range, inserted);
    const bool multiLine = m_MultiLines != FALSE;
    const auto counted = std::count_if(after.begin(), after.end(), [&](char c) { return CountsTowardsLimit(c, multiLine); });
    m_MaxLength = static_cast<LONG>(std::clamp<int64_t>(counted, m_MaxLength, INT32_MAX));
  }
  if (!RebuildEdit(range, inserted, caretOffset)) RebuildText(TextReplacing(range, inserted), caretOffset);
  m_MaxLength = maxLength;
  // What the store took may differ from what was handed in (a single line turns a CR into a
  // space, control characters are dropped): the step holds what it took.
  const int64_t size = m_Lines.PrefixLength(m_Lines.Count());
  const int64_t took = size - (range.size - static_cast<int64_t>(removed.size()));
  if (took < 0 || range.start + took > size) {
    m_EditUnnoted = true;
    return;
  }
  NoteReplaced(range.start, removed, m_Lines.TextBetween(range.start, range.start + took));
}

void CKestrixCtrl::CommitEdit() {
  if (m_EditUnnoted) {
    // The history no longer matches the text: an undo could only damage it.
    m_History.Clear();
    NoteSavedStep();
    return;
  }
  if (!m_EditNoted) return;
  UndoStep step = std::move(*m_EditNoted);
  m_EditNoted.reset();
  Trim(step);
  if (step.removed.empty() && step.inserted.empty()) return;
  step.before = m_EditBefore;
  step.after = CurrentPlace();
  const bool typing = m_EditKind == EditKind::Typing;
  UndoStep* open = typing && step.removed.empty() ? m_History.OpenTyping() : nullptr;
  if (open && step.start == open->start + static_cast<int64_t>(open->inserted.size()) &&
      step.before.SameCaretAndSelection(open->after) && JoinsTyping(open->inserted, step.inserted)) {
    m_History.JoinTyping(step.inserted, step.after);
    return;
  }
  m_History.Push(std::move(step), typing);
}

void CKestrixCtrl::NoteSavedStep() {
  if (IsModified()) return;
  m_History.MarkSaved();
  m_ChangedBesideText = false;
}

void CKestrixCtrl::SetModifiedFlag(BOOL modified) {
  NoteSavedStep();
  if (modified && m_EditDepth == 0) m_ChangedBesideText = true;
  COleControl::SetModifiedFlag(modified);
  NoteSavedStep();
}

void CKestrixCtrl::ForgetUndoHistory() {
  m_History.Clear();
  m_ChangedBesideText = IsModified() != FALSE;
  NoteSavedStep();
}

}  // namespace kestrix
