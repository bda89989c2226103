// Where BSTRs live: blocks of our own, a 32-bit byte count before the characters. (On
// Windows the system's automation library allocates them instead, so that a container frees
// what the control gives it.)
#include <cstdlib>
#include <cstring>
#include <limits>

#include "framework/ole/Bstr.h"

namespace kestrix {

namespace {
constexpr size_t kPrefix = sizeof(uint32_t);

uint32_t* PrefixOf(BSTR text) {
  return reinterpret_cast<uint32_t*>(reinterpret_cast<char*>(text) - kPrefix);
}
}  // namespace

BSTR SysAllocStringLen(LPCOLESTR text, UINT len) {
  // The prefix counts bytes in 32 bits; longer strings cannot be described.
  if (len > (std::numeric_limits<uint32_t>::max() - kPrefix - 2) / 2) return nullptr;
  const size_t bytes = static_cast<size_t>(len) * sizeof(OLECHAR);
  auto* block = static_cast<char*>(std::malloc(kPrefix + bytes + sizeof(OLECHAR)));
  if (!block) return nullptr;
  const auto prefix = static_cast<uint32_t>(bytes);
  std::memcpy(block, &prefix, kPrefix);
  auto* chars = reinterpret_cast<BSTR>(block + kPrefix);
  if (text)
    std::memcpy(chars, text, bytes);
  else
    std::memset(chars, 0, bytes);
  chars[len] = 0;
  return chars;
}

void SysFreeString(BSTR text) {
  if (text) std::free(PrefixOf(text));
}

UINT SysStringByteLen(BSTR text) { return text ? *PrefixOf(text) : 0; }

}  // namespace kestrix
