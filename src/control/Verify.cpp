// The control's own rules, checked between messages: by the stress test after every step and by
// the fuzz harnesses after every input. Compiled into every build so that a host or a debugger
// can ask a misbehaving control which rule it broke.
//
// Verify changes nothing a later message would notice: the only call with effects is GetText,
// which stores the working copy and reloads it, and it is made once the copy is known to equal
// its record.
#include <algorithm>
#include <sstream>
#include <string>

#include "control/KestrixCtrl.h"

namespace kestrix {

namespace {

// The name of the broken rule, then its detail.
template <typename... Parts>
std::string Broken(const char* rule, const Parts&... parts) {
  std::ostringstream out;
  out << rule << ": ";
  (out << ... << parts);
  return out.str();
}

}  // namespace

std::string CKestrixCtrl::Verify() {
  // Between messages nothing is held: a context or a saved position left over means some
  // path returned early without giving it back.
  if (m_pDC) return Broken("context held", "m_pDC is set between messages");
  if (!m_PositionStack.empty())
    return Broken("position stack", m_PositionStack.size(), " saved position(s) left");

  const int count = m_Lines.Count();
  if (count < 1) return Broken("line store", "no lines");

  if (m_CurLine < 1 || m_CurLine > count)
    return Broken("caret line", "m_CurLine ", m_CurLine, " outside 1..", count);
  const CString& current = m_Lines.At(m_CurLine)->m_Chars;
  if (m_LineText != current)
    return Broken("working copy", "m_LineText (", m_LineText.size(), " bytes) differs from line ",
                  m_CurLine, " (", current.size(), " bytes)");
  if (m_CharIndex < 0 || m_CharIndex > static_cast<int>(current.size()))
    return Broken("caret index", "m_CharIndex ", m_CharIndex, " outside 0..", current.size(),
                  " of line ", m_CurLine);
  if (!current.empty() && current.back() == '\r' && m_CharIndex == static_cast<int>(current.size()))
    return Broken("caret index", "caret after the CR of line ", m_CurLine);

  // Line by line: breaks and the cached offsets.
  CString joined;
  int64_t total = 0, nonCr = 0;
  const int lowSelected = std::min(m_SelAnchorLine, m_SelActiveLine);
  const int highSelected = std::max(m_SelAnchorLine, m_SelActiveLine);
  for (int n = 1; n <= count; ++n) {
    const LineRecord* record = m_Lines.At(n);
    const CString& chars = record->m_Chars;
    size_t cr = chars.find('\r');
    if (cr != CString::npos && (cr + 1 != chars.size() || n == count))
      return Broken("line breaks", "CR at ", cr, " of line ", n, " (length ", chars.size(), ", ",
                    count, " lines", (m_MultiLines ? "" : ", single-line"), ")");
    if (m_Lines.LengthBefore(n) != total)
      return Broken("cached offsets", "LengthBefore(", n, ") is ", m_Lines.LengthBefore(n),
                    ", the lines before sum to ", total);
    if (record->m_Highlighted) {
      if (m_SelLength <= 0 && !m_Selecting)
        return Broken("highlight", "line ", n, " highlighted without a selection or gesture");
      if (n < lowSelected || n > highSelected)
        return Broken("highlight", "line ", n, " highlighted outside the selected lines ",
                      lowSelected, "..", highSelected);
    }
    total += static_cast<int64_t>(chars.size());
    nonCr += static_cast<int64_t>(chars.size()) - (cr == CString::npos ? 0 : 1);
    joined += chars;
  }

  // The text a host reads must be the lines as stored.
  const CString text = GetText();
  if (text != joined)
    return Broken("text", "GetText (", text.size(), " bytes) differs from the lines (",
                  joined.size(), " bytes)");

  if (m_CharCount != nonCr)
    return Broken("character count", "m_CharCount ", m_CharCount, ", the text holds ", nonCr);
  // The count never passes the limit in force when the text last grew. A host may lower
  // MaxLength afterwards without a rebuild, which leaves more characters than the new limit:
  // that is allowed, and the next rebuild cuts the text.
  if (m_GrowthLimit > 0 && m_CharCount > m_GrowthLimit)
    return Broken("character count", "m_CharCount ", m_CharCount, " over the MaxLength ",
                  m_GrowthLimit, " it grew under");

  const int64_t length = static_cast<int64_t>(text.size());
  if (m_SelStart < 0 || m_SelLength < 0 || static_cast<int64_t>(m_SelStart) + m_SelLength > length)
    return Broken("selection", m_SelStart, "+", m_SelLength, " outside a text of ", length);

  if (m_FirstVisible < 1 || m_FirstVisible > m_LastVisible || m_LastVisible > count)
    return Broken("visible range", m_FirstVisible, "..", m_LastVisible, " of ", count, " lines");

  // Each visible line's record holds the span of the range the control shows: the selection,
  // or while a gesture lasts the characters from its anchor to the caret at its moving end.
  const auto [from, to] = ImpliedRange();
  for (int n = m_FirstVisible; n <= m_LastVisible; ++n) {
    const LineRecord* record = m_Lines.At(n);
    const HighlightSpans implied = SpansOfRange(n, from, to);
    const HighlightSpans shown = ShownSpans(*record);
    if (implied != shown) {
      auto describe = [](const HighlightSpans& spans) {
        std::string out = spans.empty() ? "0..0" : "";
        for (const auto& [l, r] : spans) {
          if (!out.empty()) out += ' ';
          out += std::to_string(l);
          out += "..";
          out += std::to_string(r);
        }
        return out;
      };
      return Broken("highlight", "line ", n, " shows ", describe(shown), " where ", from, "..", to, " implies ",
                    describe(implied));
    }
  }
  if (static_cast<int64_t>(m_ScrollOffset) !=
      static_cast<int64_t>(m_FirstVisible - 1) * m_LineHeight)
    return Broken("scroll offset", m_ScrollOffset, " for first line ", m_FirstVisible,
                  " and line height ", m_LineHeight);

  if (m_pScrollBar && m_pScrollBar->GetSafeHwnd() && m_pScrollBar->IsWindowVisible()) {
    SCROLLINFO info;
    m_pScrollBar->GetScrollInfo(&info);
    if (info.nMin != 0 || info.nMax != count - 1 || static_cast<int>(info.nPage) != m_VisibleLines)
      return Broken("scroll bar range", info.nMin, "..", info.nMax, " page ", info.nPage, " for ",
                    count, " lines, ", m_VisibleLines, " visible");
    // The bar clamps what it is given: the thumb stands at the end once the last line shows.
    int wanted = m_LastVisible >= count ? count : m_FirstVisible - 1;
    int maxPos = std::max(info.nMin, info.nMax - std::max(static_cast<int>(info.nPage), 1) + 1);
    if (m_pScrollBar->GetScrollPos() != std::clamp(wanted, 0, maxPos))
      return Broken("scroll bar position", m_pScrollBar->GetScrollPos(), " for lines ",
                    m_FirstVisible, "..", m_LastVisible, " of ", count);
  }
  return std::string();
}

}  // namespace kestrix
