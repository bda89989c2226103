#include "ScriptHost.h"

#include "framework/ole/ObjectCreation.h"

#include <algorithm>
#include <climits>
#include <optional>
#include <string>
#include <utility>

#include "AutomationClient.h"
#include "StockEventText.h"
#include "control/Observation.h"
#include "framework/ole/PropertyBagFile.h"

namespace kestrix {

namespace {

constexpr int kDisplaySize = 2048;

}  // namespace

// The stock events as the host receives them, in the printed form.
struct ScriptHost::EventLog : EventSink {
  std::vector<std::string> events;
  void OnStockEvent(StockEvent& e) override {
    std::vector<long> args;
    switch (e.dispid) {
      case DISPID_KEYDOWN:
      case DISPID_KEYUP: args = {e.keyCode, e.shift}; break;
      case DISPID_KEYPRESS: args = {e.keyCode}; break;
      case DISPID_MOUSEMOVE: args = {e.button, e.shift, e.x, e.y}; break;
      case DISPID_READYSTATECHANGE: args = {e.readyState}; break;
      default: break;
    }
    events.push_back(StockEventText(e.dispid, args));
  }
};

ScriptHost::ScriptHost(std::ostream& out) : runner_(*this, out), events_(std::make_unique<EventLog>()) {}

ScriptHost::~ScriptHost() {
  ctrl_.reset();
  if (container_) container_->DestroyWindow();
}

CKestrixCtrl& ScriptHost::Ctrl() {
  EnsureControl();
  return *ctrl_;
}

HWND ScriptHost::Hwnd() { return Ctrl().GetSafeHwnd(); }

void ScriptHost::EnsureControl() {
  if (ctrl_) return;
  if (!display_) {
    display_ = std::make_unique<Display>(kDisplaySize, kDisplaySize);
    display_->SetIdleHandler([this](uint32_t timeoutMs) { return runner_.FeedWaitingLoop(timeoutMs); });
    // A popup menu takes the choice armed for it, once; without one it is dismissed.
    display_->SetMenuChooser([this](const std::vector<MenuItem>&, POINT) {
      UINT chosen = menuArmed_ ? menuChoice_ : 0;
      menuArmed_ = false;
      return chosen;
    });
    container_ = std::make_unique<CWnd>();
    container_->CreateEx(0, WS_VISIBLE, CRect(0, 0, kDisplaySize, kDisplaySize), nullptr);
    if (fixedMetrics_) {
      fixedLibrary_ = std::make_unique<FixedMetricTextLibrary>();
      fixedLibrary_->recordCalls = false;  // a long script would keep every string measured
    }
  }
  PlaceControl(nullptr);
}

void ControlRelease::operator()(CKestrixCtrl* control) const {
  if (byReference)
    control->GetControllingUnknown()->Release();
  else
    delete control;
}

std::unique_ptr<CKestrixCtrl, ControlRelease> ScriptHost::NewControl() {
  if (createName_.empty()) {
    CKestrixCtrl* made = fixedLibrary_ ? new CKestrixCtrl(*fixedLibrary_) : new CKestrixCtrl();
    return {made, ControlRelease{false}};
  }
  IUnknown* unknown = nullptr;
  HRESULT hr = CreateObjectByName(createName_, IID_IUnknown, reinterpret_cast<void**>(&unknown));
  if (FAILED(hr)) throw ScriptError("cannot create " + createName_ + ": " + HResultText(hr));
  // The module comes from this same build, so the object behind the interfaces is reachable
  // for the observations a script makes.
  CKestrixCtrl* made = nullptr;
  hr = unknown->QueryInterface(IID_KestrixControlObject, reinterpret_cast<void**>(&made));
  unknown->Release();
  if (FAILED(hr) || !made) throw ScriptError(createName_ + " is not a Kestrix control");
  if (fixedLibrary_) made->UseTextLibrary(*fixedLibrary_);
  return {made, ControlRelease{true}};
}

std::vector<std::string> ScriptHost::PlaceControl(const PropertyBag* loaded) {
  ctrl_.reset();
  ctrl_ = NewControl();
  ctrl_->SetEventSink(events_.get());
  std::vector<std::string> problems;
  if (loaded)
    problems = ctrl_->LoadProperties(*loaded);
  else
    ctrl_->ResetProperties();
  ctrl_->CreateControlWindow(container_.get(), CRect(0, 0, width_, height_));
  // A loaded text reaches the store through the font notification, as a host's load does.
  if (loaded) ctrl_->OnFontChanged();
  // The host gives its one control the keyboard focus, as a form does.
  ctrl_->SetFocus();
  ctrl_->SetModifiedFlag(FALSE);
  events_->events.clear();
  layoutsBefore_ = display_->LayoutRequests().size();
  return problems;
}

void ScriptHost::Finish(ScriptPoint last) {
  if (display_ && display_->KeyState(VK_LBUTTON) < 0 && ctrl_)
    display_->MouseUp(Hwnd(), last.x, last.y);
}

// Setting up ----------------------------------------------------------------------------------

int ScriptHost::MaxWindowSide() const { return kDisplaySize; }

void ScriptHost::Window(int width, int height) {
  width_ = width;
  height_ = height;
  if (ctrl_)
    ctrl_->SetRectInContainer(CRect(0, 0, width_, height_));
  else
    EnsureControl();
}

void ScriptHost::Reset() {
  EnsureControl();
  PlaceControl(nullptr);
}

void ScriptHost::Focus() { Ctrl().SetFocus(); }

void ScriptHost::Blur() {
  EnsureControl();
  container_->SetFocus();
}

void ScriptHost::AdvanceClock(uint64_t ms) {
  EnsureControl();
  display_->AdvanceClock(ms);
}

// Automation ----------------------------------------------------------------------------------

// Everything goes through the control's automation interface, as a host's does.
void ScriptHost::Set(const std::string& name, const Word& value) {
  SetByName(Ctrl().GetIDispatch(), name, value);
}

Shown ScriptHost::Get(const std::string& name) {
  PropertyValue v = GetByName(Ctrl().GetIDispatch(), name);
  if (v.isString) return StringShown(v.text);
  if (v.isNumber) return NumberShown(v.number);
  return TextShown(v.text);
}

PropertyValue ScriptHost::Call(const std::string& name, const std::vector<Word>& args) {
  return CallByName(Ctrl().GetIDispatch(), name, args);
}

// Input ---------------------------------------------------------------------------------------

void ScriptHost::KeyDown(const KeyInfo& key) { display_->KeyDown(key.vk, key.scan); }
void ScriptHost::KeyUp(const KeyInfo& key) { display_->KeyUp(key.vk, key.scan); }
bool ScriptHost::KeyIsDown(int virtualKey) { return display_->KeyState(virtualKey) < 0; }
void ScriptHost::HoldKey(const KeyInfo& key, bool down) { display_->SetKeyState(key.vk, down); }

void ScriptHost::Char(uint32_t code) {
  if (code <= 0xFF) {
    display_->Char(static_cast<uint8_t>(code));
  } else if (HWND focus = display_->GetFocus()) {
    // A display that delivers Unicode characters sends wider codes.
    display_->Send(focus, WM_CHAR, static_cast<WPARAM>(code), 1);
    display_->PumpMessages();
  }
}

void ScriptHost::MouseDown(ScriptPoint p, bool shift) {
  // The Shift flag and key state without Shift's own key messages.
  bool wasDown = display_->KeyState(VK_SHIFT) < 0;
  if (shift && !wasDown) display_->SetKeyState(VK_SHIFT, true);
  display_->MouseDown(Hwnd(), p.x, p.y);
  if (shift && !wasDown) display_->SetKeyState(VK_SHIFT, false);
}

void ScriptHost::MouseMove(ScriptPoint p) { display_->MouseMove(Hwnd(), p.x, p.y); }
void ScriptHost::MouseUp(ScriptPoint p) { display_->MouseUp(Hwnd(), p.x, p.y); }
void ScriptHost::Click(ScriptPoint p) { display_->Click(Hwnd(), p.x, p.y); }
void ScriptHost::DoubleClick(ScriptPoint p) { display_->DoubleClick(Hwnd(), p.x, p.y); }

void ScriptHost::RightClick(ScriptPoint p) {
  display_->MouseDown(Hwnd(), p.x, p.y, true);
  display_->MouseUp(Hwnd(), p.x, p.y, true);
}

void ScriptHost::ArmMenu(unsigned id) {
  EnsureControl();
  menuChoice_ = id;
  menuArmed_ = true;
}

ScriptPoint ScriptHost::LinePoint(int line, int64_t index) {
  const std::optional<POINT> at =
      ControlObservation(Ctrl()).PointOf(line, static_cast<int>(std::min<int64_t>(index, INT_MAX)));
  if (!at) throw ScriptError("no display line position @" + std::to_string(line) + ":" + std::to_string(index));
  return {at->x, at->y};
}

int ScriptHost::TextBottom() { return ControlObservation(Ctrl()).View().textBottom; }

// Clipboard and files -------------------------------------------------------------------------

void ScriptHost::ClipboardSet(const std::string& bytes) { display_->PutClipboardText(bytes); }
void ScriptHost::ClipboardClear() { display_->ClearClipboardText(); }

void ScriptHost::ClipboardLock() {
  if (!clipboardLocked_) clipboardLocked_ = display_->OpenClipboard(container_->GetSafeHwnd());
}

void ScriptHost::ClipboardUnlock() {
  if (clipboardLocked_) display_->CloseClipboard();
  clipboardLocked_ = false;
}

std::string ScriptHost::Save(const std::string& file) {
  PropertyBag bag;
  const BOOL wasModified = Ctrl().IsModified();
  Ctrl().SaveProperties(bag);
  std::string error;
  if (!SavePropertyBagFile(bag, file, &error)) {
    // Nothing was saved: the control still has changes to save.
    ctrl_->SetModifiedFlag(wasModified);
    return "cannot save " + file + ": " + error;
  }
  ctrl_->SetModifiedFlag(FALSE);
  return {};
}

std::vector<std::string> ScriptHost::Load(const std::string& file) {
  // What cannot be read of the file takes its default, as for a host opening a document, and
  // is reported.
  PropertyBag bag;
  std::vector<std::string> problems;
  LoadPropertyBagFile(file, bag, nullptr, {}, &problems);
  for (std::string& problem : problems)
    if (problem.find(file) == std::string::npos) problem = file + ": " + problem;
  EnsureControl();
  for (std::string& problem : PlaceControl(&bag)) problems.push_back(std::move(problem));
  return problems;
}

void ScriptHost::Png(const std::string& file) {
  std::string error;
  if (!display_->WriteWindowPng(Hwnd(), file, &error)) throw ScriptError(error);
}

// Observing -----------------------------------------------------------------------------------

std::string ScriptHost::Text() { return Ctrl().GetText(); }
int ScriptHost::LineCount() { return Ctrl().LineCount(); }

ScriptLine ScriptHost::Line(int n) {
  const std::optional<ObservedLine> r = ControlObservation(Ctrl()).Line(n);
  if (!r) throw ScriptError("no display line " + std::to_string(n));
  return {r->chars, r->direction, r->highlighted, r->highlightLeft, r->highlightRight};
}

ScriptCaret ScriptHost::Caret() {
  const ObservedCaret caret = ControlObservation(Ctrl()).Caret();
  return {caret.line, caret.index};
}

long ScriptHost::CaretOffset() { return ControlObservation(Ctrl()).CaretOffset(); }

ScriptSelection ScriptHost::Selection() {
  const ObservedSelection sel = ControlObservation(Ctrl()).Selection();
  return {sel.start, sel.length};
}

ScriptVisible ScriptHost::Visible() {
  const ObservedView view = ControlObservation(Ctrl()).View();
  return {view.firstVisible, view.lastVisible};
}

ScriptScrollBar ScriptHost::ScrollBar() {
  const ObservedScrollBar bar = ControlObservation(Ctrl()).ScrollBar();
  return {bar.visible, bar.onLeft, bar.position, bar.maximum};
}

std::optional<std::string> ScriptHost::ClipboardText() { return display_->ClipboardData(); }
bool ScriptHost::Dirty() { return Ctrl().IsModified(); }

std::optional<uint32_t> ScriptHost::RequestedLayout() {
  if (display_->LayoutRequests().size() <= layoutsBefore_) return std::nullopt;
  return static_cast<uint32_t>(display_->ActiveLayout());
}

std::vector<std::string> ScriptHost::TakeEvents() { return std::exchange(events_->events, {}); }

std::string ScriptHost::Cursor() {
  switch (display_->GetCursor()) {
    case PointerShape::IBeam: return "ibeam";
    case PointerShape::Wait: return "wait";
    case PointerShape::Hidden: return "none";
    default: return "arrow";
  }
}

std::optional<std::vector<ScriptMenuItem>> ScriptHost::LastMenu() {
  if (display_->MenusShown().empty()) return std::nullopt;
  std::vector<ScriptMenuItem> items;
  for (const MenuItem& item : display_->MenusShown().back()) items.push_back({item.text, item.id});
  return items;
}

uint32_t ScriptHost::Pixel(int x, int y) { return display_->CaptureClient(Hwnd()).Pixel(x, y); }

}  // namespace kestrix
