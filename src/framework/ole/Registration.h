// Registration of type libraries and classes in the registry. Every function edits the tree
// it is given; the caller writes the tree back in one transaction (RegistryFile::Update).
//
// What a registration writes (GUIDs in braces, upper-case):
//   TypeLib\{lib}\M.m                  @ = library help string
//   TypeLib\{lib}\M.m\0\linux64        @ = module path
//   TypeLib\{lib}\M.m\FLAGS            @ = "0"
//   TypeLib\{lib}\M.m\HELPDIR          @ = module's folder (or the help folder given)
//   Interface\{iid}                    @ = interface name         (each dispatch interface)
//   Interface\{iid}\ProxyStubClsid32   @ = the automation marshaller's class
//   Interface\{iid}\TypeLib            @ = {lib}, Version = "M.m"
//   CLSID\{class}                      @ = user type name
//   CLSID\{class}\InprocServer32       @ = module path, ThreadingModel = "Apartment"
//   CLSID\{class}\ProgID               @ = ProgID               (controls)
//   CLSID\{class}\Control              (an empty key)           (controls)
//   CLSID\{class}\Insertable           (an empty key)           (insertable controls)
//   CLSID\{class}\ToolboxBitmap32      @ = "module path, bitmap id"
//   CLSID\{class}\MiscStatus           @ = "0"
//   CLSID\{class}\MiscStatus\1         @ = miscellaneous status, in decimal
//   CLSID\{class}\TypeLib              @ = {lib}
//   CLSID\{class}\Version              @ = "M.m"
//   <ProgID>                           @ = user type name
//   <ProgID>\CLSID                     @ = {class}
// Unregistration removes exactly these values, then the keys it leaves empty; anything else a
// key holds stays.
#pragma once

#include <string>

#include "ClassFactory.h"
#include "../registry/RegistryTree.h"

namespace kestrix {

// Registration flags of a control class.
inline constexpr int afxRegInsertable = 0x0001;
inline constexpr int afxRegApartmentThreading = 0x0002;

// "{XXXXXXXX-XXXX-XXXX-XXXX-XXXXXXXXXXXX}".
std::string RegistryGuid(const GUID& guid);
// Reads the braced form (either case); false when text is not one.
bool GuidFromRegistry(std::string_view text, GUID* guid);

BOOL AfxOleRegisterTypeLib(RegistryTree& registry, HINSTANCE instance, REFGUID libid,
                           const char* fileName = nullptr, const char* helpDir = nullptr);
BOOL AfxOleUnregisterTypeLib(RegistryTree& registry, REFGUID libid, WORD major, WORD minor);
BOOL AfxOleRegisterControlClass(RegistryTree& registry, HINSTANCE instance, REFCLSID clsid,
                                const char* progID, UINT idTypeName, UINT idBitmap,
                                int regFlags, DWORD miscStatus, REFGUID libid, WORD major,
                                WORD minor);
BOOL AfxOleRegisterPropertyPageClass(RegistryTree& registry, HINSTANCE instance,
                                     REFCLSID clsid, UINT idTypeName);
BOOL AfxOleUnregisterClass(RegistryTree& registry, REFCLSID clsid, const char* progID);

}  // namespace kestrix
