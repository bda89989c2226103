// The control's identity, automation, persistence and events.
#include "module/win32/ActiveXControl.h"

#include <algorithm>
#include <new>
#include <string>
#include <vector>

#include "module/win32/ControlWindow.h"
#include "module/win32/Enumerators.h"
#include "module/win32/InspectionObject.h"
#include "module/win32/KestrixInspection.h"
#include "module/win32/ModuleBridge.h"
#include "module/win32/PropertyBagValues.h"
#include "module/win32/Win32Text.h"

namespace win32host {

// The connection point of the stock events: a sink's dispatch interface is held by the
// framework's control, which invokes it for every event; the point keeps the sink as it was
// given, to enumerate the connections. Its references are the control's.
class ActiveXControl::EventPoint final
    : public kestrix::com::Object<kestrix::com::PartOf<ActiveXControl>,
                         kestrix::com::Answer<IConnectionPoint, IID_IUnknown, IID_IConnectionPoint>> {
 public:
  using Object::Object;
  ~EventPoint() {
    for (const CONNECTDATA& connection : connections_) connection.pUnk->Release();
  }
  EventPoint(const EventPoint&) = delete;
  EventPoint& operator=(const EventPoint&) = delete;

  HRESULT STDMETHODCALLTYPE GetConnectionInterface(IID* iid) override {
    if (!iid) return E_POINTER;
    *iid = DIID__DKestrixEvents;
    return S_OK;
  }
  HRESULT STDMETHODCALLTYPE
  GetConnectionPointContainer(IConnectionPointContainer** container) override {
    if (!container) return E_POINTER;
    *container = &owner_;
    owner_.AddRef();
    return S_OK;
  }
  HRESULT STDMETHODCALLTYPE Advise(IUnknown* sink, DWORD* cookie) override {
    if (!sink || !cookie) return E_POINTER;
    *cookie = 0;
    IDispatch* dispatch = nullptr;
    if (FAILED(sink->QueryInterface(DIID__DKestrixEvents, reinterpret_cast<void**>(&dispatch))) &&
        FAILED(sink->QueryInterface(IID_IDispatch, reinterpret_cast<void**>(&dispatch))))
      return CONNECT_E_CANNOTCONNECT;
    uint32_t given = 0;
    HRESULT hr =
        owner_.Instance().Advise(dispatch, &given);  // the control holds its own reference
    dispatch->Release();
    if (FAILED(hr)) return hr;
    sink->AddRef();
    connections_.push_back({sink, given});
    *cookie = given;
    return hr;
  }
  HRESULT STDMETHODCALLTYPE Unadvise(DWORD cookie) override {
    if (FAILED(owner_.Instance().Unadvise(cookie))) return CONNECT_E_NOCONNECTION;
    for (auto it = connections_.begin(); it != connections_.end(); ++it) {
      if (it->dwCookie != cookie) continue;
      it->pUnk->Release();
      connections_.erase(it);
      break;
    }
    return S_OK;
  }
  HRESULT STDMETHODCALLTYPE EnumConnections(IEnumConnections** connections) override {
    if (!connections) return E_POINTER;
    return EnumerateConnections(connections_, connections);
  }

 private:
  std::vector<CONNECTDATA> connections_;  // each sink held
};

ActiveXControl* ActiveXControl::Create() {
  std::unique_ptr<ControlInstance> instance = ControlInstance::Create();
  if (!instance) return nullptr;
  if (TestMetricsAreFixed() && !instance->UseFixedMetrics()) return nullptr;
  return new (std::nothrow) ActiveXControl(std::move(instance));
}

ActiveXControl::ActiveXControl(std::unique_ptr<ControlInstance> instance)
    : instance_(std::move(instance)), events_(std::make_unique<EventPoint>(*this)) {}

ActiveXControl::~ActiveXControl() {
  window_.reset();
  if (frame_) frame_->Release();
  if (inPlaceSite_) inPlaceSite_->Release();
  if (site_) site_->Release();
  if (oleAdvise_) oleAdvise_->Release();
  if (viewSink_) viewSink_->Release();
  if (typeLib_) typeLib_->Release();
}

HRESULT ActiveXControl::QueryInterface(REFIID riid, void** object) {
  if (object && IsEqualIID(riid, IID_IKestrixInspection)) {
    *object = nullptr;
    return InspectionFor(*this, object);  // for test hosts only
  }
  return Object::QueryInterface(riid, object);
}

ITypeInfo* ActiveXControl::TypeInfoOf(REFGUID guid) {
  if (!typeLib_ &&
      FAILED(LoadTypeLibEx(WideFromUtf8(ModulePath()).c_str(), REGKIND_NONE, &typeLib_)))
    return nullptr;
  ITypeInfo* info = nullptr;
  return SUCCEEDED(typeLib_->GetTypeInfoOfGuid(guid, &info)) ? info : nullptr;
}

HRESULT ActiveXControl::GetTypeInfoCount(UINT* count) {
  if (!count) return E_POINTER;
  *count = 1;
  return S_OK;
}

HRESULT ActiveXControl::GetTypeInfo(UINT index, LCID, ITypeInfo** info) {
  if (!info) return E_POINTER;
  *info = nullptr;
  if (index != 0) return DISP_E_BADINDEX;
  *info = TypeInfoOf(DIID__DKestrix);
  return *info ? S_OK : TYPE_E_CANTLOADLIBRARY;
}

HRESULT ActiveXControl::GetIDsOfNames(REFIID riid, LPOLESTR* names, UINT count, LCID lcid,
                                      DISPID* dispids) {
  instance_->MakeCurrent();
  return static_cast<IDispatch*>(instance_->Dispatch())
      ->GetIDsOfNames(riid, names, count, lcid, dispids);
}

HRESULT ActiveXControl::Invoke(DISPID member, REFIID riid, LCID lcid, WORD flags,
                               DISPPARAMS* params, VARIANT* result, EXCEPINFO* excepInfo,
                               UINT* argErr) {
  instance_->MakeCurrent();
  HRESULT hr = static_cast<IDispatch*>(instance_->Dispatch())
                   ->Invoke(member, riid, lcid, flags, params, result, excepInfo, argErr);
  // A call may change what the control shows, and whether it keeps Return from a dialog.
  if (window_) window_->Present();
  SendViewChange();
  NoteControlInfo();
  return hr;
}

HRESULT ActiveXControl::GetClassInfo(ITypeInfo** info) {
  if (!info) return E_POINTER;
  *info = TypeInfoOf(CLSID_Kestrix);
  return *info ? S_OK : TYPE_E_CANTLOADLIBRARY;
}

HRESULT ActiveXControl::GetGUID(DWORD kind, GUID* guid) {
  if (!guid) return E_POINTER;
  if (kind != GUIDKIND_DEFAULT_SOURCE_DISP_IID) {
    *guid = GUID_NULL;
    return E_INVALIDARG;
  }
  *guid = DIID__DKestrixEvents;
  return S_OK;
}

HRESULT ActiveXControl::EnumConnectionPoints(IEnumConnectionPoints** points) {
  if (!points) return E_POINTER;
  return EnumerateConnectionPoints({events_.get()}, points);
}

HRESULT ActiveXControl::FindConnectionPoint(REFIID riid, IConnectionPoint** point) {
  if (!point) return E_POINTER;
  *point = nullptr;
  if (!IsEqualIID(riid, DIID__DKestrixEvents)) return CONNECT_E_NOCONNECTION;
  *point = events_.get();
  AddRef();
  return S_OK;
}

HRESULT ActiveXControl::GetClassID(CLSID* clsid) {
  if (!clsid) return E_POINTER;
  *clsid = CLSID_Kestrix;
  return S_OK;
}

HRESULT ActiveXControl::IsDirty() { return instance_->IsDirty() ? S_OK : S_FALSE; }

// A new control takes the container's ambient colours where it offers them (the fonts stay
// the control's own). System colours are taken as the colours they stand for now: the control
// paints its background with the value as it is.
HRESULT ActiveXControl::InitNew() {
  std::vector<NamedValue> ambient;
  for (auto [dispid, name] : {std::pair{DISPID_AMBIENT_BACKCOLOR, "BackColor"},
                              std::pair{DISPID_AMBIENT_FORECOLOR, "ForeColor"}}) {
    VARIANT value = Ambient(dispid);
    COLORREF colour = 0;
    if (value.vt != VT_EMPTY && SUCCEEDED(VariantChangeType(&value, &value, 0, VT_I4)) &&
        SUCCEEDED(OleTranslateColor(static_cast<OLE_COLOR>(value.lVal), nullptr, &colour))) {
      NamedValue named;
      named.name = name;
      named.kind = NamedValue::Kind::Long;
      named.number = static_cast<LONG>(colour);
      ambient.push_back(named);
    }
    VariantClear(&value);
  }
  instance_->InitNew(ambient);
  if (window_) window_->Present();
  return S_OK;
}

// A stream holds the property file's text: a 32-bit byte count, then the text. The count is
// not trusted: one beyond what a property file may hold is refused before anything is read,
// and the text is read in pieces, so memory grows only with bytes the stream really gives.
HRESULT ActiveXControl::Load(LPSTREAM stream) {
  if (!stream) return E_POINTER;
  ULONG length = 0, read = 0;
  if (FAILED(stream->Read(&length, sizeof length, &read)) || read != sizeof length)
    return STG_E_READFAULT;
  if (length > ControlInstance::MaxTextBytes()) return STG_E_DOCFILECORRUPT;
  std::string text;
  constexpr ULONG kPiece = 1u << 16;
  while (text.size() < length) {
    const ULONG want = std::min<ULONG>(kPiece, length - static_cast<ULONG>(text.size()));
    const size_t had = text.size();
    text.resize(had + want);
    read = 0;
    if (FAILED(stream->Read(text.data() + had, want, &read)) || read != want)
      return STG_E_READFAULT;  // the stream ends before the count it gave
  }
  if (!instance_->LoadText(text, nullptr)) return E_FAIL;
  if (window_) window_->Present();
  SendViewChange();
  return S_OK;
}

HRESULT ActiveXControl::Save(LPSTREAM stream, BOOL clearDirty) {
  if (!stream) return E_POINTER;
  std::string text;
  if (!instance_->SaveText(clearDirty != FALSE, text)) return E_FAIL;
  const ULONG length = static_cast<ULONG>(text.size());
  ULONG written = 0;
  if (FAILED(stream->Write(&length, sizeof length, &written)) || written != sizeof length)
    return STG_E_WRITEFAULT;
  if (length && (FAILED(stream->Write(text.data(), length, &written)) || written != length))
    return STG_E_WRITEFAULT;
  return S_OK;
}

HRESULT ActiveXControl::GetSizeMax(ULARGE_INTEGER* size) {
  if (!size) return E_POINTER;
  std::string text;
  if (!instance_->SaveText(false, text)) return E_FAIL;
  size->QuadPart = sizeof(ULONG) + text.size();
  return S_OK;
}

HRESULT ActiveXControl::Load(IPropertyBag* bag, IErrorLog* log) {
  if (!bag) return E_POINTER;
  HRESULT hr = ReadPropertyBag(*instance_, *bag, log);
  if (window_) window_->Present();
  SendViewChange();
  return hr;
}

HRESULT ActiveXControl::Save(IPropertyBag* bag, BOOL clearDirty, BOOL) {
  if (!bag) return E_POINTER;
  return WritePropertyBag(*instance_, *bag, clearDirty != FALSE);
}

}  // namespace win32host
