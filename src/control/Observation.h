// What a host may read of a control's state: its display lines, the caret, the selection, the
// highlight each line shows, the view and its scroll bar, and where a caret position lies on
// the screen. Hosts that show or check the control (the scripted host, the Windows module's
// test interface, the fuzzing harness) read it here, not from the fields, so that each of them
// sees the state the same way. Lines are numbered from 1; text is in the Arabic code page.
#pragma once

#include <optional>
#include <utility>
#include <vector>

#include "framework/ole/OleTypes.h"

namespace kestrix {

class CKestrixCtrl;

struct ObservedLine {
  CString chars;        // ends with one CR when the line ends a paragraph
  int direction = 0;    // 0 left to right, 1 right to left
  int y = 0;            // document y of the bottom of the line's band
  int startX = 0;       // x of the line's logical start, fixed when the line was made
  bool highlighted = false;
  int highlightLeft = 0, highlightRight = 0;  // the span shown, in either order
  // Where the highlight is several separate spans, each (left, right), smaller x first;
  // highlightLeft and highlightRight are then their outer ends. Empty for one span.
  std::vector<std::pair<int, int>> highlightSpans;
};

struct ObservedCaret {
  int line = 0, index = 0;  // the current line and the character index on it
  bool shown = false;       // drawn on the screen now
  int x = 0, y = 0;         // where it is drawn: its x and its line's baseline, client pixels
  int height = 0;           // its stem, from the baseline up
};

// A character's box in client pixels: from the caret position before it to the one after it
// (either may be the left), over its line's band.
struct ObservedBox {
  int left = 0, top = 0, right = 0, bottom = 0;
};

struct ObservedSelection {
  long start = 0, length = 0;  // as SelStart and SelLength read
};

struct ObservedView {
  int firstVisible = 0, lastVisible = 0;
  int scrollOffset = 0;  // document y of the view's top
  int textBottom = 0;    // the bottom of the text rectangle, in client pixels
};

struct ObservedScrollBar {
  bool visible = false;
  bool onLeft = false;
  int position = 0, maximum = 0;
};

// What the control is in the middle of: input that a host must not interrupt to compare or
// rebuild it.
struct ObservedActivity {
  bool focused = false;
  bool mouseDown = false;  // a press is held
  bool selecting = false;  // a selection gesture lasts
  bool busy = false;       // the text is being rebuilt
};

class ControlObservation {
 public:
  explicit ControlObservation(CKestrixCtrl& control) : control_(control) {}

  int LineCount() const;
  // Line n, or nothing when there is no such line.
  std::optional<ObservedLine> Line(int n) const;
  ObservedCaret Caret() const;
  // The caret's offset in the whole text. It stores the line being edited into its record first.
  long CaretOffset();
  ObservedSelection Selection() const;
  ObservedView View() const;
  ObservedScrollBar ScrollBar() const;
  ObservedActivity Activity() const;
  // The caret position before character index of line (an index past the line's end stands
  // for its end), in client pixels, at the middle of the line's band; nothing when there is
  // no such line or the index is negative. The caret stays where it was.
  std::optional<POINT> PointOf(int line, int index);
  // The box of character index of line, placed by the caret's own arithmetic; nothing when
  // there is no such character. The caret stays where it was.
  std::optional<ObservedBox> CharacterBox(int line, int index);
  // The offset in the whole text of the character whose box holds a client point, or nothing
  // when the point is on no character. The caret stays where it was.
  std::optional<long> OffsetAt(POINT point);
  // Where each display line starts: the offset of line n's first character, and the line that
  // holds an offset (the last line for the text's end). Both store the line being edited first.
  long LineStart(int n);
  int LineOfOffset(long offset);
  // Whether the text is shown masked, and the masking character.
  int PasswordChar() const;

 private:
  CKestrixCtrl& control_;
};

}  // namespace kestrix
