// A type library held as data: libraries, their interfaces and classes, members with their
// DISPIDs and parameter types. It answers queries at run time, drives dispatch by name, and
// writes itself out as IDL text.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "Variant.h"

namespace kestrix {

enum class MemberKind { Property, Method };

struct ParamDesc {
  const char* name;
  VARTYPE vt;  // VT_BYREF added for a parameter the callee may change
  const char* idlType;
};

struct MemberDesc {
  DISPID dispid;
  const char* name;
  MemberKind kind;
  VARTYPE vt;  // property type or method result; VT_EMPTY when a method returns nothing
  const char* idlType;
  std::vector<ParamDesc> params;
  bool readOnly = false;  // a property the host may read but not write
};

enum class TypeKind { Dispatch, CoClass };

// Type flags, with the platform's values.
inline constexpr WORD TYPEFLAG_FAPPOBJECT = 0x1;
inline constexpr WORD TYPEFLAG_FCANCREATE = 0x2;
inline constexpr WORD TYPEFLAG_FHIDDEN = 0x10;
inline constexpr WORD TYPEFLAG_FCONTROL = 0x20;
inline constexpr WORD TYPEFLAG_FDISPATCHABLE = 0x1000;

struct ImplementedType {
  const char* name;
  bool isDefault;
  bool isSource;
};

struct TypeDesc {
  const char* name;
  TypeKind kind;
  GUID guid;
  const char* helpString;
  WORD flags;
  std::vector<MemberDesc> members;
  std::vector<ImplementedType> implemented;  // classes only

  const MemberDesc* FindMember(DISPID dispid) const;
  // Case-insensitive, as GetIDsOfNames matches names.
  const MemberDesc* FindMember(std::u16string_view name) const;
};

struct TypeLibDesc {
  const char* name;
  GUID libid;
  WORD majorVersion;
  WORD minorVersion;
  LCID lcid;
  const char* helpString;
  const char* helpFile;
  std::vector<const char*> imports;
  std::vector<TypeDesc> types;

  const TypeDesc* FindType(std::string_view name) const;
};

// XXXXXXXX-XXXX-XXXX-XXXX-XXXXXXXXXXXX, upper-case digits, as IDL writes it (the registry
// puts it in braces: RegistryGuid).
std::string GuidString(const GUID& guid);
bool EqualsIgnoringAsciiCase(std::u16string_view a, std::string_view b);
// The library as IDL source, from which a compiler would build the same library.
std::string EmitIdl(const TypeLibDesc& library);
// The same as a Markdown member reference for a host's developer.
std::string EmitReference(const TypeLibDesc& library);

}  // namespace kestrix
