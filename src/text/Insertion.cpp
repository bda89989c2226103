// Inserting typed characters into the current line.
#include <algorithm>

#include "control/KestrixCtrl.h"

namespace kestrix {

BOOL CKestrixCtrl::IsCharacterCode(unsigned int c) { return c >= 0x20 && c <= 0xFF; }

BOOL CKestrixCtrl::CanInsertChar(unsigned int c) {
  if (m_ReadOnly) return FALSE;
  // Below 0x20 are control characters; above 0xFF a display's wide characters, whose low
  // byte could otherwise be a CR or a NUL in the middle of a line.
  if (!IsCharacterCode(c)) return FALSE;
  if (m_MaxLength > 0 && m_CharCount >= m_MaxLength) return FALSE;
  return TRUE;
}

void CKestrixCtrl::InsertChar(unsigned int c) {
  if (!CanInsertChar(c)) return;
  auto at = static_cast<size_t>(std::clamp(m_CharIndex, 0, static_cast<int>(m_LineText.size())));
  m_LineText.insert(at, 1, static_cast<char>(c & 0xFF));
  m_CharIndex = static_cast<int>(at) + 1;
  ++m_LineLength;
  ++m_CharCount;
  m_GrowthLimit = m_MaxLength;
  if (m_MultiLines && m_WordWrap && !StaysFreeOfSpaces(static_cast<char>(c & 0xFF), at) && LineNeedsWrap())
    WrapCurrentLine();
}

bool CKestrixCtrl::StaysFreeOfSpaces(char c, size_t at) {
  if (c == ' ') {
    m_SpaceFreeLine = 0;
    return false;
  }
  // Known for the line before c was put in: it still holds none, and is known one longer.
  if (m_SpaceFreeLine == m_CurLine && m_SpaceFreeLength + 1 == m_LineText.size() && at <= m_SpaceFreeLength) {
    ++m_SpaceFreeLength;
    return true;
  }
  if (m_LineText.find(' ') != CString::npos) {
    m_SpaceFreeLine = 0;
    return false;
  }
  m_SpaceFreeLine = m_CurLine;
  m_SpaceFreeLength = m_LineText.size();
  return true;
}

}  // namespace kestrix
