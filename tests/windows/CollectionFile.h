// A font collection (.ttc) built for the tests from installed faces, each face under a family
// name of its own so that GDI can tell it from the installed face it was made from.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

namespace kestrix {

struct CollectedFace {
  std::wstring installedFamily;  // the face GDI gives for this name (regular weight)
  std::wstring newFamily;        // its name in the collection
};

// The face GDI selects for a family name, and whether that face comes from a collection.
struct SelectedFace {
  std::wstring face;
  bool inCollection = false;
};
SelectedFace Select(const std::wstring& family);

// Writes the collection to path; false when a face cannot be read.
bool WriteCollection(const std::vector<CollectedFace>& faces, const std::wstring& path);

}  // namespace kestrix
