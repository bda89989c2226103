// Creating objects by name through the registry: the ProgID or class identity leads to the
// module's path, the module is loaded, its class object asked for a new instance.
#pragma once

#include <string>

#include "ClassFactory.h"

namespace kestrix {

inline constexpr DWORD CLSCTX_INPROC_SERVER = 0x1;

// Registry reads use RegistryFile::DefaultPath(), read at each call.
HRESULT CLSIDFromProgID(const char* progID, CLSID* clsid);
// The braced form "{XXXXXXXX-XXXX-XXXX-XXXX-XXXXXXXXXXXX}".
HRESULT CLSIDFromString(const char* text, CLSID* clsid);
HRESULT CoGetClassObject(REFCLSID clsid, DWORD context, void* reserved, REFIID riid,
                         void** object);
HRESULT CoCreateInstance(REFCLSID clsid, IUnknown* outer, DWORD context, REFIID riid,
                         void** object);
// Unloads every loaded module that answers DllCanUnloadNow with S_OK.
void CoFreeUnusedLibraries();
// How many modules are loaded now.
size_t CoLoadedLibraryCount();

// A ProgID, or a class identity in braces: the whole path of a host that creates by name.
HRESULT CreateObjectByName(const std::string& name, REFIID riid, void** object);

// The result code in words, for tools and messages.
std::string HResultText(HRESULT hr);

}  // namespace kestrix
