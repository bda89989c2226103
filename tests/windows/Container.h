// A small Windows container for the tests: a top-level window (the form) with one control
// created by its ProgID and activated in place through the container's site, as a form
// designer or a document places a control.
#pragma once

#include <windows.h>
// After the basic types.
#include <ocidl.h>

#include <string>

namespace kestrix {

// The window class of the tests' forms (a plain window with a grey background).
const wchar_t* FormClass();

// Dispatches the thread's messages for ms milliseconds (at least one round).
void PumpMessages(DWORD ms = 30);

class Container {
 public:
  static constexpr int kWidth = 420;
  static constexpr int kHeight = 160;

  // In the form all tests share (the default), or in a window of the test's own.
  Container();
  explicit Container(HWND form);
  // In the shared form, at placement (the form's client coordinates).
  explicit Container(const RECT& placement);
  ~Container();
  Container(const Container&) = delete;
  Container& operator=(const Container&) = delete;

  // Creates the control by name, gives it a new state (or the stream's), sets its site and
  // activates it in place at the form's client area. Answers the first failure.
  HRESULT Create(const wchar_t* progId = L"KESTRIX.KestrixCtrl.1", IStream* saved = nullptr);
  // The same for a control already made (from a module loaded by hand, say); takes a reference.
  HRESULT Place(IUnknown* control, IStream* saved = nullptr);
  // Releases the control after closing it.
  void Destroy();

  HWND Form() const { return form_; }
  // The control's own window, once it is active in place.
  HWND ControlWindow() const;
  IUnknown* Control() const { return control_; }
  IDispatch* Dispatch() const { return dispatch_; }
  // How often the site was told of the control's focus, and the last notice.
  int FocusNotices() const;
  // How often the site was told that the control's keyboard behaviour changed.
  int ControlInfoNotices() const;
  // An ambient property the site offers from now on (taking value); ChangeAmbient also tells
  // the control, as a container does when its own property changes.
  void SetAmbient(DISPID dispid, VARIANT value);
  void ChangeAmbient(DISPID dispid, VARIANT value);

 private:
  class Site;
  HWND form_ = nullptr;
  Site* site_ = nullptr;
  IUnknown* control_ = nullptr;
  IDispatch* dispatch_ = nullptr;
  IOleObject* oleObject_ = nullptr;
};

}  // namespace kestrix
