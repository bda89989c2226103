#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "ControlHost.h"
#include "control/TypeLibrary.h"
#include "framework/ole/Variant.h"

namespace kestrix {

namespace {

// A host's view of a dispatch object: names looked up, arguments packed last first.
class Driver {
 public:
  explicit Driver(IDispatch* d) : d_(d) {}

  DISPID Id(const char16_t* name) {
    auto* n = const_cast<LPOLESTR>(name);
    DISPID id = 0;
    EXPECT_EQ(d_->GetIDsOfNames(IID_NULL, &n, 1, 0, &id), S_OK) << Narrow(name);
    return id;
  }
  HRESULT Get(const char16_t* name, VARIANT* out) { return GetId(Id(name), out); }
  HRESULT GetId(DISPID id, VARIANT* out) {
    DISPPARAMS none;
    VariantInit(out);
    return d_->Invoke(id, IID_NULL, 0, DISPATCH_PROPERTYGET | DISPATCH_METHOD, &none, out,
                      nullptr, nullptr);
  }
  // Takes ownership of value.
  HRESULT Put(const char16_t* name, VARIANT value, UINT* argErr = nullptr) {
    return PutId(Id(name), value, argErr);
  }
  HRESULT PutId(DISPID id, VARIANT value, UINT* argErr = nullptr, WORD flags = DISPATCH_PROPERTYPUT) {
    DISPID named = DISPID_PROPERTYPUT;
    DISPPARAMS p{&value, &named, 1, 1};
    HRESULT hr = d_->Invoke(id, IID_NULL, 0, flags, &p, nullptr, nullptr, argErr);
    VariantClear(&value);
    return hr;
  }
  // args in the order the host writes them; owned.
  HRESULT Call(const char16_t* name, std::vector<VARIANT> args, VARIANT* out) {
    std::vector<VARIANT> reversed(args.rbegin(), args.rend());
    DISPPARAMS p{reversed.data(), nullptr, static_cast<UINT>(reversed.size()), 0};
    VariantInit(out);
    HRESULT hr = d_->Invoke(Id(name), IID_NULL, 0, DISPATCH_METHOD, &p, out, nullptr, nullptr);
    for (VARIANT& v : reversed) VariantClear(&v);
    return hr;
  }
  LONG GetLong(const char16_t* name) {
    VARIANT v;
    EXPECT_EQ(Get(name, &v), S_OK);
    VARIANT l;
    VariantInit(&l);
    VariantChangeType(&l, &v, 0, VT_I4);
    VariantClear(&v);
    return l.lVal;
  }
  std::u16string GetText(const char16_t* name) {
    VARIANT v;
    EXPECT_EQ(Get(name, &v), S_OK);
    EXPECT_EQ(v.vt, VT_BSTR);
    std::u16string s(v.bstrVal ? v.bstrVal : u"", SysStringLen(v.bstrVal));
    VariantClear(&v);
    return s;
  }
  static std::string Narrow(const char16_t* s) {
    std::string out;
    while (*s) out += static_cast<char>(*s++);
    return out;
  }

 private:
  IDispatch* d_;
};

class Automation : public ::testing::Test {
 protected:
  Automation() : c(*host.ctrl), d(c.GetIDispatch()) {}
  void Type(const std::string& s) {
    for (char ch : s) c.SendMessage(WM_CHAR, static_cast<uint8_t>(ch), 1);
  }
  ControlHost host;
  CKestrixCtrl& c;
  Driver d;
};

TEST_F(Automation, TableHasItsDispidsAndEveryMemberAnswersByNameAndId) {
  const TypeDesc& t = KestrixDispatchType();
  const char* expected[] = {"MultiLines", "MaxLength", "WordWrap", "Modified", "Style",
                            "ScrollBars", "HideSelection", "WantReturn", "ReadingOrder",
                            "ReadOnly", "FontAr", "FontEn", "PasswordChar", "Alignment",
                            "SelLength", "SelStart", "SelectAll", "Clear", "SelText",
                            "ActivateEdit", "VisualCaret", "Undo", "Redo", "CanUndo", "CanRedo"};
  for (int i = 0; i < 25; ++i) {
    const MemberDesc* m = t.FindMember(i + 1);
    ASSERT_NE(m, nullptr);
    EXPECT_STREQ(m->name, expected[i]);
  }
  EXPECT_STREQ(t.FindMember(26)->name, "StandardEditing");
  EXPECT_STREQ(t.FindMember(-501)->name, "BackColor");
  EXPECT_STREQ(t.FindMember(-513)->name, "ForeColor");
  EXPECT_STREQ(t.FindMember(-517)->name, "Text");
  EXPECT_STREQ(t.FindMember(-550)->name, "Refresh");
  EXPECT_STREQ(t.FindMember(-552)->name, "AboutBox");
  EXPECT_EQ(t.members.size(), 31u);

  c.SetText("abc");
  for (const MemberDesc& m : t.members) {
    std::u16string lower;
    for (const char* p = m.name; *p; ++p) lower += static_cast<char16_t>(std::tolower(*p));
    EXPECT_EQ(d.Id(lower.c_str()), m.dispid) << m.name;
    VARIANT out;
    if (m.kind == MemberKind::Property) {
      ASSERT_EQ(d.GetId(m.dispid, &out), S_OK) << m.name;
      EXPECT_EQ(out.vt, m.vt) << m.name;
      VariantClear(&out);
    } else if (m.params.empty() && m.dispid != DISPID_ABOUTBOX) {
      EXPECT_EQ(d.Call(std::u16string(lower).c_str(), {}, &out), S_OK) << m.name;
      VariantClear(&out);
    }
  }
}

TEST_F(Automation, MarkModifiedExceptForEqualWritesOfTheComparedProperties) {
  c.SetText("abc");
  struct Case {
    const char16_t* name;
    LONG value;
    bool marks;
  };
  const Case cases[] = {
      {u"ReadOnly", 0, false},     {u"ReadOnly", 1, true},       {u"PasswordChar", 0, false},
      {u"PasswordChar", 42, true}, {u"Alignment", 2, false},     {u"Alignment", 0, true},
      {u"ReadingOrder", 1, false}, {u"ReadingOrder", 0, true},   {u"ForeColor", 0, true},
      {u"ForeColor", 255, true},   {u"MultiLines", 1, true},     {u"WordWrap", 1, true},
      {u"MaxLength", 0, true},     {u"Modified", 0, true},       {u"Style", 1, true},
      {u"ScrollBars", 3, true},    {u"HideSelection", 1, true},  {u"WantReturn", 1, true},
      {u"SelStart", 0, true},      {u"SelLength", 0, true},      {u"BackColor", 0xFFFFFF, true},
  };
  for (const Case& k : cases) {
    c.SetModifiedFlag(FALSE);
    ASSERT_EQ(d.Put(k.name, MakeVariantI4(k.value)), S_OK) << Driver::Narrow(k.name);
    EXPECT_EQ(c.IsModified() != FALSE, k.marks) << Driver::Narrow(k.name) << " " << k.value;
    EXPECT_EQ(d.GetLong(k.name) != 0, k.value != 0) << Driver::Narrow(k.name);
  }
  EXPECT_EQ(d.GetText(u"Text"), u"abc");

  c.SetModifiedFlag(FALSE);
  VARIANT out;
  EXPECT_EQ(d.Call(u"Refresh", {}, &out), S_OK);
  EXPECT_EQ(d.Call(u"ActivateEdit", {MakeVariantBstr(u""), MakeVariantBstr(u"")}, &out), S_OK);
  EXPECT_EQ(out.vt, VT_BOOL);
  EXPECT_EQ(out.boolVal, VARIANT_TRUE);
  EXPECT_FALSE(c.IsModified());
}

// Switched on in a control just placed, whose caret no edit has moved yet, the caret shows at
// the empty line's start (its right end, reading right to left) once the focus comes.
TEST_F(Automation, CaretOfAControlJustPlacedShowsAtItsLinesStart) {
  VARIANT out;
  ASSERT_EQ(d.Call(u"ActivateEdit", {MakeVariantBstr(u""), MakeVariantBstr(u"")}, &out), S_OK);
  host.container.SetFocus();
  c.SetFocus();
  const Surface shown = host.display.CaptureClient(c.GetSafeHwnd());
  const int start = shown.Width() - 5;  // the client's right edge less the margin
  int stem = 0, elsewhere = 0;
  for (int y = 0; y < shown.Height(); ++y)
    for (int x = 0; x < shown.Width(); ++x)
      if (shown.Pixel(x, y) == 0) ++(x == start ? stem : elsewhere);
  EXPECT_GE(stem, 5);
  EXPECT_LE(elsewhere, 4);  // the flag
}

// A font object given whole to FontEn is the font Latin text is measured and drawn in from then
// on, whether the control holds text or not, as a change made on its font object is.
TEST(AutomationFonts, LatinTextTakesAFontGivenWhole) {
  for (const char16_t* text : {u"", u"abc"}) {
    ControlHost host;
    Driver d(host.ctrl->GetIDispatch());
    ASSERT_EQ(d.Put(u"Text", MakeVariantBstr(text)), S_OK);
    ASSERT_EQ(d.PutId(kDispFontEn, MakeVariantDispatch(host.ctrl->GetFontAr()), nullptr,
                      DISPATCH_PROPERTYPUTREF),
              S_OK);
    ASSERT_EQ(d.Put(u"Text", MakeVariantBstr(u"xyz")), S_OK);
    EXPECT_STREQ(host.library.lastLatin.lfFaceName, "Fonta") << Driver::Narrow(text);
  }
}

TEST_F(Automation, EqualReadingOrderWriteDoesNotRecreateTheWindow) {
  c.SetText("abc");
  HWND before = c.m_hWnd;
  c.SetModifiedFlag(FALSE);
  ASSERT_EQ(d.Put(u"ReadingOrder", MakeVariantI2(1)), S_OK);
  EXPECT_EQ(c.m_hWnd, before);
  ASSERT_EQ(d.Put(u"ReadingOrder", MakeVariantI2(0)), S_OK);
  EXPECT_NE(c.m_hWnd, before);
  EXPECT_EQ(c.m_Alignment, 0);
  EXPECT_EQ(d.GetText(u"Text"), u"abc");
}

TEST_F(Automation, EqualForeColorWriteDoesNotRepaint) {
  c.SetText("abc");
  c.Redraw();
  // Drawn with the wrong colour behind the control's back: only a repaint would fix it.
  c.m_ForeColor = RGB(255, 0, 0);
  ASSERT_EQ(d.Put(u"ForeColor", MakeVariantI4(RGB(255, 0, 0))), S_OK);
  EXPECT_TRUE(c.IsModified());
  c.m_ForeColor = 0;
  ASSERT_EQ(d.Put(u"ForeColor", MakeVariantI4(0x800000 | 0)), S_OK);
  EXPECT_EQ(c.m_ForeColor, 0x800000u);
  // System colours arrive as negative longs and are kept bit for bit.
  ASSERT_EQ(d.Put(u"ForeColor", MakeVariantI4(static_cast<LONG>(0x80000008u))), S_OK);
  EXPECT_EQ(c.m_ForeColor, 0x80000008u);
}

// Colours come back as signed longs, which every script language compares with a number; a
// write takes either 32-bit form bit for bit, and other numbers as unsigned ones.
TEST_F(Automation, ColoursReadAsSignedLongsAndWriteFromEitherLongForm) {
  VARIANT unsignedColour;
  VariantInit(&unsignedColour);
  unsignedColour.vt = VT_UI4;
  unsignedColour.ulVal = 0x8000000Fu;
  ASSERT_EQ(d.Put(u"BackColor", unsignedColour), S_OK);
  EXPECT_EQ(c.m_BackColor, 0x8000000Fu);
  VARIANT out;
  ASSERT_EQ(d.Get(u"BackColor", &out), S_OK);
  EXPECT_EQ(out.vt, VT_I4);
  EXPECT_EQ(out.lVal, static_cast<LONG>(0x8000000Fu));
  ASSERT_EQ(d.Put(u"ForeColor", MakeVariantI2(0x1234)), S_OK);
  ASSERT_EQ(d.Get(u"ForeColor", &out), S_OK);
  EXPECT_EQ(out.lVal, 0x1234);
  UINT argErr = 99;
  EXPECT_EQ(d.Put(u"ForeColor", MakeVariantI2(-1), &argErr), DISP_E_OVERFLOW);
  EXPECT_EQ(argErr, 0u);
  EXPECT_EQ(c.m_ForeColor, 0x1234u);
  // Only colours read an unsigned long's top bit as a sign.
  EXPECT_EQ(d.Put(u"MaxLength", unsignedColour), DISP_E_OVERFLOW);
}

TEST_F(Automation, RebreakingWritesApplyMaxLengthOnlyOnRebuild) {
  c.SetText("abc");
  ASSERT_EQ(d.Put(u"MaxLength", MakeVariantI4(2)), S_OK);
  EXPECT_EQ(d.GetText(u"Text"), u"abc");
  EXPECT_EQ(c.LineAt(1)->m_Chars, "abc");
  // Writing MultiLines with its current value still re-breaks.
  ASSERT_EQ(d.Put(u"MultiLines", MakeVariantBool(true)), S_OK);
  EXPECT_EQ(d.GetText(u"Text"), u"ab");
  c.SetText("xyz");
  EXPECT_EQ(d.GetText(u"Text"), u"xy");
  ASSERT_EQ(d.Put(u"MaxLength", MakeVariantI4(0)), S_OK);
  c.SetText("xyz");
  ASSERT_EQ(d.Put(u"MaxLength", MakeVariantI4(2)), S_OK);
  VARIANT out;
  ASSERT_EQ(d.Call(u"Refresh", {}, &out), S_OK);
  EXPECT_EQ(d.GetText(u"Text"), u"xy");
}

TEST_F(Automation, SelTextAndSelectionThroughTheInterface) {
  c.m_SelText = "stale";
  VARIANT out;
  ASSERT_EQ(d.Call(u"SelText", {}, &out), S_OK);
  EXPECT_EQ(out.vt, VT_BSTR);
  EXPECT_EQ(SysStringLen(out.bstrVal), 0u);
  EXPECT_EQ(c.m_SelText, "");
  VariantClear(&out);

  c.SetText("ab \xC7\xE1");
  ASSERT_EQ(d.Put(u"SelStart", MakeVariantI4(3)), S_OK);
  ASSERT_EQ(d.Put(u"SelLength", MakeVariantI4(2)), S_OK);
  EXPECT_EQ(d.GetLong(u"SelStart"), 3);
  EXPECT_EQ(d.GetLong(u"SelLength"), 2);
  ASSERT_EQ(d.Call(u"SelText", {}, &out), S_OK);
  EXPECT_EQ(std::u16string(out.bstrVal), u"\u0627\u0644");
  VariantClear(&out);
  ASSERT_EQ(d.Call(u"SelectAll", {}, &out), S_OK);
  EXPECT_EQ(d.GetLong(u"SelLength"), 5);
  ASSERT_EQ(d.Call(u"Clear", {}, &out), S_OK);
  EXPECT_EQ(d.GetText(u"Text"), u"");
}

TEST_F(Automation, TextCrossesThroughTheCodePageAndRefusesWhatItCannotHold) {
  ASSERT_EQ(d.Put(u"Text", MakeVariantBstr(u"Hi \u0633\u0644\u0627\u0645")), S_OK);
  EXPECT_EQ(c.GetText(), "Hi \xD3\xE1\xC7\xE3");
  EXPECT_EQ(d.GetText(u"Text"), u"Hi \u0633\u0644\u0627\u0645");
  c.SetModifiedFlag(FALSE);
  // A character with no place fails the whole write, and the host reads which and where.
  VARIANT value = MakeVariantBstr(u"ab \u0663 \u06CC");
  DISPID named = DISPID_PROPERTYPUT;
  DISPPARAMS p{&value, &named, 1, 1};
  EXCEPINFO info;
  EXPECT_EQ(c.GetIDispatch()->Invoke(DISPID_TEXT, IID_NULL, 0, DISPATCH_PROPERTYPUT, &p, nullptr, &info, nullptr),
            DISP_E_EXCEPTION);
  VariantClear(&value);
  EXPECT_EQ(info.scode, CTL_E_INVALIDPROPERTYVALUE);
  ASSERT_NE(info.bstrDescription, nullptr);
  EXPECT_EQ(std::u16string(info.bstrDescription),
            u"The text was not written: U+06CC at character 6 has no place in the Arabic code page (1256).");
  SysFreeString(info.bstrDescription);
  SysFreeString(info.bstrSource);
  EXPECT_EQ(c.GetText(), "Hi \xD3\xE1\xC7\xE3");
  EXPECT_FALSE(c.IsModified());
  // What the code page can say by meaning is written so: an Arabic-Indic digit is a digit.
  ASSERT_EQ(d.Put(u"Text", MakeVariantBstr(u"\u0661\u0662 \uFEFB")), S_OK);
  EXPECT_EQ(c.GetText(), "12 \xE1\xC7");
}

TEST_F(Automation, OutOfRangeValuesLeaveTheControlWorking) {
  c.SetText("ab\rcd");
  const std::pair<const char16_t*, LONG> writes[] = {
      {u"MaxLength", -5},   {u"Alignment", 7},       {u"Alignment", -3},
      {u"PasswordChar", -1}, {u"PasswordChar", 0x1234}, {u"ReadingOrder", 9},
      {u"ReadingOrder", -1}, {u"SelStart", -10},     {u"SelLength", -4},
      {u"SelStart", 1000},  {u"Style", -2},          {u"ScrollBars", 99}};
  std::string expected = "ab\rcd";
  for (auto [name, value] : writes) {
    ASSERT_EQ(d.Put(name, MakeVariantI4(value)), S_OK) << Driver::Narrow(name);
    EXPECT_EQ(c.GetText(), expected) << Driver::Narrow(name) << " " << value;
    c.Refresh();
    c.Redraw();
    EXPECT_EQ(c.GetText(), expected) << Driver::Narrow(name) << " " << value;
  }
  // Still editable: a negative MaxLength sets no limit.
  c.SendMessage(WM_KEYDOWN, VK_END, 1);
  Type("xyz");
  EXPECT_NE(c.GetText().find("xyz"), std::string::npos);
  EXPECT_EQ(c.GetText().size(), expected.size() + 3);
}

TEST_F(Automation, CallerErrorsGiveTheirCodes) {
  IDispatch* disp = c.GetIDispatch();
  LPOLESTR names[2] = {const_cast<LPOLESTR>(u"NoSuchThing"), nullptr};
  DISPID ids[2] = {5, 5};
  EXPECT_EQ(disp->GetIDsOfNames(IID_NULL, names, 1, 0, ids), DISP_E_UNKNOWNNAME);
  EXPECT_EQ(ids[0], DISPID_UNKNOWN);
  names[0] = const_cast<LPOLESTR>(u"ACTIVATEEDIT");
  names[1] = const_cast<LPOLESTR>(u"lpstr");
  ASSERT_EQ(disp->GetIDsOfNames(IID_NULL, names, 2, 0, ids), S_OK);
  EXPECT_EQ(ids[0], 20);
  EXPECT_EQ(ids[1], 1);

  VARIANT out;
  EXPECT_EQ(d.GetId(999, &out), DISP_E_MEMBERNOTFOUND);
  EXPECT_EQ(d.PutId(kDispSelText, MakeVariantBstr(u"x")), DISP_E_MEMBERNOTFOUND);
  EXPECT_EQ(d.PutId(kDispMaxLength, MakeVariantI4(1), nullptr, DISPATCH_PROPERTYPUTREF),
            DISP_E_MEMBERNOTFOUND);
  EXPECT_EQ(d.Call(u"SelText", {MakeVariantI4(1)}, &out), DISP_E_BADPARAMCOUNT);
  EXPECT_EQ(d.Call(u"ActivateEdit", {MakeVariantBstr(u"k")}, &out), DISP_E_BADPARAMCOUNT);
  EXPECT_EQ(d.Call(u"MaxLength", {}, &out), DISP_E_MEMBERNOTFOUND);  // a property
  EXPECT_EQ(d.Put(u"MaxLength", MakeVariantBstr(u"lots")), DISP_E_TYPEMISMATCH);
  EXPECT_EQ(d.Put(u"Style", MakeVariantI4(70000)), DISP_E_OVERFLOW);
  EXPECT_EQ(d.Put(u"FontAr", MakeVariantI4(3)), DISP_E_TYPEMISMATCH);

  VARIANT arg = MakeVariantI4(1);
  DISPPARAMS unnamed{&arg, nullptr, 1, 0};
  EXPECT_EQ(disp->Invoke(kDispMaxLength, IID_NULL, 0, DISPATCH_PROPERTYPUT, &unnamed, nullptr,
                         nullptr, nullptr),
            DISP_E_PARAMNOTOPTIONAL);
  DISPPARAMS withArg{&arg, nullptr, 1, 0};
  EXPECT_EQ(disp->Invoke(kDispMaxLength, IID_NULL, 0, DISPATCH_PROPERTYGET, &withArg, &out,
                         nullptr, nullptr),
            DISP_E_BADPARAMCOUNT);
  EXPECT_EQ(disp->Invoke(kDispMaxLength, IID_IDispatch, 0, DISPATCH_PROPERTYGET, &withArg, &out,
                         nullptr, nullptr),
            DISP_E_UNKNOWNINTERFACE);
  EXPECT_EQ(disp->Invoke(kDispMaxLength, IID_NULL, 0, DISPATCH_PROPERTYGET, nullptr, &out,
                         nullptr, nullptr),
            E_POINTER);
  DISPPARAMS missing{nullptr, nullptr, 2, 0};
  EXPECT_EQ(disp->Invoke(kDispActivateEdit, IID_NULL, 0, DISPATCH_METHOD, &missing, &out,
                         nullptr, nullptr),
            E_INVALIDARG);
  void* object = nullptr;
  EXPECT_EQ(disp->QueryInterface(IID_IFontDisp, &object), E_NOINTERFACE);
  EXPECT_EQ(object, nullptr);
  ASSERT_EQ(disp->QueryInterface(IID_DKestrix, &object), S_OK);
  EXPECT_EQ(object, disp);
  disp->Release();
  EXPECT_EQ(c.m_MaxLength, 0);
}

TEST_F(Automation, AReferenceToAVariantIsFollowedOneLevelAndNoFurther) {
  // One level reaches the value, for a property write and a method argument alike.
  VARIANT held = MakeVariantI4(7);
  VARIANT ref;
  VariantInit(&ref);
  ref.vt = VT_BYREF | VT_VARIANT;
  ref.pvarVal = &held;
  ASSERT_EQ(d.Put(u"MaxLength", ref), S_OK);
  EXPECT_EQ(c.m_MaxLength, 7);

  // A variant that refers to itself, a cycle of two, and a chain two deep are all refused.
  VARIANT self, a, b, inner = MakeVariantI4(9), outer;
  for (VARIANT* v : {&self, &a, &b, &outer}) {
    VariantInit(v);
    v->vt = VT_BYREF | VT_VARIANT;
  }
  self.pvarVal = &self;
  a.pvarVal = &b;
  b.pvarVal = &a;
  VARIANT middle = ref;
  middle.pvarVal = &inner;
  outer.pvarVal = &middle;
  for (VARIANT* v : {&self, &a, &outer}) {
    EXPECT_EQ(d.Put(u"MaxLength", *v), DISP_E_BADVARTYPE);
    EXPECT_EQ(d.Put(u"Text", *v), DISP_E_BADVARTYPE);
    VARIANT out;
    EXPECT_EQ(d.Call(u"ActivateEdit", {MakeVariantBstr(u"k"), *v}, &out), DISP_E_BADVARTYPE);
  }
  EXPECT_EQ(c.m_MaxLength, 7);
}

TEST_F(Automation, FontPropertiesGiveTheHeldFontAndItsChangesReachTheControl) {
  c.SetText("abc");
  VARIANT font;
  ASSERT_EQ(d.Get(u"FontAr", &font), S_OK);
  ASSERT_EQ(font.vt, VT_DISPATCH);
  EXPECT_EQ(FontObject::FromDispatch(font.pdispVal), c.m_FontAr.GetFontDispatch());
  Driver f(font.pdispVal);
  EXPECT_EQ(f.GetText(u"Name"), u"Fonta");
  VARIANT size;
  ASSERT_EQ(f.Get(u"size", &size), S_OK);
  EXPECT_EQ(size.vt, VT_CY);
  EXPECT_EQ(size.cyVal, 120000);
  const std::pair<const char16_t*, DISPID> ids[] = {
      {u"Name", 0}, {u"Size", 2}, {u"Bold", 3}, {u"Italic", 4}, {u"Underline", 5},
      {u"Strikethrough", 6}, {u"Weight", 7}, {u"Charset", 8}};
  for (auto [name, id] : ids) EXPECT_EQ(f.Id(name), id);

  // A change on the held font reaches OnFontChanged, which rebuilds in a new window.
  HWND before = c.m_hWnd;
  c.SetModifiedFlag(FALSE);
  ASSERT_EQ(f.Put(u"Bold", MakeVariantBool(true)), S_OK);
  EXPECT_EQ(f.GetLong(u"Weight"), 700);
  EXPECT_TRUE(c.IsModified());
  EXPECT_NE(c.m_hWnd, before);
  ASSERT_EQ(f.Put(u"Size", MakeVariantI4(14)), S_OK);
  EXPECT_EQ(c.m_FontAr.GetFontDispatch()->IsEqual(*c.m_FontAr.GetFontDispatch()), true);
  CY held = 0;
  c.m_FontAr.GetFontDispatch()->get_Size(&held);
  EXPECT_EQ(held, 140000);
  EXPECT_EQ(f.Put(u"Size", MakeVariantI4(-1)), E_INVALIDARG);
  EXPECT_EQ(d.GetText(u"Text"), u"abc");
  VariantClear(&font);
}

TEST_F(Automation, FontWriteTakesACopyAndMarksModified) {
  FONTDESC desc;
  desc.lpstrName = L"Courier";
  desc.cySize = 100000;
  auto mine = std::make_shared<FontObject>(desc);
  c.SetModifiedFlag(FALSE);
  ASSERT_EQ(d.Put(u"FontEn", MakeVariantDispatch(mine.get())), S_OK);
  EXPECT_TRUE(c.IsModified());
  LPFONTDISP held = c.m_FontEn.GetFontDispatch();
  ASSERT_NE(held, mine.get());
  EXPECT_TRUE(held->IsEqual(*mine));
  // The host's own font is not bound to the control.
  c.SetModifiedFlag(FALSE);
  mine->put_Italic(TRUE);
  EXPECT_FALSE(c.IsModified());
  BOOL italic = TRUE;
  held->get_Italic(&italic);
  EXPECT_FALSE(italic);
  // PUTREF is accepted for fonts; nothing gives the stock font.
  ASSERT_EQ(d.PutId(kDispFontEn, MakeVariantDispatch(nullptr), nullptr, DISPATCH_PROPERTYPUTREF),
            S_OK);
  WideString name;
  c.m_FontEn.GetFontDispatch()->get_Name(&name);
  EXPECT_EQ(name, L"MS Sans Serif");
}

// A host's event sink: records each Invoke, and may change a by-reference key code.
class RecordingSink : public IDispatch {
 public:
  HRESULT QueryInterface(REFIID, void** o) override {
    *o = this;
    AddRef();
    return S_OK;
  }
  ULONG AddRef() override { return ++refs; }
  ULONG Release() override { return --refs; }
  HRESULT GetTypeInfoCount(UINT*) override { return E_NOTIMPL; }
  HRESULT GetTypeInfo(UINT, LCID, ITypeInfo**) override { return E_NOTIMPL; }
  HRESULT GetIDsOfNames(REFIID, LPOLESTR*, UINT, LCID, DISPID*) override { return E_NOTIMPL; }
  HRESULT Invoke(DISPID id, REFIID, LCID, WORD flags, DISPPARAMS* p, VARIANT*, EXCEPINFO*,
                 UINT*) override {
    Call call{id, flags, {}};
    for (UINT i = p->cArgs; i-- > 0;) call.args.push_back(p->rgvarg[i]);
    calls.push_back(call);
    if (id == DISPID_KEYDOWN && replaceKeyCode >= 0) *p->rgvarg[1].piVal = replaceKeyCode;
    return S_OK;
  }
  struct Call {
    DISPID id;
    WORD flags;
    std::vector<VARIANT> args;  // first argument first
  };
  std::vector<Call> calls;
  ULONG refs = 0;
  SHORT replaceKeyCode = -1;
};

class CountingEventSink : public EventSink {
 public:
  void OnStockEvent(StockEvent& e) override {
    if (e.dispid == DISPID_KEYDOWN) keyDownsSeen.push_back(e.keyCode);
    if (e.dispid == DISPID_KEYDOWN) e.keyCode = static_cast<short>(e.keyCode + 1);
  }
  std::vector<short> keyDownsSeen;
};

TEST_F(Automation, EventsReachADispatchSinkWithTheirParameters) {
  RecordingSink sink;
  DWORD cookie = 0;
  ASSERT_EQ(c.Advise(&sink, &cookie), S_OK);
  EXPECT_EQ(sink.refs, 1u);
  c.SendMessage(WM_KEYDOWN, 'A', 1);
  ASSERT_FALSE(sink.calls.empty());
  const auto& key = sink.calls[0];
  EXPECT_EQ(key.id, DISPID_KEYDOWN);
  EXPECT_EQ(key.flags, DISPATCH_METHOD);
  ASSERT_EQ(key.args.size(), 2u);
  EXPECT_EQ(key.args[0].vt, VT_BYREF | VT_I2);
  EXPECT_EQ(key.args[1].vt, VT_I2);
  EXPECT_EQ(key.args[1].iVal, 0);

  sink.calls.clear();
  c.SendMessage(WM_MOUSEMOVE, 0, MAKELPARAM(12, 34));
  ASSERT_EQ(sink.calls.size(), 1u);
  ASSERT_EQ(sink.calls[0].args.size(), 4u);
  EXPECT_EQ(sink.calls[0].args[2].vt, VT_I4);
  EXPECT_EQ(sink.calls[0].args[2].lVal, 12);
  EXPECT_EQ(sink.calls[0].args[3].lVal, 34);

  sink.calls.clear();
  c.FireReadyStateChange();
  ASSERT_FALSE(sink.calls.empty());
  EXPECT_EQ(sink.calls.back().id, DISPID_READYSTATECHANGE);
  EXPECT_EQ(sink.calls.back().args[0].lVal, c.GetReadyState());

  EXPECT_EQ(c.Unadvise(cookie + 7), E_INVALIDARG);
  ASSERT_EQ(c.Unadvise(cookie), S_OK);
  EXPECT_EQ(sink.refs, 0u);
  sink.calls.clear();
  c.SendMessage(WM_KEYDOWN, 'A', 1);
  EXPECT_TRUE(sink.calls.empty());
}

TEST_F(Automation, HostChangesTheKeyCodeAfterTheEventSinkHasSeenIt) {
  RecordingSink sink;
  CountingEventSink plain;
  c.SetEventSink(&plain);
  DWORD cookie = 0;
  ASSERT_EQ(c.Advise(&sink, &cookie), S_OK);
  sink.replaceKeyCode = 0;
  USHORT code = 'Q';
  c.FireKeyDown(&code, 1);
  ASSERT_EQ(plain.keyDownsSeen.size(), 1u);
  EXPECT_EQ(plain.keyDownsSeen[0], 'Q');
  EXPECT_EQ(code, 0);  // cancelled by the dispatch sink
  sink.replaceKeyCode = 'Z';
  code = 'Q';
  c.FireKeyDown(&code, 0);
  EXPECT_EQ(code, 'Z');
  c.SetEventSink(nullptr);
  c.Unadvise(cookie);
}

TEST(TypeLibrary, DescribesTheLibraryItsTypesAndMembers) {
  const TypeLibDesc& lib = KestrixTypeLibrary();
  EXPECT_STREQ(lib.name, "KESTRIXLib");
  EXPECT_EQ(lib.majorVersion, 1);
  EXPECT_EQ(lib.minorVersion, 0);
  EXPECT_EQ(lib.lcid, 0x0409u);
  EXPECT_STREQ(lib.helpFile, "Kestrix.hlp");
  ASSERT_EQ(lib.types.size(), 3u);
  const TypeDesc* dispatch = lib.FindType("_DKestrix");
  const TypeDesc* events = lib.FindType("_DKestrixEvents");
  const TypeDesc* cls = lib.FindType("Kestrix");
  ASSERT_TRUE(dispatch && events && cls);
  EXPECT_EQ(dispatch->flags, TYPEFLAG_FHIDDEN | TYPEFLAG_FDISPATCHABLE);
  EXPECT_EQ(events->flags, TYPEFLAG_FDISPATCHABLE);
  EXPECT_EQ(cls->flags, TYPEFLAG_FCANCREATE | TYPEFLAG_FCONTROL);
  EXPECT_STREQ(events->helpString, "Event interface for Kestrix Control");
  EXPECT_TRUE(dispatch->guid == IID_DKestrix);
  EXPECT_TRUE(events->guid == IID_DKestrixEvents);
  EXPECT_TRUE(cls->guid == CLSID_Kestrix);
  EXPECT_FALSE(lib.libid == CLSID_Kestrix);

  const MemberDesc* keyDown = events->FindMember(DISPID_KEYDOWN);
  ASSERT_NE(keyDown, nullptr);
  ASSERT_EQ(keyDown->params.size(), 2u);
  EXPECT_EQ(keyDown->params[0].vt, VT_BYREF | VT_I2);
  EXPECT_STREQ(keyDown->params[1].name, "Shift");
  EXPECT_TRUE(events->FindMember(DISPID_READYSTATECHANGE)->params.empty());
  EXPECT_EQ(events->FindMember(DISPID_MOUSEMOVE)->params.size(), 4u);
  const MemberDesc* activate = dispatch->FindMember(u"activateedit");
  ASSERT_NE(activate, nullptr);
  EXPECT_EQ(activate->vt, VT_BOOL);
  EXPECT_EQ(activate->params[1].vt, VT_BSTR);
  ASSERT_EQ(cls->implemented.size(), 2u);
  EXPECT_TRUE(cls->implemented[1].isDefault && cls->implemented[1].isSource);
}

TEST(TypeLibrary, IdlTextCarriesEveryMember) {
  const std::string idl = EmitIdl(KestrixTypeLibrary());
  for (const std::string& line : std::vector<std::string>{"library KESTRIXLib", "version(1.0)", "lcid(0x0409)", "helpfile(\"Kestrix.hlp\")",
        "importlib(\"STDOLE2.TLB\")", "dispinterface _DKestrix\n", "[id(11)] IFontDisp* FontAr;",
        "[id(20)] VARIANT_BOOL ActivateEdit(BSTR lpKey, BSTR lpStr);",
        "[id(DISPID_TEXT)] BSTR Text;", "[id(DISPID_KEYDOWN)] void KeyDown(short* KeyCode, short Shift);",
        "[default, source] dispinterface _DKestrixEvents;", "uuid(" + GuidString(CLSID_Kestrix) + ")"}) {
    EXPECT_NE(idl.find(line), std::string::npos) << line;
  }
  EXPECT_EQ(GuidString(IID_DKestrix), "5B1E2C70-3A41-4F0E-9C21-6A0D4711B201");
}

}  // namespace

}  // namespace kestrix
