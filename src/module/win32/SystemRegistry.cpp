#include "module/win32/SystemRegistry.h"

#include <windows.h>

#include <algorithm>
#include <string>

#include "framework/registry/RegistryTree.h"
#include "module/win32/Win32Text.h"

namespace win32host {

// This file speaks to the framework, whose names live in namespace kestrix.
using namespace kestrix;
namespace {

std::wstring Wide(const std::string& utf8) { return WideFromUtf8(utf8); }

bool SetValue(HKEY key, const std::string& name, const RegistryValue& value) {
  const std::wstring wideName = Wide(name);
  const wchar_t* valueName = name.empty() ? nullptr : wideName.c_str();
  if (value.type == RegistryValue::Type::Dword) {
    const DWORD number = value.number;
    return RegSetValueExW(key, valueName, 0, REG_DWORD, reinterpret_cast<const BYTE*>(&number),
                          sizeof number) == ERROR_SUCCESS;
  }
  const std::wstring text = Wide(value.text);
  return RegSetValueExW(key, valueName, 0, REG_SZ, reinterpret_cast<const BYTE*>(text.c_str()),
                        static_cast<DWORD>((text.size() + 1) * sizeof(wchar_t))) == ERROR_SUCCESS;
}

bool IsEmptyKey(const std::wstring& path) {
  HKEY key = nullptr;
  if (RegOpenKeyExW(HKEY_CLASSES_ROOT, path.c_str(), 0, KEY_READ, &key) != ERROR_SUCCESS)
    return false;
  DWORD subKeys = 0, values = 0;
  LONG read = RegQueryInfoKeyW(key, nullptr, nullptr, nullptr, &subKeys, nullptr, nullptr, &values,
                               nullptr, nullptr, nullptr, nullptr);
  RegCloseKey(key);
  return read == ERROR_SUCCESS && subKeys == 0 && values == 0;
}

}  // namespace

bool WriteToClassesRoot(const RegistryTree& tree) {
  for (const RegistryTree::KeyView& view : tree.Keys()) {
    HKEY key = nullptr;
    if (RegCreateKeyExW(HKEY_CLASSES_ROOT, Wide(view.path).c_str(), 0, nullptr, 0, KEY_WRITE,
                        nullptr, &key, nullptr) != ERROR_SUCCESS)
      return false;
    bool written = true;
    for (const auto& [name, value] : view.values) written = written && SetValue(key, name, value);
    RegCloseKey(key);
    if (!written) return false;
  }
  return true;
}

bool RemoveFromClassesRoot(const RegistryTree& tree) {
  std::vector<RegistryTree::KeyView> keys = tree.Keys();
  bool removed = true;
  for (const RegistryTree::KeyView& view : keys) {
    HKEY key = nullptr;
    if (RegOpenKeyExW(HKEY_CLASSES_ROOT, Wide(view.path).c_str(), 0, KEY_SET_VALUE, &key) !=
        ERROR_SUCCESS)
      continue;  // already gone
    for (const auto& [name, value] : view.values) {
      LONG deleted = RegDeleteValueW(key, name.empty() ? nullptr : Wide(name).c_str());
      removed = removed && (deleted == ERROR_SUCCESS || deleted == ERROR_FILE_NOT_FOUND);
    }
    RegCloseKey(key);
  }
  // Deepest keys first, so that a parent is empty by the time it is looked at.
  std::sort(keys.begin(), keys.end(), [](const auto& a, const auto& b) {
    return std::count(a.path.begin(), a.path.end(), '\\') >
           std::count(b.path.begin(), b.path.end(), '\\');
  });
  for (const RegistryTree::KeyView& view : keys) {
    const std::wstring path = Wide(view.path);
    if (IsEmptyKey(path)) RegDeleteKeyW(HKEY_CLASSES_ROOT, path.c_str());
  }
  return removed;
}

}  // namespace win32host
