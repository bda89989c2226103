// The framework's registration, written to the system's registry: a tree of keys and values
// built in memory goes under HKEY_CLASSES_ROOT, and the same tree says what to take out again.
#pragma once

namespace kestrix {
class RegistryTree;
}

namespace win32host {

// Creates every key of the tree and sets its values; false at the first that fails.
bool WriteToClassesRoot(const kestrix::RegistryTree& tree);
// Deletes the tree's values, then each of its keys that this leaves empty (deepest first);
// values and keys others put there stay. False when a value could not be deleted.
bool RemoveFromClassesRoot(const kestrix::RegistryTree& tree);

}  // namespace win32host
