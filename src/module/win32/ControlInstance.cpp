#include "module/win32/ControlInstance.h"

#include <typeinfo>

#include "control/Dispids.h"
#include "control/Guids.h"
#include "framework/ole/HostedControl.h"
#include "framework/ole/PropExchange.h"
#include "framework/ole/PropertyBagFile.h"
#include "framework/text/Cp1256.h"
#include "framework/window/Display.h"
#include "framework/window/Dialog.h"
#include "module/KestrixModule.h"
#include "resources/KestrixResources.h"

namespace win32host {

// This file speaks to the framework, whose names live in namespace kestrix.
using namespace kestrix;
namespace {

// The size a control has until its container places it.
constexpr int kInitialWidth = 100;
constexpr int kInitialHeight = 50;

std::u16string Utf16FromWide(const WideString& text) {
  return std::u16string(text.begin(), text.end());
}
WideString WideFromUtf16(const std::u16string& text) {
  return WideString(text.begin(), text.end());
}

// Tells the module's edge what the display does, in standard types.
class EdgeAdapter final : public DisplayPlatform {
 public:
  explicit EdgeAdapter(SystemEdge& edge) : edge_(edge) {}
  void ClipboardChanged(const std::optional<std::string>& text) override {
    edge_.ClipboardChanged(text);
  }
  std::optional<std::string> ClipboardText(const std::optional<std::string>& own) override {
    std::optional<std::string> text = edge_.ClipboardText(own);
    if (std::optional<std::string> why = edge_.TakeClipboardRefusal())
      if (Display* d = Display::CurrentOrNull()) d->NoteClipboardRefused(*why);
    return text;
  }
  void InputRefused(const std::string& why) override { edge_.InputRefused(why); }
  bool ClipboardAvailable() override { return edge_.ClipboardAvailable(); }
  void CursorChanged(PointerShape shape) override {
    using Cursor = SystemEdge::Cursor;
    switch (shape) {
      case PointerShape::Hidden:
        edge_.CursorChanged(Cursor::None);
        break;
      case PointerShape::Arrow:
        edge_.CursorChanged(Cursor::Arrow);
        break;
      case PointerShape::IBeam:
        edge_.CursorChanged(Cursor::IBeam);
        break;
      case PointerShape::Wait:
        edge_.CursorChanged(Cursor::Wait);
        break;
    }
  }
  void LayoutRequested(LPARAM layout) override { edge_.LayoutRequested(layout); }
  std::optional<short> ModifierState(int virtualKey) override { return edge_.ModifierState(virtualKey); }

 private:
  SystemEdge& edge_;
};

NamedValue ToNamed(const std::string& name, const PropValue& value) {
  NamedValue out;
  out.name = name;
  if (const bool* b = std::get_if<bool>(&value)) {
    out.kind = NamedValue::Kind::Bool;
    out.number = *b;
  } else if (const short* s = std::get_if<short>(&value)) {
    out.kind = NamedValue::Kind::Short;
    out.number = *s;
  } else if (const LONG* l = std::get_if<LONG>(&value)) {
    out.kind = NamedValue::Kind::Long;
    out.number = *l;
  } else if (const DWORD* d = std::get_if<DWORD>(&value)) {
    out.kind = NamedValue::Kind::UnsignedLong;
    out.number = *d;
  } else if (const CString* text = std::get_if<CString>(&value)) {
    out.kind = NamedValue::Kind::Text;
    out.text = Utf16FromWide(BstrFromCp1256(*text));
  } else if (const SavedFont* font = std::get_if<SavedFont>(&value)) {
    out.kind = NamedValue::Kind::Font;
    out.text = Utf16FromWide(font->name);
    out.fontSize = font->size;
    out.fontWeight = font->weight;
    out.fontCharset = font->charset;
    out.fontItalic = font->italic != 0;
    out.fontUnderline = font->underline != 0;
    out.fontStrikethrough = font->strikethrough != 0;
  }
  return out;
}

PropValue FromNamed(const NamedValue& value) {
  switch (value.kind) {
    case NamedValue::Kind::Bool:
      return value.number != 0;
    case NamedValue::Kind::Short:
      return static_cast<short>(value.number);
    case NamedValue::Kind::Long:
      return static_cast<LONG>(value.number);
    case NamedValue::Kind::UnsignedLong:
      return static_cast<DWORD>(value.number);
    case NamedValue::Kind::Text:
      return Cp1256FromBstr(WideFromUtf16(value.text));
    case NamedValue::Kind::Font: {
      SavedFont font;
      font.name = WideFromUtf16(value.text);
      font.size = value.fontSize;
      font.weight = value.fontWeight;
      font.charset = value.fontCharset;
      font.italic = value.fontItalic;
      font.underline = value.fontUnderline;
      font.strikethrough = value.fontStrikethrough;
      return font;
    }
  }
  return false;
}

}  // namespace

struct ControlInstance::State {
  // The display first: the control's window lives on it, and goes before it.
  Display display{kInitialWidth, kInitialHeight};
  CWnd form;  // the container's side: a window covering the display
  IHostedControl* hosted = nullptr;
  std::unique_ptr<EdgeAdapter> adapter;
  int64_t clockOffsetMs = -1;  // real clock minus the display's, once known

  // The display, made the thread's current one: each control has its own, and the control's
  // code works on whichever is current.
  Display& Use() {
    display.MakeCurrent();
    return display;
  }
  // The control's own window on the display, or null before it is placed.
  HWND ControlHwnd() const {
    HWND window = nullptr;
    return hosted && SUCCEEDED(hosted->GetWindow(&window)) ? window : nullptr;
  }
};

ControlInstance::ControlInstance() : state_(std::make_unique<State>()) {}

ControlInstance::~ControlInstance() {
  state_->Use();
  AttachEdge(nullptr);
  if (state_->hosted) {
    static_cast<IDispatch*>(dispatch_)->Release();
    state_->hosted->Release();
  }
  if (state_->form.GetSafeHwnd()) state_->form.DestroyWindow();
}

std::unique_ptr<ControlInstance> ControlInstance::Create() {
  std::unique_ptr<ControlInstance> instance(new ControlInstance());
  IClassFactory* factory = nullptr;
  if (FAILED(TheKestrixApp().GetClassObject(CLSID_Kestrix, IID_IClassFactory,
                                            reinterpret_cast<void**>(&factory))))
    return nullptr;
  IHostedControl* hosted = nullptr;
  HRESULT made =
      factory->CreateInstance(nullptr, IID_IHostedControl, reinterpret_cast<void**>(&hosted));
  factory->Release();
  if (FAILED(made)) return nullptr;
  IDispatch* dispatch = nullptr;
  if (FAILED(hosted->QueryInterface(IID_IDispatch, reinterpret_cast<void**>(&dispatch)))) {
    hosted->Release();
    return nullptr;
  }
  instance->state_->hosted = hosted;
  instance->dispatch_ = dispatch;
  return instance;
}

bool ControlInstance::Place(int width, int height) {
  State& s = *state_;
  s.Use();
  if (width < 1 || height < 1) return false;
  const CRect all(0, 0, width, height);
  if (s.form.GetSafeHwnd()) {
    s.display.GetSurface().Reset(width, height);
    s.form.MoveWindow(all);
    return SUCCEEDED(s.hosted->SetObjectRect(all));
  }
  s.display.GetSurface().Reset(width, height);
  if (!s.form.CreateEx(0, WS_VISIBLE, all, nullptr)) return false;
  return SUCCEEDED(s.hosted->CreateControlWindow(s.form.GetSafeHwnd(), all));
}

void ControlInstance::MakeCurrent() { state_->Use(); }

bool ControlInstance::Placed() const {
  HWND window = nullptr;
  return SUCCEEDED(state_->hosted->GetWindow(&window)) && window;
}

int ControlInstance::Width() const { return state_->display.GetSurface().Width(); }
int ControlInstance::Height() const { return state_->display.GetSurface().Height(); }
const uint32_t* ControlInstance::Pixels() const {
  return state_->display.GetSurface().Pixels().data();
}

ControlInstance::WindowFrame ControlInstance::Frame() const {
  const Display& display = state_->display;
  const Window* w = display.Find(state_->ControlHwnd());
  if (!w) return {};
  const POINT origin = display.ClientOriginOnSurface(w->handle);
  const CRect client = display.ClientRect(w->handle);
  return {(w->style & WS_BORDER) != 0,
          (w->exStyle & WS_EX_CLIENTEDGE) != 0,
          static_cast<int>(origin.x),
          static_cast<int>(origin.y),
          client.Width(),
          client.Height()};
}

void ControlInstance::AttachEdge(SystemEdge* edge) {
  State& s = *state_;
  if (!edge) {
    s.display.SetPlatform(nullptr);
    s.display.SetIdleHandler(nullptr);
    s.display.SetMenuChooser(nullptr);
    s.display.SetDialogRunner(nullptr);
    s.adapter.reset();
    return;
  }
  s.adapter = std::make_unique<EdgeAdapter>(*edge);
  s.display.SetPlatform(s.adapter.get());
  s.display.SetIdleHandler([edge](uint32_t timeoutMs) { return edge->FeedWaitingLoop(timeoutMs); });
  s.display.SetMenuChooser([this, edge](const std::vector<MenuItem>& items, POINT at) {
    std::vector<SystemEdge::MenuChoice> choices;
    for (const MenuItem& item : items) choices.push_back({item.id, item.text});
    // The display's screen is the surface; the edge takes the control's client coordinates.
    const WindowFrame frame = Frame();
    return static_cast<UINT>(
        edge->ChooseFromMenu(choices, at.x - frame.clientLeft, at.y - frame.clientTop));
  });
  s.display.SetDialogRunner([this, edge](CDialog& dialog) -> std::optional<intptr_t> {
    // The system builds the dialog from the module's compiled copy of the same resources. A
    // dialog class of its own would lose what it overrides there, so it stays on the display.
    if (typeid(dialog) != typeid(CDialog) || dialog.TemplateResources() != &KestrixResources())
      return std::nullopt;
    std::optional<intptr_t> result = edge->RunDialog(dialog.TemplateId());
    // The dialog's loop ran other controls, each on its own display.
    state_->Use();
    return result;
  });
}

void ControlInstance::KeyDown(int virtualKey, unsigned scanCode, bool system) {
  state_->Use().KeyDown(virtualKey, scanCode, system);
}
void ControlInstance::KeyUp(int virtualKey, unsigned scanCode, bool system) {
  state_->Use().KeyUp(virtualKey, scanCode, system);
}
void ControlInstance::Char(uint8_t codePageByte) { state_->Use().Char(codePageByte); }
// The display routes each point from the control window's client area, as it does for the
// headless host's input: to the capture, else to the window under it.
void ControlInstance::MouseMove(int x, int y) {
  state_->Use().MouseMove(state_->ControlHwnd(), x, y);
}
void ControlInstance::MouseDown(int x, int y, bool right) {
  state_->Use().MouseDown(state_->ControlHwnd(), x, y, right);
}
void ControlInstance::MouseUp(int x, int y, bool right) {
  state_->Use().MouseUp(state_->ControlHwnd(), x, y, right);
}
void ControlInstance::DoubleClickDown(int x, int y) {
  state_->Use().DoubleClickDown(state_->ControlHwnd(), x, y);
}
void ControlInstance::Wheel(int x, int y, int delta) {
  state_->Use().Wheel(state_->ControlHwnd(), x, y, delta);
}

void ControlInstance::Focus(bool gained) {
  HWND window = state_->ControlHwnd();
  state_->Use().SetFocus(gained ? window : nullptr);
}

bool ControlInstance::HasFocus() const {
  HWND window = state_->ControlHwnd();
  return window && state_->display.GetFocus() == window;
}

bool ControlInstance::OverText(int x, int y) const {
  HWND window = state_->ControlHwnd();
  if (!window) return false;
  const Display& display = state_->display;
  const POINT origin = display.ClientOriginOnSurface(window);
  const POINT at{origin.x + x, origin.y + y};
  for (HWND child : display.ChildrenOf(window))
    if (display.IsVisibleOnScreen(child) && display.WindowRectOnSurface(child).PtInRect(at))
      return false;
  return true;
}

void ControlInstance::CatchUpClock(uint64_t realMs) {
  State& s = *state_;
  s.Use();
  if (s.clockOffsetMs < 0) s.clockOffsetMs = static_cast<int64_t>(realMs - s.display.NowMs());
  const uint64_t target = realMs - static_cast<uint64_t>(s.clockOffsetMs);
  if (target > s.display.NowMs()) s.display.AdvanceClock(target - s.display.NowMs());
}

std::optional<uint64_t> ControlInstance::MsUntilNextTimer(uint64_t realMs) const {
  const State& s = *state_;
  std::optional<uint64_t> due = s.display.NextTimerDueMs();
  if (!due) return std::nullopt;
  const uint64_t now =
      s.clockOffsetMs < 0 ? s.display.NowMs() : realMs - static_cast<uint64_t>(s.clockOffsetMs);
  return *due > now ? *due - now : 0;
}

void ControlInstance::InitNew(const std::vector<NamedValue>& starting) {
  state_->Use();
  if (starting.empty()) {
    state_->hosted->InitNew();
    return;
  }
  // A load gives every value missing from the bag its default: exactly a new state, with the
  // starting values in place of their defaults, and nothing to save yet.
  PropertyBag bag;
  for (const NamedValue& value : starting) bag.Write(value.name, FromNamed(value));
  state_->hosted->Load(bag);
}

bool ControlInstance::WantsReturn() {
  state_->Use();
  auto flag = [this](DISPID member) {
    DISPPARAMS none{};
    VARIANT value;
    VariantInit(&value);
    const bool set = SUCCEEDED(static_cast<IDispatch*>(dispatch_)->Invoke(
                         member, IID_NULL, 0, DISPATCH_PROPERTYGET, &none, &value, nullptr,
                         nullptr)) &&
                     value.vt == VT_BOOL && value.boolVal;
    VariantClear(&value);
    return set;
  };
  return flag(kDispMultiLines) && flag(kDispWantReturn);
}

bool ControlInstance::IsDirty() const { return state_->hosted->IsDirty() == S_OK; }

bool ControlInstance::SaveText(bool clearDirty, std::string& text) {
  state_->Use();
  // The dirty state is cleared only once the text is made: a save that fails leaves it.
  PropertyBag bag;
  state_->hosted->Save(bag, FALSE);
  if (!SavePropertyBagToString(bag, text, nullptr)) return false;
  if (clearDirty) {
    PropertyBag again;
    state_->hosted->Save(again, TRUE);
  }
  return true;
}

bool ControlInstance::LoadText(const std::string& text, std::string* error) {
  state_->Use();
  PropertyBag bag;
  if (!LoadPropertyBagFromString(text, bag, error)) return false;
  if (SUCCEEDED(state_->hosted->Load(bag))) return true;
  if (error) *error = "a value could not be read";
  return false;
}

size_t ControlInstance::MaxTextBytes() { return PropertyFileLimits{}.maxFileBytes; }

std::vector<NamedValue> ControlInstance::SaveValues(bool clearDirty) {
  state_->Use();
  PropertyBag bag;
  state_->hosted->Save(bag, clearDirty ? TRUE : FALSE);
  std::vector<NamedValue> values;
  for (const auto& [name, value] : bag.Entries()) values.push_back(ToNamed(name, value));
  return values;
}

long ControlInstance::LoadValues(const std::vector<NamedValue>& values) {
  state_->Use();
  PropertyBag bag;
  for (const NamedValue& value : values) bag.Write(value.name, FromNamed(value));
  return state_->hosted->Load(bag);
}

long ControlInstance::Advise(void* sink, uint32_t* cookie) {
  state_->Use();
  DWORD given = 0;
  HRESULT hr = state_->hosted->Advise(static_cast<IDispatch*>(sink), &given);
  if (cookie) *cookie = given;
  return hr;
}

long ControlInstance::Unadvise(uint32_t cookie) {
  state_->Use();
  return state_->hosted->Unadvise(cookie);
}

std::vector<ClassId> ControlInstance::PropertyPages() const {
  std::vector<CLSID> pages;
  if (FAILED(state_->hosted->GetPropertyPages(&pages))) return {};
  std::vector<ClassId> ids;
  for (const CLSID& page : pages) ids.push_back(ClassIdOf(page));
  return ids;
}

long ControlInstance::DoVerb(long verb) {
  state_->Use();
  return state_->hosted->DoVerb(static_cast<LONG>(verb));
}

}  // namespace win32host
