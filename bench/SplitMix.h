// splitmix64: the same numbers on every compiler and standard library, unlike <random>'s
// distributions, so generated corpora and files are the same everywhere.
#pragma once

#include <cstddef>
#include <cstdint>

namespace kestrix {

namespace bench {

class SplitMix {
 public:
  explicit SplitMix(uint64_t seed) : state_(seed) {}
  uint64_t Next() {
    uint64_t z = (state_ += 0x9e3779b97f4a7c15ull);
    z = (z ^ (z >> 30)) * 0xbf58476d1ce4e5b9ull;
    z = (z ^ (z >> 27)) * 0x94d049bb133111ebull;
    return z ^ (z >> 31);
  }
  size_t Below(size_t n) { return static_cast<size_t>(Next() % n); }
  double Unit() { return static_cast<double>(Next() >> 11) * 0x1.0p-53; }
  int Between(int low, int high) {  // inclusive
    return low + static_cast<int>(Next() % static_cast<uint64_t>(high - low + 1));
  }

 private:
  uint64_t state_;
};

}  // namespace bench

}  // namespace kestrix
