// The control base: a window with message tables whose default handlers raise the stock events
// to the host's event sink, font holders bound to a change notification, property exchange,
// drawing contexts, and the container's view of the control's rectangle.
#pragma once

#include <functional>
#include <memory>
#include <vector>

#include "FontObject.h"
#include "HostedControl.h"
#include "ObjectModel.h"
#include "OleTypes.h"
#include "PropertyPage.h"
#include "PropExchange.h"
#include "Unknown.h"
#include "../window/CDC.h"
#include "../window/CWnd.h"

namespace kestrix {

inline constexpr LONG READYSTATE_LOADING = 1;
inline constexpr LONG READYSTATE_INTERACTIVE = 3;
inline constexpr LONG READYSTATE_COMPLETE = 4;

class COleControl : public CWnd, public FontNotifySink, public com::Counted {
 public:
  COleControl();
  ~COleControl() override;

  // Identity and lifetime ---------------------------------------------------------------
  // A control made by a class factory is owned by its references: the last Release destroys
  // its window, deletes it, then runs onFinalRelease (the module counts live objects). A
  // control its host owns directly is never deleted by Release. The count starts at none
  // (InternalAddRef, InternalRelease, InternalRefCount).
  void SetOwnedByReferences(std::function<void()> onFinalRelease);
  // Each message holds a reference while it is handled: a host that lets go of its last one
  // from an event handler ends the control when the message is done, not under its feet.
  LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override;
  // IUnknown and IHostedControl, the dispatch interface, and what QueryControlInterface adds.
  HRESULT InternalQueryInterface(REFIID riid, void** object);
  IUnknown* GetControllingUnknown() { return &hosted_; }
  // The control's automation object, or nullptr.
  virtual IDispatch* GetDispatchInterface() { return nullptr; }
  // An interface of the control's own, or nullptr; not AddRef'd.
  virtual void* QueryControlInterface(REFIID) { return nullptr; }
  // Registration answers of the control's class: its identity, user type name,
  // miscellaneous status and property pages (in order).
  virtual BOOL GetClassID(CLSID*) const { return FALSE; }
  virtual std::string GetUserTypeName() const { return {}; }
  virtual DWORD GetMiscStatus() const { return 0; }
  virtual std::vector<CLSID> GetPropPageIDs() const { return {}; }
  // Makes one of the pages, AddRef'd, or nullptr: through the registry unless the control
  // can make it itself.
  virtual IPropertyPage* CreatePropertyPage(REFCLSID clsid);
  // The Properties verb: the property frame over the control's pages, run modally.
  // E_FAIL when not one page can be made.
  virtual HRESULT OnProperties();

  // Host side --------------------------------------------------------------------------
  void SetEventSink(EventSink* sink) { eventSink_ = sink; }
  // A host that listens through dispatch: every stock event, after the EventSink has seen it,
  // becomes an Invoke (DISPATCH_METHOD) on the sink with the event interface's parameters;
  // key codes go by reference (VT_BYREF | VT_I2) and the sink's change is kept. The sink is
  // held (AddRef) until Unadvise or the control's end. Cookies start at 1.
  HRESULT Advise(IDispatch* sink, DWORD* cookie);
  HRESULT Unadvise(DWORD cookie);
  // Records the rectangle the container gives the control, then creates its window there
  // (PreCreateWindow, WM_CREATE, WM_SIZE).
  BOOL CreateControlWindow(CWnd* parent, const RECT& rectInContainer);
  // The container moves the control: resizes the window, then records the new rectangle.
  void SetRectInContainer(const RECT& rect);
  // The framework's reset, load and save of the persisted properties. Load answers what could
  // not be read (empty when every value was), each such value keeping its default.
  void ResetProperties();
  std::vector<std::string> LoadProperties(const PropertyBag& bag);
  void SaveProperties(PropertyBag& bag);
  BOOL IsModified() const { return modified_; }
  // Paints the control through OnDraw, as the framework's paint cycle does.
  void Redraw();

  // Services used by the control -------------------------------------------------------
  void SetModifiedFlag(BOOL modified = TRUE) { modified_ = modified; }
  // Destroys and re-creates the window; OnDestroy, PreCreateWindow, OnCreate and OnSize
  // have run when it returns.
  BOOL RecreateControlWindow();
  short GetBorderStyle() const { return borderStyle_; }
  void SetBorderStyle(short style);
  CDC* GetDC(const RECT* rect = nullptr, DWORD flags = OLEDC_PAINTBKGND);
  int ReleaseDC(CDC* dc);
  // OLE colour to RGB; system colour indexes map to the display's system colours.
  COLORREF TranslateColor(OLE_COLOR color, void* palette = nullptr) const;
  OLE_COLOR GetBackColor() const { return backColor_; }
  void SetBackColor(OLE_COLOR color);
  // The control's rectangle as last recorded from the container.
  BOOL GetRectInContainer(RECT* rect) const;
  void BeginWaitCursor();
  void EndWaitCursor();
  void InitializeIIDs(const IID* dispatch, const IID* events);
  const IID* DispatchIID() const { return dispatchIID_; }
  const IID* EventsIID() const { return eventsIID_; }
  LONG GetReadyState() const { return readyState_; }
  void InternalSetReadyState(LONG state);
  DWORD m_dwVersionLoaded = 0;

  // Hooks the control overrides --------------------------------------------------------
  virtual void DoPropExchange(CPropExchange* px);
  virtual void OnResetState();
  virtual void OnDraw(CDC* dc, const CRect& bounds, const CRect& invalid);
  virtual void OnClick(USHORT button);
  virtual void OnKeyDownEvent(USHORT keyCode, short shift);
  virtual void OnKeyUpEvent(USHORT keyCode, short shift);
  virtual void OnFontChanged();
  virtual void OnBackColorChanged();
  void OnFontObjectChanged(FontObject* font) override;

  // Default handlers: each raises its stock event.
  DECLARE_MESSAGE_MAP()
  void OnMouseMove(UINT flags, CPoint point);
  void OnLButtonDown(UINT flags, CPoint point);
  void OnLButtonUp(UINT flags, CPoint point);
  void OnLButtonDblClk(UINT flags, CPoint point);
  void OnRButtonDown(UINT flags, CPoint point);
  void OnRButtonUp(UINT flags, CPoint point);
  void OnChar(UINT ch, UINT repeat, UINT flags);
  void OnKeyDown(UINT ch, UINT repeat, UINT flags);
  void OnKeyUp(UINT ch, UINT repeat, UINT flags);
  void OnSysKeyDown(UINT ch, UINT repeat, UINT flags);
  int OnMouseActivate(CWnd* topParent, UINT hitTest, UINT message);
  void OnPaint();
  LRESULT DefWindowProc(UINT message, WPARAM wParam, LPARAM lParam) override;

  // Stock event firing.
  void FireClick();
  void FireDblClick();
  void FireKeyDown(USHORT* keyCode, short shift);
  void FireKeyUp(USHORT* keyCode, short shift);
  void FireKeyPress(USHORT* character);
  void FireMouseMove(short button, short shift, int x, int y);
  void FireReadyStateChange();

 protected:
  // Shift state of the stock events from the live key state.
  static short ShiftState();

 private:
  // The face a container holds (IHostedControl); its references are the control's.
  class HostedObject final
      : public com::Object<com::AnsweredByOwner<COleControl>, com::Answer<IHostedControl>> {
   public:
    using Object::Object;
    HRESULT CreateControlWindow(HWND parent, const RECT& rect) override;
    HRESULT SetObjectRect(const RECT& rect) override;
    HRESULT GetWindow(HWND* hwnd) override;
    HRESULT InitNew() override;
    HRESULT Load(const PropertyBag& bag) override;
    HRESULT Save(PropertyBag& bag, BOOL clearDirty) override;
    HRESULT IsDirty() override;
    HRESULT SetEventSink(EventSink* sink) override;
    HRESULT Advise(IDispatch* sink, DWORD* cookie) override;
    HRESULT Unadvise(DWORD cookie) override;
    HRESULT DoVerb(LONG verb) override;
    HRESULT GetPropertyPages(std::vector<CLSID>* pages) override;

   private:
    bool loadedBeforeWindow_ = false;
  };

  void FinalRelease() override;
  void FireKeyEvent(DISPID dispid, USHORT* code, short shift, bool withShift);
  // Invokes the event on every dispatch sink; args as DISPPARAMS holds them (last first).
  void FireToDispatchSinks(DISPID dispid, VARIANT* args, UINT count);

  EventSink* eventSink_ = nullptr;
  std::vector<std::pair<DWORD, IDispatch*>> dispatchSinks_;
  DWORD nextCookie_ = 1;
  HWND parentHwnd_ = nullptr;  // a handle, so that a parent gone away is noticed
  bool placed_ = false;        // CreateControlWindow has run
  CRect rectInContainer_;
  BOOL modified_ = FALSE;
  short borderStyle_ = 0;
  OLE_COLOR backColor_ = 0x80000000 | COLOR_WINDOW;
  const IID* dispatchIID_ = nullptr;
  const IID* eventsIID_ = nullptr;
  LONG readyState_ = READYSTATE_LOADING;
  USHORT buttonsDown_ = 0;  // buttons pressed inside the control, for Click
  USHORT dblClickButtons_ = 0;  // the release after a double click is not a Click
  int waitCursorDepth_ = 0;
  HostedObject hosted_{*this};
  bool ownedByReferences_ = false;
  std::function<void()> onFinalRelease_;
};

}  // namespace kestrix
