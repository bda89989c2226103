#include "module/win32/VerbEnumerator.h"

#include <olectl.h>

#include <new>
#include <vector>

#include "module/win32/Enumerators.h"

namespace win32host {
namespace {

struct Verb {
  LONG id;
  const wchar_t* name;
  DWORD attributes;
};

// The primary verb and Properties go on the container's menu; the others are for containers
// that activate the control themselves.
constexpr Verb kVerbs[] = {
    {OLEIVERB_PRIMARY, L"&Edit", OLEVERBATTRIB_ONCONTAINERMENU},
    {OLEIVERB_PROPERTIES, L"&Properties...", OLEVERBATTRIB_ONCONTAINERMENU},
    {OLEIVERB_SHOW, L"&Show", 0},
    {OLEIVERB_UIACTIVATE, L"&Activate", 0},
    {OLEIVERB_INPLACEACTIVATE, L"Activate &in Place", 0},
    {OLEIVERB_HIDE, L"&Hide", 0},
};

}  // namespace

HRESULT EnumerateVerbs(IEnumOLEVERB** out) {
  if (!out) return E_POINTER;
  *out = nullptr;
  std::vector<OLEVERB> verbs;
  try {
    // The names are only read: each verb handed out carries a copy.
    for (const Verb& verb : kVerbs)
      verbs.push_back(
          {verb.id, const_cast<LPOLESTR>(verb.name), MF_STRING | MF_ENABLED, verb.attributes});
  } catch (const std::bad_alloc&) {
    return E_OUTOFMEMORY;
  }
  return EnumerateVerbList(verbs, out);
}

}  // namespace win32host
