#include "module/win32/AccessibleFace.h"

#include "access/AccessibleText.h"
#include "control/Observation.h"
#include "module/win32/ControlInstance.h"
#include "module/win32/ControlObject.h"

namespace win32host {

// This file speaks to the framework, whose names live in namespace kestrix.
using namespace kestrix;

namespace {

AccessibleFace::Box BoxOf(const ScreenBox& box) { return {box.x, box.y, box.width, box.height}; }

}  // namespace

// The model's events, gathered during one Update and told once each after it.
struct AccessibleFace::Impl final : AccessibleListener {
  Impl(ControlInstance& owner, std::unique_ptr<ControlObject> object)
      : instance(owner), control(std::move(object)), model(**control) {}

  void TextInserted(long, const std::u16string&) override { textChanged = true; }
  void TextDeleted(long, const std::u16string&) override { textChanged = true; }
  void CaretMoved(long) override { caretMoved = true; }
  void SelectionChanged() override { selectionChanged = true; }
  void FocusChanged(bool) override {}  // one of the states, compared with them

  States StatesNow() const {
    const AccessibleStates s = model.States();
    return {s.readOnly, s.protectedText, s.focused};
  }
  // A gesture or a rebuild under way: the text must not change under it.
  bool Active() const {
    const ObservedActivity a = ControlObservation(**control).Activity();
    return a.mouseDown || a.selecting || a.busy;
  }

  ControlInstance& instance;
  std::unique_ptr<ControlObject> control;
  AccessibleText model;
  Listener* listener = nullptr;
  States toldStates;
  Box toldCaret;
  bool textChanged = false, caretMoved = false, selectionChanged = false;
};

std::unique_ptr<AccessibleFace> AccessibleFace::Create(ControlInstance& instance) {
  instance.MakeCurrent();
  auto control = std::make_unique<ControlObject>(instance.Dispatch());
  if (!*control) return nullptr;
  return std::unique_ptr<AccessibleFace>(
      new AccessibleFace(std::make_unique<Impl>(instance, std::move(control))));
}

AccessibleFace::AccessibleFace(std::unique_ptr<Impl> impl) : impl_(std::move(impl)) {}

AccessibleFace::~AccessibleFace() {
  impl_->instance.MakeCurrent();
  impl_->model.SetListener(nullptr);
}

void AccessibleFace::SetName(const std::u16string& name) { impl_->model.SetName(name); }
std::u16string AccessibleFace::Name() { return impl_->model.Name(); }

AccessibleFace::States AccessibleFace::CurrentStates() {
  impl_->instance.MakeCurrent();
  return impl_->StatesNow();
}

std::u16string AccessibleFace::Text() {
  impl_->instance.MakeCurrent();
  return impl_->model.Text();
}

bool AccessibleFace::HasSelection() {
  impl_->instance.MakeCurrent();
  return !impl_->model.Selections().empty();
}

AccessibleFace::Box AccessibleFace::CaretBox() {
  impl_->instance.MakeCurrent();
  return BoxOf(impl_->model.CaretBox());
}

bool AccessibleFace::SetContents(const std::u16string& text) {
  impl_->instance.MakeCurrent();
  return !impl_->Active() && impl_->model.SetContents(text);
}

void AccessibleFace::SetListener(Listener* listener) {
  Impl& i = *impl_;
  i.instance.MakeCurrent();
  i.listener = listener;
  i.model.SetListener(listener ? &i : nullptr);
  i.toldStates = i.StatesNow();
  i.toldCaret = BoxOf(i.model.CaretBox());
  i.textChanged = i.caretMoved = i.selectionChanged = false;
}

void AccessibleFace::Update() {
  Impl& i = *impl_;
  if (!i.listener) return;
  i.instance.MakeCurrent();
  // The model may have told of changes already, while a client edited through it.
  i.model.Update();
  const States states = i.StatesNow();
  const Box caret = BoxOf(i.model.CaretBox());
  const bool statesChanged = states != i.toldStates, caretPlaced = caret != i.toldCaret;
  i.toldStates = states;
  i.toldCaret = caret;
  const bool caretMoved = i.caretMoved || caretPlaced, textChanged = i.textChanged,
             selectionChanged = i.selectionChanged;
  i.textChanged = i.caretMoved = i.selectionChanged = false;
  // Each is told from the state the control is in now; a listener may ask the face again.
  if (statesChanged) i.listener->StatesChanged();
  if (textChanged) i.listener->TextChanged();
  if (selectionChanged) i.listener->SelectionChanged();
  if (caretMoved) i.listener->CaretMoved();
}

}  // namespace win32host
