// The screen against the fields: what a full repaint from the fields would show must already
// be on the screen (lines, the highlight of the selection, the caret).
#include <algorithm>

#include "control/KestrixCtrl.h"
#include "framework/window/Display.h"

namespace kestrix {

// A full repaint in the order the control draws: lines without highlight, the caret, then the
// highlight the records hold over both.
void CKestrixCtrl::RepaintFromFields() {
  const int selLength = m_SelLength, low = m_HighlightLow;
  m_SelLength = m_HighlightLow = 0;
  Redraw();
  if (m_CaretShown) DrawCaret();
  m_SelLength = selLength;
  m_HighlightLow = low;
  RepaintHighlight();
}

int CKestrixCtrl::StalePixels(std::string* where, Surface* shown, Surface* expected) {
  Display* display = Display::Of(m_hWnd);
  if (!display || m_Busy) return 0;
  Surface before = display->CaptureClient(m_hWnd);
  RepaintFromFields();
  Surface after = display->CaptureClient(m_hWnd);
  // Below the view's last line, when the text goes on, the fields say nothing: a line only
  // partly in the window is not counted as visible.
  int bottom = before.Height();
  if (m_LastVisible < LineCount())
    bottom = LineBottom(m_LastVisible) - m_ScrollOffset - m_BaselineLift + m_Descent;
  int differing = 0;
  const auto width = static_cast<size_t>(before.Width());
  for (int y = 0; y < std::min(bottom, before.Height()); ++y) {
    // Rows are compared whole first: nearly all of them match.
    const uint32_t* shownRow = before.Pixels().data() + static_cast<size_t>(y) * width;
    if (std::equal(shownRow, shownRow + width, after.Pixels().data() + static_cast<size_t>(y) * width)) continue;
    for (int x = 0; x < before.Width(); ++x)
      if (before.Pixel(x, y) != after.Pixel(x, y) && differing++ == 0 && where)
        *where = std::to_string(x) + ", " + std::to_string(y);
  }
  if (shown) *shown = std::move(before);
  if (expected) *expected = std::move(after);
  return differing;
}

std::string CKestrixCtrl::VerifyScreen() {
  std::string where;
  int stale = StalePixels(&where);
  if (stale == 0) return {};
  return "screen: " + std::to_string(stale) +
         " pixels differ from a repaint of the fields, the first at " + where;
}

}  // namespace kestrix
