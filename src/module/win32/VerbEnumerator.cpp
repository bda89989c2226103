#include "module/win32/VerbEnumerator.h"

#include <olectl.h>

#include <cwchar>
#include <new>

#include "module/win32/ModuleBridge.h"

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
constexpr ULONG kVerbCount = sizeof kVerbs / sizeof kVerbs[0];

class VerbEnumerator final : public IEnumOLEVERB {
 public:
  explicit VerbEnumerator(ULONG next) : next_(next) { LockModule(true); }
  ~VerbEnumerator() { LockModule(false); }
  VerbEnumerator(const VerbEnumerator&) = delete;
  VerbEnumerator& operator=(const VerbEnumerator&) = delete;

  HRESULT STDMETHODCALLTYPE QueryInterface(REFIID riid, void** object) override {
    if (!object) return E_POINTER;
    *object = nullptr;
    if (!IsEqualIID(riid, IID_IUnknown) && !IsEqualIID(riid, IID_IEnumOLEVERB))
      return E_NOINTERFACE;
    *object = static_cast<IEnumOLEVERB*>(this);
    AddRef();
    return S_OK;
  }
  ULONG STDMETHODCALLTYPE AddRef() override { return ++refs_; }
  ULONG STDMETHODCALLTYPE Release() override {
    if (refs_ == 0) return 0;
    if (--refs_ > 0) return refs_;
    delete this;
    return 0;
  }

  HRESULT STDMETHODCALLTYPE Next(ULONG count, OLEVERB* verbs, ULONG* fetched) override {
    if (!verbs || (count > 1 && !fetched)) return E_POINTER;
    ULONG given = 0;
    for (; given < count && next_ < kVerbCount; ++given, ++next_) {
      const Verb& verb = kVerbs[next_];
      const size_t bytes = (std::wcslen(verb.name) + 1) * sizeof(wchar_t);
      auto* name = static_cast<LPOLESTR>(CoTaskMemAlloc(bytes));
      if (!name) {
        // Nothing half given: the names already made go back.
        for (ULONG i = 0; i < given; ++i) CoTaskMemFree(verbs[i].lpszVerbName);
        next_ -= given;
        if (fetched) *fetched = 0;
        return E_OUTOFMEMORY;
      }
      std::wmemcpy(name, verb.name, bytes / sizeof(wchar_t));
      verbs[given] = {verb.id, name, MF_STRING | MF_ENABLED, verb.attributes};
    }
    if (fetched) *fetched = given;
    return given == count ? S_OK : S_FALSE;
  }
  HRESULT STDMETHODCALLTYPE Skip(ULONG count) override {
    const ULONG left = kVerbCount - next_;
    next_ += count < left ? count : left;
    return count <= left ? S_OK : S_FALSE;
  }
  HRESULT STDMETHODCALLTYPE Reset() override {
    next_ = 0;
    return S_OK;
  }
  HRESULT STDMETHODCALLTYPE Clone(IEnumOLEVERB** clone) override {
    if (!clone) return E_POINTER;
    *clone = new (std::nothrow) VerbEnumerator(next_);
    return *clone ? S_OK : E_OUTOFMEMORY;
  }

 private:
  ULONG next_;
  ULONG refs_ = 1;
};

}  // namespace

HRESULT EnumerateVerbs(IEnumOLEVERB** out) {
  if (!out) return E_POINTER;
  *out = new (std::nothrow) VerbEnumerator(0);
  return *out ? S_OK : E_OUTOFMEMORY;
}

}  // namespace win32host
