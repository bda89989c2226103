// Fuzz bytes read as a stream of small decisions; past the end every read gives zeros.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace kestrix {

namespace fuzzing {

class Input {
 public:
  Input(const uint8_t* data, size_t size) : data_(data), size_(size) {}
  bool Done() const { return at_ >= size_; }
  uint8_t Byte() { return at_ < size_ ? data_[at_++] : 0; }
  // Reads in sequence (not within one expression), so that every compiler decodes an input
  // the same way and a saved input replays in any build.
  uint16_t Word() {
    uint16_t low = Byte();
    return static_cast<uint16_t>(low | Byte() << 8);
  }
  uint32_t Long() {
    uint32_t low = Word();
    return low | static_cast<uint32_t>(Word()) << 16;
  }
  // 0..n-1 (n >= 1).
  size_t Below(size_t n) { return n <= 256 ? Byte() % n : Word() % n; }
  template <typename T, size_t N>
  const T& Pick(const T (&items)[N]) {
    return items[Below(N)];
  }
  template <typename T>
  const T& Pick(const std::vector<T>& items) {
    return items[Below(items.size())];
  }
  // Up to max bytes, length first.
  std::string Bytes(size_t max) {
    size_t length = Below(max + 1);
    std::string out;
    while (out.size() < length && !Done()) out += static_cast<char>(Byte());
    return out;
  }

 private:
  const uint8_t* data_;
  size_t size_;
  size_t at_ = 0;
};

}  // namespace fuzzing

}  // namespace kestrix
