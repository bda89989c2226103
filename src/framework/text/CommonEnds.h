// How far two texts agree from their starts and from their ends: an edit changes a large text
// in one place, and what lies either side of it can be kept.
#pragma once

#include <algorithm>
#include <cstddef>
#include <cstring>
#include <string_view>

namespace kestrix {

// Bytes equal at the starts of a and b.
inline size_t CommonPrefix(std::string_view a, std::string_view b) {
  const size_t n = std::min(a.size(), b.size());
  // Compared in blocks first: the texts are large and usually differ in one place.
  constexpr size_t kBlock = 256;
  size_t i = 0;
  while (i + kBlock <= n && std::memcmp(a.data() + i, b.data() + i, kBlock) == 0) i += kBlock;
  while (i < n && a[i] == b[i]) ++i;
  return i;
}

// Bytes equal at the ends of a and b, at most limit (at most the shorter size).
inline size_t CommonSuffix(std::string_view a, std::string_view b, size_t limit) {
  constexpr size_t kBlock = 256;
  size_t i = 0;
  while (i + kBlock <= limit &&
         std::memcmp(a.data() + a.size() - i - kBlock, b.data() + b.size() - i - kBlock, kBlock) == 0)
    i += kBlock;
  while (i < limit && a[a.size() - 1 - i] == b[b.size() - 1 - i]) ++i;
  return i;
}

}  // namespace kestrix
