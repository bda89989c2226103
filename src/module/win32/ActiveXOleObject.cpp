// The control in its container: client site, in-place activation with its real window,
// extents, drawing for a container that shows it inactive, and the control site's notices.
#include <algorithm>
#include <vector>

#include "KestrixIdl.h"
#include "module/win32/ActiveXControl.h"
#include "module/win32/ControlWindow.h"
#include "module/win32/ModuleBridge.h"
#include "module/win32/VerbEnumerator.h"

namespace win32host {
namespace {

// OLEMISC_RECOMPOSEONRESIZE | OLEMISC_CANTLINKINSIDE | OLEMISC_INSIDEOUT |
// OLEMISC_ACTIVATEWHENVISIBLE | OLEMISC_SETCLIENTSITEFIRST
constexpr DWORD kMiscStatus = 0x20191;

constexpr LONG kHimetricPerInch = 2540;

// The modifier flags IOleControlSite::TranslateAccelerator takes.
constexpr DWORD kModShift = 0x1, kModControl = 0x2, kModAlt = 0x4;

LONG PixelsFromHimetric(LONG himetric, int pixelsPerInch) {
  return MulDiv(himetric, pixelsPerInch, kHimetricPerInch);
}
LONG HimetricFromPixels(LONG pixels, int pixelsPerInch) {
  return MulDiv(pixels, kHimetricPerInch, pixelsPerInch);
}

}  // namespace

HRESULT ActiveXControl::SetClientSite(IOleClientSite* site) {
  if (site) site->AddRef();
  if (site_) site_->Release();
  site_ = site;
  if (site_) FollowUserMode();
  return S_OK;
}

VARIANT ActiveXControl::Ambient(DISPID dispid) {
  VARIANT value;
  VariantInit(&value);
  IDispatch* ambient = nullptr;
  if (!site_ ||
      FAILED(site_->QueryInterface(IID_IDispatch, reinterpret_cast<void**>(&ambient))))
    return value;
  DISPPARAMS none{};
  if (FAILED(ambient->Invoke(dispid, IID_NULL, LOCALE_USER_DEFAULT, DISPATCH_PROPERTYGET, &none,
                             &value, nullptr, nullptr)))
    VariantClear(&value);
  ambient->Release();
  return value;
}

void ActiveXControl::FollowUserMode() {
  VARIANT value = Ambient(DISPID_AMBIENT_USERMODE);
  // A container that says nothing runs its controls.
  userMode_ = value.vt == VT_EMPTY || FAILED(VariantChangeType(&value, &value, 0, VT_BOOL)) ||
              value.boolVal != VARIANT_FALSE;
  VariantClear(&value);
  if (window_) window_->SetDesignMode(!userMode_);
  NoteControlInfo();
}

void ActiveXControl::FollowDisplayName() {
  if (!window_) return;
  VARIANT value = Ambient(DISPID_AMBIENT_DISPLAYNAME);
  std::u16string name;
  if (value.vt == VT_BSTR && value.bstrVal)
    name.assign(reinterpret_cast<const char16_t*>(value.bstrVal), SysStringLen(value.bstrVal));
  VariantClear(&value);
  window_->SetAccessibleName(name);
}

bool ActiveXControl::EatsReturn() { return userMode_ && instance_->WantsReturn(); }

void ActiveXControl::NoteControlInfo() {
  const bool eats = EatsReturn();
  if (eats == eatsReturn_) return;
  eatsReturn_ = eats;
  IOleControlSite* controlSite = nullptr;
  if (site_ && SUCCEEDED(site_->QueryInterface(IID_IOleControlSite,
                                               reinterpret_cast<void**>(&controlSite)))) {
    controlSite->OnControlInfoChanged();
    controlSite->Release();
  }
}

HRESULT ActiveXControl::GetClientSite(IOleClientSite** site) {
  if (!site) return E_POINTER;
  *site = site_;
  if (site_) site_->AddRef();
  return S_OK;
}

HRESULT ActiveXControl::SetHostNames(LPCOLESTR, LPCOLESTR) { return S_OK; }

HRESULT ActiveXControl::Close(DWORD) {
  InPlaceDeactivate();
  return S_OK;
}

HRESULT ActiveXControl::SetMoniker(DWORD, IMoniker*) { return E_NOTIMPL; }
HRESULT ActiveXControl::GetMoniker(DWORD, DWORD, IMoniker** moniker) {
  if (moniker) *moniker = nullptr;
  return E_NOTIMPL;
}
HRESULT ActiveXControl::InitFromData(IDataObject*, BOOL, DWORD) { return E_NOTIMPL; }
HRESULT ActiveXControl::GetClipboardData(DWORD, IDataObject** data) {
  if (data) *data = nullptr;
  return E_NOTIMPL;
}

HRESULT ActiveXControl::DoVerb(LONG verb, LPMSG, IOleClientSite* activeSite, LONG, HWND parent,
                               LPCRECT) {
  IOleClientSite* site = activeSite ? activeSite : site_;
  switch (verb) {
    case OLEIVERB_PROPERTIES:
      return ShowProperties(parent);
    case OLEIVERB_PRIMARY:
    case OLEIVERB_SHOW:
    case OLEIVERB_UIACTIVATE:
      return ActivateInPlace(site, true);
    case OLEIVERB_INPLACEACTIVATE:
      return ActivateInPlace(site, false);
    case OLEIVERB_HIDE:
      if (window_) ShowWindow(window_->Handle(), SW_HIDE);
      return S_OK;
    default:
      return verb < 0 ? E_NOTIMPL : OLEOBJ_S_INVALIDVERB;
  }
}

HRESULT ActiveXControl::ActivateInPlace(IOleClientSite* site, bool uiActivate) {
  if (!site) return E_INVALIDARG;
  if (!inPlaceSite_) {
    IOleInPlaceSite* inPlace = nullptr;
    if (FAILED(site->QueryInterface(IID_IOleInPlaceSite, reinterpret_cast<void**>(&inPlace))))
      return E_NOINTERFACE;
    if (inPlace->CanInPlaceActivate() != S_OK) {
      inPlace->Release();
      return E_FAIL;
    }
    inPlaceSite_ = inPlace;
    inPlaceSite_->OnInPlaceActivate();
  }
  if (!window_) {
    HWND parent = nullptr;
    if (FAILED(inPlaceSite_->GetWindow(&parent))) return E_FAIL;
    IOleInPlaceUIWindow* document = nullptr;
    RECT pos{}, clip{};
    OLEINPLACEFRAMEINFO frameInfo{};
    frameInfo.cb = sizeof frameInfo;
    if (frame_) {
      frame_->Release();
      frame_ = nullptr;
    }
    if (FAILED(inPlaceSite_->GetWindowContext(&frame_, &document, &pos, &clip, &frameInfo)))
      return E_FAIL;
    if (document) document->Release();
    auto window = std::make_unique<ControlWindow>(*instance_, parent, pos);
    if (!window->Handle()) return E_FAIL;
    window->SetFocusHook([this](bool gained) {
      IOleControlSite* controlSite = nullptr;
      if (site_ && SUCCEEDED(site_->QueryInterface(IID_IOleControlSite,
                                                   reinterpret_cast<void**>(&controlSite)))) {
        controlSite->OnFocus(gained);
        controlSite->Release();
      }
      if (gained && !uiActive_ && userMode_) ActivateInPlace(site_, true);
    });
    window->SetDesignMode(!userMode_);
    window_ = std::move(window);
    FollowDisplayName();
    SIZEL pixels{pos.right - pos.left, pos.bottom - pos.top};
    HDC screen = GetDC(nullptr);
    extent_ = {HimetricFromPixels(pixels.cx, GetDeviceCaps(screen, LOGPIXELSX)),
               HimetricFromPixels(pixels.cy, GetDeviceCaps(screen, LOGPIXELSY))};
    ReleaseDC(nullptr, screen);
  }
  ShowWindow(window_->Handle(), SW_SHOW);
  if (uiActivate && !uiActive_) {
    uiActive_ = true;
    inPlaceSite_->OnUIActivate();
    if (GetFocus() != window_->Handle()) SetFocus(window_->Handle());
    if (frame_) frame_->SetActiveObject(this, nullptr);
  }
  return S_OK;
}

HRESULT ActiveXControl::InPlaceDeactivate() {
  if (!inPlaceSite_) return S_OK;
  UIDeactivate();
  window_.reset();
  inPlaceSite_->OnInPlaceDeactivate();
  inPlaceSite_->Release();
  inPlaceSite_ = nullptr;
  return S_OK;
}

HRESULT ActiveXControl::UIDeactivate() {
  if (!uiActive_) return S_OK;
  uiActive_ = false;
  if (frame_) frame_->SetActiveObject(nullptr, nullptr);
  if (inPlaceSite_) inPlaceSite_->OnUIDeactivate(FALSE);
  return S_OK;
}

HRESULT ActiveXControl::SetObjectRects(LPCRECT pos, LPCRECT) {
  if (!pos) return E_POINTER;
  if (window_) window_->Move(*pos);
  return S_OK;
}

HRESULT ActiveXControl::GetWindow(HWND* window) {
  if (!window) return E_POINTER;
  *window = window_ ? window_->Handle() : nullptr;
  return *window ? S_OK : E_FAIL;
}

HRESULT ActiveXControl::ContextSensitiveHelp(BOOL) { return E_NOTIMPL; }
HRESULT ActiveXControl::ReactivateAndUndo() { return E_NOTIMPL; }
// The container offers each key first to the active control: the keys the control wants go
// straight to its window, before the container's accelerators or dialog handling can take
// them; the others (Tab, Escape, Return it does not act on, system keys) go to the control
// site, and back to the container's own handling when the site leaves them.
HRESULT ActiveXControl::TranslateAccelerator(LPMSG msg) {
  if (!msg) return E_POINTER;
  if (!window_ || msg->hwnd != window_->Handle() || msg->message < WM_KEYFIRST ||
      msg->message > WM_KEYLAST)
    return S_FALSE;
  if (window_->WantsKey(*msg)) {
    TranslateMessage(msg);
    DispatchMessageW(msg);
    return S_OK;
  }
  IOleControlSite* controlSite = nullptr;
  if (!site_ || FAILED(site_->QueryInterface(IID_IOleControlSite,
                                             reinterpret_cast<void**>(&controlSite))))
    return S_FALSE;
  DWORD modifiers = 0;
  if (GetKeyState(VK_SHIFT) < 0) modifiers |= kModShift;
  if (GetKeyState(VK_CONTROL) < 0) modifiers |= kModControl;
  if (GetKeyState(VK_MENU) < 0) modifiers |= kModAlt;
  const HRESULT hr = controlSite->TranslateAccelerator(msg, modifiers);
  controlSite->Release();
  return hr == S_OK ? S_OK : S_FALSE;
}
HRESULT ActiveXControl::OnFrameWindowActivate(BOOL) { return S_OK; }
HRESULT ActiveXControl::OnDocWindowActivate(BOOL) { return S_OK; }
HRESULT ActiveXControl::ResizeBorder(LPCRECT, IOleInPlaceUIWindow*, BOOL) { return S_OK; }
HRESULT ActiveXControl::EnableModeless(BOOL) { return S_OK; }

HRESULT ActiveXControl::EnumVerbs(IEnumOLEVERB** verbs) { return EnumerateVerbs(verbs); }
HRESULT ActiveXControl::Update() { return S_OK; }
HRESULT ActiveXControl::IsUpToDate() { return S_OK; }

HRESULT ActiveXControl::GetUserClassID(CLSID* clsid) { return GetClassID(clsid); }

HRESULT ActiveXControl::GetUserType(DWORD form, LPOLESTR* name) {
  return OleRegGetUserType(CLSID_Kestrix, form, name);
}

HRESULT ActiveXControl::SetExtent(DWORD aspect, SIZEL* size) {
  if (!size) return E_POINTER;
  if (aspect != DVASPECT_CONTENT) return DV_E_DVASPECT;
  extent_ = *size;
  return S_OK;
}

HRESULT ActiveXControl::GetExtent(DWORD aspect, SIZEL* size) {
  if (!size) return E_POINTER;
  if (aspect != DVASPECT_CONTENT) return DV_E_DVASPECT;
  *size = extent_;
  return S_OK;
}

HRESULT ActiveXControl::GetExtent(DWORD aspect, LONG, DVTARGETDEVICE*, LPSIZEL size) {
  return GetExtent(aspect, size);
}

HRESULT ActiveXControl::Advise(IAdviseSink* sink, DWORD* connection) {
  if (!oleAdvise_ && FAILED(CreateOleAdviseHolder(&oleAdvise_))) return E_OUTOFMEMORY;
  return oleAdvise_->Advise(sink, connection);
}

HRESULT ActiveXControl::Unadvise(DWORD connection) {
  return oleAdvise_ ? oleAdvise_->Unadvise(connection) : OLE_E_NOCONNECTION;
}

HRESULT ActiveXControl::EnumAdvise(IEnumSTATDATA** advise) {
  if (!advise) return E_POINTER;
  *advise = nullptr;
  return oleAdvise_ ? oleAdvise_->EnumAdvise(advise) : E_FAIL;
}

HRESULT ActiveXControl::GetMiscStatus(DWORD aspect, DWORD* status) {
  if (!status) return E_POINTER;
  *status = aspect == DVASPECT_CONTENT ? kMiscStatus : 0;
  return S_OK;
}

HRESULT ActiveXControl::SetColorScheme(LOGPALETTE*) { return E_NOTIMPL; }

// No mnemonics; Return is kept from the dialog while the control acts on it.
HRESULT ActiveXControl::GetControlInfo(CONTROLINFO* info) {
  if (!info) return E_POINTER;
  info->hAccel = nullptr;
  info->cAccel = 0;
  eatsReturn_ = EatsReturn();
  info->dwFlags = eatsReturn_ ? CTRLINFO_EATS_RETURN : 0;
  return S_OK;
}

// The control lists no mnemonic; one given anyway brings the focus to it, as a label's does.
HRESULT ActiveXControl::OnMnemonic(MSG* msg) {
  if (!msg) return E_POINTER;
  if (!userMode_ || !site_) return S_OK;
  return ActivateInPlace(site_, true);
}

HRESULT ActiveXControl::OnAmbientPropertyChange(DISPID dispid) {
  if (dispid == DISPID_AMBIENT_USERMODE || dispid == DISPID_UNKNOWN) FollowUserMode();
  if (dispid == DISPID_AMBIENT_DISPLAYNAME || dispid == DISPID_UNKNOWN) FollowDisplayName();
  return S_OK;
}
HRESULT ActiveXControl::FreezeEvents(BOOL) { return S_OK; }

HRESULT ActiveXControl::Draw(DWORD aspect, LONG, void*, DVTARGETDEVICE*, HDC, HDC draw,
                             LPCRECTL bounds, LPCRECTL, BOOL(STDMETHODCALLTYPE*)(ULONG_PTR),
                             ULONG_PTR) {
  if (aspect != DVASPECT_CONTENT) return DV_E_DVASPECT;
  if (!draw || !bounds) return E_INVALIDARG;
  // A control not yet placed is drawn at the size of its extent.
  if (!instance_->Placed()) {
    HDC screen = GetDC(nullptr);
    instance_->Place(
        std::max<LONG>(1, PixelsFromHimetric(extent_.cx, GetDeviceCaps(screen, LOGPIXELSX))),
        std::max<LONG>(1, PixelsFromHimetric(extent_.cy, GetDeviceCaps(screen, LOGPIXELSY))));
    ReleaseDC(nullptr, screen);
  }
  BITMAPINFO info{};
  info.bmiHeader.biSize = sizeof info.bmiHeader;
  info.bmiHeader.biWidth = instance_->Width();
  info.bmiHeader.biHeight = -instance_->Height();
  info.bmiHeader.biPlanes = 1;
  info.bmiHeader.biBitCount = 32;
  info.bmiHeader.biCompression = BI_RGB;
  StretchDIBits(draw, bounds->left, bounds->top, bounds->right - bounds->left,
                bounds->bottom - bounds->top, 0, 0, instance_->Width(), instance_->Height(),
                instance_->Pixels(), &info, DIB_RGB_COLORS, SRCCOPY);
  return S_OK;
}

HRESULT ActiveXControl::GetColorSet(DWORD, LONG, void*, DVTARGETDEVICE*, HDC, LOGPALETTE** colors) {
  if (colors) *colors = nullptr;
  return S_FALSE;  // any colours
}

HRESULT ActiveXControl::Freeze(DWORD, LONG, void*, DWORD*) { return E_NOTIMPL; }
HRESULT ActiveXControl::Unfreeze(DWORD) { return E_NOTIMPL; }

HRESULT ActiveXControl::SetAdvise(DWORD aspects, DWORD flags, IAdviseSink* sink) {
  if (sink) sink->AddRef();
  if (viewSink_) viewSink_->Release();
  viewSink_ = sink;
  viewAspects_ = aspects;
  viewFlags_ = flags;
  return S_OK;
}

HRESULT ActiveXControl::GetAdvise(DWORD* aspects, DWORD* flags, IAdviseSink** sink) {
  if (aspects) *aspects = viewAspects_;
  if (flags) *flags = viewFlags_;
  if (sink) {
    *sink = viewSink_;
    if (viewSink_) viewSink_->AddRef();
  }
  return S_OK;
}

void ActiveXControl::SendViewChange() {
  if (viewSink_) viewSink_->OnViewChange(DVASPECT_CONTENT, -1);
}

}  // namespace win32host
