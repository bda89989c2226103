// IUnknown written once. An object names the interfaces it answers and how its references are
// counted, and inherits QueryInterface, AddRef and Release:
//
//   class Page final
//       : public com::Object<com::Counted,
//                            com::Answer<IPropertyPage, IID_IUnknown, IID_IPropertyPage>>
//
// QueryInterface answers each IID listed with the interface beside it, AddRef'd; a null
// out-pointer gets E_POINTER, any other IID E_NOINTERFACE with the out-pointer nulled. An
// interface listed with no IID is one the object implements but its owner answers for it
// (com::AnsweredByOwner).
//
// The header declares no object model of its own: it is included after the framework's
// (framework/ole/ObjectModel.h) or the platform's (<unknwn.h>), and serves both, the framework's
// objects on Linux and the Windows module's.
#pragma once

#include <memory>

#ifdef STDMETHODCALLTYPE
#define KESTRIX_COM_CALL STDMETHODCALLTYPE
#else
#define KESTRIX_COM_CALL
#endif

namespace kestrix::com {

// Interface, answered for each of iids.
template <typename Interface, const IID&... iids>
struct Answer {
  using Type = Interface;
  static bool Names(REFIID riid) { return (IsEqualGUID(riid, iids) || ...); }
};

// Lifetimes: each keeps (or passes on) the reference count, and may answer IIDs the list does
// not name.
class AnswersListedOnly {
 public:
  static HRESULT AnswerUnlisted(REFIID, void**) { return E_NOINTERFACE; }
};

// Counted here, from one reference by default; the last Release runs FinalRelease, which
// deletes the object. A Release with no reference left answers 0 and does nothing.
class Counted : public AnswersListedOnly {
 public:
  ULONG InternalAddRef() { return ++refs_; }
  ULONG InternalRelease() {
    if (refs_ == 0) return 0;
    if (--refs_ > 0) return refs_;
    FinalRelease();
    return 0;
  }
  ULONG InternalRefCount() const { return refs_; }

 protected:
  explicit Counted(ULONG refs = 1) : refs_(refs) {}
  virtual ~Counted() = default;
  Counted(const Counted&) = delete;
  Counted& operator=(const Counted&) = delete;
  // The object is gone once this returns.
  virtual void FinalRelease() { delete this; }

 private:
  ULONG refs_;
};

// Not counted: the object outlives every reference (it lives as long as its module or its
// owner), so AddRef answers 2 and Release 1.
class Uncounted : public AnswersListedOnly {
 public:
  static ULONG InternalAddRef() { return 2; }
  static ULONG InternalRelease() { return 1; }
};

// A part of Owner: its references are the owner's.
template <typename Owner>
class PartOf : public AnswersListedOnly {
 public:
  explicit PartOf(Owner& owner) : owner_(owner) {}
  ULONG InternalAddRef() { return owner_.InternalAddRef(); }
  ULONG InternalRelease() { return owner_.InternalRelease(); }

 protected:
  Owner& owner_;
};

// A part of Owner that answers as its owner does: what the list does not name, the owner's
// InternalQueryInterface answers.
template <typename Owner>
class AnsweredByOwner : public PartOf<Owner> {
 public:
  using PartOf<Owner>::PartOf;
  HRESULT AnswerUnlisted(REFIID riid, void** object) {
    return this->owner_.InternalQueryInterface(riid, object);
  }
};

// Counted, for an object made in a shared_ptr: while references are out it holds itself, so
// that it outlives its last shared_ptr until the last Release; one with automatic storage
// must outlive the references handed out.
template <typename Self>
class SharedCounted : public AnswersListedOnly, public std::enable_shared_from_this<Self> {
 public:
  ULONG InternalAddRef() {
    if (refs_++ == 0) self_ = this->weak_from_this().lock();
    return refs_;
  }
  ULONG InternalRelease() {
    if (refs_ == 0) return 0;
    if (--refs_ > 0) return refs_;
    // The last reference may be what keeps the object alive: let it go last.
    std::shared_ptr<Self> keep = std::move(self_);
    return 0;
  }

 protected:
  SharedCounted() = default;
  SharedCounted(const SharedCounted&) = delete;
  SharedCounted& operator=(const SharedCounted&) = delete;
  ~SharedCounted() = default;

 private:
  ULONG refs_ = 0;
  std::shared_ptr<Self> self_;
};

// The mixin: derives from each interface listed and answers for them; Lifetime counts.
template <typename Lifetime, typename... Answers>
class Object : public Answers::Type..., public Lifetime {
 public:
  using Lifetime::Lifetime;

  HRESULT KESTRIX_COM_CALL QueryInterface(REFIID riid, void** object) override {
    if (!object) return E_POINTER;
    *object = nullptr;
    void* found = Find<Answers...>(riid);
    if (!found) return this->AnswerUnlisted(riid, object);
    *object = found;
    this->InternalAddRef();
    return S_OK;
  }
  ULONG KESTRIX_COM_CALL AddRef() override { return this->InternalAddRef(); }
  ULONG KESTRIX_COM_CALL Release() override { return this->InternalRelease(); }

 private:
  template <typename First, typename... Rest>
  void* Find(REFIID riid) {
    if (First::Names(riid)) return static_cast<typename First::Type*>(this);
    if constexpr (sizeof...(Rest) > 0)
      return Find<Rest...>(riid);
    else
      return nullptr;
  }
};

}  // namespace kestrix::com
