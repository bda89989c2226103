// A private interface of the control for test hosts only: what the control alone knows of its
// state (its display lines, the caret, the visible lines, where a caret position lies, its
// scroll bar, which it draws itself), which no container interface reports. It is not in the
// type library and not registered; a test host asks the control for it with QueryInterface
// and IID_IKestrixInspection. Lines are numbered from 1; text is UTF-16 as in BSTRs.
//
// KESTRIX_TEST_METRICS=fixed in the environment, read when a control is created, gives that
// control the fixed-metric text library (documented widths) instead of the fonts, so that a
// test host can check exact geometry.
//
// Both live only in the test build of the module (test-module/KESTRIX.OCX in the Windows build
// folder); KESTRIX.OCX as shipped answers E_NOINTERFACE and ignores the variable.
#pragma once

#include <windows.h>
// After the basic types.
#include <oaidl.h>

// {D2E57DDC-F8ED-43A0-9BDF-E8D62022BFB1}
inline constexpr IID IID_IKestrixInspection = {
    0xd2e57ddc, 0xf8ed, 0x43a0, {0x9b, 0xdf, 0xe8, 0xd6, 0x20, 0x22, 0xbf, 0xb1}};

inline constexpr wchar_t kKestrixTestMetricsVariable[] = L"KESTRIX_TEST_METRICS";

struct IKestrixInspection : public IUnknown {
  virtual HRESULT STDMETHODCALLTYPE LineCount(LONG* count) = 0;
  // Display line n: its characters (CR included), direction (0 left to right, 1 right to
  // left), and the highlighted span it shows, in either order.
  virtual HRESULT STDMETHODCALLTYPE Line(LONG n, BSTR* chars, LONG* direction, BOOL* highlighted,
                                         LONG* highlightLeft, LONG* highlightRight) = 0;
  // The caret's line and character index, and its offset in the whole text.
  virtual HRESULT STDMETHODCALLTYPE Caret(LONG* line, LONG* index, LONG* offset) = 0;
  virtual HRESULT STDMETHODCALLTYPE Visible(LONG* first, LONG* last) = 0;
  // The caret position before character index of line, in client pixels, at the middle of
  // the line's band; the bottom of the text rectangle.
  virtual HRESULT STDMETHODCALLTYPE LinePoint(LONG line, LONG index, LONG* x, LONG* y) = 0;
  virtual HRESULT STDMETHODCALLTYPE TextBottom(LONG* bottom) = 0;
  // The scroll bar the control draws: shown, on the left, its position and range maximum.
  virtual HRESULT STDMETHODCALLTYPE ScrollBar(BOOL* visible, BOOL* onLeft, LONG* position,
                                              LONG* maximum) = 0;
};
