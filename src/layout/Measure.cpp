// Measuring strings and prefixes, the extents of the current line, and caret x positions.
#include <algorithm>
#include <cstdlib>

#include "control/KestrixCtrl.h"

namespace kestrix {

namespace {
constexpr char kTatweel = static_cast<char>(0xDC);
}

SIZE CKestrixCtrl::TextExtent(std::string_view s) {
  if (s.empty()) return SIZE{};
  HDC hdc = m_pDC ? m_pDC->GetSafeHdc() : nullptr;
  return m_TextLib->aTextExtent(hdc, s.data(), static_cast<int32_t>(s.size()));
}

SIZE CKestrixCtrl::PrefixExtent(std::string_view s) {
  if (m_LineText.empty() || m_CharIndex < 0 || m_CharIndex >= static_cast<int>(m_LineText.size()))
    return SIZE{};
  CharClass next = CharClass::ArabicMark;
  for (size_t i = static_cast<size_t>(m_CharIndex) + 1; i < m_LineText.size(); ++i) {
    CharClass cls = ClassifyChar(static_cast<unsigned char>(m_LineText[i]));
    if (cls != CharClass::ArabicMark) {
      next = cls;
      break;
    }
  }
  // A tatweel after the prefix gives its last letter the joining form it has in the line.
  if (next != CharClass::ArabicLetter) return TextExtent(s);
  const LONG tatweel = TextExtent(std::string_view(&kTatweel, 1)).cx;
  m_MeasuredPrefix.assign(s);
  m_MeasuredPrefix += kTatweel;
  SIZE size = TextExtent(m_MeasuredPrefix);
  size.cx -= tatweel;
  return size;
}

void CKestrixCtrl::ComputeLineExtents() {
  bool borrowed = BorrowDC();
  const int width = m_LineWidth = TextExtent(m_LineText).cx;
  if (borrowed) ReleaseHeldDC();
  int left = m_TextRect.left;
  int right = m_TextRect.right;
  m_LineRight = -m_Margin;
  m_LineLeft = m_Margin;
  switch (m_Alignment) {
    case 1:
      m_LineLeft = left + (right - left - width) / 2;
      m_LineRight = left + (right - left + width) / 2;
      break;
    case 2:
      m_LineRight = right - m_Margin;
      m_LineLeft = right - m_Margin - width;
      break;
    case 0:
      m_LineLeft = left + m_Margin;
      m_LineRight = left + m_Margin + width;
      break;
    default:
      break;
  }
}

bool CKestrixCtrl::IsRightMeasured() const {
  return m_Alignment == 2 || (m_Alignment == 1 && m_LineDir == 1);
}

int CKestrixCtrl::XFromWidth(int a, int b) const { return IsRightMeasured() ? m_LineRight - a : m_LineLeft + b; }

int CKestrixCtrl::CaretXFromIndex() {
  if (m_VisualCaret) return DrawnCaretX(LayOutDrawnLine(), m_CharIndex);
  int index = std::clamp(m_CharIndex, 0, static_cast<int>(m_LineText.size()));
  const std::string_view prefix(m_LineText.data(), static_cast<size_t>(index));
  bool borrowed = BorrowDC();
  int width = 0;
  if (!prefix.empty()) {
    int saved = m_CharIndex;
    m_CharIndex = index > 0 ? index - 1 : index;
    width = PrefixExtent(prefix).cx;
    m_CharIndex = saved;
  }
  ComputeLineExtents();
  if (borrowed) ReleaseHeldDC();
  return XFromWidth(width, width);
}

int CKestrixCtrl::IndexFromX(int x) {
  m_Busy = 5;
  AcquireDC();
  CString prefix;
  int prev = m_Margin;
  int result = -1;
  int length = std::min(m_LineLength, static_cast<int>(m_LineText.size()));
  m_CharIndex = 0;
  while (result < 0 && m_CharIndex < length) {
    prefix += m_LineText[static_cast<size_t>(m_CharIndex)];
    int cur = PrefixExtent(prefix).cx + m_Margin;
    int half = (cur - prev) / 2;
    if (m_LineDir == 1) {
      if (!(m_LineStartX - cur > x)) result = m_LineRight - std::abs(prev - half) <= x ? m_CharIndex : m_CharIndex + 1;
    } else {
      if (!(m_LineStartX + cur < x)) result = prev + half >= x ? m_CharIndex : m_CharIndex + 1;
    }
    ++m_CharIndex;
    prev = cur;
  }
  ReleaseHeldDC();
  if (result < 0) result = m_LineLength;
  m_Busy = 0;
  return result;
}

int CKestrixCtrl::CaretIndexFromX(int x) {
  if (m_VisualCaret) return DrawnIndexFromX(x);
  const int index = IndexFromX(x);
  return index == m_LineLength && m_LineText.find('\r') != CString::npos ? index - 1 : index;
}

}  // namespace kestrix
