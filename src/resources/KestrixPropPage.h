// The control's property page: dialog 200 of the control's resources, captioned "General",
// whose check boxes show and set VisualCaret and StandardEditing.
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
