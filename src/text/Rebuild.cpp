// Rebuilding the whole store from a text, and word wrapping of the current line.
#include <algorithm>

#include "control/KestrixCtrl.h"

namespace kestrix {

namespace {
constexpr char kCR = '\r';
constexpr char kSpace = ' ';
// A line fits when its width plus this slack is at most the width of the text rectangle.
constexpr int kWrapSlack = 10;
// A text at least this long takes long enough to lay out for its first screen to be shown
// before the rest is laid out.
constexpr size_t kFirstScreenBytes = 512 * 1024;
}  // namespace

void CKestrixCtrl::RebuildText(const CString& text, int caretOffset) {
  BOOL readOnly = m_ReadOnly;
  m_ReadOnly = FALSE;
  PushPosition(TRUE);
  if (caretOffset == -1) caretOffset = OffsetFromIndex(m_CharIndex);
  // The old lines are set aside before the reset, so that those the text keeps can return.
  const bool keepLines = m_KeepUnchangedLines && m_MultiLines && m_LaidOutFor.has_value();
  LineList::Detached previous;
  if (keepLines) previous = m_Lines.TakeAll();
  ResetLines();
  m_Busy = 1;
  AcquireDC();
  const int previousStartX = m_LaidOutStartX;
  m_LaidOutStartX = NextLineStartX();
  if (!keepLines || !(*m_LaidOutFor == CurrentLayout()) ||
      !FeedKeepingLines(text, previous, previousStartX)) {
    // Only a view that will stand at the top once the text is laid out can be shown early.
    m_FirstScreenPending = text.size() >= kFirstScreenBytes && caretOffset == 0 && IsWindowVisible();
    FeedText(text);
    m_FirstScreenPending = false;
  }
  EndRebuild(caretOffset, readOnly);
  SetTextSnapshot(text);
  if (text == m_DocumentText) {
    m_DocumentTextShown = GetText();
    m_DocumentShownWhole = *m_DocumentTextShown == m_DocumentText;
  }
}

void CKestrixCtrl::EndRebuild(int caretOffset, BOOL readOnly) {
  StoreLine();
  ReleaseHeldDC();
  m_Busy = 0;
  m_Lines.MarkAllUnchanged();
  m_LaidOutFor = CurrentLayout();
  PopPosition();
  m_CharIndex = IndexFromOffset(caretOffset);
  ScrollCaretIntoView();
  SetFirstVisible(m_FirstVisible);
  if (m_Lines.Count() <= m_VisibleLines) m_FirstVisible = 1;
  if (m_CurLine > m_Lines.Count()) m_CurLine = m_Lines.Count();
  UpdateScrollBar();
  PaintLines(m_FirstVisible, m_LastVisible);
  UpdateCaret();
  m_ReadOnly = readOnly;
}

void CKestrixCtrl::FeedText(std::string_view text) {
  for (char c : text) {
    if (c == kCR) {
      AppendHardBreak();
      if (m_FirstScreenPending && m_Lines.Count() > m_VisibleLines) ShowFirstScreen();
    } else {
      InsertChar(static_cast<unsigned char>(c));
    }
  }
}

RebuildLayout CKestrixCtrl::CurrentLayout() const {
  RebuildLayout layout;
  layout.textRect = m_TextRect;
  layout.lineHeight = m_LineHeight;
  layout.margin = m_Margin;
  layout.readingOrder = m_ReadingOrder;
  layout.alignment = m_Alignment;
  layout.wordWrap = m_WordWrap;
  layout.multiLines = m_MultiLines;
  layout.latin = m_lfEn;
  layout.arabic = m_lfAr;
  layout.library = m_TextLib;
  return layout;
}

void CKestrixCtrl::AppendHardBreak() {
  // A single-line control keeps no CR inside its line: paragraphs are joined by a space, so
  // that what is shown, what GetText returns and what is counted against MaxLength agree.
  if (!m_MultiLines) {
    InsertChar(static_cast<unsigned char>(kSpace));
    return;
  }
  m_LineText += kCR;
  m_SpaceFreeLine = 0;
  StoreLine();
  NewLine(m_CurLine + 1, FALSE);
}

BOOL CKestrixCtrl::LineNeedsWrap() {
  // A line without a space is never wrapped, so it need not be measured.
  if (m_LineText.find(kSpace) == CString::npos) return FALSE;
  int width = TextExtent(m_LineText).cx;
  return width + kWrapSlack > m_TextRect.Width();
}

int CKestrixCtrl::FindWrapIndex() {
  int result = m_CharIndex;
  int available = m_TextRect.Width();
  if (available <= 0) return result;
  for (size_t s = m_LineText.find(kSpace); s != CString::npos; s = m_LineText.find(kSpace, s + 1)) {
    int width = TextExtent(m_LineText.substr(0, s)).cx;
    if (width + kWrapSlack <= available) result = static_cast<int>(s) + 1;
    if (width >= available) break;
  }
  return result;
}

CString CKestrixCtrl::SplitLineAtCaret() {
  auto at = static_cast<size_t>(std::clamp(m_CharIndex, 0, static_cast<int>(m_LineText.size())));
  CString tail = m_LineText.substr(at);
  m_LineText.resize(at);
  m_SpaceFreeLine = 0;
  StoreLine();
  PaintLines(m_CurLine, m_CurLine);
  return tail;
}

void CKestrixCtrl::PrependToLine(const CString& s) {
  m_CharIndex = 0;
  m_LineText = s + m_LineText;
  m_SpaceFreeLine = 0;
  StoreLine();
  m_CharIndex = static_cast<int>(s.size());
  PaintLines(m_CurLine, m_CurLine);
}

void CKestrixCtrl::MoveToNextLine(BOOL newLine) {
  if (!newLine && m_CurLine < m_Lines.Count())
    GotoLine(m_CurLine + 1);
  else
    NewLine(m_CurLine + 1, newLine && m_CurLine < m_Lines.Count());
}

void CKestrixCtrl::WrapCurrentLine() {
  int targetLine = m_CurLine;
  int targetIndex = m_CharIndex;
  // Every pass moves one line down and carries a shrinking tail; the bound only guards
  // against a store that breaks that rule.
  int64_t passesLeft = 4 * (static_cast<int64_t>(m_Lines.Count()) + m_CharCount) + 16;
  int firstReceiver = 0;
  const int countBefore = m_Lines.Count(), firstVisibleBefore = m_FirstVisible;
  for (bool first = true; passesLeft-- > 0; first = false) {
    int caret = m_CharIndex;
    m_CharIndex = FindWrapIndex();
    CString tail = SplitLineAtCaret();
    if (first) {
      if (caret >= m_CharIndex) {
        targetLine = m_CurLine + 1;
        targetIndex = caret - m_CharIndex;
      } else {
        targetLine = m_CurLine;
        targetIndex = caret;
      }
    }
    MoveToNextLine(tail.find(kCR) != CString::npos);
    PrependToLine(tail);
    if (first) firstReceiver = m_CurLine;
    // Nothing carried down leaves the lines below as they were.
    if (tail.empty() || !LineNeedsWrap()) break;
  }
  // Each pass may move the lines below again, so they are painted once, after the last pass;
  // the lines that received words have been painted by their pass. With no line added and
  // the view where it was, the lines below the last receiver stand as they were.
  const bool linesMoved = m_Lines.Count() != countBefore || m_FirstVisible != firstVisibleBefore;
  if (firstReceiver > 0 && linesMoved) PaintLines(firstReceiver + 1, m_LastVisible);
  GotoLine(targetLine);
  m_CharIndex = targetIndex;
}

}  // namespace kestrix
