#include "framework/ole/TypeLib.h"

#include <cstdio>
#include <map>

namespace kestrix {

bool EqualsIgnoringAsciiCase(std::u16string_view a, std::string_view b) {
  if (a.size() != b.size()) return false;
  auto lower = [](char32_t c) { return c >= 'A' && c <= 'Z' ? c - 'A' + 'a' : c; };
  for (size_t i = 0; i < a.size(); ++i)
    if (lower(a[i]) != lower(static_cast<unsigned char>(b[i]))) return false;
  return true;
}

const MemberDesc* TypeDesc::FindMember(DISPID dispid) const {
  for (const MemberDesc& m : members)
    if (m.dispid == dispid) return &m;
  return nullptr;
}

const MemberDesc* TypeDesc::FindMember(std::u16string_view wanted) const {
  for (const MemberDesc& m : members)
    if (EqualsIgnoringAsciiCase(wanted, m.name)) return &m;
  return nullptr;
}

const TypeDesc* TypeLibDesc::FindType(std::string_view wanted) const {
  for (const TypeDesc& t : types)
    if (wanted == t.name) return &t;
  return nullptr;
}

std::string GuidString(const GUID& g) {
  char buffer[40];
  std::snprintf(buffer, sizeof buffer, "%08X-%04X-%04X-%02X%02X-%02X%02X%02X%02X%02X%02X",
                g.data1, g.data2, g.data3, g.data4[0], g.data4[1], g.data4[2], g.data4[3],
                g.data4[4], g.data4[5], g.data4[6], g.data4[7]);
  return buffer;
}

namespace {

// Stock members are written with their symbolic DISPIDs, as IDL authors write them.
std::string DispidText(DISPID id) {
  static const std::map<DISPID, const char*> kNames = {
      {-501, "DISPID_BACKCOLOR"}, {-513, "DISPID_FORECOLOR"}, {-517, "DISPID_TEXT"},
      {-550, "DISPID_REFRESH"},   {-552, "DISPID_ABOUTBOX"},  {-600, "DISPID_CLICK"},
      {-601, "DISPID_DBLCLICK"},  {-602, "DISPID_KEYDOWN"},   {-603, "DISPID_KEYPRESS"},
      {-604, "DISPID_KEYUP"},     {-606, "DISPID_MOUSEMOVE"}, {-609, "DISPID_READYSTATECHANGE"}};
  auto it = kNames.find(id);
  return it != kNames.end() ? it->second : std::to_string(id);
}

std::string Attributes(const TypeDesc& t) {
  std::string a = "  [ uuid(" + GuidString(t.guid) + "),\n    helpstring(\"" + t.helpString + "\")";
  if (t.flags & TYPEFLAG_FHIDDEN) a += ", hidden";
  if (t.flags & TYPEFLAG_FCONTROL) a += ", control";
  return a + " ]\n";
}

void EmitDispatch(const TypeDesc& t, std::string& out) {
  out += Attributes(t);
  out += "  dispinterface " + std::string(t.name) + "\n  {\n    properties:\n";
  for (const MemberDesc& m : t.members)
    if (m.kind == MemberKind::Property)
      out += "      [id(" + DispidText(m.dispid) + ")" + (m.readOnly ? ", readonly" : "") + "] " + m.idlType + " " +
             m.name + ";\n";
  out += "\n    methods:\n";
  for (const MemberDesc& m : t.members) {
    if (m.kind != MemberKind::Method) continue;
    out += "      [id(" + DispidText(m.dispid) + ")] " + m.idlType + " " + m.name + "(";
    for (size_t i = 0; i < m.params.size(); ++i) {
      if (i) out += ", ";
      out += std::string(m.params[i].idlType) + " " + m.params[i].name;
    }
    out += ");\n";
  }
  out += "  };\n\n";
}

void EmitClass(const TypeDesc& t, std::string& out) {
  out += Attributes(t);
  out += "  coclass " + std::string(t.name) + "\n  {\n";
  for (const ImplementedType& i : t.implemented) {
    std::string flags = i.isDefault ? "default" : "";
    if (i.isSource) flags += flags.empty() ? "source" : ", source";
    out += "    " + (flags.empty() ? "" : "[" + flags + "] ") + "dispinterface " + i.name + ";\n";
  }
  out += "  };\n\n";
}

}  // namespace

std::string EmitIdl(const TypeLibDesc& lib) {
  char version[32];
  std::snprintf(version, sizeof version, "%u.%u", lib.majorVersion, lib.minorVersion);
  char lcid[16];
  std::snprintf(lcid, sizeof lcid, "0x%04X", lib.lcid);
  std::string out = "#include <olectl.h>\n#include <idispids.h>\n\n";
  out += "[ uuid(" + GuidString(lib.libid) + "), version(" + version + "), lcid(" + lcid +
         "),\n  helpfile(\"" + lib.helpFile + "\"),\n  helpstring(\"" + lib.helpString +
         "\"),\n  control ]\n";
  out += "library " + std::string(lib.name) + "\n{\n";
  for (const char* import : lib.imports) out += "  importlib(\"" + std::string(import) + "\");\n";
  out += "\n";
  for (const TypeDesc& t : lib.types) {
    if (t.kind == TypeKind::Dispatch)
      EmitDispatch(t, out);
    else
      EmitClass(t, out);
  }
  out += "};\n";
  return out;
}

}  // namespace kestrix
