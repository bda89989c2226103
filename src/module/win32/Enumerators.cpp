#include "module/win32/Enumerators.h"

#include <algorithm>
#include <cwchar>
#include <memory>
#include <new>

#include "framework/ole/Unknown.h"
#include "module/win32/ModuleBridge.h"

namespace win32host {

// This file speaks to the framework, whose names live in namespace kestrix.
using namespace kestrix;
namespace {

// What a snapshot holds of an item: its object, or nothing (a verb).
IUnknown* HeldPart(IConnectionPoint* point) { return point; }
IUnknown* HeldPart(const CONNECTDATA& connection) { return connection.pUnk; }
IUnknown* HeldPart(const OLEVERB&) { return nullptr; }

// Copies an item out to a caller, who owns the copy: a reference of its own, or for a verb a
// name of its own. False when it cannot.
template <typename Item>
bool GiveOut(const Item& item, Item& given) {
  given = item;
  HeldPart(given)->AddRef();
  return true;
}
bool GiveOut(const OLEVERB& verb, OLEVERB& given) {
  const size_t bytes = (std::wcslen(verb.lpszVerbName) + 1) * sizeof(wchar_t);
  auto* name = static_cast<LPOLESTR>(CoTaskMemAlloc(bytes));
  if (!name) return false;
  std::wmemcpy(name, verb.lpszVerbName, bytes / sizeof(wchar_t));
  given = verb;
  given.lpszVerbName = name;
  return true;
}

// Undoes a GiveOut.
template <typename Item>
void TakeBack(Item& given) {
  HeldPart(given)->Release();
}
void TakeBack(OLEVERB& given) { CoTaskMemFree(given.lpszVerbName); }

// The items, shared by an enumerator and its clones; released when the last goes.
template <typename Item>
class Snapshot {
 public:
  explicit Snapshot(const std::vector<Item>& items) : items_(items) {
    for (const Item& item : items_)
      if (IUnknown* held = HeldPart(item)) held->AddRef();
  }
  ~Snapshot() {
    for (const Item& item : items_)
      if (IUnknown* held = HeldPart(item)) held->Release();
  }
  Snapshot(const Snapshot&) = delete;
  Snapshot& operator=(const Snapshot&) = delete;
  const std::vector<Item>& Items() const { return items_; }

 private:
  std::vector<Item> items_;
};

template <typename Interface, const IID& iid, typename Item>
class Enumerator final
    : public kestrix::com::Object<kestrix::com::Counted, kestrix::com::Answer<Interface, IID_IUnknown, iid>> {
 public:
  Enumerator(std::shared_ptr<const Snapshot<Item>> snapshot, size_t next)
      : snapshot_(std::move(snapshot)), next_(next) {
    LockModule(true);
  }
  ~Enumerator() override { LockModule(false); }

  HRESULT STDMETHODCALLTYPE Next(ULONG count, Item* items, ULONG* fetched) override {
    if (!items || (count > 1 && !fetched)) return E_POINTER;
    const std::vector<Item>& all = snapshot_->Items();
    ULONG given = 0;
    for (; given < count && next_ < all.size(); ++given, ++next_) {
      if (GiveOut(all[next_], items[given])) continue;
      // Nothing half given: what was already handed out goes back.
      for (ULONG i = 0; i < given; ++i) TakeBack(items[i]);
      next_ -= given;
      if (fetched) *fetched = 0;
      return E_OUTOFMEMORY;
    }
    if (fetched) *fetched = given;
    return given == count ? S_OK : S_FALSE;
  }
  HRESULT STDMETHODCALLTYPE Skip(ULONG count) override {
    const size_t left = snapshot_->Items().size() - next_;
    next_ += std::min<size_t>(count, left);
    return count <= left ? S_OK : S_FALSE;
  }
  HRESULT STDMETHODCALLTYPE Reset() override {
    next_ = 0;
    return S_OK;
  }
  HRESULT STDMETHODCALLTYPE Clone(Interface** clone) override {
    if (!clone) return E_POINTER;
    *clone = new (std::nothrow) Enumerator(snapshot_, next_);
    return *clone ? S_OK : E_OUTOFMEMORY;
  }

 private:
  std::shared_ptr<const Snapshot<Item>> snapshot_;
  size_t next_;
};

template <typename Interface, const IID& iid, typename Item>
HRESULT Enumerate(const std::vector<Item>& items, Interface** out) {
  if (!out) return E_POINTER;
  *out = nullptr;
  std::shared_ptr<const Snapshot<Item>> snapshot;
  try {
    snapshot = std::make_shared<const Snapshot<Item>>(items);
  } catch (const std::bad_alloc&) {
    return E_OUTOFMEMORY;
  }
  *out = new (std::nothrow) Enumerator<Interface, iid, Item>(std::move(snapshot), 0);
  return *out ? S_OK : E_OUTOFMEMORY;
}

}  // namespace

HRESULT EnumerateConnectionPoints(const std::vector<IConnectionPoint*>& points,
                                  IEnumConnectionPoints** out) {
  return Enumerate<IEnumConnectionPoints, IID_IEnumConnectionPoints>(points, out);
}

HRESULT EnumerateConnections(const std::vector<CONNECTDATA>& connections,
                             IEnumConnections** out) {
  return Enumerate<IEnumConnections, IID_IEnumConnections>(connections, out);
}

HRESULT EnumerateVerbList(const std::vector<OLEVERB>& verbs, IEnumOLEVERB** out) {
  return Enumerate<IEnumOLEVERB, IID_IEnumOLEVERB>(verbs, out);
}

}  // namespace win32host
