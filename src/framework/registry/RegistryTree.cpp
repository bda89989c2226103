#include "framework/registry/RegistryTree.h"

#include <algorithm>

namespace kestrix {

namespace {

char Lower(char c) { return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c; }

bool EqualNames(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) return false;
  for (size_t i = 0; i < a.size(); ++i)
    if (Lower(a[i]) != Lower(b[i])) return false;
  return true;
}

bool HasControlCharacter(std::string_view s) {
  return std::any_of(s.begin(), s.end(),
                     [](char c) { return static_cast<unsigned char>(c) < 0x20 || c == 0x7F; });
}

std::vector<std::string_view> Components(std::string_view path) {
  std::vector<std::string_view> parts;
  size_t start = 0;
  while (true) {
    size_t end = path.find('\\', start);
    parts.push_back(path.substr(start, end == std::string_view::npos ? end : end - start));
    if (end == std::string_view::npos) break;
    start = end + 1;
  }
  return parts;
}

}  // namespace

bool RegistryNameLess::operator()(const std::string& a, const std::string& b) const {
  return std::lexicographical_compare(a.begin(), a.end(), b.begin(), b.end(),
                                      [](char x, char y) { return Lower(x) < Lower(y); });
}

struct RegistryTree::Node {
  std::map<std::string, std::unique_ptr<Node>, RegistryNameLess> children;
  std::map<std::string, RegistryValue, RegistryNameLess> values;

  std::unique_ptr<Node> Clone() const {
    auto copy = std::make_unique<Node>();
    copy->values = values;
    for (const auto& [name, child] : children) copy->children.emplace(name, child->Clone());
    return copy;
  }
  bool Equals(const Node& other) const {
    if (values.size() != other.values.size() || children.size() != other.children.size())
      return false;
    for (auto a = values.begin(), b = other.values.begin(); a != values.end(); ++a, ++b)
      if (!EqualNames(a->first, b->first) || !(a->second == b->second)) return false;
    for (auto a = children.begin(), b = other.children.begin(); a != children.end(); ++a, ++b)
      if (!EqualNames(a->first, b->first) || !a->second->Equals(*b->second)) return false;
    return true;
  }
};

RegistryTree::RegistryTree() : root_(std::make_unique<Node>()) {}
RegistryTree::~RegistryTree() = default;
RegistryTree::RegistryTree(const RegistryTree& other) : root_(other.root_->Clone()) {}
RegistryTree& RegistryTree::operator=(const RegistryTree& other) {
  if (this != &other) root_ = other.root_->Clone();
  return *this;
}

bool RegistryTree::IsValidPath(std::string_view path) {
  if (path.empty() || path.size() > kMaxPathLength || HasControlCharacter(path)) return false;
  std::vector<std::string_view> parts = Components(path);
  if (parts.size() > kMaxDepth) return false;
  for (std::string_view part : parts)
    if (part.empty()) return false;
  return true;
}

bool RegistryTree::IsValidName(std::string_view name) { return !HasControlCharacter(name); }

RegistryTree::Node* RegistryTree::Walk(std::string_view path, bool create) {
  if (!IsValidPath(path)) return nullptr;
  Node* node = root_.get();
  for (std::string_view part : Components(path)) {
    auto it = node->children.find(std::string(part));
    if (it == node->children.end()) {
      if (!create) return nullptr;
      it = node->children.emplace(std::string(part), std::make_unique<Node>()).first;
    }
    node = it->second.get();
  }
  return node;
}

const RegistryTree::Node* RegistryTree::Walk(std::string_view path) const {
  return const_cast<RegistryTree*>(this)->Walk(path, false);
}

bool RegistryTree::HasKey(std::string_view path) const { return Walk(path) != nullptr; }

bool RegistryTree::CreateKey(std::string_view path) { return Walk(path, true) != nullptr; }

bool RegistryTree::SetValue(std::string_view path, std::string_view name,
                            const RegistryValue& value) {
  if (!IsValidName(name)) return false;
  Node* node = Walk(path, true);
  if (!node) return false;
  auto it = node->values.find(std::string(name));
  if (it != node->values.end())
    it->second = value;
  else
    node->values.emplace(std::string(name), value);
  return true;
}

bool RegistryTree::SetString(std::string_view path, std::string_view name,
                             std::string_view value) {
  return SetValue(path, name, {RegistryValue::Type::String, std::string(value), 0});
}

bool RegistryTree::SetDword(std::string_view path, std::string_view name, uint32_t value) {
  return SetValue(path, name, {RegistryValue::Type::Dword, {}, value});
}

const RegistryValue* RegistryTree::Find(std::string_view path, std::string_view name) const {
  const Node* node = Walk(path);
  if (!node) return nullptr;
  auto it = node->values.find(std::string(name));
  return it == node->values.end() ? nullptr : &it->second;
}

const std::string* RegistryTree::FindString(std::string_view path, std::string_view name) const {
  const RegistryValue* value = Find(path, name);
  return value && value->type == RegistryValue::Type::String ? &value->text : nullptr;
}

bool RegistryTree::DeleteValue(std::string_view path, std::string_view name) {
  Node* node = Walk(path, false);
  return node && node->values.erase(std::string(name)) > 0;
}

void RegistryTree::PruneEmpty(std::string_view path, std::string_view keep) {
  std::string current(path);
  while (!current.empty() && current.size() > keep.size()) {
    size_t cut = current.rfind('\\');
    Node* parent = cut == std::string::npos ? root_.get() : Walk(current.substr(0, cut), false);
    if (!parent) return;
    auto it = parent->children.find(current.substr(cut == std::string::npos ? 0 : cut + 1));
    if (it == parent->children.end()) return;
    if (!it->second->values.empty() || !it->second->children.empty()) return;
    parent->children.erase(it);
    current = cut == std::string::npos ? std::string() : current.substr(0, cut);
  }
}

std::vector<RegistryTree::KeyView> RegistryTree::Keys() const {
  std::vector<KeyView> out;
  struct Frame {
    const Node* node;
    std::string path;
  };
  // Depth first with an explicit stack: a hostile file may nest keys deeply.
  std::vector<Frame> stack;
  for (auto it = root_->children.rbegin(); it != root_->children.rend(); ++it)
    stack.push_back({it->second.get(), it->first});
  while (!stack.empty()) {
    Frame frame = std::move(stack.back());
    stack.pop_back();
    KeyView view{frame.path, {}};
    for (const auto& [name, value] : frame.node->values) view.values.emplace_back(name, value);
    out.push_back(std::move(view));
    for (auto it = frame.node->children.rbegin(); it != frame.node->children.rend(); ++it)
      stack.push_back({it->second.get(), frame.path + "\\" + it->first});
  }
  return out;
}

std::vector<std::string> RegistryTree::SubKeys(std::string_view path) const {
  std::vector<std::string> out;
  const Node* node = path.empty() ? root_.get() : Walk(path);
  if (node)
    for (const auto& entry : node->children) out.push_back(entry.first);
  return out;
}

bool RegistryTree::operator==(const RegistryTree& other) const {
  return root_->Equals(*other.root_);
}

}  // namespace kestrix
