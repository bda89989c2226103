// The control's property page: dialog 200 of the control's resources, captioned "General". It
// binds no property yet.
#pragma once

#include "framework/ole/COlePropertyPage.h"

namespace kestrix {

class CKestrixPropPage : public COlePropertyPage {
 public:
  CKestrixPropPage();

 protected:
  void DoDataExchange(CDataExchange* dx) override;
};

}  // namespace kestrix
