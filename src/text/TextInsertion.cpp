// Inserting a string (a line break or pasted text) in place of the selection, through a rebuild.
#include <algorithm>
#include <cstdint>

#include "control/KestrixCtrl.h"
#include "framework/window/Clipboard.h"

namespace kestrix {

namespace {
constexpr char kCR = '\r';

// Whether the rebuild keeps c: a CR as a break (or, in a single-line control, as a space), and
// every character from 0x20 up; the other control characters are dropped.
bool RebuildKeeps(char c) { return c == kCR || CKestrixCtrl::IsCharacterCode(static_cast<unsigned char>(c)); }

}  // namespace

bool CKestrixCtrl::CountsTowardsLimit(char c, bool multiLine) {
  if (c == '\r') return !multiLine;  // a single-line control stores a space for it
  return IsCharacterCode(static_cast<unsigned char>(c));
}

void CKestrixCtrl::InsertText(const CString& s, int force) {
  if (!m_MultiLines && s == CString(1, kCR)) return;
  if (!IsShiftDown() && force == 0) return;
  RecordedEdit edit(*this, EditKind::Other);
  BeginWaitCursor();
  PushPosition(TRUE);
  const EditRange range = SelectionRange();
  CString inserted = s;
  if (inserted.empty()) {
    // A clipboard held open elsewhere cannot be read: the paste leaves everything as it was,
    // the selection included.
    if (!CanOpenClipboard(m_hWnd)) {
      PopPosition();
      EndWaitCursor();
      return;
    }
    std::optional<CString> pasted = ClipboardTextToPaste();
    if (!pasted) {
      PopPosition();
      EndWaitCursor();
      return;
    }
    inserted = std::move(*pasted);
  }
  if (m_MaxLength > 0) {
    // The text around the insertion stays whole; the inserted string takes what room is left,
    // so that the rebuild's cut at MaxLength never reaches the text after the caret.
    bool multiLine = m_MultiLines != FALSE;
    const CString whole = GetText();
    const auto start = whole.begin() + range.start, end = whole.begin() + range.end;
    auto held = std::count_if(whole.begin(), start, [&](char c) { return CountsTowardsLimit(c, multiLine); }) +
                std::count_if(end, whole.end(), [&](char c) { return CountsTowardsLimit(c, multiLine); });
    int64_t room = std::max<int64_t>(0, static_cast<int64_t>(m_MaxLength) - held);
    size_t keep = 0;
    for (int64_t used = 0; keep < inserted.size(); ++keep) {
      if (!CountsTowardsLimit(inserted[keep], multiLine)) continue;
      if (used == room) break;
      ++used;
    }
    inserted.resize(keep);
  }
  PopPosition();
  auto kept = static_cast<int64_t>(std::count_if(inserted.begin(), inserted.end(), RebuildKeeps));
  const auto caret = static_cast<int>(std::min<int64_t>(range.start + kept, INT32_MAX));
  const bool removes = range.end > range.start;
  ReplaceAndNote(range, inserted, caret);
  if (kept > 0 || removes) NoteTextEdited();
  EndWaitCursor();
}

}  // namespace kestrix
