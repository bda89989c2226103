// What the control answers about its class: identity, name, and its property page, which it
// makes itself so that the Properties verb works without the registry too.
#include <new>

#include "control/KestrixCtrl.h"
#include "framework/ole/PropertyPageObject.h"
#include "resources/KestrixPropPage.h"
#include "resources/KestrixResources.h"

namespace kestrix {

BOOL CKestrixCtrl::GetClassID(CLSID* clsid) const {
  if (!clsid) return FALSE;
  *clsid = CLSID_Kestrix;
  return TRUE;
}

std::string CKestrixCtrl::GetUserTypeName() const {
  return LoadResourceString(KestrixResources(), IDS_KESTRIX);
}

IPropertyPage* CKestrixCtrl::CreatePropertyPage(REFCLSID clsid) {
  if (!IsEqualGUID(clsid, CLSID_KestrixPropPage)) return COleControl::CreatePropertyPage(clsid);
  auto* page = new (std::nothrow) PropertyPageObject(std::make_unique<CKestrixPropPage>(), {});
  if (!page) return nullptr;
  page->AddRef();
  return page;
}

}  // namespace kestrix
