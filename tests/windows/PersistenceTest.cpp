// Saving and loading through the container's two persistence interfaces: a stream (a form's
// binary file) and a property bag (a form's text or a page's parameters).
#include <gtest/gtest.h>

#include <string>

#include "Automation.h"
#include "Container.h"
#include "MemoryPropertyBag.h"

namespace kestrix {

namespace {

const std::wstring kText = L"\u0645\u0631\u062D\u0628\u0627\rHello";

// A control with values a new one would not have.
void GiveValues(Automation a) {
  ASSERT_EQ(a.PutBool(L"MultiLines", true), S_OK);
  ASSERT_EQ(a.Put(L"Text", kText), S_OK);
  ASSERT_EQ(a.PutLong(L"MaxLength", 300), S_OK);
  ASSERT_EQ(a.PutLong(L"ReadingOrder", 0), S_OK);
  ASSERT_EQ(a.PutLong(L"BackColor", 0x00E0F0FF), S_OK);
  VARIANT font = a.Get(L"FontEn");
  ASSERT_EQ(font.vt, VT_DISPATCH);
  Automation fontObject(font.pdispVal);
  ASSERT_EQ(fontObject.Put(L"Name", std::wstring(L"DejaVu Serif")), S_OK);
  ASSERT_EQ(fontObject.PutBool(L"Italic", true), S_OK);
  VariantClear(&font);
}

void ExpectValues(Automation a) {
  EXPECT_EQ(a.GetText(L"Text"), kText);
  EXPECT_NE(a.GetLong(L"MultiLines"), 0);
  EXPECT_EQ(a.GetLong(L"MaxLength"), 300);
  EXPECT_EQ(a.GetLong(L"ReadingOrder"), 0);
  EXPECT_EQ(a.GetLong(L"BackColor"), 0x00E0F0FF);
  VARIANT font = a.Get(L"FontEn");
  ASSERT_EQ(font.vt, VT_DISPATCH);
  Automation fontObject(font.pdispVal);
  EXPECT_EQ(fontObject.GetText(L"Name"), L"DejaVu Serif");
  EXPECT_NE(fontObject.GetLong(L"Italic"), 0);
  VariantClear(&font);
}

template <typename Interface>
Interface* Query(IUnknown* object, REFIID iid) {
  Interface* result = nullptr;
  object->QueryInterface(iid, reinterpret_cast<void**>(&result));
  return result;
}

TEST(ControlPersistence, AStreamCarriesEveryValueToANewControlAndSavingCanKeepTheDirtyMark) {
  IStream* stream = nullptr;
  ASSERT_EQ(CreateStreamOnHGlobal(nullptr, TRUE, &stream), S_OK);
  {
    Container first;
    ASSERT_EQ(first.Create(), S_OK);
    GiveValues(Automation(first.Dispatch()));
    IPersistStreamInit* persist =
        Query<IPersistStreamInit>(first.Control(), IID_IPersistStreamInit);
    ASSERT_NE(persist, nullptr);
    EXPECT_EQ(persist->IsDirty(), S_OK);
    ULARGE_INTEGER max{};
    ASSERT_EQ(persist->GetSizeMax(&max), S_OK);
    ASSERT_EQ(persist->Save(stream, FALSE), S_OK);
    EXPECT_EQ(persist->IsDirty(), S_OK);
    STATSTG stat{};
    stream->Stat(&stat, STATFLAG_NONAME);
    EXPECT_EQ(stat.cbSize.QuadPart, max.QuadPart);
    ASSERT_EQ(persist->Save(stream, TRUE), S_OK);
    EXPECT_EQ(persist->IsDirty(), S_FALSE);
    persist->Release();
  }
  LARGE_INTEGER start{};
  stream->Seek(start, STREAM_SEEK_SET, nullptr);
  Container second;
  ASSERT_EQ(second.Create(L"KESTRIX.KestrixCtrl.1", stream), S_OK);
  ExpectValues(Automation(second.Dispatch()));
  stream->Release();
}

TEST(ControlPersistence, AStreamThatIsNotOursLeavesAWorkingControl) {
  IStream* stream = nullptr;
  ASSERT_EQ(CreateStreamOnHGlobal(nullptr, TRUE, &stream), S_OK);
  const char garbage[] = "\x10\x00\x00\x00not a property file";
  stream->Write(garbage, sizeof garbage - 1, nullptr);
  LARGE_INTEGER start{};
  stream->Seek(start, STREAM_SEEK_SET, nullptr);
  Container container;
  ASSERT_EQ(container.Create(), S_OK);
  IPersistStreamInit* persist =
      Query<IPersistStreamInit>(container.Control(), IID_IPersistStreamInit);
  EXPECT_NE(persist->Load(stream), S_OK);
  persist->Release();
  stream->Release();
  Automation a(container.Dispatch());
  ASSERT_EQ(a.Put(L"Text", std::wstring(L"still here")), S_OK);
  EXPECT_EQ(a.GetText(L"Text"), L"still here");
}

TEST(ControlPersistence, AStreamsByteCountIsCheckedBeforeAnythingIsAllocated) {
  Container container;
  ASSERT_EQ(container.Create(), S_OK);
  IPersistStreamInit* persist =
      Query<IPersistStreamInit>(container.Control(), IID_IPersistStreamInit);
  // A count of nearly 4 GB, and a count past the stream's end, each before a few bytes.
  const struct {
    ULONG count;
    HRESULT expected;
  } cases[] = {{0xFFFFFFF0u, STG_E_DOCFILECORRUPT}, {0x00100000u, STG_E_READFAULT}};
  const std::string text = "kestrix-properties 1.0\nend\n";
  for (const auto& c : cases) {
    IStream* stream = nullptr;
    ASSERT_EQ(CreateStreamOnHGlobal(nullptr, TRUE, &stream), S_OK);
    stream->Write(&c.count, sizeof c.count, nullptr);
    stream->Write(text.data(), static_cast<ULONG>(text.size()), nullptr);
    LARGE_INTEGER start{};
    stream->Seek(start, STREAM_SEEK_SET, nullptr);
    EXPECT_EQ(persist->Load(stream), c.expected);
    stream->Release();
  }
  persist->Release();
  Automation a(container.Dispatch());
  ASSERT_EQ(a.Put(L"Text", std::wstring(L"still here")), S_OK);
  EXPECT_EQ(a.GetText(L"Text"), L"still here");
}

TEST(ControlPersistence, APropertyBagHoldsOneNamedValueEachAndFontsByTheirParts) {
  MemoryPropertyBag bag;
  {
    Container first;
    ASSERT_EQ(first.Create(), S_OK);
    GiveValues(Automation(first.Dispatch()));
    IPersistPropertyBag* persist =
        Query<IPersistPropertyBag>(first.Control(), IID_IPersistPropertyBag);
    ASSERT_NE(persist, nullptr);
    ASSERT_EQ(persist->Save(&bag, TRUE, TRUE), S_OK);
    persist->Release();
  }
  // The names are the control's persisted ones, as a saved form shows them.
  const VARIANT* text = bag.Find(L"m_Text");
  ASSERT_NE(text, nullptr);
  ASSERT_EQ(text->vt, VT_BSTR);
  EXPECT_EQ(std::wstring(text->bstrVal, SysStringLen(text->bstrVal)), kText);
  const VARIANT* fontName = bag.Find(L"FontEn.Name");
  ASSERT_NE(fontName, nullptr);
  EXPECT_EQ(std::wstring(fontName->bstrVal), L"DejaVu Serif");
  ASSERT_NE(bag.Find(L"MaxLength"), nullptr);
  EXPECT_EQ(bag.Find(L"MaxLength")->vt, VT_I4);

  Container second;
  ASSERT_EQ(second.Create(), S_OK);
  IPersistPropertyBag* persist =
      Query<IPersistPropertyBag>(second.Control(), IID_IPersistPropertyBag);
  ASSERT_EQ(persist->Load(&bag, nullptr), S_OK);
  persist->Release();
  ExpectValues(Automation(second.Dispatch()));
}

TEST(ControlPersistence, ABagWithTextValuesAndGapsGivesConvertedValuesAndDefaults) {
  // As a page's parameters arrive: everything as text, most values missing.
  MemoryPropertyBag bag;
  bag.Set(L"MaxLength", TextVariant(L"12"));
  bag.Set(L"m_Text", TextVariant(L"\u0633\u0644\u0627\u0645"));
  bag.Set(L"WordWrap", TextVariant(L"not a boolean"));
  Container container;
  ASSERT_EQ(container.Create(), S_OK);
  Automation a(container.Dispatch());
  const long defaultWrap = a.GetLong(L"WordWrap");
  IPersistPropertyBag* persist =
      Query<IPersistPropertyBag>(container.Control(), IID_IPersistPropertyBag);
  // The value that could not be read is an error for the container; the others are loaded.
  EXPECT_EQ(persist->Load(&bag, nullptr), DISP_E_TYPEMISMATCH);
  persist->Release();
  EXPECT_EQ(a.GetLong(L"MaxLength"), 12);
  EXPECT_EQ(a.GetText(L"Text"), L"\u0633\u0644\u0627\u0645");
  EXPECT_EQ(a.GetLong(L"WordWrap"), defaultWrap);
}

}  // namespace

}  // namespace kestrix
