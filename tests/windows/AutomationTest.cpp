// Every member of the control's dispatch interface, called by name from a container.
#include <gtest/gtest.h>

#include "Automation.h"
#include "Container.h"

namespace kestrix {

namespace {

class ControlAutomation : public testing::Test {
 protected:
  void SetUp() override {
    ASSERT_EQ(container.Create(), S_OK);
    ASSERT_NE(container.Dispatch(), nullptr);
  }
  Container container;
  Automation a{nullptr};
  Automation& A() {
    a = Automation(container.Dispatch());
    return a;
  }
};

TEST_F(ControlAutomation, TextTakesArabicAndEnglishAndRefusesWhatTheCodePageLacks) {
  const std::wstring text = L"Hi \u0633\u0644\u0627\u0645";
  ASSERT_EQ(A().Put(L"Text", text), S_OK);
  EXPECT_EQ(A().GetText(L"Text"), text);
  // A character with no place fails the whole write, and says which and where, as a script
  // host shows it.
  EXCEPINFO info{};
  VARIANT refused;
  VariantInit(&refused);
  refused.vt = VT_BSTR;
  refused.bstrVal = SysAllocString(L"a\u4E2D");
  EXPECT_EQ(A().Put(L"Text", refused, &info), DISP_E_EXCEPTION);
  EXPECT_EQ(info.scode, static_cast<SCODE>(0x800A017C));
  ASSERT_NE(info.bstrDescription, nullptr);
  EXPECT_EQ(std::wstring(info.bstrDescription),
            L"The text was not written: U+4E2D at character 2 has no place in the Arabic code page (1256).");
  SysFreeString(info.bstrDescription);
  SysFreeString(info.bstrSource);
  EXPECT_EQ(A().GetText(L"Text"), text);
  // Digits the code page can say by meaning are written as digits.
  ASSERT_EQ(A().Put(L"Text", std::wstring(L"\u0661\u0662")), S_OK);
  EXPECT_EQ(A().GetText(L"Text"), L"12");
}

TEST_F(ControlAutomation, SelectionMembersAndMethods) {
  ASSERT_EQ(A().Put(L"Text", std::wstring(L"ab \u0627\u0644")), S_OK);
  ASSERT_EQ(A().PutLong(L"SelStart", 3), S_OK);
  ASSERT_EQ(A().PutLong(L"SelLength", 2), S_OK);
  EXPECT_EQ(A().GetLong(L"SelStart"), 3);
  EXPECT_EQ(A().GetLong(L"SelLength"), 2);
  VARIANT selected;
  VariantInit(&selected);
  ASSERT_EQ(A().Call(L"SelText", {}, &selected), S_OK);
  ASSERT_EQ(selected.vt, VT_BSTR);
  EXPECT_EQ(std::wstring(selected.bstrVal), L"\u0627\u0644");
  VariantClear(&selected);
  ASSERT_EQ(A().Call(L"SelectAll"), S_OK);
  EXPECT_EQ(A().GetLong(L"SelLength"), 5);
  ASSERT_EQ(A().Call(L"Clear"), S_OK);
  EXPECT_EQ(A().GetText(L"Text"), L"");
}

TEST_F(ControlAutomation, EveryPropertyReadsBackWhatWasWritten) {
  const std::pair<const wchar_t*, long> numbers[] = {
      {L"MaxLength", 40},         {L"Style", 1},
      {L"ScrollBars", 0},         {L"ReadingOrder", 0},
      {L"PasswordChar", 42},      {L"Alignment", 0},
      {L"BackColor", 0x00336699}, {L"ForeColor", 0x00102030}};
  for (auto [name, value] : numbers) {
    ASSERT_EQ(A().PutLong(name, value), S_OK) << name;
    EXPECT_EQ(A().GetLong(name), value) << name;
  }
  for (const wchar_t* name :
       {L"MultiLines", L"WordWrap", L"HideSelection", L"WantReturn", L"ReadOnly", L"VisualCaret",
        L"StandardEditing"}) {
    for (bool value : {false, true}) {
      ASSERT_EQ(A().PutBool(name, value), S_OK) << name;
      EXPECT_EQ(A().GetLong(name) != 0, value) << name;
    }
  }
}

TEST_F(ControlAutomation, FontsAreFontObjectsWithTheirOwnProperties) {
  for (const wchar_t* name : {L"FontAr", L"FontEn"}) {
    VARIANT font = A().Get(name);
    ASSERT_EQ(font.vt, VT_DISPATCH) << name;
    ASSERT_NE(font.pdispVal, nullptr);
    Automation fontObject(font.pdispVal);
    EXPECT_FALSE(fontObject.GetText(L"Name").empty()) << name;
    ASSERT_EQ(fontObject.PutBool(L"Bold", true), S_OK);
    EXPECT_NE(fontObject.GetLong(L"Bold"), 0);
    VariantClear(&font);
  }
}

TEST_F(ControlAutomation, CallerErrorsGiveTheirCodes) {
  DISPID id = DISPID_UNKNOWN;
  LPOLESTR unknown[] = {const_cast<LPOLESTR>(L"NoSuchMember")};
  EXPECT_EQ(container.Dispatch()->GetIDsOfNames(IID_NULL, unknown, 1, LOCALE_USER_DEFAULT, &id),
            DISP_E_UNKNOWNNAME);
  DISPPARAMS none{};
  VARIANT result;
  VariantInit(&result);
  EXPECT_EQ(container.Dispatch()->Invoke(9999, IID_NULL, LOCALE_USER_DEFAULT, DISPATCH_PROPERTYGET,
                                         &none, &result, nullptr, nullptr),
            DISP_E_MEMBERNOTFOUND);
  // A property write without its value.
  DISPID put = DISPID_PROPERTYPUT;
  DISPPARAMS noValue{nullptr, &put, 0, 1};
  EXPECT_NE(container.Dispatch()->Invoke(A().IdOf(L"Text"), IID_NULL, LOCALE_USER_DEFAULT,
                                         DISPATCH_PROPERTYPUT, &noValue, nullptr, nullptr, nullptr),
            S_OK);
}

TEST_F(ControlAutomation, TypeInformationDescribesTheDispatchInterface) {
  UINT count = 0;
  ASSERT_EQ(container.Dispatch()->GetTypeInfoCount(&count), S_OK);
  EXPECT_EQ(count, 1u);
  ITypeInfo* info = nullptr;
  ASSERT_EQ(container.Dispatch()->GetTypeInfo(0, LOCALE_USER_DEFAULT, &info), S_OK);
  TYPEATTR* attributes = nullptr;
  ASSERT_EQ(info->GetTypeAttr(&attributes), S_OK);
  EXPECT_EQ(attributes->typekind, TKIND_DISPATCH);
  EXPECT_GE(attributes->cVars + attributes->cFuncs, 25);
  info->ReleaseTypeAttr(attributes);
  // The type information and the object agree on the names' identities.
  MEMBERID fromType = 0;
  LPOLESTR name[] = {const_cast<LPOLESTR>(L"SelStart")};
  ASSERT_EQ(info->GetIDsOfNames(name, 1, &fromType), S_OK);
  EXPECT_EQ(fromType, A().IdOf(L"SelStart"));
  info->Release();
}

TEST_F(ControlAutomation, TheRemainingMethodsAnswer) {
  VARIANT result;
  VariantInit(&result);
  ASSERT_EQ(A().PutLong(L"ReadingOrder", 0), S_OK);
  ASSERT_EQ(A().Call(L"ActivateEdit", {TextVariant(L"k"), TextVariant(L"s")}, &result), S_OK);
  EXPECT_EQ(result.vt, VT_BOOL);
  VariantClear(&result);
  EXPECT_EQ(A().GetLong(L"ReadingOrder"), 1);  // editing starts in Arabic
  EXPECT_EQ(A().Call(L"Refresh"), S_OK);
}

}  // namespace

}  // namespace kestrix
