// A hash map that holds at most about twice its capacity. Entries live in a young and an
// old generation: when the young one fills, it becomes the old one and the previous old one
// is dropped. A hit in the old generation moves the entry back to the young one, so what is
// in use stays while what is not ages out, at the cost of a plain hash lookup.
#pragma once

#include <cstddef>
#include <unordered_map>
#include <utility>

namespace kestrix::arabtext {

template <typename Key, typename Value, typename Hash, typename Equal>
class BoundedCache {
 public:
  explicit BoundedCache(size_t capacity) : capacity_(capacity < 1 ? 1 : capacity) {}

  // The cached value, or null. The pointer stays valid until the next Insert or Find.
  template <typename Probe>
  Value* Find(const Probe& key) {
    if (auto it = young_.find(key); it != young_.end()) return &it->second;
    auto it = old_.find(key);
    if (it == old_.end()) return nullptr;
    auto node = old_.extract(it);
    MakeRoom();
    return &young_.insert(std::move(node)).position->second;
  }

  Value& Insert(Key key, Value value) {
    MakeRoom();
    return young_.insert_or_assign(std::move(key), std::move(value)).first->second;
  }

  size_t Size() const { return young_.size() + old_.size(); }
  size_t Capacity() const { return capacity_; }
  void Clear() {
    young_.clear();
    old_.clear();
  }

 private:
  void MakeRoom() {
    if (young_.size() < capacity_) return;
    old_ = std::move(young_);
    young_ = {};
    young_.reserve(capacity_);
  }

  size_t capacity_;
  std::unordered_map<Key, Value, Hash, Equal> young_;
  std::unordered_map<Key, Value, Hash, Equal> old_;
};

}  // namespace kestrix::arabtext
