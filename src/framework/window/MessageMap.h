// Message tables: each window class lists the messages it handles; a message that no class of
// the chain lists goes to DefWindowProc.
#pragma once

#include "../WinTypes.h"

namespace kestrix {

class CWnd;

struct MessageEntry {
  UINT message;
  UINT commandId;  // for WM_COMMAND entries: the command; 0 otherwise
  LRESULT (*handler)(CWnd* window, WPARAM wParam, LPARAM lParam);
};

struct MessageMap {
  const MessageMap* (*base)();
  const MessageEntry* entries;  // ends with an entry whose handler is null
};

#define DECLARE_MESSAGE_MAP()                   \
 public:                                        \
  static const MessageMap* GetThisMessageMap(); \
  const MessageMap* GetMessageMap() const override;

#define BEGIN_MESSAGE_MAP(theClass, baseClass)                                        \
  const MessageMap* theClass::GetMessageMap() const { return GetThisMessageMap(); } \
  const MessageMap* theClass::GetThisMessageMap() {                                  \
    using ThisClass = theClass;                                                      \
    using TheBaseClass = baseClass;                                                  \
    static const MessageEntry entries[] = {
#define END_MESSAGE_MAP()                                                     \
  { 0, 0, nullptr }                                                           \
  }                                                                           \
  ;                                                                           \
  static const MessageMap map{&TheBaseClass::GetThisMessageMap, entries};    \
  return &map;                                                                \
  }

#define KX_SELF static_cast<ThisClass*>(w)
#define KX_POINT CPoint(GET_X_LPARAM(l), GET_Y_LPARAM(l))

#define ON_WM_MOUSEMOVE() \
  {WM_MOUSEMOVE, 0, [](CWnd* w, WPARAM p, LPARAM l) -> LRESULT { KX_SELF->OnMouseMove(static_cast<UINT>(p), KX_POINT); return 0; }},
#define ON_WM_LBUTTONDOWN() \
  {WM_LBUTTONDOWN, 0, [](CWnd* w, WPARAM p, LPARAM l) -> LRESULT { KX_SELF->OnLButtonDown(static_cast<UINT>(p), KX_POINT); return 0; }},
#define ON_WM_LBUTTONUP() \
  {WM_LBUTTONUP, 0, [](CWnd* w, WPARAM p, LPARAM l) -> LRESULT { KX_SELF->OnLButtonUp(static_cast<UINT>(p), KX_POINT); return 0; }},
#define ON_WM_LBUTTONDBLCLK() \
  {WM_LBUTTONDBLCLK, 0, [](CWnd* w, WPARAM p, LPARAM l) -> LRESULT { KX_SELF->OnLButtonDblClk(static_cast<UINT>(p), KX_POINT); return 0; }},
#define ON_WM_RBUTTONDOWN() \
  {WM_RBUTTONDOWN, 0, [](CWnd* w, WPARAM p, LPARAM l) -> LRESULT { KX_SELF->OnRButtonDown(static_cast<UINT>(p), KX_POINT); return 0; }},
#define ON_WM_RBUTTONUP() \
  {WM_RBUTTONUP, 0, [](CWnd* w, WPARAM p, LPARAM l) -> LRESULT { KX_SELF->OnRButtonUp(static_cast<UINT>(p), KX_POINT); return 0; }},
#define ON_WM_SETFOCUS() \
  {WM_SETFOCUS, 0, [](CWnd* w, WPARAM p, LPARAM) -> LRESULT { KX_SELF->OnSetFocus(CWnd::FromHandle(reinterpret_cast<HWND>(p))); return 0; }},
#define ON_WM_KILLFOCUS() \
  {WM_KILLFOCUS, 0, [](CWnd* w, WPARAM p, LPARAM) -> LRESULT { KX_SELF->OnKillFocus(CWnd::FromHandle(reinterpret_cast<HWND>(p))); return 0; }},
#define ON_WM_SIZE() \
  {WM_SIZE, 0, [](CWnd* w, WPARAM p, LPARAM l) -> LRESULT { KX_SELF->OnSize(static_cast<UINT>(p), LOWORD(static_cast<uintptr_t>(l)), HIWORD(static_cast<uintptr_t>(l))); return 0; }},
#define ON_WM_CREATE() \
  {WM_CREATE, 0, [](CWnd* w, WPARAM, LPARAM l) -> LRESULT { return KX_SELF->OnCreate(reinterpret_cast<CREATESTRUCT*>(l)); }},
#define ON_WM_DESTROY() \
  {WM_DESTROY, 0, [](CWnd* w, WPARAM, LPARAM) -> LRESULT { KX_SELF->OnDestroy(); return 0; }},
#define ON_WM_CHAR() \
  {WM_CHAR, 0, [](CWnd* w, WPARAM p, LPARAM l) -> LRESULT { KX_SELF->OnChar(static_cast<UINT>(p), LOWORD(static_cast<uintptr_t>(l)), HIWORD(static_cast<uintptr_t>(l))); return 0; }},
#define ON_WM_KEYDOWN() \
  {WM_KEYDOWN, 0, [](CWnd* w, WPARAM p, LPARAM l) -> LRESULT { KX_SELF->OnKeyDown(static_cast<UINT>(p), LOWORD(static_cast<uintptr_t>(l)), HIWORD(static_cast<uintptr_t>(l))); return 0; }},
#define ON_WM_KEYUP() \
  {WM_KEYUP, 0, [](CWnd* w, WPARAM p, LPARAM l) -> LRESULT { KX_SELF->OnKeyUp(static_cast<UINT>(p), LOWORD(static_cast<uintptr_t>(l)), HIWORD(static_cast<uintptr_t>(l))); return 0; }},
#define ON_WM_SYSKEYDOWN() \
  {WM_SYSKEYDOWN, 0, [](CWnd* w, WPARAM p, LPARAM l) -> LRESULT { KX_SELF->OnSysKeyDown(static_cast<UINT>(p), LOWORD(static_cast<uintptr_t>(l)), HIWORD(static_cast<uintptr_t>(l))); return 0; }},
#define ON_WM_MOUSEACTIVATE() \
  {WM_MOUSEACTIVATE, 0, [](CWnd* w, WPARAM p, LPARAM l) -> LRESULT { return KX_SELF->OnMouseActivate(CWnd::FromHandle(reinterpret_cast<HWND>(p)), LOWORD(static_cast<uintptr_t>(l)), HIWORD(static_cast<uintptr_t>(l))); }},
#define ON_WM_VSCROLL() \
  {WM_VSCROLL, 0, [](CWnd* w, WPARAM p, LPARAM l) -> LRESULT { KX_SELF->OnVScroll(LOWORD(p), HIWORD(p), CScrollBar::FromHandleScrollBar(reinterpret_cast<HWND>(l))); return 0; }},
#define ON_WM_MOUSEWHEEL() \
  {WM_MOUSEWHEEL, 0, [](CWnd* w, WPARAM p, LPARAM l) -> LRESULT { KX_SELF->OnMouseWheel(LOWORD(p), GET_WHEEL_DELTA_WPARAM(p), KX_POINT); return 0; }},
#define ON_WM_TIMER() \
  {WM_TIMER, 0, [](CWnd* w, WPARAM p, LPARAM) -> LRESULT { KX_SELF->OnTimer(static_cast<UINT_PTR>(p)); return 0; }},
#define ON_WM_PAINT() \
  {WM_PAINT, 0, [](CWnd* w, WPARAM, LPARAM) -> LRESULT { KX_SELF->OnPaint(); return 0; }},
#define ON_COMMAND(id, memberFxn) \
  {WM_COMMAND, id, [](CWnd* w, WPARAM, LPARAM) -> LRESULT { KX_SELF->memberFxn(); return 0; }},

}  // namespace kestrix
