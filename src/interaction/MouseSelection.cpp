// Selection with the left button: the press anchors it at the character boundary under the
// pointer, moves extend it, the release fixes it. Dragging above or below the text scrolls
// the view a line at a time while the pointer rests there.
#include <algorithm>

#include "control/KestrixCtrl.h"

namespace kestrix {

namespace {
constexpr UINT kMouseFirst = 0x0200;     // WM_MOUSEMOVE
constexpr UINT kMouseLast = 0x0209;      // WM_MBUTTONDBLCLK
constexpr UINT kDragScrollPaceMs = 50;   // one line per turn of the drag loop
constexpr int kMaxDragTurns = 1000000;   // a guard, far beyond any real drag
}  // namespace

void CKestrixCtrl::OnLButtonDown(UINT flags, CPoint point) {
  COleControl::OnLButtonDown(flags, point);
  if (m_Lines.Empty()) return;
  m_History.CloseTyping();  // a click moves the caret: typing after it is a step of its own
  const bool triple = m_StandardEditing && IsTripleClick(point) && !IsShiftDown();
  m_DoubleClicked = false;
  if (triple) {
    const int64_t offset = OffsetAtPoint(point);
    if (offset >= 0) {
      const auto [start, end] = ParagraphAround(offset);
      SelectOffsets(start, end);
      return;
    }
  }
  PressAt(point.x, point.y);
}

void CKestrixCtrl::OnMouseMove(UINT flags, CPoint point) {
  COleControl::OnMouseMove(flags, point);
  if (m_MouseDown && !m_Lines.Empty() && (flags & MK_LBUTTON)) ExtendSelectionTo(point.x, point.y);
  // Set to none first, so that the I-beam is shown again even where the cursor was changed
  // behind the control's back.
  kestrix::SetCursor(PointerShape::Hidden);
  kestrix::SetCursor(PointerShape::IBeam);
}

void CKestrixCtrl::OnLButtonUp(UINT flags, CPoint point) {
  COleControl::OnLButtonUp(flags, point);
  // A release whose press went elsewhere, or that the drag loop has handled, changes nothing.
  if (!m_MouseDown || m_Lines.Empty()) return;
  EndSelection(point.x, point.y, FALSE);
}

void CKestrixCtrl::HitTest(CPoint& point) {
  int line = LineFromY(point.y);
  if (line <= 0) return;
  GotoLine(line);
  m_CharIndex = CaretIndexFromX(point.x);
  UpdateCaret();
  point.x = m_LineStartX;
}

void CKestrixCtrl::PressAt(int x, int y) {
  StoreLine();
  CollapseSelection();
  m_MouseDown = TRUE;
  CPoint point(x, y);
  // With Shift down the anchor is the caret where it stands, at the caret's own x.
  if (IsShiftDown()) {
    if (m_Lines.At(m_CurLine)) point.x = CaretXFromIndex();
  } else {
    HitTest(point);
  }
  BeginSelection(point.x, point.y);
}

void CKestrixCtrl::BeginSelection(int x, int y) {
  if (m_CurLine == 0) return;
  EraseCaret();
  m_HasFocus = FALSE;  // the caret stays hidden while the gesture and its selection last
  // The snapshot is the text as it stands (what GetText would copy, with its store and reload).
  PushPosition(TRUE);
  PopPosition();
  SnapshotStore();
  m_Selecting = 1;
  m_SelStart = OffsetFromIndex(m_CharIndex);
  m_SelAnchorOffset = m_SelStart;
  m_SelPrevX = x;
  m_LineStartX = x;
  m_SelPrevY = y;
  m_SelAnchorLine = m_SelActiveLine = m_CurLine;
  m_SelAnchorX = x;
  m_SelPivotX = x;
  m_SelDirection = 0;
  ShowRange(m_SelAnchorOffset, m_SelAnchorOffset);
}

void CKestrixCtrl::ExtendSelectionTo(int x, int y) {
  int line = LineFromY(y);
  if (line <= 0) return;
  m_SelCurX = x;
  m_SelCurY = y;
  if (y < m_LineHeight - m_Ascent || y > m_TextRect.bottom) {
    DragScrollLoop();
    return;
  }
  GotoLine(line);
  TrackToLine(line, CaretIndexFromX(x));
}

void CKestrixCtrl::TrackToLine(int line, int index) { MoveEndTo(line, index); }

void CKestrixCtrl::EndSelection(int x, int y, BOOL keyboard) {
  m_MouseDown = FALSE;
  if (!IsShiftDown() && !keyboard) {
    CPoint point(x, y);
    HitTest(point);
  }
  // The range runs from the gesture's anchor, so that ending a gesture twice (Shift released
  // again) keeps it. The anchor and active lines keep their roles for a gesture that goes on.
  int offset = OffsetFromIndex(m_CharIndex);
  m_SelActiveLine = m_CurLine;  // the release may have moved the end to another line
  m_SelLength = std::abs(m_SelAnchorOffset - offset);
  m_SelStart = std::min(m_SelAnchorOffset, offset);
  if (m_SelLength == 0) {
    CollapseSelection();
    // A drag that came back to its start, or a release off the lines, leaves the caret where
    // the moving end last was: it is drawn there.
    UpdateCaret();
  } else {
    ShowRange(m_SelStart, m_SelStart + m_SelLength);
  }
}

// Turns once at once and then once per pace while the pointer rests outside the text; the
// release is handled here, any other mouse message ends the loop and is left for the normal
// dispatch.
void CKestrixCtrl::DragScrollLoop() {
  const int y = m_SelCurY;
  HWND self = m_hWnd;
  for (int turn = 0; turn < kMaxDragTurns && m_hWnd == self; ++turn) {
    MSG msg;
    if (kestrix::PeekMessage(&msg, self, kMouseFirst, kMouseLast, PM_NOREMOVE)) {
      if (msg.message == WM_LBUTTONUP) {
        kestrix::PeekMessage(&msg, self, WM_LBUTTONUP, WM_LBUTTONUP, PM_REMOVE);
        kestrix::DispatchMessage(&msg);
      }
      break;
    }
    if (y < 0)
      ScrollDragUp();
    else if (y > m_TextRect.bottom)
      ScrollDragDown();
    SyncScrollPos();
    // The moving end is on the line in view nearest the pointer, at the pointer's x, as a
    // release there would put it.
    const int line = LineFromY(y);
    if (m_Lines.At(line)) {
      GotoLine(line);
      TrackToLine(line, CaretIndexFromX(m_SelCurX));
    }
    if (kestrix::WaitForMessage(self, kMouseFirst, kMouseLast, kDragScrollPaceMs) < 0) break;
  }
  if (m_SelActiveLine > m_Lines.Count()) m_SelActiveLine = m_Lines.Count();
}

void CKestrixCtrl::ScrollDragUp() {
  if (m_FirstVisible <= 1) return;
  SetFirstVisible(m_FirstVisible - 1);
  RehighlightView();
}

void CKestrixCtrl::ScrollDragDown() {
  if (m_LastVisible >= m_Lines.Count()) return;
  SetFirstVisible(m_FirstVisible + 1);
  RehighlightView();
}

// The view after a scroll: every visible line painted, and the span its record holds shown
// again over it (a line coming back into view shows the highlight it kept).
void CKestrixCtrl::RehighlightView() {
  UpdateScrollOffset();
  bool borrowed = BorrowDC();
  // A view scrolled onto the text's end shows nothing below its last line: what lines drawn
  // there before left behind goes, before the highlight, which may reach below a line's paint.
  if (m_LastVisible == m_Lines.Count() && m_Lines.At(m_LastVisible))
      FillBelowText(LineBottom(m_LastVisible) - m_BaselineLift - m_ScrollOffset + m_Descent);
  for (int i = m_FirstVisible; i <= m_LastVisible; ++i) {
    const LineRecord* record = m_Lines.At(i);
    if (!record) break;
    LoadLineAsCurrent(i);
    PaintCurrentLine();
    InvertShownSpans(*record, i, false);
  }
  if (borrowed) ReleaseHeldDC();
}

}  // namespace kestrix
