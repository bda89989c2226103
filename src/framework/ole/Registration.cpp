#include "framework/ole/Registration.h"

#include <cstdio>

#include "framework/ole/TypeLib.h"

namespace kestrix {

namespace {

// The platform's automation marshaller, named for dispatch interfaces.
constexpr const char* kAutomationProxy = "{00020420-0000-0000-C000-000000000046}";
constexpr const char* kPlatformSubkey = "0\\linux64";

std::string VersionText(WORD major, WORD minor) {
  return std::to_string(major) + "." + std::to_string(minor);
}

std::string Folder(const std::string& path) {
  size_t slash = path.rfind('/');
  return slash == std::string::npos ? std::string() : path.substr(0, slash);
}

// Removes a value and every key above it that this leaves empty.
void RemoveValue(RegistryTree& registry, const std::string& key, const char* name) {
  registry.DeleteValue(key, name);
  registry.PruneEmpty(key);
}

std::string LoadString(HINSTANCE instance, UINT id) {
  return instance && instance->loadString ? instance->loadString(id) : std::string();
}

bool ValidInstance(HINSTANCE instance) { return instance && !instance->path.empty(); }

}  // namespace

std::string RegistryGuid(const GUID& guid) {
  std::string text = "{";
  text += GuidString(guid);
  text += '}';
  return text;
}

bool GuidFromRegistry(std::string_view text, GUID* guid) {
  if (text.size() != 38 || text.front() != '{' || text.back() != '}') return false;
  auto hex = [&](size_t pos, size_t count, uint32_t& out) {
    out = 0;
    for (size_t i = pos; i < pos + count; ++i) {
      char c = text[i];
      int digit = c >= '0' && c <= '9'   ? c - '0'
                  : c >= 'a' && c <= 'f' ? c - 'a' + 10
                  : c >= 'A' && c <= 'F' ? c - 'A' + 10
                                         : -1;
      if (digit < 0) return false;
      out = out * 16 + static_cast<uint32_t>(digit);
    }
    return true;
  };
  if (text[9] != '-' || text[14] != '-' || text[19] != '-' || text[24] != '-') return false;
  GUID out;
  uint32_t word = 0;
  if (!hex(1, 8, out.data1)) return false;
  if (!hex(10, 4, word)) return false;
  out.data2 = static_cast<uint16_t>(word);
  if (!hex(15, 4, word)) return false;
  out.data3 = static_cast<uint16_t>(word);
  const size_t bytePositions[8] = {20, 22, 25, 27, 29, 31, 33, 35};
  for (int i = 0; i < 8; ++i) {
    if (!hex(bytePositions[i], 2, word)) return false;
    out.data4[i] = static_cast<uint8_t>(word);
  }
  if (guid) *guid = out;
  return true;
}

BOOL AfxOleRegisterTypeLib(RegistryTree& registry, HINSTANCE instance, REFGUID libid,
                           const char* fileName, const char* helpDir) {
  if (!ValidInstance(instance) || !instance->typeLib ||
      !IsEqualGUID(instance->typeLib->libid, libid))
    return FALSE;
  const TypeLibDesc& library = *instance->typeLib;
  std::string lib = RegistryGuid(libid);
  std::string version = VersionText(library.majorVersion, library.minorVersion);
  std::string path = fileName ? fileName : instance->path;
  std::string key = "TypeLib\\" + lib + "\\" + version;
  bool ok = registry.SetString(key, "", library.helpString ? library.helpString : library.name) &&
            registry.SetString(key + "\\" + kPlatformSubkey, "", path) &&
            registry.SetString(key + "\\FLAGS", "", "0") &&
            registry.SetString(key + "\\HELPDIR", "", helpDir ? helpDir : Folder(path));
  for (const TypeDesc& type : library.types) {
    if (type.kind != TypeKind::Dispatch || !ok) continue;
    std::string iface = "Interface\\" + RegistryGuid(type.guid);
    ok = registry.SetString(iface, "", type.name) &&
         registry.SetString(iface + "\\ProxyStubClsid32", "", kAutomationProxy) &&
         registry.SetString(iface + "\\TypeLib", "", lib) &&
         registry.SetString(iface + "\\TypeLib", "Version", version);
  }
  return ok ? TRUE : FALSE;
}

BOOL AfxOleUnregisterTypeLib(RegistryTree& registry, REFGUID libid, WORD major, WORD minor) {
  std::string lib = RegistryGuid(libid);
  std::string version = VersionText(major, minor);
  std::string key = "TypeLib\\" + lib + "\\" + version;
  RemoveValue(registry, key + "\\" + kPlatformSubkey, "");
  RemoveValue(registry, key + "\\FLAGS", "");
  RemoveValue(registry, key + "\\HELPDIR", "");
  RemoveValue(registry, key, "");
  // The interfaces the library described are the ones that name it, each under its IID: a key
  // of another name was never written by a library's registration and stays.
  for (const std::string& iid : registry.SubKeys("Interface")) {
    GUID iidGuid;
    if (!GuidFromRegistry(iid, &iidGuid)) continue;
    std::string iface = "Interface\\" + iid;
    const std::string* owner = registry.FindString(iface + "\\TypeLib", "");
    const std::string* ownerVersion = registry.FindString(iface + "\\TypeLib", "Version");
    if (!owner || !ownerVersion || *ownerVersion != version) continue;
    GUID ownerGuid;
    if (!GuidFromRegistry(*owner, &ownerGuid) || !IsEqualGUID(ownerGuid, libid)) continue;
    registry.DeleteValue(iface + "\\TypeLib", "Version");
    RemoveValue(registry, iface + "\\TypeLib", "");
    RemoveValue(registry, iface + "\\ProxyStubClsid32", "");
    RemoveValue(registry, iface, "");
  }
  return TRUE;
}

BOOL AfxOleRegisterControlClass(RegistryTree& registry, HINSTANCE instance, REFCLSID clsid,
                                const char* progID, UINT idTypeName, UINT idBitmap,
                                int regFlags, DWORD miscStatus, REFGUID libid, WORD major,
                                WORD minor) {
  std::string typeName = LoadString(instance, idTypeName);
  if (!ValidInstance(instance) || !progID || !*progID || typeName.empty()) return FALSE;
  std::string key = "CLSID\\" + RegistryGuid(clsid);
  std::string version = VersionText(major, minor);
  bool ok = registry.SetString(key, "", typeName) &&
            registry.SetString(key + "\\InprocServer32", "", instance->path) &&
            registry.SetString(key + "\\ProgID", "", progID) &&
            registry.CreateKey(key + "\\Control") &&
            registry.SetString(key + "\\ToolboxBitmap32", "",
                               instance->path + ", " + std::to_string(idBitmap)) &&
            registry.SetString(key + "\\MiscStatus", "", "0") &&
            registry.SetString(key + "\\MiscStatus\\1", "", std::to_string(miscStatus)) &&
            registry.SetString(key + "\\TypeLib", "", RegistryGuid(libid)) &&
            registry.SetString(key + "\\Version", "", version) &&
            registry.SetString(progID, "", typeName) &&
            registry.SetString(std::string(progID) + "\\CLSID", "", RegistryGuid(clsid));
  if (ok && (regFlags & afxRegApartmentThreading))
    ok = registry.SetString(key + "\\InprocServer32", "ThreadingModel", "Apartment");
  if (ok && (regFlags & afxRegInsertable)) ok = registry.CreateKey(key + "\\Insertable");
  return ok ? TRUE : FALSE;
}

BOOL AfxOleRegisterPropertyPageClass(RegistryTree& registry, HINSTANCE instance,
                                     REFCLSID clsid, UINT idTypeName) {
  std::string typeName = LoadString(instance, idTypeName);
  if (!ValidInstance(instance) || typeName.empty()) return FALSE;
  std::string key = "CLSID\\" + RegistryGuid(clsid);
  bool ok = registry.SetString(key, "", typeName) &&
            registry.SetString(key + "\\InprocServer32", "", instance->path) &&
            registry.SetString(key + "\\InprocServer32", "ThreadingModel", "Apartment");
  return ok ? TRUE : FALSE;
}

BOOL AfxOleUnregisterClass(RegistryTree& registry, REFCLSID clsid, const char* progID) {
  std::string key = "CLSID\\" + RegistryGuid(clsid);
  registry.DeleteValue(key + "\\InprocServer32", "ThreadingModel");
  for (const char* sub : {"InprocServer32", "ProgID", "ToolboxBitmap32", "MiscStatus\\1",
                          "MiscStatus", "TypeLib", "Version"})
    RemoveValue(registry, key + "\\" + sub, "");
  for (const char* marker : {"Control", "Insertable"}) registry.PruneEmpty(key + "\\" + marker);
  RemoveValue(registry, key, "");
  if (progID && *progID) {
    RemoveValue(registry, std::string(progID) + "\\CLSID", "");
    RemoveValue(registry, progID, "");
  }
  return TRUE;
}

}  // namespace kestrix
