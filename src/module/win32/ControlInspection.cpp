// What only the control knows of its state, read for test hosts from the control object
// itself (the module and the control are one build), and the fixed-metric text library a
// test host may ask for.
#include <algorithm>

#include "control/Guids.h"
#include "control/KestrixCtrl.h"
#include "layout/FixedMetricTextLibrary.h"
#include "module/win32/ControlInstance.h"

namespace win32host {
namespace {

// The control object behind the automation object, held until it goes out of scope.
class ControlObject {
 public:
  explicit ControlObject(void* dispatch) {
    static_cast<IDispatch*>(dispatch)->QueryInterface(IID_KestrixControlObject,
                                                      reinterpret_cast<void**>(&ctrl_));
  }
  ~ControlObject() {
    if (ctrl_) ctrl_->GetControllingUnknown()->Release();
  }
  ControlObject(const ControlObject&) = delete;
  ControlObject& operator=(const ControlObject&) = delete;
  CKestrixCtrl* operator->() const { return ctrl_; }
  explicit operator bool() const { return ctrl_ != nullptr; }

 private:
  CKestrixCtrl* ctrl_ = nullptr;
};

}  // namespace

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
  state.lineCount = c->LineCount();
  state.caretLine = c->m_CurLine;
  state.caretIndex = c->m_CharIndex;
  state.caretOffset = c->OffsetFromIndex(c->m_CharIndex);
  state.firstVisible = c->m_FirstVisible;
  state.lastVisible = c->m_LastVisible;
  state.textBottom = c->m_TextRect.bottom;
  if (c->m_pScrollBar && c->m_pScrollBar->IsWindowVisible()) {
    CRect bar;
    c->m_pScrollBar->GetWindowRect(&bar);
    SCROLLINFO info;
    c->m_pScrollBar->GetScrollInfo(&info);
    state.scrollBarVisible = true;
    state.scrollBarOnLeft = bar.left == 0;
    state.scrollPosition = c->m_pScrollBar->GetScrollPos();
    state.scrollMaximum = info.nMax;
  }
  return state;
}

std::optional<ControlInstance::InspectedLine> ControlInstance::InspectLine(int n) {
  MakeCurrent();
  ControlObject c(Dispatch());
  if (!c || n < 1 || n > c->LineCount()) return std::nullopt;
  const LineRecord& r = *c->m_Lines.At(n);
  const WideString wide = BstrFromCp1256(r.m_Chars);
  return InspectedLine{std::u16string(wide.begin(), wide.end()), r.m_Direction, r.m_Highlighted != 0,
                       r.m_HighlightLeft, r.m_HighlightRight};
}

std::optional<std::pair<int, int>> ControlInstance::InspectPoint(int line, int index) {
  MakeCurrent();
  ControlObject c(Dispatch());
  if (!c || line < 1 || line > c->LineCount() || index < 0) return std::nullopt;
  // The caret's own arithmetic, on the line asked for, then the caret put back.
  c->PushPosition(FALSE);
  c->GotoLine(line);
  c->m_CharIndex = std::min(index, c->m_LineLength);
  const int x = c->CaretXFromIndex();
  const int baseline = c->m_LineY - c->m_ScrollOffset - c->m_BaselineLift;
  c->PopPosition();
  return std::make_pair(x, baseline - c->m_Ascent + (c->m_Ascent + c->m_Descent) / 2);
}

}  // namespace win32host
