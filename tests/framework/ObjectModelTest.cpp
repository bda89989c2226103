#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "framework/ole/Bstr.h"
#include "framework/ole/FontObject.h"
#include "framework/ole/Variant.h"
#include "framework/text/Cp1256.h"

namespace kestrix {

namespace {

// Frees the variant at the end of the test.
struct Held {
  VARIANT v;
  Held() { VariantInit(&v); }
  explicit Held(VARIANT from) : v(from) {}
  ~Held() { VariantClear(&v); }
};

TEST(Bstr, LengthPrefixCountsBytesAndEmbeddedNulsSurvive) {
  const char16_t text[] = {u'a', 0, u'b'};
  CComBSTR s(SysAllocStringLen(text, 3), true);
  ASSERT_NE(s.get(), nullptr);
  uint32_t prefix = 0;
  std::memcpy(&prefix, reinterpret_cast<char*>(s.get()) - 4, 4);
  EXPECT_EQ(prefix, 6u);
  EXPECT_EQ(SysStringLen(s.get()), 3u);
  EXPECT_EQ(s.get()[1], 0);
  EXPECT_EQ(s.get()[3], 0);  // terminated past the length
  CComBSTR zeroed(SysAllocStringLen(nullptr, 2), true);
  EXPECT_EQ(zeroed.get()[0], 0);
  EXPECT_EQ(SysStringLen(zeroed.get()), 2u);
}

TEST(Bstr, NullIsTheEmptyString) {
  EXPECT_EQ(SysAllocString(nullptr), nullptr);
  EXPECT_EQ(SysStringLen(nullptr), 0u);
  SysFreeString(nullptr);
  CString out = "old";
  EXPECT_TRUE(CStringFromBstr(nullptr, &out));
  EXPECT_EQ(out, "");
}

TEST(Bstr, EveryCodePageByteRoundTrips) {
  CString all;
  for (int b = 0; b < 256; ++b) all += static_cast<char>(b);
  CComBSTR wide(BstrFromCString(all), true);
  ASSERT_EQ(SysStringLen(wide.get()), 256u);
  for (int b = 0; b < 256; ++b) {
    EXPECT_EQ(static_cast<char32_t>(wide.get()[b]), UnicodeFromCp1256(static_cast<uint8_t>(b)));
    CString one(1, static_cast<char>(b));
    CComBSTR single(BstrFromCString(one), true);
    CString back;
    ASSERT_TRUE(CStringFromBstr(single.get(), &back)) << b;
    EXPECT_EQ(back, one) << b;
  }
  CString back;
  ASSERT_TRUE(CStringFromBstr(wide.get(), &back));
  EXPECT_EQ(back, all);
}

TEST(Bstr, CharactersOutsideTheCodePageAreRefusedNotReplaced) {
  for (const char16_t* text : {u"ab\u4E2Dc", u"ab\xD83D\xDE00", u"ab\u0410"}) {
    CComBSTR s(SysAllocString(text), true);
    CString out = "kept";
    UINT bad = 99;
    EXPECT_FALSE(CStringFromBstr(s.get(), &out, &bad));
    EXPECT_EQ(out, "kept");
    EXPECT_EQ(bad, 2u);
  }
  // Arabic letters and the Latin letters the code page holds pass.
  CComBSTR mixed(SysAllocString(u"\u0633\u0644\u0627\u0645 \u00E9t\u00E9"), true);
  CString out;
  ASSERT_TRUE(CStringFromBstr(mixed.get(), &out));
  EXPECT_EQ(out, "\xD3\xE1\xC7\xE3 \xE9t\xE9");
}

TEST(Variant, LayoutMatchesThePlatform) {
  EXPECT_EQ(offsetof(VARIANT, vt), 0u);
  EXPECT_EQ(offsetof(VARIANT, cyVal), 8u);
  EXPECT_EQ(sizeof(VARIANT), 8 + 2 * sizeof(void*));
  EXPECT_EQ(VARIANT_TRUE, -1);
  EXPECT_EQ(static_cast<uint32_t>(DISP_E_TYPEMISMATCH), 0x80020005u);
  EXPECT_EQ(static_cast<uint32_t>(E_INVALIDARG), 0x80070057u);
}

HRESULT Change(const VARIANT& src, VARTYPE vt, Held& out) {
  return VariantChangeType(&out.v, &src, 0, vt);
}

TEST(Variant, NumbersConvertWithRangeChecks) {
  Held out;
  ASSERT_EQ(Change(MakeVariantI4(70000), VT_I2, out), DISP_E_OVERFLOW);
  EXPECT_EQ(out.v.vt, VT_EMPTY);  // left as it was
  ASSERT_EQ(Change(MakeVariantI4(-1), VT_UI4, out), DISP_E_OVERFLOW);
  ASSERT_EQ(Change(MakeVariantI2(-5), VT_I4, out), S_OK);
  EXPECT_EQ(out.v.lVal, -5);
  ASSERT_EQ(Change(MakeVariantBool(true), VT_I2, out), S_OK);
  EXPECT_EQ(out.v.iVal, -1);
  ASSERT_EQ(Change(MakeVariantI4(3), VT_BOOL, out), S_OK);
  EXPECT_EQ(out.v.boolVal, VARIANT_TRUE);
  ASSERT_EQ(Change(MakeVariantI2(12), VT_CY, out), S_OK);
  EXPECT_EQ(out.v.cyVal, 120000);
  // Currency to integers rounds halves to even.
  ASSERT_EQ(Change(MakeVariantCy(25000), VT_I4, out), S_OK);
  EXPECT_EQ(out.v.lVal, 2);
  ASSERT_EQ(Change(MakeVariantCy(35000), VT_I4, out), S_OK);
  EXPECT_EQ(out.v.lVal, 4);
  ASSERT_EQ(Change(MakeVariantCy(-25001), VT_I4, out), S_OK);
  EXPECT_EQ(out.v.lVal, -3);
}

TEST(Variant, TextConvertsBothWays) {
  Held out;
  Held number(MakeVariantBstr(u" 42 "));
  ASSERT_EQ(Change(number.v, VT_I4, out), S_OK);
  EXPECT_EQ(out.v.lVal, 42);
  Held size(MakeVariantBstr(u"9.5"));
  ASSERT_EQ(Change(size.v, VT_CY, out), S_OK);
  EXPECT_EQ(out.v.cyVal, 95000);
  Held word(MakeVariantBstr(u"TRUE"));
  ASSERT_EQ(Change(word.v, VT_BOOL, out), S_OK);
  EXPECT_EQ(out.v.boolVal, VARIANT_TRUE);
  Held junk(MakeVariantBstr(u"12abc"));
  EXPECT_EQ(Change(junk.v, VT_I4, out), DISP_E_TYPEMISMATCH);
  ASSERT_EQ(Change(MakeVariantCy(-125000), VT_BSTR, out), S_OK);
  EXPECT_EQ(std::u16string(out.v.bstrVal), u"-12.5");
  ASSERT_EQ(Change(MakeVariantI4(-7), VT_BSTR, out), S_OK);
  EXPECT_EQ(std::u16string(out.v.bstrVal), u"-7");
  // In place: the old string is freed, the number kept.
  Held inPlace(MakeVariantBstr(u"17"));
  ASSERT_EQ(VariantChangeType(&inPlace.v, &inPlace.v, 0, VT_I2), S_OK);
  EXPECT_EQ(inPlace.v.vt, VT_I2);
  EXPECT_EQ(inPlace.v.iVal, 17);
}

TEST(Variant, ReferencesAreReadThroughAndObjectsDoNotBecomeNumbers) {
  SHORT code = 65;
  VARIANT ref;
  VariantInit(&ref);
  ref.vt = VT_BYREF | VT_I2;
  ref.piVal = &code;
  Held out;
  ASSERT_EQ(Change(ref, VT_I4, out), S_OK);
  EXPECT_EQ(out.v.lVal, 65);
  VariantClear(&ref);  // a reference owns nothing
  EXPECT_EQ(code, 65);

  FontObject font;
  Held object(MakeVariantDispatch(&font));
  EXPECT_EQ(Change(object.v, VT_I4, out), DISP_E_TYPEMISMATCH);
  VARIANT bad;
  VariantInit(&bad);
  bad.vt = 0x77;
  EXPECT_EQ(Change(bad, VT_I4, out), DISP_E_BADVARTYPE);
}

TEST(Variant, CopyDuplicatesStringsAndHoldsObjects) {
  FontObject font;
  Held object(MakeVariantDispatch(&font));
  {
    Held copy;
    ASSERT_EQ(VariantCopy(&copy.v, &object.v), S_OK);
    font.AddRef();
    EXPECT_EQ(font.Release(), 2u);  // the original and the copy
  }
  font.AddRef();
  EXPECT_EQ(font.Release(), 1u);
  Held text(MakeVariantBstr(u"abc"));
  Held copy;
  ASSERT_EQ(VariantCopy(&copy.v, &text.v), S_OK);
  EXPECT_NE(copy.v.bstrVal, text.v.bstrVal);
  EXPECT_EQ(std::u16string(copy.v.bstrVal), u"abc");
}

TEST(Variant, HeldFontLivesWhileAReferenceIsOut) {
  std::weak_ptr<FontObject> watch;
  IDispatch* out = nullptr;
  {
    auto font = std::make_shared<FontObject>();
    watch = font;
    out = font.get();
    out->AddRef();
  }
  EXPECT_FALSE(watch.expired());
  EXPECT_EQ(out->Release(), 0u);
  EXPECT_TRUE(watch.expired());
}

}  // namespace

}  // namespace kestrix
