// Words and paragraphs for StandardEditing: Ctrl+Left and Ctrl+Right move by words, Ctrl+Backspace
// and Ctrl+Delete delete by them, a double click selects a word and a triple click a paragraph.
// A word is a run of letters, digits, harakat and tatweels of either script; the scans stay on
// the stored text and never cross more than one CR.
#include <algorithm>
#include <cstdlib>

#include "control/KestrixCtrl.h"

namespace kestrix {

namespace {

constexpr char kCR = '\r';
// The double-click time and the distance a press may be from the double click, as the
// displays deliver double clicks.
constexpr uint64_t kDoubleClickMs = 500;
constexpr int kDoubleClickSlop = 4;

// Reads the stored text a character at a time, keeping the line it last read.
class TextReader {
 public:
  TextReader(const LineList& lines, bool masked) : lines_(lines), masked_(masked) {
    size_ = lines.PrefixLength(lines.Count());
  }
  int64_t Size() const { return size_; }
  char At(int64_t offset) {
    if (offset < start_ || offset >= end_) {
      const int32_t n = lines_.FirstLineEndingAfter(offset);
      const LineRecord* record = lines_.At(n);
      if (!record) return kCR;
      chars_ = &record->m_Chars;
      start_ = lines_.LengthBefore(n);
      end_ = start_ + static_cast<int64_t>(chars_->size());
    }
    return (*chars_)[static_cast<size_t>(offset - start_)];
  }
  // A masked text is one word to the keys and clicks: its words are not given away.
  bool IsWord(int64_t offset) {
    const char c = At(offset);
    return c != kCR && (masked_ || IsWordByte(static_cast<unsigned char>(c)));
  }
  bool IsBreak(int64_t offset) { return At(offset) == kCR; }

 private:
  const LineList& lines_;
  bool masked_;
  int64_t size_ = 0;
  const CString* chars_ = nullptr;
  int64_t start_ = 0;
  int64_t end_ = 0;
};

}  // namespace

int64_t CKestrixCtrl::WordStopAfter(int64_t offset) {
  StoreLine();
  TextReader text(m_Lines, m_PasswordChar > 0);
  int64_t o = std::clamp<int64_t>(offset, 0, text.Size());
  const int64_t from = o;
  while (o < text.Size() && text.IsWord(o)) ++o;
  while (o < text.Size() && !text.IsBreak(o) && !text.IsWord(o)) ++o;
  // At the line's end already: on over the CR to the next line's first word.
  if (o == from && o < text.Size() && text.IsBreak(o)) {
    ++o;
    while (o < text.Size() && !text.IsBreak(o) && !text.IsWord(o)) ++o;
  }
  return o;
}

int64_t CKestrixCtrl::WordStopBefore(int64_t offset) {
  StoreLine();
  TextReader text(m_Lines, m_PasswordChar > 0);
  int64_t o = std::clamp<int64_t>(offset, 0, text.Size());
  // At the line's start: back over the CR into the line before.
  if (o > 0 && text.IsBreak(o - 1)) --o;
  while (o > 0 && !text.IsBreak(o - 1) && !text.IsWord(o - 1)) --o;
  while (o > 0 && text.IsWord(o - 1)) --o;
  return o;
}

std::pair<int64_t, int64_t> CKestrixCtrl::WordAround(int64_t offset) {
  StoreLine();
  TextReader text(m_Lines, m_PasswordChar > 0);
  int64_t o = std::clamp<int64_t>(offset, 0, text.Size());
  // The character under the point, or the one before it at a line's end or after a word.
  if (o > 0 && (o == text.Size() || text.IsBreak(o) || !text.IsWord(o)) && text.IsWord(o - 1)) --o;
  if (o >= text.Size() || text.IsBreak(o)) return {o, o};
  const bool word = text.IsWord(o);
  int64_t start = o;
  int64_t end = o;
  while (start > 0 && !text.IsBreak(start - 1) && text.IsWord(start - 1) == word) --start;
  while (end < text.Size() && !text.IsBreak(end) && text.IsWord(end) == word) ++end;
  return {start, end};
}

std::pair<int64_t, int64_t> CKestrixCtrl::ParagraphAround(int64_t offset) {
  StoreLine();
  TextReader text(m_Lines, false);
  int64_t start = std::clamp<int64_t>(offset, 0, text.Size());
  int64_t end = start;
  while (start > 0 && !text.IsBreak(start - 1)) --start;
  while (end < text.Size() && !text.IsBreak(end)) ++end;
  return {start, end};
}

void CKestrixCtrl::MoveByWord(bool rightKey) {
  // With VisualCaret the keys go the way the line is drawn: in a right-to-left line Left
  // goes on through the text and Right back.
  const bool forward = m_VisualCaret && m_LineDir == 1 ? !rightKey : rightKey;
  const int64_t offset = OffsetFromIndex(m_CharIndex);
  const int64_t target = forward ? WordStopAfter(offset) : WordStopBefore(offset);
  EraseCaret();
  m_CharIndex = IndexFromOffset(static_cast<int>(std::min<int64_t>(target, INT32_MAX)));
  ScrollCaretIntoView();
  SyncScrollPos();
}

void CKestrixCtrl::DeleteWord(bool forward) {
  if (m_ReadOnly) return;
  // One step, from the caret as it stood: undone, the word comes back with the caret, not
  // selected.
  RecordedEdit edit(*this, EditKind::Other);
  if (m_SelLength <= 0) {
    const int64_t offset = OffsetFromIndex(m_CharIndex);
    const int64_t other = forward ? WordStopAfter(offset) : WordStopBefore(offset);
    if (other == offset) return;
    SelectOffsets(std::min(offset, other), std::max(offset, other));
  }
  DeleteAtCaret(FALSE);
}

void CKestrixCtrl::SelectOffsets(int64_t from, int64_t to) {
  StoreLine();
  CollapseSelection();
  const int64_t size = m_Lines.PrefixLength(m_Lines.Count());
  const int s = static_cast<int>(std::clamp<int64_t>(from, 0, std::min<int64_t>(size, INT32_MAX)));
  const int e = static_cast<int>(std::clamp<int64_t>(to, s, std::min<int64_t>(size, INT32_MAX)));
  if (e > s) {
    // The caret hides while the range is selected.
    EraseCaret();
    m_SelStart = s;
    m_SelLength = e - s;
    m_SelAnchorOffset = s;
    m_SelAnchorLine = LineFromOffset(s);
    m_SelActiveLine = LineFromOffset(e);
    ShowRange(s, e);
  }
  m_CharIndex = IndexFromOffset(e);
  ScrollCaretIntoView();
  SyncScrollPos();
}

int64_t CKestrixCtrl::OffsetAtPoint(CPoint point) {
  StoreLine();
  const int line = LineFromY(point.y);
  if (!m_Lines.At(line)) return -1;
  GotoLine(line);
  m_CharIndex = CaretIndexFromX(point.x);
  return OffsetFromIndex(m_CharIndex);
}

bool CKestrixCtrl::IsTripleClick(CPoint point) const {
  return m_DoubleClicked && GetDisplayTimeMs() - m_DoubleClickMs <= kDoubleClickMs &&
         std::abs(point.x - m_DoubleClickAt.x) <= kDoubleClickSlop &&
         std::abs(point.y - m_DoubleClickAt.y) <= kDoubleClickSlop;
}

void CKestrixCtrl::OnLButtonDblClk(UINT flags, CPoint point) {
  COleControl::OnLButtonDblClk(flags, point);
  // Without StandardEditing the second press of a double click does nothing of its own.
  if (!m_StandardEditing || !m_hWnd || m_Lines.Empty() || m_MouseDown) return;
  const int64_t offset = OffsetAtPoint(point);
  if (offset < 0) return;
  const auto [start, end] = WordAround(offset);
  SelectOffsets(start, end);
  m_DoubleClicked = true;
  m_DoubleClickMs = GetDisplayTimeMs();
  m_DoubleClickAt = point;
}

}  // namespace kestrix
