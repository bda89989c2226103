// Inserting a string (a line break or pasted text) in place of the selection, through a rebuild
// of the whole text.
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

// Whether c counts against MaxLength once the rebuild has kept it.
bool CountsTowardsLimit(char c, bool multiLine) {
  if (c == kCR) return !multiLine;  // a single-line control stores a space for it
  return CKestrixCtrl::IsCharacterCode(static_cast<unsigned char>(c));
}

}  // namespace

void CKestrixCtrl::InsertText(const CString& s, int force) {
  if (!m_MultiLines && s == CString(1, kCR)) return;
  if (!IsShiftDown() && force == 0) return;
  BeginWaitCursor();
  PushPosition(TRUE);
  TextAround around = SplitTextAtSelection();
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
    auto held = std::count_if(around.before.begin(), around.before.end(),
                              [&](char c) { return CountsTowardsLimit(c, multiLine); }) +
                std::count_if(around.after.begin(), around.after.end(),
                              [&](char c) { return CountsTowardsLimit(c, multiLine); });
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
  int64_t caret = std::min<int64_t>(static_cast<int64_t>(around.before.size()) + kept, INT32_MAX);
  const bool removes = around.before.size() + around.after.size() < around.wholeSize;
  RebuildText(around.before + inserted + around.after, static_cast<int>(caret));
  if (kept > 0 || removes) NoteTextEdited();
  EndWaitCursor();
}

}  // namespace kestrix
