// A registry file from anywhere: what reads from it must write back to itself, and registering
// the control's classes and library then unregistering them must give back what was there.
#include "Harness.h"
#include "control/Guids.h"
#include "control/TypeLibrary.h"
#include "framework/ole/Registration.h"
#include "framework/registry/RegistryFile.h"

namespace kestrix {

namespace fuzzing {
namespace {

std::string TypeName(UINT id) { return id == 1 ? "Velor Control" : "Kestrix Property Page"; }

// Whether the tree holds a key the registration writes, so that unregistering would rightly
// remove more than the registration added.
bool HoldsOurKeys(const RegistryTree& tree) {
  const std::string lib = RegistryGuid(LIBID_KESTRIXLib);
  for (const std::string& key :
       {"CLSID\\" + RegistryGuid(CLSID_Kestrix), "CLSID\\" + RegistryGuid(CLSID_KestrixPropPage),
        std::string("KESTRIX.KestrixCtrl.1"), "TypeLib\\" + lib,
        "Interface\\" + RegistryGuid(IID_DKestrix),
        "Interface\\" + RegistryGuid(IID_DKestrixEvents)})
    if (tree.HasKey(key)) return true;
  // An interface registered under its IID as the library's own goes with the library.
  for (const std::string& iid : tree.SubKeys("Interface")) {
    GUID iidGuid, ownerGuid;
    const std::string* owner = tree.FindString("Interface\\" + iid + "\\TypeLib", "");
    if (GuidFromRegistry(iid, &iidGuid) && owner && GuidFromRegistry(*owner, &ownerGuid) &&
        IsEqualGUID(ownerGuid, LIBID_KESTRIXLib))
      return true;
  }
  return false;
}

// The keys that hold values, with their values, as text. An empty key holds nothing: the one
// parent that unregistration leaves empty goes, even when it stood empty before.
std::string ValuedKeys(const RegistryTree& tree) {
  RegistryTree valued;
  for (const RegistryTree::KeyView& key : tree.Keys())
    for (const auto& [name, value] : key.values) valued.SetValue(key.path, name, value);
  return FormatRegistry(valued);
}

}  // namespace

std::string RunRegistry(const uint8_t* data, size_t size) {
  RegistryRead read = ParseRegistry(std::string_view(reinterpret_cast<const char*>(data), size));
  // Whatever was read, valid or a damaged file's valid part, writes out and reads back the same.
  std::string text = FormatRegistry(read.tree);
  RegistryRead again = ParseRegistry(text);
  if (again.status != ERROR_SUCCESS) return "a written registry does not read back cleanly";
  if (!(again.tree == read.tree)) return "a written registry reads back different";
  if (FormatRegistry(again.tree) != text) return "writing is not stable";

  ModuleInstance instance{"/opt/kestrix/libkestrix.so", &KestrixTypeLibrary(), &TypeName};
  RegistryTree tree = read.tree;
  bool registered =
      AfxOleRegisterTypeLib(tree, &instance, LIBID_KESTRIXLib) &&
      AfxOleRegisterControlClass(tree, &instance, CLSID_Kestrix, "KESTRIX.KestrixCtrl.1", 1, 1,
                                 afxRegApartmentThreading, 0x20191, LIBID_KESTRIXLib, 1, 0) &&
      AfxOleRegisterPropertyPageClass(tree, &instance, CLSID_KestrixPropPage, 2);
  if (!registered) return "registration failed on a readable registry";
  const std::string* path = tree.FindString("KESTRIX.KestrixCtrl.1\\CLSID", "");
  if (!path || *path != RegistryGuid(CLSID_Kestrix)) return "the ProgID does not lead to the class";
  AfxOleUnregisterTypeLib(tree, LIBID_KESTRIXLib, 1, 0);
  AfxOleUnregisterClass(tree, CLSID_Kestrix, "KESTRIX.KestrixCtrl.1");
  AfxOleUnregisterClass(tree, CLSID_KestrixPropPage, nullptr);
  if (!HoldsOurKeys(read.tree) && ValuedKeys(tree) != ValuedKeys(read.tree))
    return "registering and unregistering changed the registry";
  return {};
}

}  // namespace fuzzing

}  // namespace kestrix
