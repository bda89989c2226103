#include "control/Observation.h"

#include <algorithm>

#include "control/KestrixCtrl.h"

namespace kestrix {

int ControlObservation::LineCount() const { return control_.LineCount(); }

std::optional<ObservedLine> ControlObservation::Line(int n) const {
  if (n < 1 || n > control_.LineCount()) return std::nullopt;
  const LineRecord& r = *control_.m_Lines.At(n);
  std::vector<std::pair<int, int>> spans(r.m_HighlightSpans.begin(), r.m_HighlightSpans.end());
  return ObservedLine{r.m_Chars,          r.m_Direction,        control_.LineBottom(n),
                      r.m_StartX,         r.m_Highlighted != 0, r.m_HighlightLeft,
                      r.m_HighlightRight, std::move(spans)};
}

ObservedCaret ControlObservation::Caret() const {
  const CKestrixCtrl& c = control_;
  return ObservedCaret{c.m_CurLine, c.m_CharIndex, c.m_CaretShown != 0, c.m_CaretX, c.m_CaretY,
                       c.m_CaretHeight};
}

long ControlObservation::CaretOffset() { return control_.OffsetFromIndex(control_.m_CharIndex); }

ObservedSelection ControlObservation::Selection() const {
  return ObservedSelection{control_.GetSelStart(), control_.GetSelLength()};
}

ObservedView ControlObservation::View() const {
  const CKestrixCtrl& c = control_;
  return ObservedView{c.m_FirstVisible, c.m_LastVisible, c.m_ScrollOffset, c.m_TextRect.bottom};
}

ObservedScrollBar ControlObservation::ScrollBar() const {
  ObservedScrollBar bar;
  CScrollBar* shown = control_.m_pScrollBar.get();
  if (!shown || !shown->IsWindowVisible()) return bar;
  CRect rect;
  shown->GetWindowRect(&rect);
  SCROLLINFO info;
  shown->GetScrollInfo(&info);
  bar.visible = true;
  bar.onLeft = rect.left == 0;
  bar.position = shown->GetScrollPos();
  bar.maximum = info.nMax;
  return bar;
}

ObservedActivity ControlObservation::Activity() const {
  const CKestrixCtrl& c = control_;
  return ObservedActivity{c.m_HasFocus != 0, c.m_MouseDown != 0, c.m_Selecting != 0, c.m_Busy != 0};
}

std::optional<POINT> ControlObservation::PointOf(int line, int index) {
  CKestrixCtrl& c = control_;
  if (line < 1 || line > c.LineCount() || index < 0) return std::nullopt;
  // The caret's own arithmetic on the line asked for, then the current line put back.
  c.PushPosition(FALSE);
  c.GotoLine(line);
  c.m_CharIndex = std::min(index, c.m_LineLength);
  const int x = c.CaretXFromIndex();
  const int baseline = c.m_LineY - c.m_ScrollOffset - c.m_BaselineLift;
  c.PopPosition();
  return POINT{x, baseline - c.m_Ascent + (c.m_Ascent + c.m_Descent) / 2};
}

std::optional<ObservedBox> ControlObservation::CharacterBox(int line, int index) {
  CKestrixCtrl& c = control_;
  if (line < 1 || line > c.LineCount() || index < 0) return std::nullopt;
  c.PushPosition(TRUE);
  c.GotoLine(line);
  std::optional<ObservedBox> box;
  if (index < c.m_LineLength) {
    int before = 0, after = 0;
    if (c.m_VisualCaret) {
      // Where the character is drawn: at a boundary between runs its carets stand apart.
      const CKestrixCtrl::DrawnLine drawn = c.LayOutDrawnLine();
      before = drawn.chars[static_cast<size_t>(index)].left;
      after = drawn.chars[static_cast<size_t>(index)].right;
    } else {
      c.m_CharIndex = index;
      before = c.CaretXFromIndex();
      c.m_CharIndex = index + 1;
      after = c.CaretXFromIndex();
    }
    const int baseline = c.m_LineY - c.m_ScrollOffset - c.m_BaselineLift;
    box = ObservedBox{std::min(before, after), baseline - c.m_Ascent, std::max(before, after),
                      baseline + c.m_Descent};
  }
  c.PopPosition();
  return box;
}

std::optional<long> ControlObservation::OffsetAt(POINT point) {
  CKestrixCtrl& c = control_;
  if (c.LineCount() == 0) return std::nullopt;
  c.PushPosition(TRUE);
  const int line = c.LineFromY(point.y);
  c.GotoLine(line);
  if (c.m_VisualCaret) {
    // The character drawn under the point, found among the drawn ones.
    const CKestrixCtrl::DrawnLine drawn = c.LayOutDrawnLine();
    c.PopPosition();
    for (size_t i = 0; i < drawn.chars.size(); ++i) {
      if (point.x < drawn.chars[i].left || point.x >= drawn.chars[i].right) continue;
      std::optional<ObservedBox> box = CharacterBox(line, static_cast<int>(i));
      if (box && point.y >= box->top && point.y < box->bottom)
        return LineStart(line) + static_cast<long>(i);
    }
    return std::nullopt;
  }
  const int nearest = c.IndexFromX(point.x);
  c.PopPosition();
  // The nearest caret position has the character on either side of it.
  for (int index : {nearest, nearest - 1}) {
    std::optional<ObservedBox> box = CharacterBox(line, index);
    if (box && point.x >= box->left && point.x < box->right && point.y >= box->top &&
        point.y < box->bottom)
      return LineStart(line) + index;
  }
  return std::nullopt;
}

long ControlObservation::LineStart(int n) {
  control_.StoreLine();
  return static_cast<long>(
      control_.m_Lines.LengthBefore(std::clamp(n, 1, std::max(1, LineCount()))));
}

int ControlObservation::LineOfOffset(long offset) {
  control_.StoreLine();
  const int count = LineCount();
  if (count == 0) return 0;
  return std::min(control_.m_Lines.FirstLineEndingAfter(std::max(0L, offset)), count);
}

int ControlObservation::PasswordChar() const {
  return control_.m_PasswordChar > 0 ? control_.m_PasswordChar & 0xFF : 0;
}

}  // namespace kestrix
