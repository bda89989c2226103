#include <gtest/gtest.h>

#include "ControlHost.h"

namespace kestrix {

namespace {

std::wstring FaceOf(LPFONTDISP font) {
  WideString name;
  font->get_Name(&name);
  return name;
}

TEST(ControlState, ResetGivesTheDefaults) {
  ControlHost host;
  CKestrixCtrl& c = *host.ctrl;
  EXPECT_EQ(c.m_ReadingOrder, 1);
  EXPECT_EQ(c.m_Alignment, 2);
  EXPECT_TRUE(c.m_WordWrap);
  EXPECT_TRUE(c.m_MultiLines);
  EXPECT_TRUE(c.m_HideSelection);
  EXPECT_TRUE(c.m_WantReturn);
  EXPECT_FALSE(c.m_WantTabs);
  EXPECT_FALSE(c.m_ReadOnly);
  EXPECT_FALSE(c.m_Modified);
  EXPECT_EQ(c.m_Style, 1);
  EXPECT_EQ(c.m_ScrollBars, 3);
  EXPECT_EQ(c.m_PasswordChar, 0);
  EXPECT_EQ(c.m_MaxLength, 0);
  EXPECT_EQ(c.m_ForeColor, 0u);
  EXPECT_EQ(c.m_BackColor, 0xFFFFFFu);
  EXPECT_EQ(c.TextSnapshot(), "");
  EXPECT_EQ(c.m_SelText, "");
  EXPECT_EQ(c.m_dwVersionLoaded, 0x00010000u);

  for (auto [font, face] : {std::pair{c.m_FontAr.GetFontDispatch(), L"Fonta"},
                            std::pair{c.m_FontEn.GetFontDispatch(), L"Times New Roman"}}) {
    ASSERT_NE(font, nullptr);
    EXPECT_EQ(FaceOf(font), face);
    CY size = 0;
    short weight = 0, charset = 0;
    BOOL italic = TRUE, underline = TRUE, strike = TRUE;
    font->get_Size(&size);
    font->get_Weight(&weight);
    font->get_Charset(&charset);
    font->get_Italic(&italic);
    font->get_Underline(&underline);
    font->get_Strikethrough(&strike);
    EXPECT_EQ(size, 120000);
    EXPECT_EQ(weight, 400);
    EXPECT_EQ(charset, 1);
    EXPECT_FALSE(italic || underline || strike);
  }
}

TEST(ControlState, ConstructionSetsTheDefaultsAndFontsAndRegistersInterfaces) {
  FixedMetricTextLibrary library;
  CKestrixCtrl c(library);
  EXPECT_EQ(c.m_ReadingOrder, 1);
  EXPECT_EQ(c.m_BackColor, 0xFFFFFFu);
  EXPECT_TRUE(c.m_WordWrap);
  EXPECT_TRUE(c.m_MultiLines);
  ASSERT_NE(c.m_FontAr.GetFontDispatch(), nullptr);
  ASSERT_NE(c.m_FontEn.GetFontDispatch(), nullptr);
  WideString arabic, latin;
  c.m_FontAr.GetFontDispatch()->get_Name(&arabic);
  c.m_FontEn.GetFontDispatch()->get_Name(&latin);
  EXPECT_EQ(arabic, L"Fonta");
  EXPECT_EQ(latin, L"Times New Roman");
  EXPECT_EQ(c.LineCount(), 0);
  EXPECT_EQ(c.DispatchIID(), &IID_DKestrix);
  EXPECT_EQ(c.EventsIID(), &IID_DKestrixEvents);
  // With no lines and no window, the text reads empty and nothing breaks.
  EXPECT_EQ(c.GetText(), "");
  EXPECT_EQ(c.GetTextProperty(), L"");
  // A reset afterwards sets the same values again over whatever was changed.
  c.m_ReadingOrder = 0;
  c.m_FontAr.GetFontDispatch()->put_Name(L"Liberation Sans");
  c.ResetProperties();
  EXPECT_EQ(c.m_ReadingOrder, 1);
  c.m_FontAr.GetFontDispatch()->get_Name(&arabic);
  EXPECT_EQ(arabic, L"Fonta");
}

TEST(ControlState, SaveAndLoadKeepTheValuesInOrder) {
  PropertyBag bag;
  {
    ControlHost host;
    CKestrixCtrl& c = *host.ctrl;
    c.m_ReadingOrder = 0;
    c.m_Alignment = 1;
    c.TextSnapshot() = "\xC8\xC7 ab";
    c.m_BackColor = 0x123456;
    c.m_FontEn.GetFontDispatch()->put_Name(L"Liberation Sans");
    c.SaveProperties(bag);
  }
  std::vector<std::string> names;
  for (const auto& entry : bag.Entries()) names.push_back(entry.first);
  std::vector<std::string> expected = {"_Version",   "FontAr",       "FontEn",        "WordWrap",
                                       "WantTabs",   "Modified",     "ReadOnly",      "WantReturn",
                                       "MultiLines", "HideSelection", "Style",        "ScrollBars",
                                       "Alignment",  "ReadingOrder", "PasswordChar",  "m_SelText",
                                       "m_Text",     "MaxLength",    "ForeColor",     "BackColor",
                                       "VisualCaret", "StandardEditing"};
  EXPECT_EQ(names, expected);

  bag.Remove("BackColor");
  ControlHost other;
  other.ctrl->LoadProperties(bag);
  EXPECT_EQ(other.ctrl->m_ReadingOrder, 0);
  EXPECT_EQ(other.ctrl->m_Alignment, 1);
  EXPECT_EQ(other.ctrl->TextSnapshot(), "\xC8\xC7 ab");
  EXPECT_EQ(other.ctrl->m_BackColor, 0xFFFFFFu);  // missing: the default
  EXPECT_EQ(FaceOf(other.ctrl->m_FontEn.GetFontDispatch()), L"Liberation Sans");
}

TEST(ControlState, FontHoldersReportChangesOfTheirOwnCopy) {
  struct Counter : FontNotifySink {
    int changes = 0;
    void OnFontObjectChanged(FontObject*) override { ++changes; }
  } sink;
  FONTDESC desc;
  desc.lpstrName = L"A";
  FontObject given(desc);
  CFontHolder holder(&sink);
  holder.InitializeFont(nullptr, &given);
  ASSERT_NE(holder.GetFontDispatch(), &given);  // a copy is held
  given.put_Size(10);
  EXPECT_EQ(sink.changes, 0);
  holder.GetFontDispatch()->put_Bold(TRUE);
  EXPECT_EQ(sink.changes, 1);
  short weight = 0;
  holder.GetFontDispatch()->get_Weight(&weight);
  EXPECT_EQ(weight, 700);
}

}  // namespace

}  // namespace kestrix
