// Publishes a control window to screen readers through Microsoft Active Accessibility: the
// window answers WM_GETOBJECT with an IAccessible for its text (OBJID_CLIENT) and one for its
// caret (OBJID_CARET), and what changes reaches WinEvent hooks (NotifyWinEvent), told by the
// accessible model after each turn of input rather than found by polling.
#pragma once

#include <windows.h>

#include <functional>
#include <memory>
#include <optional>
#include <string>

#include "module/win32/AccessibleFace.h"

namespace win32host {

class MsaaPublisher final : public AccessibleFace::Listener {
 public:
  // changed shows a change a client made (a new value) and calls Update.
  MsaaPublisher(HWND window, std::unique_ptr<AccessibleFace> face, std::function<void()> changed);
  // Objects that clients still hold answer that they are no longer connected.
  ~MsaaPublisher() override;
  MsaaPublisher(const MsaaPublisher&) = delete;
  MsaaPublisher& operator=(const MsaaPublisher&) = delete;

  // The answer to WM_GETOBJECT, or nothing for an object this window leaves to the system.
  std::optional<LRESULT> GetObject(WPARAM flags, LPARAM objectId);
  void SetName(const std::u16string& name);
  // Tells the hooks what changed since the last call, while any hook listens.
  void Update();

  // AccessibleFace::Listener
  void StatesChanged() override;
  void TextChanged() override;
  void SelectionChanged() override;
  void CaretMoved() override;

  // What the objects reach: cleared when the window goes.
  struct Link {
    HWND window = nullptr;
    AccessibleFace* face = nullptr;
    std::function<void()> changed;
  };

 private:
  std::shared_ptr<Link> link_;
  std::unique_ptr<AccessibleFace> face_;
  IUnknown* text_ = nullptr;  // made on the first request, one reference held
  IUnknown* caret_ = nullptr;
  bool listening_ = false;
};

}  // namespace win32host
