// The registered type library as an early-bound host reads it (the wrappers that form designers
// generate): every member's type, read back through LoadRegTypeLib, and what Invoke answers.
#include <gtest/gtest.h>
#include <olectl.h>

#include <map>
#include <string>

#include "Automation.h"
#include "Container.h"
#include "KestrixIdl.h"

namespace kestrix {
namespace {

// The standard library's colour type, which hosts recognise to offer a colour picker.
constexpr GUID kOleColor = {0x66504301, 0xBE0F, 0x101A, {0x8B, 0xBB, 0x00, 0xAA, 0x00, 0x30, 0x0C, 0xAB}};

std::wstring NameOf(ITypeInfo* info, MEMBERID member) {
  BSTR name = nullptr;
  if (FAILED(info->GetDocumentation(member, &name, nullptr, nullptr, nullptr))) return L"?";
  std::wstring text(name);
  SysFreeString(name);
  return text;
}

// A type as the library's IDL would write it; a named type by its name, the colour type marked
// when it is not the standard library's alias of an unsigned long.
std::wstring TypeText(ITypeInfo* info, const TYPEDESC& type) {
  switch (type.vt) {
    case VT_BOOL: return L"VARIANT_BOOL";
    case VT_I1: return L"char";
    case VT_UI1: return L"unsigned char";
    case VT_I2: return L"short";
    case VT_I4: return L"long";
    case VT_UI4: return L"unsigned long";
    case VT_BSTR: return L"BSTR";
    case VT_VOID: return L"void";
    case VT_DISPATCH: return L"IDispatch*";
    case VT_PTR: return TypeText(info, *type.lptdesc) + L"*";
    case VT_USERDEFINED: {
      ITypeInfo* named = nullptr;
      if (FAILED(info->GetRefTypeInfo(type.hreftype, &named))) return L"(unresolved)";
      std::wstring text = NameOf(named, MEMBERID_NIL);
      TYPEATTR* attributes = nullptr;
      named->GetTypeAttr(&attributes);
      if (text == L"OLE_COLOR" &&
          !(IsEqualGUID(attributes->guid, kOleColor) && attributes->tdescAlias.vt == VT_UI4))
        text += L" (not the standard one)";
      named->ReleaseTypeAttr(attributes);
      named->Release();
      return text;
    }
    default: return L"vt " + std::to_wstring(type.vt);
  }
}

// Each member of the control's dispatch interface with its type, and its parameters' for a
// method, as the type library gives them.
std::map<std::wstring, std::wstring> MembersOf(ITypeInfo* info) {
  std::map<std::wstring, std::wstring> members;
  TYPEATTR* attributes = nullptr;
  info->GetTypeAttr(&attributes);
  for (UINT i = 0; i < attributes->cVars; ++i) {
    VARDESC* var = nullptr;
    info->GetVarDesc(i, &var);
    members[NameOf(info, var->memid)] = TypeText(info, var->elemdescVar.tdesc);
    info->ReleaseVarDesc(var);
  }
  for (UINT i = 0; i < attributes->cFuncs; ++i) {
    FUNCDESC* func = nullptr;
    info->GetFuncDesc(i, &func);
    std::wstring text = TypeText(info, func->elemdescFunc.tdesc) + L"(";
    for (SHORT p = 0; p < func->cParams; ++p)
      text += (p ? L", " : L"") + TypeText(info, func->lprgelemdescParam[p].tdesc);
    members[NameOf(info, func->memid)] = text + L")";
    info->ReleaseFuncDesc(func);
  }
  info->ReleaseTypeAttr(attributes);
  return members;
}

TEST(RegisteredTypeLibrary, TypesEveryMemberAsTheControlAnswersIt) {
  ITypeLib* library = nullptr;
  ASSERT_EQ(LoadRegTypeLib(LIBID_KESTRIXLib, 1, 0, 0x0409, &library), S_OK);
  ITypeInfo* info = nullptr;
  ASSERT_EQ(library->GetTypeInfoOfGuid(DIID__DKestrix, &info), S_OK);
  const std::map<std::wstring, std::wstring> expected = {
      {L"MultiLines", L"VARIANT_BOOL"},   {L"MaxLength", L"long"},
      {L"WordWrap", L"VARIANT_BOOL"},     {L"Modified", L"VARIANT_BOOL"},
      {L"Style", L"short"},               {L"ScrollBars", L"short"},
      {L"HideSelection", L"VARIANT_BOOL"}, {L"WantReturn", L"VARIANT_BOOL"},
      {L"ReadingOrder", L"short"},        {L"ReadOnly", L"VARIANT_BOOL"},
      {L"FontAr", L"IFontDisp*"},         {L"FontEn", L"IFontDisp*"},
      {L"PasswordChar", L"short"},        {L"Alignment", L"short"},
      {L"SelLength", L"long"},            {L"SelStart", L"long"},
      {L"BackColor", L"OLE_COLOR"},       {L"ForeColor", L"OLE_COLOR"},
      {L"Text", L"BSTR"},                 {L"SelectAll", L"void()"},
      {L"Clear", L"void()"},              {L"SelText", L"BSTR()"},
      {L"ActivateEdit", L"VARIANT_BOOL(BSTR, BSTR)"},
      {L"Refresh", L"void()"},            {L"AboutBox", L"void()"},
      {L"VisualCaret", L"VARIANT_BOOL"}, {L"StandardEditing", L"VARIANT_BOOL"},
      {L"Undo", L"void()"},               {L"Redo", L"void()"},
      {L"CanUndo", L"VARIANT_BOOL"},      {L"CanRedo", L"VARIANT_BOOL"},
  };
  const std::map<std::wstring, std::wstring> members = MembersOf(info);
  for (const auto& [name, type] : expected) {
    auto found = members.find(name);
    ASSERT_NE(found, members.end()) << name;
    EXPECT_EQ(found->second, type) << name;
  }
  EXPECT_EQ(members.size(), expected.size());

  // Each property reads back in the variant type the library gives it; a colour (an unsigned
  // long underneath) as a signed one, which every script language compares with a number.
  Container container;
  ASSERT_EQ(container.Create(), S_OK);
  Automation a(container.Dispatch());
  const std::map<std::wstring, VARTYPE> variantOf = {
      {L"VARIANT_BOOL", VT_BOOL}, {L"long", VT_I4}, {L"short", VT_I2}, {L"BSTR", VT_BSTR},
      {L"IFontDisp*", VT_DISPATCH}, {L"OLE_COLOR", VT_I4}};
  for (const auto& [name, type] : members) {
    if (type.back() == L')') continue;  // a method
    VARIANT value = a.Get(name.c_str());
    auto want = variantOf.find(type);
    ASSERT_NE(want, variantOf.end()) << name;
    EXPECT_EQ(value.vt, want->second) << name;
    VariantClear(&value);
  }
  info->Release();
  library->Release();
}

}  // namespace

}  // namespace kestrix
