// Creation of the control window.
#include "control/KestrixCtrl.h"

BEGIN_MESSAGE_MAP(CKestrixCtrl, COleControl)
ON_WM_CREATE()
END_MESSAGE_MAP()

BOOL CKestrixCtrl::PreCreateWindow(CREATESTRUCT& cs) {
  // The window always has the sunken two-pixel client edge.
  cs.dwExStyle |= WS_EX_CLIENTEDGE;
  FreeLines();
  return COleControl::PreCreateWindow(cs);
}

int CKestrixCtrl::OnCreate(CREATESTRUCT* cs) {
  InitFonts();
  return COleControl::OnCreate(cs);
}
