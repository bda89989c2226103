#include "CaretEdges.h"

#include <cstring>
#include <string_view>

#include "control/KestrixCtrl.h"
#include "layout/FixedMetricTextLibrary.h"

namespace kestrix {

namespace fuzzing {
namespace {

constexpr char kTatweel = static_cast<char>(0xDC);
constexpr int kMargin = 5;

// What kind of piece of a line a byte belongs to: the letters of one script (Arabic marks go
// with the Arabic letters) and digits form words; every other byte is a piece of its own.
int PieceKind(unsigned char byte) {
  switch (CKestrixCtrl::ClassifyChar(byte)) {
    case CharClass::ArabicLetter:
    case CharClass::ArabicMark:
      return 1;
    case CharClass::Latin:
      return 2;
    default:
      return byte >= '0' && byte <= '9' ? 3 : 0;
  }
}

bool IsArabicLetter(unsigned char byte) {
  return CKestrixCtrl::ClassifyChar(byte) == CharClass::ArabicLetter;
}

// Whether the first byte after at that is not an Arabic mark is an Arabic letter: the letter
// before at then takes its joining form.
bool JoinsOn(std::string_view line, size_t at) {
  for (size_t i = at; i < line.size(); ++i) {
    const auto byte = static_cast<unsigned char>(line[i]);
    if (CKestrixCtrl::ClassifyChar(byte) != CharClass::ArabicMark) return IsArabicLetter(byte);
  }
  return false;
}

// The widths the line's layout gives: the whole line, and the characters before the caret.
struct Widths {
  long line = 0;
  long before = 0;
  bool known = true;  // false when the library's pieces do not add up to its line
};

Widths FixedWidths(std::string_view line, size_t caret) {
  Widths w;
  for (size_t i = 0; i < line.size(); ++i) {
    const int glyph = FixedMetricTextLibrary::CharWidth(line, i);
    w.line += glyph;
    if (i < caret) w.before += glyph;
  }
  return w;
}

// The shipped library, asked for one piece of the line at a time. A piece cut at the caret
// has a tatweel after it when the line goes on with an Arabic letter, the tatweel's own
// width taken off again: its last letter then has the shape it has in the line.
Widths PieceWidths(CKestrixCtrl& c, std::string_view line, size_t caret) {
  c.AcquireDC();
  HDC hdc = c.m_pDC ? c.m_pDC->GetSafeHdc() : nullptr;
  TextLibrary& library = c.TextLib();
  auto extent = [&](std::string_view s) -> long {
    return s.empty() ? 0 : library.aTextExtent(hdc, s.data(), static_cast<int32_t>(s.size())).cx;
  };
  Widths w;
  w.line = extent(line);
  long sum = 0;
  for (size_t start = 0; start < line.size();) {
    const int kind = PieceKind(static_cast<unsigned char>(line[start]));
    size_t end = start + 1;
    while (kind != 0 && end < line.size() && PieceKind(static_cast<unsigned char>(line[end])) == kind) ++end;
    const std::string_view piece = line.substr(start, end - start);
    const long width = extent(piece);
    if (caret >= end) {
      w.before += width;
    } else if (caret > start) {
      std::string head(line.substr(start, caret - start));
      long tatweel = 0;
      if (JoinsOn(line, caret)) {
        tatweel = extent(std::string_view(&kTatweel, 1));
        head += kTatweel;
      }
      w.before += extent(head) - tatweel;
    }
    sum += width;
    start = end;
  }
  c.ReleaseHeldDC();
  w.known = sum == w.line;
  return w;
}

}  // namespace

bool CaretEdges::Seen::operator==(const Seen& o) const {
  return line == o.line && caret == o.caret && caretX == o.caretX && alignment == o.alignment &&
         lineDir == o.lineDir && readingOrder == o.readingOrder && scrollBar == o.scrollBar &&
         std::memcmp(&client, &o.client, sizeof client) == 0 &&
         std::memcmp(&latin, &o.latin, sizeof latin) == 0 &&
         std::memcmp(&arabic, &o.arabic, sizeof arabic) == 0;
}

std::string CaretEdges::Check(CKestrixCtrl& c) {
  if (!c.GetSafeHwnd() || c.m_Busy != 0 || c.m_pDC || c.LineCount() < 1) return "";
  // Only a caret that can be seen has a place to check: with the focus, once blinking, and
  // with nothing selected.
  if (!c.m_HasFocus || c.m_SelLength != 0) return "";
  const std::string_view line = c.m_LineText;
  if (c.m_CharIndex < 0 || static_cast<size_t>(c.m_CharIndex) > line.size()) return "";
  const auto caret = static_cast<size_t>(c.m_CharIndex);
  RECT client{};
  c.GetClientRect(&client);
  Seen seen{std::string(line), c.m_CharIndex, c.m_CaretX, c.m_Alignment, c.m_LineDir,
            c.GetReadingOrder(), c.m_ScrollBarWidth, client, c.m_lfEn, c.m_lfAr};
  if (lastKept_ && *lastKept_ == seen) return "";
  Widths w = fixedMetrics_ ? FixedWidths(line, caret) : PieceWidths(c, line, caret);
  // Where pieces do not add up (a neutral between Arabic words takes the Arabic font in the
  // line, and its own alone), only the line's ends are known.
  if (!w.known) {
    if (caret == 0)
      w.before = 0;
    else if (caret == line.size())
      w.before = w.line;
    else
      return "";
  }

  // The text area leaves the scroll bar's strip on the reading order's start side.
  long left = client.left, right = client.right;
  if (c.GetReadingOrder() == 1)
    left += c.m_ScrollBarWidth;
  else
    right -= c.m_ScrollBarWidth;
  long lineLeft = kMargin, lineRight = -kMargin;
  switch (c.m_Alignment) {
    case 0:
      lineLeft = left + kMargin;
      lineRight = lineLeft + w.line;
      break;
    case 1:
      lineLeft = left + (right - left - w.line) / 2;
      lineRight = left + (right - left + w.line) / 2;
      break;
    case 2:
      lineRight = right - kMargin;
      lineLeft = lineRight - w.line;
      break;
    default:
      break;
  }
  const bool fromRight = c.m_Alignment == 2 || (c.m_Alignment == 1 && c.m_LineDir == 1);
  const long expected = fromRight ? lineRight - w.before : lineLeft + w.before;
  if (c.m_CaretX == expected) {
    lastKept_ = std::move(seen);
    return "";
  }
  return "caret x " + std::to_string(c.m_CaretX) + " on line " + std::to_string(c.m_CurLine) +
         " at index " + std::to_string(caret) + " of " + std::to_string(line.size()) +
         ", its line's layout puts it at " + std::to_string(expected) + " (" +
         std::to_string(w.before) + " of " + std::to_string(w.line) + " px from the " +
         (fromRight ? "right" : "left") + " end)";
}

}  // namespace fuzzing

}  // namespace kestrix
