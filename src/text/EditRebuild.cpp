// A rebuild after an edit that breaks only the paragraphs it touches. A rebuild of the whole
// text keeps every paragraph it shares with the old text, unless typing changed its lines or
// the line it would start on opens elsewhere; so the lines before the edit's first paragraph
// and after its last stay, and only the paragraphs between them (with any typing changed since
// the last rebuild, and any after them whose start moved) are fed again. They are fed, as the
// whole rebuild feeds them, at the end of an otherwise empty store that starts as the whole
// rebuild's does, so that every step of the feed sees what it would see there; the lines it
// makes then take the old ones' place, and the running totals after them shift.
#include <algorithm>
#include <cstdint>

#include "control/KestrixCtrl.h"

namespace kestrix {

namespace {

constexpr char kCR = '\r';

// A character the feed stores as it is: a CR as a break, or a character of the code page.
bool FedAsItIs(char c) { return c == kCR || CKestrixCtrl::IsCharacterCode(static_cast<unsigned char>(c)); }

// Lines first..last of lines, widened to whole paragraphs.
void WidenToParagraphs(const LineList& lines, int& first, int& last) {
  while (first > 1 && !lines.EndsParagraph(first - 1)) --first;
  while (last < lines.Count() && !lines.EndsParagraph(last)) ++last;
}

// The characters of lines first..last counted against MaxLength: all but the CRs.
int64_t CharactersOf(const LineList& lines, int first, int last) {
  int64_t characters = lines.PrefixLength(last) - lines.LengthBefore(first);
  for (int n = first; n <= last; ++n) characters -= lines.EndsParagraph(n) ? 1 : 0;
  return characters;
}

bool StoreHolds(const LineList& lines, const CString& text) {
  if (lines.PrefixLength(lines.Count()) != static_cast<int64_t>(text.size())) return false;
  size_t at = 0;
  for (int n = 1; n <= lines.Count(); ++n) {
    const CString& chars = lines.At(n)->m_Chars;
    if (text.compare(at, chars.size(), chars) != 0) return false;
    at += chars.size();
  }
  return true;
}

}  // namespace

bool CKestrixCtrl::RebuildEdit(const EditRange& range, const CString& inserted, int caretOffset) {
  // A limit may cut the text, a single line joins its paragraphs, and characters the feed drops
  // leave a text other than the one handed in: those go through the whole text.
  if (!m_KeepUnchangedLines || !m_MultiLines || m_MaxLength > 0 || m_Busy != 0 || m_Lines.Empty() ||
      !m_LaidOutFor || !(*m_LaidOutFor == CurrentLayout()) ||
      !std::all_of(inserted.begin(), inserted.end(), FedAsItIs))
    return false;

  BOOL readOnly = m_ReadOnly;
  m_ReadOnly = FALSE;
  PushPosition(TRUE);
  const int count = m_Lines.Count();
  const int64_t size = m_Lines.PrefixLength(count);
  const int64_t start = std::clamp<int64_t>(range.start, 0, size);
  const int64_t end = std::clamp<int64_t>(range.end, start, size);
  const int64_t charactersBefore = m_CharCount;

  // The paragraphs the edit touches, and those holding lines typed into since the last rebuild.
  int first = std::min(m_Lines.FirstLineEndingAfter(start), count);
  int last = std::min(m_Lines.FirstLineEndingAfter(end), count);
  if (m_Lines.FirstChanged() > 0) {
    first = std::min(first, m_Lines.FirstChanged());
    last = std::max(last, std::min(m_Lines.LastChanged(), count));
  }
  WidenToParagraphs(m_Lines, first, last);

  // Every record loses its highlight, as in a rebuild; only the lines that may hold one are
  // visited.
  int low = std::min(m_SelAnchorLine, m_SelActiveLine), high = std::max(m_SelAnchorLine, m_SelActiveLine);
  if (m_HighlightLow > 0) {
    low = low > 0 ? std::min(low, m_HighlightLow) : m_HighlightLow;
    high = std::max(high, m_HighlightHigh);
  }
  for (int n = std::max(low, 1); n <= std::min(high, count); ++n) {
    LineRecord* record = m_Lines.At(n);
    ClearHighlight(*record);
  }

  // The store is emptied and reset as for a whole rebuild; the old lines wait aside.
  LineList old = std::move(m_Lines);
  m_Lines.Clear();
  ResetLines();
  m_Busy = 1;
  AcquireDC();
  const int previousStartX = m_LaidOutStartX;
  m_LaidOutStartX = NextLineStartX();
  // The first paragraph returns only where its lines start as they did.
  if (first > 1 && (m_LaidOutStartX != previousStartX || m_Lines.At(1)->m_StartX != old.At(1)->m_StartX)) {
    first = 1;
    WidenToParagraphs(old, first, last);
  }
  if (first > 1) {
    // As after the break of the paragraph before: the next line opens where it did.
    m_Lines.TakeLast();
    m_CurLine = 0;
    m_LineDir = m_ReadingOrder;
    m_LineLeft = m_LineRight = old.At(first)->m_StartX;
    NewLine(1, FALSE);
  }
  m_CharCount = 0;

  const int64_t regionStart = old.LengthBefore(first);
  CString text = old.TextBetween(regionStart, old.PrefixLength(last));
  text.replace(static_cast<size_t>(start - regionStart), static_cast<size_t>(end - start), inserted);
  FeedText(text);
  // The paragraphs after return while the next line opens where their first did; one whose
  // start moved is fed again.
  while (last < count) {
    const int x = old.At(last + 1)->m_StartX;
    if (m_CurLine == m_Lines.Count() && m_LineText.empty() && m_Lines.At(m_CurLine)->m_StartX == x &&
        NextLineStartX() == x)
      break;
    int next = last + 1, through = next;
    WidenToParagraphs(old, next, through);
    FeedText(old.TextBetween(old.LengthBefore(next), old.PrefixLength(through)));
    last = through;
  }
  const int64_t fedCharacters = m_CharCount;
  const int64_t replacedCharacters = CharactersOf(old, first, last);

  if (last < count) m_Lines.TakeLast();  // the empty line the next paragraph would have started on
  const int currentLine = m_CurLine;
  old.Splice(first, last - first + 1, m_Lines);
  m_Lines = std::move(old);
  if (last < count) {
    // As after the last character of the text, the lines after the edit put back.
    m_CurLine = m_Lines.Count();
    m_LineText = m_Lines.At(m_CurLine)->m_Chars;
    m_SpaceFreeLine = 0;
    m_LineLength = static_cast<int>(m_LineText.size());
    m_CharIndex = m_LineLength;
  } else {
    m_CurLine = currentLine + first - 1;
    m_SpaceFreeLine = 0;
  }
  m_CharCount = static_cast<int>(charactersBefore - replacedCharacters + fedCharacters);
  if (m_CharCount > 0) m_GrowthLimit = m_MaxLength;

  EndRebuild(caretOffset, readOnly);
  // The snapshot is the text handed in, which the store now holds.
  SnapshotStore();
  // Where what the store showed of the host's text is that text itself, finding it again
  // changes nothing; otherwise the store is compared with it, as a whole rebuild does.
  if (!m_DocumentShownWhole &&
      static_cast<int64_t>(m_DocumentText.size()) == size - (end - start) + static_cast<int64_t>(inserted.size()) &&
      StoreHolds(m_Lines, m_DocumentText)) {
    m_DocumentTextShown = m_DocumentText;
    m_DocumentShownWhole = true;
  }
  return true;
}

}  // namespace kestrix
