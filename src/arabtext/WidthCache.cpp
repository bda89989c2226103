#include "arabtext/WidthCache.h"

#include <cstring>
#include <utility>

namespace kestrix::arabtext {

WidthCache::WidthCache(size_t slotsPerGeneration) : slots_(16) {
  while (slots_ < slotsPerGeneration) slots_ *= 2;
  young_.entries.assign(slots_, Entry{});
  firstBytes_.fill(FirstByte{});
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

bool WidthCache::Holds(const Entry& e, uint32_t font, uint8_t slot, std::string_view bytes) {
  if (e.length != bytes.size() || e.font != font || e.slot != slot) return false;
  // Keys are a few bytes long: a loop costs less than a call.
  for (size_t i = 0; i < bytes.size(); ++i)
    if (e.bytes[i] != bytes[i]) return false;
  return true;
}

uint32_t WidthCache::Lookup(const Table& table, uint32_t font, uint8_t slot, std::string_view bytes,
                            uint64_t hash) {
  if (table.entries.empty()) return kNone;
  const size_t mask = table.entries.size() - 1;
  const auto tag = static_cast<uint32_t>(hash >> 32);
  for (size_t i = hash & mask;; i = (i + 1) & mask) {
    const Entry& e = table.entries[i];
    if (e.length == 0) return kNone;
    if (e.hashTag == tag && Holds(e, font, slot, bytes)) return static_cast<uint32_t>(i);
  }
}

uint32_t WidthCache::ShorterByOne(uint32_t font, uint8_t slot, std::string_view bytes) const {
  if (bytes.size() == 2) return FirstByteSlot(font, slot, static_cast<uint8_t>(bytes[0]));
  if (last_ == kNone || bytes.size() < 2) return kNone;
  const Entry& e = young_.entries[last_];
  return Holds(e, font, slot, bytes.substr(0, bytes.size() - 1)) ? last_ : kNone;
}

void WidthCache::Link(uint32_t shorter, uint32_t at, std::string_view bytes) {
  if (bytes.size() == 2) {
    FirstByte& first = firstBytes_[static_cast<uint8_t>(bytes[0])];
    first.font = young_.entries[at].font;
    first.slot = young_.entries[at].slot;
    first.grown = at;
    first.grownByte = static_cast<uint8_t>(bytes[1]);
    return;
  }
  if (shorter == kNone) return;
  Entry& e = young_.entries[shorter];
  e.grown = at;
  e.grownByte = static_cast<uint8_t>(bytes.back());
}

uint32_t WidthCache::FirstByteSlot(uint32_t font, uint8_t slot, uint8_t byte) const {
  const FirstByte& first = firstBytes_[byte];
  return first.grown != kNone && first.font == font && first.slot == slot ? kFirstByte : kNone;
}

void WidthCache::Touch(uint32_t at) {
  last_ = at;
  if (const uint32_t grown = young_.entries[at].grown; grown != kNone) __builtin_prefetch(&young_.entries[grown]);
}

bool WidthCache::Find(uint32_t font, uint8_t slot, std::string_view bytes, int32_t& width) {
  if (bytes.empty() || bytes.size() > kMaxKeyBytes) return false;
  // The key found last, asked for again: a line's words are measured once more where the
  // line is split.
  if (last_ != kNone && Holds(young_.entries[last_], font, slot, bytes)) {
    width = young_.entries[last_].width;
    return true;
  }
  const uint32_t shorter = ShorterByOne(font, slot, bytes);
  if (shorter != kNone) {
    uint32_t grown = kNone;
    uint8_t grownByte = 0;
    if (shorter == kFirstByte) {
      const FirstByte& first = firstBytes_[static_cast<uint8_t>(bytes[0])];
      grown = first.grown;
      grownByte = first.grownByte;
    } else {
      grown = young_.entries[shorter].grown;
      grownByte = young_.entries[shorter].grownByte;
    }
    if (grown != kNone && grownByte == static_cast<uint8_t>(bytes.back()) &&
        Holds(young_.entries[grown], font, slot, bytes)) {
      width = young_.entries[grown].width;
      Touch(grown);
      return true;
    }
  }
  const uint64_t hash = Hash(font, slot, bytes);
  if (const uint32_t at = Lookup(young_, font, slot, bytes, hash); at != kNone) {
    width = young_.entries[at].width;
    Link(shorter, at, bytes);
    Touch(at);
    return true;
  }
  if (const uint32_t at = Lookup(old_, font, slot, bytes, hash); at != kNone) {
    width = old_.entries[at].width;
    const uint64_t retired = retired_;
    const uint32_t moved = Put(font, slot, bytes, hash, width);
    if (retired_ == retired) Link(shorter, moved, bytes);  // else the shorter slot retired with its table
    Touch(moved);
    return true;
  }
  return false;
}

void WidthCache::Insert(uint32_t font, uint8_t slot, std::string_view bytes, int32_t width) {
  if (bytes.empty() || bytes.size() > kMaxKeyBytes) return;
  const uint64_t hash = Hash(font, slot, bytes);
  if (const uint32_t at = Lookup(young_, font, slot, bytes, hash); at != kNone) {
    young_.entries[at].width = width;
    Touch(at);
    return;
  }
  const uint32_t shorter = ShorterByOne(font, slot, bytes);
  const uint64_t retired = retired_;
  const uint32_t at = Put(font, slot, bytes, hash, width);
  if (retired_ == retired) Link(shorter, at, bytes);
  Touch(at);
}

uint32_t WidthCache::Put(uint32_t font, uint8_t slot, std::string_view bytes, uint64_t hash, int32_t width) {
  // Half full keeps probe runs short; then the young table retires.
  if (young_.count * 2 >= slots_) {
    old_ = std::move(young_);
    young_ = Table{};
    young_.entries.assign(slots_, Entry{});
    last_ = kNone;
    firstBytes_.fill(FirstByte{});
    ++retired_;
  }
  const size_t mask = slots_ - 1;
  size_t i = hash & mask;
  while (young_.entries[i].length != 0) i = (i + 1) & mask;
  Entry& e = young_.entries[i];
  e.hashTag = static_cast<uint32_t>(hash >> 32);
  e.font = font;
  e.width = width;
  e.grown = kNone;
  e.slot = slot;
  e.length = static_cast<uint8_t>(bytes.size());
  e.grownByte = 0;
  std::memcpy(e.bytes, bytes.data(), bytes.size());
  ++young_.count;
  return static_cast<uint32_t>(i);
}

}  // namespace kestrix::arabtext
