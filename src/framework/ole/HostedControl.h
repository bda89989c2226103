// How a container holds a control it created by name: it places the control's window in its
// own, moves it, initialises, loads and saves its properties, listens to its events and runs
// its verbs. One interface stands for the several a platform container speaks.
#pragma once

#include <vector>

#include "ObjectModel.h"
#include "../window/CWnd.h"

namespace kestrix {

class PropertyBag;

// One stock event as the host receives it.
struct StockEvent {
  DISPID dispid = 0;
  short keyCode = 0;  // KeyDown, KeyUp; the character of KeyPress
  short shift = 0;    // 1 Shift, 2 Ctrl, 4 Alt
  short button = 0;   // MouseMove: 1 left, 2 right, 4 middle
  int x = 0;
  int y = 0;
  LONG readyState = 0;
};

class EventSink {
 public:
  virtual ~EventSink() = default;
  // keyCode and character arguments are by reference, as the host may change them.
  virtual void OnStockEvent(StockEvent& event) = 0;
};

inline constexpr LONG OLEIVERB_PROPERTIES = -7;
inline constexpr HRESULT OLEOBJ_S_INVALIDVERB = MakeHResult(0x00040180);

inline constexpr IID IID_IHostedControl = {0x8E0F3A51, 0x6C2D, 0x4B7E,
                                           {0xA1, 0xF3, 0x2D, 0x9C, 0x7B, 0x40, 0xE6, 0x11}};

class IHostedControl : public IUnknown {
 public:
  // Creates the control's window as a child of parent at rect (parent's client coordinates).
  virtual HRESULT CreateControlWindow(HWND parent, const RECT& rect) = 0;
  virtual HRESULT SetObjectRect(const RECT& rect) = 0;
  virtual HRESULT GetWindow(HWND* hwnd) = 0;
  // Persistence: defaults for a new document, or the values of a saved one. Load reads every
  // value it can and answers DISP_E_TYPEMISMATCH when one could not be read (a value of
  // another type, a newer version): the host then knows that saving would lose it.
  virtual HRESULT InitNew() = 0;
  virtual HRESULT Load(const PropertyBag& bag) = 0;
  virtual HRESULT Save(PropertyBag& bag, BOOL clearDirty) = 0;
  // S_OK when the control has changes to save, else S_FALSE.
  virtual HRESULT IsDirty() = 0;
  // Events: a direct sink (not held) and dispatch sinks (held until Unadvise).
  virtual HRESULT SetEventSink(EventSink* sink) = 0;
  virtual HRESULT Advise(IDispatch* sink, DWORD* cookie) = 0;
  virtual HRESULT Unadvise(DWORD cookie) = 0;
  virtual HRESULT DoVerb(LONG verb) = 0;
  // The classes of the control's property pages, in order: for a container that shows them
  // in a property frame of its own.
  virtual HRESULT GetPropertyPages(std::vector<CLSID>* pages) = 0;

 protected:
  ~IHostedControl() = default;
};

}  // namespace kestrix
