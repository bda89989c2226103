#include "resources/KestrixPropPage.h"

#include "resources/KestrixResources.h"

namespace kestrix {

CKestrixPropPage::CKestrixPropPage()
    : COlePropertyPage(KestrixResources(), IDD_PROPPAGE_KESTRIX, IDS_KESTRIX_PPG_CAPTION) {}

void CKestrixPropPage::DoDataExchange(CDataExchange* dx) {
  DDP_Check(dx, IDC_VISUAL_CARET, "VisualCaret");
  DDP_Check(dx, IDC_STANDARD_EDITING, "StandardEditing");
  DDP_PostProcessing(dx);
}

}  // namespace kestrix
