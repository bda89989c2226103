#include "Container.h"

#include <olectl.h>

#include <map>
#include <optional>

#include "framework/ole/Unknown.h"

namespace kestrix {

void PumpMessages(DWORD ms) {
  const ULONGLONG end = GetTickCount64() + ms;
  do {
    MSG msg;
    while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
      TranslateMessage(&msg);
      DispatchMessageW(&msg);
    }
    if (GetTickCount64() >= end) break;
    MsgWaitForMultipleObjects(0, nullptr, FALSE, 5, QS_ALLINPUT);
  } while (GetTickCount64() < end);
}

// The container's side of the control: client site, in-place site and frame, control site.
// It lives as long as its container: its references are not counted.
class Container::Site final
    : public kestrix::com::Object<
          kestrix::com::Uncounted, kestrix::com::Answer<IOleClientSite, IID_IUnknown, IID_IOleClientSite>,
          kestrix::com::Answer<IOleInPlaceSite, IID_IOleWindow, IID_IOleInPlaceSite>,
          kestrix::com::Answer<IOleInPlaceFrame, IID_IOleInPlaceFrame, IID_IOleInPlaceUIWindow>,
          kestrix::com::Answer<IOleControlSite, IID_IOleControlSite>,
          kestrix::com::Answer<IDispatch, IID_IDispatch>> {
 public:
  Site(HWND form, const RECT* placement) : form_(form) {
    if (placement) placement_ = *placement;
  }
  ~Site() {
    for (auto& [dispid, value] : ambient) VariantClear(&value);
  }
  int focusNotices = 0;
  int controlInfoNotices = 0;
  std::map<DISPID, VARIANT> ambient;

  // IDispatch: the ambient properties offered.
  HRESULT STDMETHODCALLTYPE GetTypeInfoCount(UINT* count) override {
    *count = 0;
    return S_OK;
  }
  HRESULT STDMETHODCALLTYPE GetTypeInfo(UINT, LCID, ITypeInfo**) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE GetIDsOfNames(REFIID, LPOLESTR*, UINT, LCID, DISPID*) override {
    return E_NOTIMPL;
  }
  HRESULT STDMETHODCALLTYPE Invoke(DISPID member, REFIID, LCID, WORD flags, DISPPARAMS*,
                                   VARIANT* result, EXCEPINFO*, UINT*) override {
    auto found = ambient.find(member);
    if (found == ambient.end() || !(flags & DISPATCH_PROPERTYGET)) return DISP_E_MEMBERNOTFOUND;
    if (!result) return E_POINTER;
    VariantInit(result);
    return VariantCopy(result, &found->second);
  }

  // IOleClientSite
  HRESULT STDMETHODCALLTYPE SaveObject() override { return S_OK; }
  HRESULT STDMETHODCALLTYPE GetMoniker(DWORD, DWORD, IMoniker** moniker) override {
    *moniker = nullptr;
    return E_NOTIMPL;
  }
  HRESULT STDMETHODCALLTYPE GetContainer(IOleContainer** container) override {
    *container = nullptr;
    return E_NOINTERFACE;
  }
  HRESULT STDMETHODCALLTYPE ShowObject() override { return S_OK; }
  HRESULT STDMETHODCALLTYPE OnShowWindow(BOOL) override { return S_OK; }
  HRESULT STDMETHODCALLTYPE RequestNewObjectLayout() override { return E_NOTIMPL; }

  // IOleWindow
  HRESULT STDMETHODCALLTYPE GetWindow(HWND* window) override {
    *window = form_;
    return S_OK;
  }
  HRESULT STDMETHODCALLTYPE ContextSensitiveHelp(BOOL) override { return E_NOTIMPL; }

  // IOleInPlaceSite
  HRESULT STDMETHODCALLTYPE CanInPlaceActivate() override { return S_OK; }
  HRESULT STDMETHODCALLTYPE OnInPlaceActivate() override { return S_OK; }
  HRESULT STDMETHODCALLTYPE OnUIActivate() override { return S_OK; }
  HRESULT STDMETHODCALLTYPE GetWindowContext(IOleInPlaceFrame** frame,
                                             IOleInPlaceUIWindow** document, LPRECT pos,
                                             LPRECT clip, LPOLEINPLACEFRAMEINFO info) override {
    *frame = this;
    *document = nullptr;
    // The form's client area as it is now, unless the control has a place of its own.
    if (placement_)
      *pos = *placement_;
    else
      GetClientRect(form_, pos);
    *clip = *pos;
    info->fMDIApp = FALSE;
    info->hwndFrame = form_;
    info->haccel = nullptr;
    info->cAccelEntries = 0;
    return S_OK;
  }
  HRESULT STDMETHODCALLTYPE Scroll(SIZE) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE OnUIDeactivate(BOOL) override { return S_OK; }
  HRESULT STDMETHODCALLTYPE OnInPlaceDeactivate() override { return S_OK; }
  HRESULT STDMETHODCALLTYPE DiscardUndoState() override { return S_OK; }
  HRESULT STDMETHODCALLTYPE DeactivateAndUndo() override { return S_OK; }
  HRESULT STDMETHODCALLTYPE OnPosRectChange(LPCRECT) override { return S_OK; }

  // IOleInPlaceUIWindow, IOleInPlaceFrame
  HRESULT STDMETHODCALLTYPE GetBorder(LPRECT) override { return INPLACE_E_NOTOOLSPACE; }
  HRESULT STDMETHODCALLTYPE RequestBorderSpace(LPCBORDERWIDTHS) override {
    return INPLACE_E_NOTOOLSPACE;
  }
  HRESULT STDMETHODCALLTYPE SetBorderSpace(LPCBORDERWIDTHS) override { return S_OK; }
  HRESULT STDMETHODCALLTYPE SetActiveObject(IOleInPlaceActiveObject*, LPCOLESTR) override {
    return S_OK;
  }
  HRESULT STDMETHODCALLTYPE InsertMenus(HMENU, LPOLEMENUGROUPWIDTHS) override { return S_OK; }
  HRESULT STDMETHODCALLTYPE SetMenu(HMENU, HOLEMENU, HWND) override { return S_OK; }
  HRESULT STDMETHODCALLTYPE RemoveMenus(HMENU) override { return S_OK; }
  HRESULT STDMETHODCALLTYPE SetStatusText(LPCOLESTR) override { return S_OK; }
  HRESULT STDMETHODCALLTYPE EnableModeless(BOOL) override { return S_OK; }
  HRESULT STDMETHODCALLTYPE TranslateAccelerator(LPMSG, WORD) override { return S_FALSE; }

  // IOleControlSite
  HRESULT STDMETHODCALLTYPE OnControlInfoChanged() override {
    ++controlInfoNotices;
    return S_OK;
  }
  HRESULT STDMETHODCALLTYPE LockInPlaceActive(BOOL) override { return S_OK; }
  HRESULT STDMETHODCALLTYPE GetExtendedControl(IDispatch** control) override {
    *control = nullptr;
    return E_NOTIMPL;
  }
  HRESULT STDMETHODCALLTYPE TransformCoords(POINTL*, POINTF*, DWORD) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE TranslateAccelerator(MSG*, DWORD) override { return S_FALSE; }
  HRESULT STDMETHODCALLTYPE OnFocus(BOOL) override {
    ++focusNotices;
    return S_OK;
  }
  HRESULT STDMETHODCALLTYPE ShowPropertyFrame() override { return E_NOTIMPL; }

 private:
  HWND form_;
  std::optional<RECT> placement_;
};

const wchar_t* FormClass() {
  static const ATOM registered = [] {
    WNDCLASSW wc{};
    wc.lpfnWndProc = DefWindowProcW;
    wc.hInstance = GetModuleHandleW(nullptr);
    wc.hbrBackground = static_cast<HBRUSH>(GetStockObject(GRAY_BRUSH));
    wc.lpszClassName = L"KestrixTestForm";
    return RegisterClassW(&wc);
  }();
  return registered ? L"KestrixTestForm" : nullptr;
}

namespace {

// One form for the whole run: without a window manager (under Xvfb) the system waits seconds
// for a top-level window to go, so each test places its control in the same form.
HWND SharedForm() {
  static const HWND form = [] {
    RECT frame{0, 0, Container::kWidth, Container::kHeight};
    AdjustWindowRect(&frame, WS_OVERLAPPEDWINDOW, FALSE);
    return CreateWindowW(FormClass(), L"Kestrix test container",
                         WS_OVERLAPPEDWINDOW | WS_CLIPCHILDREN | WS_VISIBLE, 40, 40,
                         frame.right - frame.left, frame.bottom - frame.top, nullptr, nullptr,
                         GetModuleHandleW(nullptr), nullptr);
  }();
  return form;
}

}  // namespace

Container::Container() : Container(SharedForm()) {}

Container::Container(const RECT& placement) : form_(SharedForm()) {
  site_ = new Site(form_, &placement);
  SetForegroundWindow(form_);
  PumpMessages();
}

Container::Container(HWND form) : form_(form) {
  site_ = new Site(form_, nullptr);
  SetForegroundWindow(form_);
  PumpMessages();
}

Container::~Container() {
  Destroy();
  delete site_;
  PumpMessages(10);
}

HRESULT Container::Create(const wchar_t* progId, IStream* saved) {
  CLSID clsid{};
  HRESULT hr = CLSIDFromProgID(progId, &clsid);
  if (FAILED(hr)) return hr;
  IUnknown* made = nullptr;
  hr = CoCreateInstance(clsid, nullptr, CLSCTX_INPROC_SERVER, IID_IUnknown,
                        reinterpret_cast<void**>(&made));
  if (FAILED(hr)) return hr;
  hr = Place(made, saved);
  made->Release();
  return hr;
}

HRESULT Container::Place(IUnknown* made, IStream* saved) {
  made->AddRef();
  control_ = made;
  HRESULT hr = control_->QueryInterface(IID_IOleObject, reinterpret_cast<void**>(&oleObject_));
  if (FAILED(hr)) return hr;
  // The control asks for its site first (its status says so), then gets its state.
  hr = oleObject_->SetClientSite(static_cast<IOleClientSite*>(site_));
  if (FAILED(hr)) return hr;
  IPersistStreamInit* persist = nullptr;
  hr = control_->QueryInterface(IID_IPersistStreamInit, reinterpret_cast<void**>(&persist));
  if (FAILED(hr)) return hr;
  hr = saved ? persist->Load(saved) : persist->InitNew();
  persist->Release();
  if (FAILED(hr)) return hr;
  hr = control_->QueryInterface(IID_IDispatch, reinterpret_cast<void**>(&dispatch_));
  if (FAILED(hr)) return hr;
  RECT pos{}, clip{};
  OLEINPLACEFRAMEINFO frame{};
  IOleInPlaceFrame* frameObject = nullptr;
  IOleInPlaceUIWindow* document = nullptr;
  site_->GetWindowContext(&frameObject, &document, &pos, &clip, &frame);
  hr = oleObject_->DoVerb(OLEIVERB_INPLACEACTIVATE, nullptr, static_cast<IOleClientSite*>(site_), 0,
                          form_, &pos);
  PumpMessages();
  return hr;
}

void Container::Destroy() {
  if (oleObject_) {
    oleObject_->Close(OLECLOSE_NOSAVE);
    oleObject_->SetClientSite(nullptr);
    oleObject_->Release();
    oleObject_ = nullptr;
  }
  if (dispatch_) dispatch_->Release();
  dispatch_ = nullptr;
  if (control_) control_->Release();
  control_ = nullptr;
}

HWND Container::ControlWindow() const {
  if (!control_) return nullptr;
  IOleInPlaceObject* inPlace = nullptr;
  if (FAILED(control_->QueryInterface(IID_IOleInPlaceObject, reinterpret_cast<void**>(&inPlace))))
    return nullptr;
  HWND window = nullptr;
  inPlace->GetWindow(&window);
  inPlace->Release();
  return window;
}

int Container::FocusNotices() const { return site_->focusNotices; }
int Container::ControlInfoNotices() const { return site_->controlInfoNotices; }

void Container::SetAmbient(DISPID dispid, VARIANT value) {
  VARIANT& held = site_->ambient[dispid];
  VariantClear(&held);
  held = value;
}

void Container::ChangeAmbient(DISPID dispid, VARIANT value) {
  SetAmbient(dispid, value);
  IOleControl* control = nullptr;
  if (control_ &&
      SUCCEEDED(control_->QueryInterface(IID_IOleControl, reinterpret_cast<void**>(&control)))) {
    control->OnAmbientPropertyChange(dispid);
    control->Release();
  }
  PumpMessages();
}

}  // namespace kestrix
