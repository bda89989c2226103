#include "arabtext/WidthCache.h"

#include <cstring>
#include <utility>

namespace arabtext {

WidthCache::WidthCache(size_t slotsPerGeneration) : slots_(16) {
  while (slots_ < slotsPerGeneration) slots_ *= 2;
  young_.entries.assign(slots_, Entry{});
}

uint64_t WidthCache::Hash(uint32_t font, uint8_t slot, std::string_view bytes) {
  // FNV-1a with a final mix: segments are short, and this runs on every measurement.
  uint64_t h = 0xcbf29ce484222325ull ^ (static_cast<uint64_t>(font) << 8 | slot);
  for (char c : bytes) {
    h ^= static_cast<uint8_t>(c);
    h *= 0x100000001b3ull;
  }
  h ^= h >> 32;
  h *= 0xd6e8feb86659fd93ull;
  return h ^ (h >> 32);
}

WidthCache::Entry* WidthCache::Lookup(Table& table, uint32_t font, uint8_t slot, std::string_view bytes,
                                      uint64_t hash) {
  if (table.entries.empty()) return nullptr;
  const size_t mask = table.entries.size() - 1;
  for (size_t i = hash & mask;; i = (i + 1) & mask) {
    Entry& e = table.entries[i];
    if (e.length == 0) return nullptr;
    if (e.hash == hash && e.font == font && e.slot == slot && e.length == bytes.size() &&
        std::memcmp(e.bytes, bytes.data(), bytes.size()) == 0)
      return &e;
  }
}

bool WidthCache::Find(uint32_t font, uint8_t slot, std::string_view bytes, uint64_t hash, int32_t& width) {
  if (bytes.empty() || bytes.size() > kMaxKeyBytes) return false;
  if (const Entry* e = Lookup(young_, font, slot, bytes, hash)) {
    width = e->width;
    return true;
  }
  if (const Entry* e = Lookup(old_, font, slot, bytes, hash)) {
    width = e->width;
    Put(font, slot, bytes, hash, width);
    return true;
  }
  return false;
}

void WidthCache::Insert(uint32_t font, uint8_t slot, std::string_view bytes, uint64_t hash, int32_t width) {
  if (bytes.empty() || bytes.size() > kMaxKeyBytes) return;
  if (Entry* e = Lookup(young_, font, slot, bytes, hash)) {
    e->width = width;
    return;
  }
  Put(font, slot, bytes, hash, width);
}

void WidthCache::Put(uint32_t font, uint8_t slot, std::string_view bytes, uint64_t hash, int32_t width) {
  // Half full keeps probe runs short; then the young table retires.
  if (young_.count * 2 >= slots_) {
    old_ = std::move(young_);
    young_ = Table{};
    young_.entries.assign(slots_, Entry{});
  }
  const size_t mask = slots_ - 1;
  size_t i = hash & mask;
  while (young_.entries[i].length != 0) i = (i + 1) & mask;
  Entry& e = young_.entries[i];
  e.hash = hash;
  e.font = font;
  e.width = width;
  e.slot = slot;
  e.length = static_cast<uint8_t>(bytes.size());
  std::memcpy(e.bytes, bytes.data(), bytes.size());
  ++young_.count;
}

}  // namespace arabtext
