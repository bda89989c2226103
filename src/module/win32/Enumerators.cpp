#include "module/win32/Enumerators.h"

#include <algorithm>
#include <memory>
#include <new>

#include "module/win32/ModuleBridge.h"

namespace win32host {
namespace {

IUnknown* HeldPart(IConnectionPoint* point) { return point; }
IUnknown* HeldPart(const CONNECTDATA& connection) { return connection.pUnk; }

const IID& InterfaceOf(IEnumConnectionPoints*) { return IID_IEnumConnectionPoints; }
const IID& InterfaceOf(IEnumConnections*) { return IID_IEnumConnections; }

// The items, shared by an enumerator and its clones; released when the last goes.
template <typename Item>
class Snapshot {
 public:
  explicit Snapshot(const std::vector<Item>& items) : items_(items) {
    for (const Item& item : items_) HeldPart(item)->AddRef();
  }
  ~Snapshot() {
    for (const Item& item : items_) HeldPart(item)->Release();
  }
  Snapshot(const Snapshot&) = delete;
  Snapshot& operator=(const Snapshot&) = delete;
  const std::vector<Item>& Items() const { return items_; }

 private:
  std::vector<Item> items_;
};

template <typename Interface, typename Item>
class Enumerator final : public Interface {
 public:
  Enumerator(std::shared_ptr<const Snapshot<Item>> snapshot, size_t next)
      : snapshot_(std::move(snapshot)), next_(next) {
    LockModule(true);
  }
  ~Enumerator() { LockModule(false); }

  HRESULT STDMETHODCALLTYPE QueryInterface(REFIID riid, void** object) override {
    if (!object) return E_POINTER;
    *object = nullptr;
    if (!IsEqualIID(riid, IID_IUnknown) && !IsEqualIID(riid, InterfaceOf(this)))
      return E_NOINTERFACE;
    *object = static_cast<Interface*>(this);
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

  HRESULT STDMETHODCALLTYPE Next(ULONG count, Item* items, ULONG* fetched) override {
    if (!items || (count > 1 && !fetched)) return E_POINTER;
    const std::vector<Item>& all = snapshot_->Items();
    ULONG given = 0;
    for (; given < count && next_ < all.size(); ++given, ++next_) {
      items[given] = all[next_];
      HeldPart(items[given])->AddRef();  // the caller's reference
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
  ULONG refs_ = 1;
};

template <typename Interface, typename Item>
HRESULT Enumerate(const std::vector<Item>& items, Interface** out) {
  if (!out) return E_POINTER;
  *out = nullptr;
  std::shared_ptr<const Snapshot<Item>> snapshot;
  try {
    snapshot = std::make_shared<const Snapshot<Item>>(items);
  } catch (const std::bad_alloc&) {
    return E_OUTOFMEMORY;
  }
  *out = new (std::nothrow) Enumerator<Interface, Item>(std::move(snapshot), 0);
  return *out ? S_OK : E_OUTOFMEMORY;
}

}  // namespace

HRESULT EnumerateConnectionPoints(const std::vector<IConnectionPoint*>& points,
                                  IEnumConnectionPoints** out) {
  return Enumerate(points, out);
}

HRESULT EnumerateConnections(const std::vector<CONNECTDATA>& connections,
                             IEnumConnections** out) {
  return Enumerate(connections, out);
}

}  // namespace win32host
