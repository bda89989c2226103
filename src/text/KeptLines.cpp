// A rebuild that keeps lines. Breaking a paragraph depends on nothing outside it but the layout,
// the characters held before it (under MaxLength) and the x the next new line starts at; so a
// paragraph whose bytes, lines and starting x are as the last rebuild left them would come out
// of the rebuild the same, and its lines can be put back instead of being broken again. Only
// lines that were not changed since the last rebuild are put back: typing breaks lines in ways
// a rebuild would not.
#include <algorithm>
#include <cstdint>

#include "control/KestrixCtrl.h"
#include "text/ParagraphDiff.h"

namespace kestrix {

namespace {

constexpr char kCR = '\r';

// One paragraph of the lines set aside: records [first, end).
struct OldParagraph {
  size_t first = 0;
  size_t end = 0;
  size_t bytes = 0;
  int64_t characters = 0;  // counted against MaxLength: all but the CR
  bool changed = false;
  bool hasBreak = false;
};

std::vector<OldParagraph> ParagraphsOf(const LineList::Detached& lines, CString& text) {
  std::vector<OldParagraph> paragraphs;
  OldParagraph current;
  for (size_t i = 0; i < lines.records.size(); ++i) {
    const CString& chars = lines.records[i]->m_Chars;
    text += chars;
    current.bytes += chars.size();
    current.characters += static_cast<int64_t>(chars.size());
    current.changed = current.changed || lines.changed[i] != 0;
    if (!chars.empty() && chars.back() == kCR) {
      current.characters -= 1;
      current.hasBreak = true;
      current.end = i + 1;
      paragraphs.push_back(current);
      current = OldParagraph{};
      current.first = i + 1;
    }
  }
  current.end = lines.records.size();
  paragraphs.push_back(current);
  return paragraphs;
}

// Puts paragraphs back into the control's store, or feeds their text where they cannot return.
class LineKeeper {
 public:
  LineKeeper(CKestrixCtrl& control, LineList::Detached& previous, int previousStartX)
      : c_(control), previous_(previous), previousStartX_(previousStartX) {}

  // The store ends with the empty line the paragraph starts on, just made current.
  void KeepOrFeed(const OldParagraph& paragraph, std::string_view text) {
    if (!Keep(paragraph)) c_.FeedText(text);
  }

 private:
  bool Keep(const OldParagraph& p) {
    LineList& lines = c_.m_Lines;
    LineRecord* fresh = lines.At(lines.Count());
    // A paragraph with a break is followed by a line, whose x is where the next one starts.
    const size_t after = p.hasBreak ? p.end + 1 : p.end;
    if (p.changed || p.first >= p.end || after > previous_.records.size() || !fresh ||
        c_.m_CurLine != lines.Count() || !c_.m_LineText.empty() ||
        fresh->m_StartX != previous_.records[p.first]->m_StartX)
      return false;
    // The x its later lines started at: for the first paragraph, what the reset left; for the
    // others, the x of their own first line.
    const int startX = p.first == 0 ? previousStartX_ : previous_.records[p.first]->m_StartX;
    if (c_.NextLineStartX() != startX) return false;
    if (c_.m_MaxLength > 0 && c_.m_CharCount + p.characters > c_.m_MaxLength) return false;
    const int32_t nextStartX = p.hasBreak ? previous_.records[p.end]->m_StartX : 0;

    lines.TakeLast();
    for (size_t i = p.first; i < p.end; ++i) {
      std::unique_ptr<LineRecord> record = std::move(previous_.records[i]);
      // Rebuilt lines carry no highlight.
      ClearHighlight(*record);
      lines.Append(std::move(record));
    }
    c_.m_CharCount += static_cast<int>(p.characters);
    c_.m_CurLine = lines.Count();
    const LineRecord* last = lines.At(lines.Count());
    c_.m_LineY = c_.LineBottom(lines.Count());
    if (p.hasBreak) {
      // As after the hard break of this paragraph: the next line opens where it did.
      c_.m_LineDir = c_.m_ReadingOrder;
      c_.m_LineLeft = c_.m_LineRight = nextStartX;
      c_.NewLine(lines.Count() + 1, FALSE);
    } else {
      // As after typing the last character of the text.
      c_.m_LineText = last->m_Chars;
      c_.m_SpaceFreeLine = 0;
      c_.m_LineLength = static_cast<int>(last->m_Chars.size());
      c_.m_CharIndex = c_.m_LineLength;
    }
    return true;
  }

  CKestrixCtrl& c_;
  LineList::Detached& previous_;
  const int previousStartX_;
};

}  // namespace

bool CKestrixCtrl::FeedKeepingLines(const CString& text, LineList::Detached& previous,
                                    int previousStartX) {
  if (previous.records.empty() || previous.records.size() != previous.changed.size()) return false;
  CString oldText;
  oldText.reserve(text.size());
  const std::vector<OldParagraph> paragraphs = ParagraphsOf(previous, oldText);
  const ParagraphDiff diff = DiffParagraphs(oldText, text);
  if (diff.leading + diff.trailing > paragraphs.size()) return false;

  LineKeeper keeper(*this, previous, previousStartX);
  const std::string_view newText(text);
  size_t at = 0;
  for (size_t q = 0; q < diff.leading; ++q) {
    keeper.KeepOrFeed(paragraphs[q], newText.substr(at, paragraphs[q].bytes));
    at += paragraphs[q].bytes;
  }
  FeedText(newText.substr(diff.middleBegin, diff.middleEnd - diff.middleBegin));
  at = diff.middleEnd;
  for (size_t q = paragraphs.size() - diff.trailing; q < paragraphs.size(); ++q) {
    keeper.KeepOrFeed(paragraphs[q], newText.substr(at, paragraphs[q].bytes));
    at += paragraphs[q].bytes;
  }
  // Every character accepted notes the limit it grew under, kept lines' characters too.
  if (m_CharCount > 0) m_GrowthLimit = m_MaxLength;
  return true;
}

}  // namespace kestrix
