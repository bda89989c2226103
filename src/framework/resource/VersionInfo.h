// The version information of a module: fixed version numbers and one block of named strings
// in one translation.
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <utility>
#include <vector>

namespace kestrix {

struct VersionInfo {
  // Four parts, most significant first: 1.0.0.1 is {1, 0, 0, 1}.
  std::array<uint16_t, 4> fileVersion{};
  std::array<uint16_t, 4> productVersion{};
  uint16_t translationLanguage = 0x0409;
  uint16_t translationCodePage = 0x04B0;
  // Named strings in the order the module lists them; an entry may be empty.
  std::vector<std::pair<std::string, std::string>> strings;

  // The value of a named string, or null when the module has none.
  const std::string* Find(const std::string& name) const {
    for (const auto& [key, value] : strings)
      if (key == name) return &value;
    return nullptr;
  }
};

}  // namespace kestrix
