// A class identity in standard types, for the files that cannot see both the framework's GUID
// and the platform's (see ControlInstance.h). Both have this layout, so a copy converts.
#pragma once

#include <cstdint>
#include <cstring>

namespace win32host {

struct ClassId {
  uint32_t data1;
  uint16_t data2;
  uint16_t data3;
  uint8_t data4[8];
};

template <typename Guid>
Guid GuidOf(const ClassId& id) {
  static_assert(sizeof(Guid) == sizeof(ClassId), "a GUID is 16 bytes");
  Guid guid{};
  std::memcpy(&guid, &id, sizeof guid);
  return guid;
}

template <typename Guid>
ClassId ClassIdOf(const Guid& guid) {
  static_assert(sizeof(Guid) == sizeof(ClassId), "a GUID is 16 bytes");
  ClassId id{};
  std::memcpy(&id, &guid, sizeof id);
  return id;
}

}  // namespace win32host
