// The registry held in memory: keys named by paths of components separated by '\', each with
// named values (strings or 32-bit numbers) and sub-keys. Names compare without regard to ASCII
// case, as the platform registry's do, and keep the spelling they were created with.
#pragma once

#include <cstdint>
#include <map>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

namespace kestrix {

struct RegistryValue {
  enum class Type { String, Dword };
  Type type = Type::String;
  std::string text;     // String
  uint32_t number = 0;  // Dword
  bool operator==(const RegistryValue&) const = default;
};

// The default (unnamed) value of a key has the empty name.
class RegistryTree {
 public:
  RegistryTree();
  ~RegistryTree();
  RegistryTree(const RegistryTree& other);
  RegistryTree& operator=(const RegistryTree& other);

  // A path is valid when it has at least one component, no empty component, no control
  // character, and stays within the depth and length limits; the tree refuses anything else.
  static constexpr size_t kMaxDepth = 64;
  static constexpr size_t kMaxPathLength = 4096;
  static bool IsValidPath(std::string_view path);
  static bool IsValidName(std::string_view name);

  bool HasKey(std::string_view path) const;
  // Creates the key and any missing parent; false for an invalid path.
  bool CreateKey(std::string_view path);
  bool SetString(std::string_view path, std::string_view name, std::string_view value);
  bool SetDword(std::string_view path, std::string_view name, uint32_t value);
  bool SetValue(std::string_view path, std::string_view name, const RegistryValue& value);
  const RegistryValue* Find(std::string_view path, std::string_view name) const;
  // The string value, or nullptr when it is missing or not a string.
  const std::string* FindString(std::string_view path, std::string_view name) const;
  bool DeleteValue(std::string_view path, std::string_view name);
  // Deletes the key if it has no value and no sub-key, then each parent up to the root that
  // this leaves empty. Keys above `keep` (a prefix of path, or empty) are never removed.
  void PruneEmpty(std::string_view path, std::string_view keep = {});

  // Every key in order (case-insensitive, depth first) with its values, for writing out.
  struct KeyView {
    std::string path;
    std::vector<std::pair<std::string, RegistryValue>> values;
  };
  std::vector<KeyView> Keys() const;
  std::vector<std::string> SubKeys(std::string_view path) const;

  bool operator==(const RegistryTree& other) const;

 private:
  struct Node;
  Node* Walk(std::string_view path, bool create);
  const Node* Walk(std::string_view path) const;

  std::unique_ptr<Node> root_;
};

// Case-insensitive ASCII comparison, as the registry compares names.
struct RegistryNameLess {
  bool operator()(const std::string& a, const std::string& b) const;
};

}  // namespace kestrix
