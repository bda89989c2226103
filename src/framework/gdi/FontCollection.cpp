#include "framework/gdi/FontCollection.h"

#include <map>

namespace kestrix::fontcollection {
namespace {

constexpr size_t kHeaderSize = 12;       // tag, version, face count
constexpr size_t kDirectoryHead = 12;    // a face's version, table count, search fields
constexpr size_t kTableRecordSize = 16;  // tag, checksum, offset, length

std::optional<uint32_t> Read32(std::string_view bytes, size_t at) {
  if (at > bytes.size() || bytes.size() - at < 4) return std::nullopt;
  const auto byte = [&](size_t i) {
    return static_cast<uint32_t>(static_cast<uint8_t>(bytes[at + i]));
  };
  return byte(0) << 24 | byte(1) << 16 | byte(2) << 8 | byte(3);
}

std::optional<uint16_t> Read16(std::string_view bytes, size_t at) {
  if (at > bytes.size() || bytes.size() - at < 2) return std::nullopt;
  return static_cast<uint16_t>(static_cast<uint8_t>(bytes[at]) << 8 |
                               static_cast<uint8_t>(bytes[at + 1]));
}

// Whether the face whose table directory starts at `at` has the selected face's tables.
bool SameFace(std::string_view collection, size_t at, const TableReader& table,
              std::map<std::string, std::optional<std::string>>& seen) {
  const std::optional<uint16_t> count = Read16(collection, at + 4);
  if (!count || *count == 0) return false;
  bool namesCompared = false;
  for (size_t i = 0; i < *count; ++i) {
    const size_t record = at + kDirectoryHead + i * kTableRecordSize;
    if (record > collection.size() || collection.size() - record < kTableRecordSize) return false;
    const std::string tag(collection.substr(record, 4));
    const std::optional<uint32_t> offset = Read32(collection, record + 8);
    const std::optional<uint32_t> length = Read32(collection, record + 12);
    if (*offset > collection.size() || collection.size() - *offset < *length) return false;
    auto known = seen.find(tag);
    if (known == seen.end()) known = seen.emplace(tag, table(tag)).first;
    const std::optional<std::string>& selected = known->second;
    if (!selected || selected->size() != *length) return false;
    if (tag == "name") {
      if (collection.substr(*offset, *length) != *selected) return false;
      namesCompared = true;
    }
  }
  return namesCompared;
}

}  // namespace

bool IsCollection(std::string_view bytes) { return bytes.substr(0, 4) == "ttcf"; }

std::optional<int> FaceIndex(std::string_view collection, const TableReader& table) {
  if (!IsCollection(collection) || collection.size() < kHeaderSize) return std::nullopt;
  const std::optional<uint32_t> faces = Read32(collection, 8);
  // The selected face's tables, each asked for once.
  std::map<std::string, std::optional<std::string>> seen;
  for (uint32_t i = 0; faces && i < *faces; ++i) {
    const std::optional<uint32_t> at = Read32(collection, kHeaderSize + size_t{i} * 4);
    if (!at) return std::nullopt;
    if (SameFace(collection, *at, table, seen)) return static_cast<int>(i);
  }
  return std::nullopt;
}

}  // namespace kestrix::fontcollection
