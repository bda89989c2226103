// Widths of shaped segments, the lookup made on every measurement. A flat open-addressing
// table keeps each entry, key bytes included, in one small slot, so a lookup touches one
// cache line instead of chasing nodes. Two generations bound it: when the young table is
// half full it becomes the old one and the previous old one is dropped; hits in the old
// table move back to the young one.
//
// A line laid out a letter at a time asks for "ab", "abc", "abcd", ...: each entry also
// names the slot where its key grown by one byte was last found, so the next key of such a
// chain is met in a slot fetched ahead of time instead of at a fresh place in the table.
#pragma once

#include <array>
#include <cstdint>
#include <string_view>
#include <vector>

namespace kestrix::arabtext {

class WidthCache {
 public:
  // Keys longer than this are not cached here.
  static constexpr size_t kMaxKeyBytes = 13;

  // slotsPerGeneration is rounded up to a power of two.
  explicit WidthCache(size_t slotsPerGeneration = size_t{1} << 17);

  static uint64_t Hash(uint32_t font, uint8_t slot, std::string_view bytes);

  bool Find(uint32_t font, uint8_t slot, std::string_view bytes, int32_t& width);
  void Insert(uint32_t font, uint8_t slot, std::string_view bytes, int32_t width);
  size_t Size() const { return young_.count + old_.count; }

 private:
  static constexpr uint32_t kNone = UINT32_MAX;
  static constexpr uint32_t kFirstByte = UINT32_MAX - 1;

  struct Entry {
    uint32_t hashTag;  // the hash's upper half
    uint32_t font;
    int32_t width;
    uint32_t grown;  // the young slot where this key plus grownByte was last found, or kNone
    uint8_t slot;
    uint8_t length;  // 0 marks an empty slot: segments are never empty
    uint8_t grownByte;
    char bytes[kMaxKeyBytes];
  };
  static_assert(sizeof(Entry) == 32);

  struct Table {
    std::vector<Entry> entries;
    size_t count = 0;
  };

  static bool Holds(const Entry& e, uint32_t font, uint8_t slot, std::string_view bytes);
  static uint32_t Lookup(const Table& table, uint32_t font, uint8_t slot, std::string_view bytes, uint64_t hash);
  uint32_t Put(uint32_t font, uint8_t slot, std::string_view bytes, uint64_t hash, int32_t width);
  // Where to look for bytes as the grown key of a shorter one: the young slot of bytes
  // without its last byte when that is the entry found last, or for two bytes kFirstByte
  // when the first byte's record is of this font and slot; else kNone.
  uint32_t ShorterByOne(uint32_t font, uint8_t slot, std::string_view bytes) const;
  uint32_t FirstByteSlot(uint32_t font, uint8_t slot, uint8_t byte) const;
  // Records that the entry at shorter, grown by one byte, lives at `at`.
  void Link(uint32_t shorter, uint32_t at, std::string_view bytes);
  // The entry at `at` was just used: the slot of its grown key is fetched ahead.
  void Touch(uint32_t at);

  size_t slots_;
  Table young_;
  Table old_;
  // One-byte keys are not kept here, so the two-byte keys they grow into are found through a
  // record per first byte: the young slot of the two-byte key last found, for one font and slot.
  struct FirstByte {
    uint32_t font = 0;
    uint32_t grown = kNone;
    uint8_t slot = 0;
    uint8_t grownByte = 0;
  };
  std::array<FirstByte, 256> firstBytes_;
  uint32_t last_ = kNone;  // the young slot found or filled last
  uint64_t retired_ = 0;   // young tables retired so far: slots of earlier ones mean nothing
};

}  // namespace kestrix::arabtext
