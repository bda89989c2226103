// The member reference a host's developer reads: the type library's interfaces and class as
// Markdown tables, written from the same data the library answers queries with.
#include <cstdio>

#include "framework/ole/TypeLib.h"

namespace kestrix {

namespace {

std::string Parameters(const MemberDesc& m) {
  if (m.params.empty()) return m.kind == MemberKind::Method ? "none" : "";
  std::string text;
  for (const ParamDesc& p : m.params) {
    if (!text.empty()) text += ", ";
    text += std::string("`") + p.idlType + " " + p.name + "`";
    if (p.vt & VT_BYREF) text += " (by reference: the callee may change it)";
  }
  return text;
}

void DispatchTable(const TypeDesc& t, std::string& out) {
  out += "## `" + std::string(t.name) + "`\n\n" + t.helpString + ".\n\n";
  out += "| DISPID | Member | Kind | Type | Parameters |\n|---:|---|---|---|---|\n";
  for (const MemberDesc& m : t.members) {
    const char* kind = m.kind == MemberKind::Method ? "method" : m.readOnly ? "property, read-only" : "property";
    out += "| " + std::to_string(static_cast<long>(m.dispid)) + " | `" + m.name + "` | " + kind + " | `" +
           m.idlType + "` | " + Parameters(m) + " |\n";
  }
  out += "\n";
}

void ClassTable(const TypeDesc& t, std::string& out) {
  out += "## `" + std::string(t.name) + "`\n\n" + t.helpString + ", class " + GuidString(t.guid) + ".\n\n";
  out += "| Interface | Role |\n|---|---|\n";
  for (const ImplementedType& i : t.implemented)
    out += "| `" + std::string(i.name) + "` | " + (i.isSource ? "events" : "members") +
           (i.isDefault ? ", default" : "") + " |\n";
  out += "\n";
}

}  // namespace

std::string EmitReference(const TypeLibDesc& lib) {
  char version[32];
  std::snprintf(version, sizeof version, "%u.%u", lib.majorVersion, lib.minorVersion);
  std::string out = "# " + std::string(lib.helpString) + ": member reference\n\n";
  out += "Written by `kestrix-idl --reference` from the type library's own data (library `" +
         std::string(lib.name) + "`, version " + version + ", " + GuidString(lib.libid) +
         "); the build checks that this file is current.\n\n";
  for (const TypeDesc& t : lib.types) {
    if (t.kind == TypeKind::Dispatch)
      DispatchTable(t, out);
    else
      ClassTable(t, out);
  }
  return out;
}

}  // namespace kestrix
