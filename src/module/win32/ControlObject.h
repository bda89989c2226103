// The control object behind a control's automation object (the module and the control are one
// build), for the module's files that read the control itself. Framework side: it sees the
// framework's declarations, not the platform's.
#pragma once

#include "control/Guids.h"
#include "control/KestrixCtrl.h"

namespace win32host {

// Holds the control object until it goes out of scope.
class ControlObject {
 public:
  explicit ControlObject(void* dispatch) {
    static_cast<kestrix::IDispatch*>(dispatch)->QueryInterface(
        kestrix::IID_KestrixControlObject, reinterpret_cast<void**>(&ctrl_));
  }
  ~ControlObject() {
    if (ctrl_) ctrl_->GetControllingUnknown()->Release();
  }
  ControlObject(const ControlObject&) = delete;
  ControlObject& operator=(const ControlObject&) = delete;
  kestrix::CKestrixCtrl* operator->() const { return ctrl_; }
  kestrix::CKestrixCtrl& operator*() const { return *ctrl_; }
  explicit operator bool() const { return ctrl_ != nullptr; }

 private:
  kestrix::CKestrixCtrl* ctrl_ = nullptr;
};

}  // namespace win32host
