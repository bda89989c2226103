// A readable picture of the whole state of the control, for comparing two controls field by
// field: each line names what it shows, so the first differing line says what differs.
#include <sstream>

#include "control/KestrixCtrl.h"

namespace kestrix {

namespace {

void Put(std::ostream& out, const char* name, const CString& s) {
  out << name << " [" << s.size() << "] \"";
  for (char c : s) {
    if (c == '\r')
      out << "\\r";
    else if (static_cast<unsigned char>(c) < 0x20 || static_cast<unsigned char>(c) >= 0x7F)
      out << "\\x" << std::hex << (static_cast<unsigned>(c) & 0xFF) << std::dec;
    else
      out << c;
  }
  out << "\"\n";
}

void Put(std::ostream& out, const char* name, const LOGFONT& f) {
  out << name << ' ' << f.lfHeight << ' ' << f.lfWidth << ' ' << f.lfEscapement << ' '
      << f.lfOrientation << ' ' << f.lfWeight << ' ' << int{f.lfItalic} << int{f.lfUnderline}
      << int{f.lfStrikeOut} << ' ' << int{f.lfCharSet} << ' ' << int{f.lfOutPrecision} << ' '
      << int{f.lfClipPrecision} << ' ' << int{f.lfQuality} << ' ' << int{f.lfPitchAndFamily}
      << " \"" << f.lfFaceName << "\"\n";
}

void Put(std::ostream& out, const char* name, const RECT& r) {
  out << name << ' ' << r.left << ',' << r.top << ',' << r.right << ',' << r.bottom << '\n';
}

}  // namespace

std::string CKestrixCtrl::DescribeState() {
  std::ostringstream out;
#define KESTRIX_PUT(field) out << #field << ' ' << (field) << '\n'
  KESTRIX_PUT(m_ForeColor);
  KESTRIX_PUT(m_Busy);
  KESTRIX_PUT(m_BlinkTimer);
  KESTRIX_PUT(m_HasFocus);
  KESTRIX_PUT(m_CaretShown);
  KESTRIX_PUT(m_CaretX);
  KESTRIX_PUT(m_CaretY);
  KESTRIX_PUT(m_CaretHeight);
  Put(out, "m_Text", TextSnapshot());
  Put(out, "m_LineText", m_LineText);
  Put(out, "m_SelText", m_SelText);
  KESTRIX_PUT(m_MouseDown);
  KESTRIX_PUT(m_WantTabs);
  KESTRIX_PUT(m_ReadOnly);
  KESTRIX_PUT(m_Alignment);
  KESTRIX_PUT(m_ReadingOrder);
  KESTRIX_PUT(m_PasswordChar);
  KESTRIX_PUT(m_LineDir);
  out << "m_pDC held " << (m_pDC != nullptr) << '\n';
  Put(out, "m_TextRect", m_TextRect);
  KESTRIX_PUT(m_SelPivotX);
  KESTRIX_PUT(m_SelAnchorX);
  KESTRIX_PUT(m_SelAnchorLine);
  KESTRIX_PUT(m_SelActiveLine);
  KESTRIX_PUT(m_SelStart);
  KESTRIX_PUT(m_SelLength);
  KESTRIX_PUT(m_Selecting);
  KESTRIX_PUT(m_SelPrevX);
  KESTRIX_PUT(m_SelPrevY);
  KESTRIX_PUT(m_SelCurX);
  KESTRIX_PUT(m_SelCurY);
  KESTRIX_PUT(m_SelDirection);
  Put(out, "m_lfAr", m_lfAr);
  Put(out, "m_lfEn", m_lfEn);
  KESTRIX_PUT(m_Margin);
  KESTRIX_PUT(m_LineHeight);
  KESTRIX_PUT(m_CharIndex);
  KESTRIX_PUT(m_ScrollOffset);
  KESTRIX_PUT(m_Ascent);
  KESTRIX_PUT(m_Descent);
  KESTRIX_PUT(m_ScrollBarWidth);
  KESTRIX_PUT(m_LineLength);
  KESTRIX_PUT(m_CharCount);
  KESTRIX_PUT(m_LineStartX);
  KESTRIX_PUT(m_LineRight);
  KESTRIX_PUT(m_LineLeft);
  KESTRIX_PUT(m_LineY);
  KESTRIX_PUT(m_CurLine);
  KESTRIX_PUT(m_FirstVisible);
  KESTRIX_PUT(m_LastVisible);
  KESTRIX_PUT(m_VisibleLines);
  KESTRIX_PUT(m_BaselineLift);
  KESTRIX_PUT(m_MultiLines);
  KESTRIX_PUT(m_MaxLength);
  KESTRIX_PUT(m_WordWrap);
  KESTRIX_PUT(m_Modified);
  KESTRIX_PUT(m_Style);
  KESTRIX_PUT(m_ScrollBars);
  KESTRIX_PUT(m_HideSelection);
  KESTRIX_PUT(m_WantReturn);
  KESTRIX_PUT(m_BackColor);
  KESTRIX_PUT(m_VisualCaret);
  KESTRIX_PUT(m_StandardEditing);
  KESTRIX_PUT(m_ChordArmed);
  KESTRIX_PUT(m_ChordFlags);
  KESTRIX_PUT(m_DoubleClicked);
  KESTRIX_PUT(m_DoubleClickMs);
  out << "m_DoubleClickAt " << m_DoubleClickAt.x << ',' << m_DoubleClickAt.y << '\n';
  KESTRIX_PUT(m_CaretFlagLeft);
  KESTRIX_PUT(m_SelAnchorOffset);
  KESTRIX_PUT(m_HighlightLow);
  KESTRIX_PUT(m_HighlightHigh);
  KESTRIX_PUT(m_GrowthLimit);
  KESTRIX_PUT(m_SysKeyPending);
  KESTRIX_PUT(m_SysKeyCode);
  KESTRIX_PUT(m_CaretDrawnOffset);
#undef KESTRIX_PUT
  out << "laid out for a layout " << m_LaidOutFor.has_value() << '\n';
  if (m_pScrollBar && m_pScrollBar->GetSafeHwnd()) {
    SCROLLINFO info;
    m_pScrollBar->GetScrollInfo(&info);
    CRect rect;
    m_pScrollBar->GetWindowRect(&rect);
    out << "scroll bar visible " << m_pScrollBar->IsWindowVisible() << " range " << info.nMin << ".."
        << info.nMax << " page " << info.nPage << " pos " << info.nPos << '\n';
    Put(out, "scroll bar rect", rect);
  } else {
    out << "scroll bar none\n";
  }
  out << "saved positions " << m_PositionStack.size() << '\n';
  out << "lines " << m_Lines.Count() << '\n';
  for (int n = 1; n <= m_Lines.Count(); ++n) {
    const LineRecord& r = *m_Lines.At(n);
    out << "line " << n << " x " << r.m_StartX << " y " << LineBottom(n) << " highlight " << r.m_Highlighted << ' '
        << r.m_HighlightLeft << ' ' << r.m_HighlightRight;
    for (const auto& [left, right] : r.m_HighlightSpans) out << " span " << left << ".." << right;
    out << " dir " << r.m_Direction << " changed "
        << m_Lines.Changed(n) << ' ';
    Put(out, "chars", r.m_Chars);
  }
  return out.str();
}

}  // namespace kestrix
