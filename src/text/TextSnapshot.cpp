// The snapshot of the text the store was last rebuilt from. A rebuild of the whole text copies
// the text it was handed; an edit rebuilt in place only notes that the snapshot is the store's
// text, and typing after it notes where each character went, so that the snapshot is made
// when it is asked for, from the lines, without the characters typed since.
#include "control/KestrixCtrl.h"

namespace kestrix {

namespace {
// Past this many characters typed, the snapshot is made at once rather than noted further.
constexpr size_t kMostTypedNoted = 1 << 16;
}  // namespace

CString& CKestrixCtrl::TextSnapshot() {
  if (m_TextIsStore) {
    // From the records, not GetText: asking must not move the working copy.
    m_Text.clear();
    m_Text.reserve(static_cast<size_t>(m_Lines.PrefixLength(m_Lines.Count())));
    for (int n = 1; n <= m_Lines.Count(); ++n) m_Text += m_Lines.At(n)->m_Chars;
    for (auto it = m_TypedSinceSnapshot.rbegin(); it != m_TypedSinceSnapshot.rend(); ++it)
      if (*it >= 0 && static_cast<size_t>(*it) < m_Text.size()) m_Text.erase(static_cast<size_t>(*it), 1);
    m_TextIsStore = false;
    m_TypedSinceSnapshot.clear();
  }
  return m_Text;
}

void CKestrixCtrl::SetTextSnapshot(const CString& text) {
  m_Text = text;
  m_TextIsStore = false;
  m_TypedSinceSnapshot.clear();
}

bool CKestrixCtrl::TextSnapshotEmpty() const {
  if (!m_TextIsStore) return m_Text.empty();
  return m_Lines.PrefixLength(m_Lines.Count()) == static_cast<int64_t>(m_TypedSinceSnapshot.size());
}

void CKestrixCtrl::SnapshotStore() {
  m_Text.clear();
  m_TextIsStore = true;
  m_TypedSinceSnapshot.clear();
}

void CKestrixCtrl::NoteTyped(int64_t offset) {
  if (!m_TextIsStore) return;
  if (m_TypedSinceSnapshot.size() >= kMostTypedNoted) {
    // The character is in the lines already: the snapshot is made without it.
    m_TypedSinceSnapshot.push_back(offset);
    TextSnapshot();
    return;
  }
  m_TypedSinceSnapshot.push_back(offset);
}

}  // namespace kestrix
