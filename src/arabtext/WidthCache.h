// Widths of shaped segments, the lookup made on every measurement. A flat open-addressing
// table keeps each entry, key bytes included, in one small slot, so a lookup touches one
// cache line instead of chasing nodes. Two generations bound it: when the young table is
// half full it becomes the old one and the previous old one is dropped; hits in the old
// table move back to the young one.
#pragma once

#include <cstdint>
#include <string_view>
#include <vector>

namespace arabtext {

class WidthCache {
 public:
  // Keys longer than this are not cached here.
  static constexpr size_t kMaxKeyBytes = 14;

  // slotsPerGeneration is rounded up to a power of two.
  explicit WidthCache(size_t slotsPerGeneration = size_t{1} << 17);

  static uint64_t Hash(uint32_t font, uint8_t slot, std::string_view bytes);

  bool Find(uint32_t font, uint8_t slot, std::string_view bytes, uint64_t hash, int32_t& width);
  void Insert(uint32_t font, uint8_t slot, std::string_view bytes, uint64_t hash, int32_t width);
  size_t Size() const { return young_.count + old_.count; }

 private:
  struct Entry {
    uint64_t hash;
    uint32_t font;
    int32_t width;
    uint8_t slot;
    uint8_t length;  // 0 marks an empty slot: segments are never empty
    char bytes[kMaxKeyBytes];
  };
  static_assert(sizeof(Entry) == 32);

  struct Table {
    std::vector<Entry> entries;
    size_t count = 0;
  };

  static Entry* Lookup(Table& table, uint32_t font, uint8_t slot, std::string_view bytes, uint64_t hash);
  void Put(uint32_t font, uint8_t slot, std::string_view bytes, uint64_t hash, int32_t width);

  size_t slots_;
  Table young_;
  Table old_;
};

}  // namespace arabtext
