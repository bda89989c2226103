// What only the control knows of its state, read for test hosts from the control object
// itself (the module and the control are one build), and the fixed-metric text library a
// test host may ask for.
#include "control/Observation.h"
#include "layout/FixedMetricTextLibrary.h"
#include "module/win32/ControlInstance.h"
#include "module/win32/ControlObject.h"

namespace win32host {

// This file speaks to the framework, whose names live in namespace kestrix.
using namespace kestrix;

bool ControlInstance::UseFixedMetrics() {
  // One library for every control of the module: it keeps no state of a control's.
  static FixedMetricTextLibrary* const library = [] {
    auto* made = new FixedMetricTextLibrary();
    made->recordCalls = false;  // a long test would keep every string measured
    return made;
  }();
  MakeCurrent();
  ControlObject c(Dispatch());
  return c && c->UseTextLibrary(*library);
}

ControlInstance::InspectedState ControlInstance::Inspect() {
  MakeCurrent();
  InspectedState state;
  ControlObject c(Dispatch());
  if (!c) return state;
  ControlObservation observed(*c);
  const ObservedCaret caret = observed.Caret();
  const long offset = observed.CaretOffset();
  const ObservedView view = observed.View();
  const ObservedScrollBar bar = observed.ScrollBar();
  state.lineCount = observed.LineCount();
  state.caretLine = caret.line;
  state.caretIndex = caret.index;
  state.caretOffset = offset;
  state.firstVisible = view.firstVisible;
  state.lastVisible = view.lastVisible;
  state.textBottom = view.textBottom;
  state.scrollBarVisible = bar.visible;
  state.scrollBarOnLeft = bar.onLeft;
  state.scrollPosition = bar.position;
  state.scrollMaximum = bar.maximum;
  return state;
}

std::optional<ControlInstance::InspectedLine> ControlInstance::InspectLine(int n) {
  MakeCurrent();
  ControlObject c(Dispatch());
  if (!c) return std::nullopt;
  const std::optional<ObservedLine> line = ControlObservation(*c).Line(n);
  if (!line) return std::nullopt;
  const WideString wide = BstrFromCp1256(line->chars);
  return InspectedLine{std::u16string(wide.begin(), wide.end()), line->direction, line->highlighted,
                       line->highlightLeft, line->highlightRight};
}

std::optional<std::pair<int, int>> ControlInstance::InspectPoint(int line, int index) {
  MakeCurrent();
  ControlObject c(Dispatch());
  if (!c) return std::nullopt;
  const std::optional<POINT> at = ControlObservation(*c).PointOf(line, index);
  if (!at) return std::nullopt;
  return std::make_pair(static_cast<int>(at->x), static_cast<int>(at->y));
}

}  // namespace win32host
