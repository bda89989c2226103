// A thread's list of objects (its displays, its open dialogs), to be held thread_local: the
// vector lives behind a plain pointer and is freed when the list empties, so the list itself
// has no destructor. A thread-local object with one is registered to be destroyed at the
// thread's exit, and on Windows that keeps the module holding it loaded for as long as the
// thread lives: a module that a design tool unloads and loads again could never go.
#pragma once

#include <algorithm>
#include <type_traits>
#include <vector>

namespace kestrix {

template <typename T>
class ThreadList {
 public:
  constexpr ThreadList() = default;

  bool Empty() const { return !items_; }
  // The newest; the list must not be empty.
  T* Newest() const { return items_->back(); }
  void Add(T* item) {
    if (!items_) items_ = new std::vector<T*>;
    items_->push_back(item);
  }
  void Remove(T* item) {
    if (!items_) return;
    items_->erase(std::remove(items_->begin(), items_->end(), item), items_->end());
    if (items_->empty()) {
      delete items_;
      items_ = nullptr;
    }
  }
  // Makes item the newest, adding it when it is not in the list.
  void MakeNewest(T* item) {
    if (items_) {
      auto found = std::find(items_->begin(), items_->end(), item);
      if (found != items_->end()) {
        std::rotate(found, found + 1, items_->end());
        return;
      }
    }
    Add(item);
  }
  // The newest item that pred accepts, or null.
  template <typename Pred>
  T* FindNewest(Pred pred) const {
    if (!items_) return nullptr;
    for (auto it = items_->rbegin(); it != items_->rend(); ++it)
      if (pred(*it)) return *it;
    return nullptr;
  }
  std::vector<T*> Items() const { return items_ ? *items_ : std::vector<T*>{}; }

 private:
  std::vector<T*>* items_ = nullptr;  // null while empty
};

static_assert(std::is_trivially_destructible_v<ThreadList<int>>);

}  // namespace kestrix
