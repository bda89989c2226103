// Inserting typed characters into the current line.
#include <algorithm>

#include "control/KestrixCtrl.h"

BOOL CKestrixCtrl::CanInsertChar(unsigned int c) {
  if (m_ReadOnly) return FALSE;
  if (c < 0x20) return FALSE;
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
  if (m_MultiLines && m_WordWrap && LineNeedsWrap()) WrapCurrentLine();
}
