// The control as a Windows container sees it: an in-process ActiveX object that a container
// places in its window (in-place activation), sizes, persists to a stream or a property bag,
// draws, drives through IDispatch, listens to through a connection point and edits in a
// property frame with the control's property page. The control
// itself is the framework's, held by a ControlInstance; this object speaks the platform's
// interfaces over it and owns the real child window that shows it.
#pragma once

#include <windows.h>
// After the basic types.
#include <ocidl.h>
#include <olectl.h>

#include <memory>

#include "KestrixIdl.h"
#include "framework/ole/Unknown.h"
#include "module/win32/ControlInstance.h"

namespace win32host {

class ControlWindow;

class ActiveXControl final
    : public kestrix::com::Object<
          kestrix::com::Counted, kestrix::com::Answer<IOleObject, IID_IUnknown, IID_IOleObject>,
          kestrix::com::Answer<IDispatch, IID_IDispatch, DIID__DKestrix>,
          kestrix::com::Answer<IOleInPlaceObject, IID_IOleWindow, IID_IOleInPlaceObject>,
          kestrix::com::Answer<IOleInPlaceActiveObject, IID_IOleInPlaceActiveObject>,
          kestrix::com::Answer<IOleControl, IID_IOleControl>,
          kestrix::com::Answer<IViewObject2, IID_IViewObject, IID_IViewObject2>,
          kestrix::com::Answer<IPersistStreamInit, IID_IPersist, IID_IPersistStreamInit>,
          kestrix::com::Answer<IPersistPropertyBag, IID_IPersistPropertyBag>,
          kestrix::com::Answer<IConnectionPointContainer, IID_IConnectionPointContainer>,
          kestrix::com::Answer<IProvideClassInfo2, IID_IProvideClassInfo, IID_IProvideClassInfo2>,
          kestrix::com::Answer<ISpecifyPropertyPages, IID_ISpecifyPropertyPages>> {
 public:
  // A new control holding one reference, or null.
  static ActiveXControl* Create();

  // IUnknown: the interfaces above, and the inspection interface for test hosts as a tear-off.
  HRESULT STDMETHODCALLTYPE QueryInterface(REFIID riid, void** object) override;

  // IDispatch: the framework's automation object, with the type information of our library.
  HRESULT STDMETHODCALLTYPE GetTypeInfoCount(UINT* count) override;
  HRESULT STDMETHODCALLTYPE GetTypeInfo(UINT index, LCID lcid, ITypeInfo** info) override;
  HRESULT STDMETHODCALLTYPE GetIDsOfNames(REFIID riid, LPOLESTR* names, UINT count, LCID lcid,
                                          DISPID* dispids) override;
  HRESULT STDMETHODCALLTYPE Invoke(DISPID member, REFIID riid, LCID lcid, WORD flags,
                                   DISPPARAMS* params, VARIANT* result, EXCEPINFO* excepInfo,
                                   UINT* argErr) override;

  // IOleObject
  HRESULT STDMETHODCALLTYPE SetClientSite(IOleClientSite* site) override;
  HRESULT STDMETHODCALLTYPE GetClientSite(IOleClientSite** site) override;
  HRESULT STDMETHODCALLTYPE SetHostNames(LPCOLESTR app, LPCOLESTR object) override;
  HRESULT STDMETHODCALLTYPE Close(DWORD saveOption) override;
  HRESULT STDMETHODCALLTYPE SetMoniker(DWORD which, IMoniker* moniker) override;
  HRESULT STDMETHODCALLTYPE GetMoniker(DWORD assign, DWORD which, IMoniker** moniker) override;
  HRESULT STDMETHODCALLTYPE InitFromData(IDataObject* data, BOOL creation, DWORD reserved) override;
  HRESULT STDMETHODCALLTYPE GetClipboardData(DWORD reserved, IDataObject** data) override;
  HRESULT STDMETHODCALLTYPE DoVerb(LONG verb, LPMSG msg, IOleClientSite* activeSite, LONG index,
                                   HWND parent, LPCRECT posRect) override;
  HRESULT STDMETHODCALLTYPE EnumVerbs(IEnumOLEVERB** verbs) override;
  HRESULT STDMETHODCALLTYPE Update() override;
  HRESULT STDMETHODCALLTYPE IsUpToDate() override;
  HRESULT STDMETHODCALLTYPE GetUserClassID(CLSID* clsid) override;
  HRESULT STDMETHODCALLTYPE GetUserType(DWORD form, LPOLESTR* name) override;
  HRESULT STDMETHODCALLTYPE SetExtent(DWORD aspect, SIZEL* size) override;
  HRESULT STDMETHODCALLTYPE GetExtent(DWORD aspect, SIZEL* size) override;
  HRESULT STDMETHODCALLTYPE Advise(IAdviseSink* sink, DWORD* connection) override;
  HRESULT STDMETHODCALLTYPE Unadvise(DWORD connection) override;
  HRESULT STDMETHODCALLTYPE EnumAdvise(IEnumSTATDATA** advise) override;
  HRESULT STDMETHODCALLTYPE GetMiscStatus(DWORD aspect, DWORD* status) override;
  HRESULT STDMETHODCALLTYPE SetColorScheme(LOGPALETTE* palette) override;

  // IOleWindow, IOleInPlaceObject, IOleInPlaceActiveObject
  HRESULT STDMETHODCALLTYPE GetWindow(HWND* window) override;
  HRESULT STDMETHODCALLTYPE ContextSensitiveHelp(BOOL enter) override;
  HRESULT STDMETHODCALLTYPE InPlaceDeactivate() override;
  HRESULT STDMETHODCALLTYPE UIDeactivate() override;
  HRESULT STDMETHODCALLTYPE SetObjectRects(LPCRECT pos, LPCRECT clip) override;
  HRESULT STDMETHODCALLTYPE ReactivateAndUndo() override;
  HRESULT STDMETHODCALLTYPE TranslateAccelerator(LPMSG msg) override;
  HRESULT STDMETHODCALLTYPE OnFrameWindowActivate(BOOL activate) override;
  HRESULT STDMETHODCALLTYPE OnDocWindowActivate(BOOL activate) override;
  HRESULT STDMETHODCALLTYPE ResizeBorder(LPCRECT border, IOleInPlaceUIWindow* window,
                                         BOOL frame) override;
  HRESULT STDMETHODCALLTYPE EnableModeless(BOOL enable) override;

  // IOleControl
  HRESULT STDMETHODCALLTYPE GetControlInfo(CONTROLINFO* info) override;
  HRESULT STDMETHODCALLTYPE OnMnemonic(MSG* msg) override;
  HRESULT STDMETHODCALLTYPE OnAmbientPropertyChange(DISPID dispid) override;
  HRESULT STDMETHODCALLTYPE FreezeEvents(BOOL freeze) override;

  // IViewObject2: the control's pixels, scaled into the rectangle asked for.
  HRESULT STDMETHODCALLTYPE Draw(DWORD aspect, LONG index, void* aspectInfo, DVTARGETDEVICE* device,
                                 HDC targetDevice, HDC draw, LPCRECTL bounds,
                                 LPCRECTL metafileBounds, BOOL(STDMETHODCALLTYPE* cont)(ULONG_PTR),
                                 ULONG_PTR contArg) override;
  HRESULT STDMETHODCALLTYPE GetColorSet(DWORD aspect, LONG index, void* aspectInfo,
                                        DVTARGETDEVICE* device, HDC targetDevice,
                                        LOGPALETTE** colors) override;
  HRESULT STDMETHODCALLTYPE Freeze(DWORD aspect, LONG index, void* aspectInfo,
                                   DWORD* freeze) override;
  HRESULT STDMETHODCALLTYPE Unfreeze(DWORD freeze) override;
  HRESULT STDMETHODCALLTYPE SetAdvise(DWORD aspects, DWORD flags, IAdviseSink* sink) override;
  HRESULT STDMETHODCALLTYPE GetAdvise(DWORD* aspects, DWORD* flags, IAdviseSink** sink) override;
  HRESULT STDMETHODCALLTYPE GetExtent(DWORD aspect, LONG index, DVTARGETDEVICE* device,
                                      LPSIZEL size) override;

  // IPersist, IPersistStreamInit (the framework's property text), IPersistPropertyBag
  HRESULT STDMETHODCALLTYPE GetClassID(CLSID* clsid) override;
  HRESULT STDMETHODCALLTYPE IsDirty() override;
  HRESULT STDMETHODCALLTYPE Load(LPSTREAM stream) override;
  HRESULT STDMETHODCALLTYPE Save(LPSTREAM stream, BOOL clearDirty) override;
  HRESULT STDMETHODCALLTYPE GetSizeMax(ULARGE_INTEGER* size) override;
  HRESULT STDMETHODCALLTYPE InitNew() override;
  HRESULT STDMETHODCALLTYPE Load(IPropertyBag* bag, IErrorLog* log) override;
  HRESULT STDMETHODCALLTYPE Save(IPropertyBag* bag, BOOL clearDirty, BOOL saveAll) override;

  // IConnectionPointContainer: the stock events' one connection point.
  HRESULT STDMETHODCALLTYPE EnumConnectionPoints(IEnumConnectionPoints** points) override;
  HRESULT STDMETHODCALLTYPE FindConnectionPoint(REFIID riid, IConnectionPoint** point) override;

  // IProvideClassInfo, IProvideClassInfo2: the class's type information, and the events'
  // interface for containers that ask for the default source by its IID.
  HRESULT STDMETHODCALLTYPE GetClassInfo(ITypeInfo** info) override;
  HRESULT STDMETHODCALLTYPE GetGUID(DWORD kind, GUID* guid) override;

  // ISpecifyPropertyPages: the control's own list of pages.
  HRESULT STDMETHODCALLTYPE GetPages(CAUUID* pages) override;

  ControlInstance& Instance() { return *instance_; }
  IOleClientSite* ClientSite() const { return site_; }

 private:
  class EventPoint;

  explicit ActiveXControl(std::unique_ptr<ControlInstance> instance);
  ~ActiveXControl() override;
  // In-place activation through the site: the window in the container's, optionally with the
  // focus and the container's active-object link.
  HRESULT ActivateInPlace(IOleClientSite* site, bool uiActivate);
  // The Properties verb: the container's own frame when it shows one, else the system's
  // property frame over the control's pages, owned by owner. Returns when the frame closes.
  HRESULT ShowProperties(HWND owner);
  ITypeInfo* TypeInfoOf(REFGUID guid);
  // An ambient property the container's site offers, or VT_EMPTY.
  VARIANT Ambient(DISPID dispid);
  // The ambient UserMode (true when the site offers none), passed on to the window.
  void FollowUserMode();
  // The ambient DisplayName, the name screen readers give the control.
  void FollowDisplayName();
  // Tells the control site when the keys the control keeps from a dialog change.
  void NoteControlInfo();
  bool EatsReturn();
  // Tells a container that draws the control itself (through IViewObject) to draw it anew.
  void SendViewChange();

  std::unique_ptr<ControlInstance> instance_;
  std::unique_ptr<EventPoint> events_;
  std::unique_ptr<ControlWindow> window_;
  IOleClientSite* site_ = nullptr;
  IOleInPlaceSite* inPlaceSite_ = nullptr;
  IOleInPlaceFrame* frame_ = nullptr;
  IOleAdviseHolder* oleAdvise_ = nullptr;
  IAdviseSink* viewSink_ = nullptr;
  DWORD viewAspects_ = 0;
  DWORD viewFlags_ = 0;
  ITypeLib* typeLib_ = nullptr;
  SIZEL extent_{2646, 1323};  // HIMETRIC: 100 x 50 pixels at 96 to the inch
  bool uiActive_ = false;
  bool userMode_ = true;
  bool eatsReturn_ = false;  // as the control site was last told
};

}  // namespace win32host
