// Showing the first screen of a long text while the rest of it is still being laid out. Lines
// break paragraph by paragraph, so the lines at the top are final once the paragraphs that
// fill the view are broken: they are drawn as the full repaint at the end draws them.
#include <string>
#include <utility>

#include "control/KestrixCtrl.h"

namespace kestrix {

void CKestrixCtrl::ShowFirstScreen() {
  m_FirstScreenPending = false;
  if (!m_pDC) return;
  // The feed goes on from exactly where it stopped: what drawing moves is put back.
  const int curLine = m_CurLine, charIndex = m_CharIndex, lineY = m_LineY, lineStartX = m_LineStartX,
            lineLeft = m_LineLeft, lineRight = m_LineRight, lineDir = m_LineDir, lineLength = m_LineLength,
            firstVisible = m_FirstVisible, lastVisible = m_LastVisible, scrollOffset = m_ScrollOffset,
            spaceFreeLine = m_SpaceFreeLine, busy = m_Busy;
  const size_t spaceFreeLength = m_SpaceFreeLength;
  CString lineText = std::move(m_LineText);

  m_Busy = 0;
  SetFirstVisible(1);
  UpdateScrollOffset();
  // The line being fed is past the view: only finished lines are drawn.
  for (int n = m_FirstVisible; n <= m_LastVisible && n < curLine; ++n) {
    GotoLine(n);
    PaintCurrentLine();
  }
  GdiFlush();

  m_Busy = busy;
  m_CurLine = curLine;
  m_CharIndex = charIndex;
  m_LineY = lineY;
  m_LineStartX = lineStartX;
  m_LineLeft = lineLeft;
  m_LineRight = lineRight;
  m_LineDir = lineDir;
  m_LineLength = lineLength;
  m_FirstVisible = firstVisible;
  m_LastVisible = lastVisible;
  m_ScrollOffset = scrollOffset;
  m_SpaceFreeLine = spaceFreeLine;
  m_SpaceFreeLength = spaceFreeLength;
  m_LineText = std::move(lineText);
}

}  // namespace kestrix
