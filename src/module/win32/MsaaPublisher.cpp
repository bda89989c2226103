#include "module/win32/MsaaPublisher.h"

// After the basic types.
#include <oleacc.h>

#include "framework/ole/Unknown.h"

namespace win32host {

namespace {

using Link = MsaaPublisher::Link;

HRESULT GiveText(const std::u16string& text, BSTR* out) {
  *out = SysAllocStringLen(reinterpret_cast<const OLECHAR*>(text.data()), static_cast<UINT>(text.size()));
  return *out ? S_OK : E_OUTOFMEMORY;
}

HRESULT GiveNothing(VARIANT* out) {
  VariantInit(out);
  return S_FALSE;
}

HRESULT GiveSelf(VARIANT* out) {
  VariantInit(out);
  out->vt = VT_I4;
  out->lVal = CHILDID_SELF;
  return S_OK;
}

RECT ScreenRect(HWND window, const AccessibleFace::Box& box) {
  POINT origin{0, 0};
  ClientToScreen(window, &origin);
  return RECT{origin.x + box.x, origin.y + box.y, origin.x + box.x + box.width,
              origin.y + box.y + box.height};
}

// One object of the window with no children: the members every kind answers alike, and the
// checks every member makes (the window still there, the child asked for is the object itself).
class AccessibleObject
    : public kestrix::com::Object<kestrix::com::Counted,
                                  kestrix::com::Answer<IAccessible, IID_IUnknown, IID_IDispatch, IID_IAccessible>> {
 public:
  explicit AccessibleObject(std::shared_ptr<Link> link) : link_(std::move(link)) {}

  // IDispatch: clients call the members directly; there is no type information to give.
  HRESULT STDMETHODCALLTYPE GetTypeInfoCount(UINT* count) override {
    if (!count) return E_POINTER;
    *count = 0;
    return S_OK;
  }
  HRESULT STDMETHODCALLTYPE GetTypeInfo(UINT, LCID, ITypeInfo** info) override {
    if (info) *info = nullptr;
    return E_NOTIMPL;
  }
  HRESULT STDMETHODCALLTYPE GetIDsOfNames(REFIID, LPOLESTR*, UINT, LCID, DISPID*) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE Invoke(DISPID, REFIID, LCID, WORD, DISPPARAMS*, VARIANT*, EXCEPINFO*,
                                   UINT*) override {
    return E_NOTIMPL;
  }

  // IAccessible
  HRESULT STDMETHODCALLTYPE get_accParent(IDispatch** parent) override {
    if (!parent) return E_POINTER;
    *parent = nullptr;
    if (!link_->face) return RPC_E_DISCONNECTED;
    return CreateStdAccessibleObject(link_->window, OBJID_WINDOW, IID_IDispatch, reinterpret_cast<void**>(parent));
  }
  HRESULT STDMETHODCALLTYPE get_accChildCount(long* count) override {
    if (!count) return E_POINTER;
    *count = 0;
    return link_->face ? S_OK : RPC_E_DISCONNECTED;
  }
  HRESULT STDMETHODCALLTYPE get_accChild(VARIANT, IDispatch** child) override {
    if (!child) return E_POINTER;
    *child = nullptr;
    return E_INVALIDARG;
  }
  HRESULT STDMETHODCALLTYPE get_accName(VARIANT child, BSTR* name) override {
    if (!name) return E_POINTER;
    *name = nullptr;
    if (const HRESULT bad = Check(child)) return bad;
    return Name(name);
  }
  HRESULT STDMETHODCALLTYPE get_accValue(VARIANT child, BSTR* value) override {
    if (!value) return E_POINTER;
    *value = nullptr;
    if (const HRESULT bad = Check(child)) return bad;
    return Value(value);
  }
  HRESULT STDMETHODCALLTYPE get_accDescription(VARIANT child, BSTR* description) override {
    return NoText(child, description);
  }
  HRESULT STDMETHODCALLTYPE get_accRole(VARIANT child, VARIANT* role) override {
    if (!role) return E_POINTER;
    VariantInit(role);
    if (const HRESULT bad = Check(child)) return bad;
    role->vt = VT_I4;
    role->lVal = Role();
    return S_OK;
  }
  HRESULT STDMETHODCALLTYPE get_accState(VARIANT child, VARIANT* state) override {
    if (!state) return E_POINTER;
    VariantInit(state);
    if (const HRESULT bad = Check(child)) return bad;
    state->vt = VT_I4;
    state->lVal = State() | (IsWindowVisible(link_->window) ? 0 : STATE_SYSTEM_INVISIBLE);
    return S_OK;
  }
  HRESULT STDMETHODCALLTYPE get_accHelp(VARIANT child, BSTR* help) override { return NoText(child, help); }
  HRESULT STDMETHODCALLTYPE get_accHelpTopic(BSTR* file, VARIANT child, long* topic) override {
    if (!file || !topic) return E_POINTER;
    *file = nullptr;
    *topic = 0;
    if (const HRESULT bad = Check(child)) return bad;
    return S_FALSE;
  }
  HRESULT STDMETHODCALLTYPE get_accKeyboardShortcut(VARIANT child, BSTR* shortcut) override {
    return NoText(child, shortcut);
  }
  HRESULT STDMETHODCALLTYPE get_accFocus(VARIANT* focus) override {
    if (!focus) return E_POINTER;
    VariantInit(focus);
    if (!link_->face) return RPC_E_DISCONNECTED;
    return Focused() ? GiveSelf(focus) : S_FALSE;
  }
  HRESULT STDMETHODCALLTYPE get_accSelection(VARIANT* selected) override {
    if (!selected) return E_POINTER;
    return GiveNothing(selected);
  }
  HRESULT STDMETHODCALLTYPE get_accDefaultAction(VARIANT child, BSTR* action) override {
    return NoText(child, action);
  }
  HRESULT STDMETHODCALLTYPE accSelect(long flags, VARIANT child) override {
    if (const HRESULT bad = Check(child)) return bad;
    if (flags != SELFLAG_TAKEFOCUS) return DISP_E_MEMBERNOTFOUND;
    SetFocus(link_->window);
    return S_OK;
  }
  HRESULT STDMETHODCALLTYPE accLocation(long* left, long* top, long* width, long* height, VARIANT child) override {
    if (!left || !top || !width || !height) return E_POINTER;
    *left = *top = *width = *height = 0;
    if (const HRESULT bad = Check(child)) return bad;
    const RECT r = Location();
    *left = r.left;
    *top = r.top;
    *width = r.right - r.left;
    *height = r.bottom - r.top;
    return S_OK;
  }
  HRESULT STDMETHODCALLTYPE accNavigate(long, VARIANT start, VARIANT* end) override {
    if (!end) return E_POINTER;
    VariantInit(end);
    if (const HRESULT bad = Check(start)) return bad;
    return S_FALSE;  // no children, and the siblings are the window's to tell
  }
  HRESULT STDMETHODCALLTYPE accHitTest(long x, long y, VARIANT* found) override {
    if (!found) return E_POINTER;
    VariantInit(found);
    if (!link_->face) return RPC_E_DISCONNECTED;
    const RECT r = Location();
    return PtInRect(&r, POINT{x, y}) ? GiveSelf(found) : S_FALSE;
  }
  HRESULT STDMETHODCALLTYPE accDoDefaultAction(VARIANT child) override {
    if (const HRESULT bad = Check(child)) return bad;
    return DISP_E_MEMBERNOTFOUND;
  }
  HRESULT STDMETHODCALLTYPE put_accName(VARIANT, BSTR) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE put_accValue(VARIANT child, BSTR value) override {
    if (const HRESULT bad = Check(child)) return bad;
    return PutValue(value);
  }

 protected:
  virtual long Role() = 0;
  virtual long State() = 0;
  virtual RECT Location() = 0;  // on the screen
  virtual HRESULT Name(BSTR*) { return S_FALSE; }
  virtual HRESULT Value(BSTR*) { return DISP_E_MEMBERNOTFOUND; }
  virtual HRESULT PutValue(BSTR) { return DISP_E_MEMBERNOTFOUND; }
  virtual bool Focused() { return false; }

  AccessibleFace& Face() { return *link_->face; }
  void Changed() {
    if (link_->changed) link_->changed();
  }
  HWND Window() const { return link_->window; }

 private:
  // 0 when the object may answer for child; else why not.
  HRESULT Check(const VARIANT& child) const {
    if (!link_->face) return RPC_E_DISCONNECTED;
    return child.vt == VT_I4 && child.lVal == CHILDID_SELF ? S_OK : E_INVALIDARG;
  }
  HRESULT NoText(const VARIANT& child, BSTR* text) {
    if (!text) return E_POINTER;
    *text = nullptr;
    if (const HRESULT bad = Check(child)) return bad;
    return S_FALSE;
  }

  std::shared_ptr<Link> link_;
};

// The text: its value is the whole text (masking characters for a password), its place the
// control's window.
class TextObject final : public AccessibleObject {
 public:
  using AccessibleObject::AccessibleObject;

 protected:
  long Role() override { return ROLE_SYSTEM_TEXT; }
  long State() override {
    const AccessibleFace::States s = Face().CurrentStates();
    return STATE_SYSTEM_FOCUSABLE | (s.focused ? STATE_SYSTEM_FOCUSED : 0) |
           (s.readOnly ? STATE_SYSTEM_READONLY : 0) | (s.protectedText ? STATE_SYSTEM_PROTECTED : 0);
  }
  RECT Location() override {
    RECT r{};
    GetWindowRect(Window(), &r);
    return r;
  }
  HRESULT Name(BSTR* name) override {
    const std::u16string given = Face().Name();
    return given.empty() ? S_FALSE : GiveText(given, name);
  }
  HRESULT Value(BSTR* value) override { return GiveText(Face().Text(), value); }
  HRESULT PutValue(BSTR value) override {
    if (Face().CurrentStates().readOnly) return E_ACCESSDENIED;
    const std::u16string text(reinterpret_cast<const char16_t*>(value ? value : L""), value ? SysStringLen(value) : 0);
    if (!Face().SetContents(text)) return E_FAIL;
    Changed();
    return S_OK;
  }
  bool Focused() override { return Face().CurrentStates().focused; }
};

// The caret: where it stands on the screen, invisible while it is not drawn.
class CaretObject final : public AccessibleObject {
 public:
  using AccessibleObject::AccessibleObject;

 protected:
  long Role() override { return ROLE_SYSTEM_CARET; }
  long State() override {
    return Face().CurrentStates().focused && !Face().HasSelection() ? 0 : STATE_SYSTEM_INVISIBLE;
  }
  RECT Location() override { return ScreenRect(Window(), Face().CaretBox()); }
};

}  // namespace

MsaaPublisher::MsaaPublisher(HWND window, std::unique_ptr<AccessibleFace> face, std::function<void()> changed)
    : link_(std::make_shared<Link>(Link{window, face.get(), std::move(changed)})), face_(std::move(face)) {}

MsaaPublisher::~MsaaPublisher() {
  *link_ = Link{};
  if (text_) text_->Release();
  if (caret_) caret_->Release();
}

std::optional<LRESULT> MsaaPublisher::GetObject(WPARAM flags, LPARAM objectId) {
  // The identifier is a 32-bit value, whatever the width of the parameter that carries it.
  const auto id = static_cast<LONG>(static_cast<DWORD>(objectId));
  IUnknown** object = id == OBJID_CLIENT ? &text_ : id == OBJID_CARET ? &caret_ : nullptr;
  if (!object) return std::nullopt;
  if (!*object) {
    if (id == OBJID_CLIENT)
      *object = static_cast<IAccessible*>(new TextObject(link_));
    else
      *object = static_cast<IAccessible*>(new CaretObject(link_));
  }
  return LresultFromObject(IID_IAccessible, flags, *object);
}

void MsaaPublisher::SetName(const std::u16string& name) {
  if (name == face_->Name()) return;
  face_->SetName(name);
  NotifyWinEvent(EVENT_OBJECT_NAMECHANGE, link_->window, OBJID_CLIENT, CHILDID_SELF);
}

void MsaaPublisher::Update() {
  // Comparing the control with what was told costs a copy of the text: only while a hook
  // listens. Listening again starts from the control as it is then.
  const bool heard = IsWinEventHookInstalled(EVENT_OBJECT_VALUECHANGE) ||
                     IsWinEventHookInstalled(EVENT_OBJECT_LOCATIONCHANGE) ||
                     IsWinEventHookInstalled(EVENT_OBJECT_FOCUS);
  if (heard != listening_) {
    listening_ = heard;
    face_->SetListener(heard ? this : nullptr);
    return;
  }
  if (heard) face_->Update();
}

// The focused state among them. The focus event itself is the system's: the window taking the
// focus raises it for its client object, which is the text; raising it again would have readers
// announce the field twice.
void MsaaPublisher::StatesChanged() {
  NotifyWinEvent(EVENT_OBJECT_STATECHANGE, link_->window, OBJID_CLIENT, CHILDID_SELF);
}

void MsaaPublisher::TextChanged() {
  NotifyWinEvent(EVENT_OBJECT_VALUECHANGE, link_->window, OBJID_CLIENT, CHILDID_SELF);
}

void MsaaPublisher::SelectionChanged() {
  // The older event that selection within an object changed, and the one for text.
  NotifyWinEvent(EVENT_OBJECT_SELECTIONWITHIN, link_->window, OBJID_CLIENT, CHILDID_SELF);
  NotifyWinEvent(EVENT_OBJECT_TEXTSELECTIONCHANGED, link_->window, OBJID_CLIENT, CHILDID_SELF);
}

void MsaaPublisher::CaretMoved() {
  NotifyWinEvent(EVENT_OBJECT_LOCATIONCHANGE, link_->window, OBJID_CARET, CHILDID_SELF);
}

}  // namespace win32host
