// A control's properties through a property file and back into another control: all twenty
// values, every cut of the file, hostile files, typed text, and what a load must not do.
#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>
#include <random>
#include <string>

#include "ControlHost.h"
#include "framework/ole/PropertyBagFile.h"

namespace kestrix {

namespace {

std::string AllBytes() {
  std::string s;
  for (int b = 0; b < 256; ++b) s += static_cast<char>(b);
  return s;
}

SavedFont FontOf(CFontHolder& holder) {
  SavedFont s;
  const FontObject* f = holder.GetFontDispatch();
  if (!f) return s;
  f->get_Name(&s.name);
  f->get_Size(&s.size);
  f->get_Weight(&s.weight);
  f->get_Charset(&s.charset);
  f->get_Italic(&s.italic);
  f->get_Underline(&s.underline);
  f->get_Strikethrough(&s.strikethrough);
  return s;
}

std::string SaveControl(CKestrixCtrl& c) {
  PropertyBag bag;
  c.SaveProperties(bag);
  std::string text;
  std::string error;
  EXPECT_TRUE(SavePropertyBagToString(bag, text, &error)) << error;
  return text;
}

// Loads as a host does: whatever the file yields, even when it reports problems.
void LoadControl(CKestrixCtrl& c, std::string_view text) {
  PropertyBag bag;
  LoadPropertyBagFromString(text, bag);
  c.LoadProperties(bag);
}

// Every value away from its default; fonts first, while there is no text to rebuild.
void SetEveryValue(CKestrixCtrl& c) {
  FontObject* ar = c.m_FontAr.GetFontDispatch();
  ar->put_Name(L"\u062E\u0637 \"Naskh\" {x} \\ }");
  ar->put_Size(185000);
  ar->put_Weight(700);
  ar->put_Charset(178);
  ar->put_Italic(TRUE);
  FontObject* en = c.m_FontEn.GetFontDispatch();
  en->put_Name(L"end\r\n}");
  en->put_Size(1);
  en->put_Underline(TRUE);
  en->put_Strikethrough(TRUE);
  c.m_WordWrap = FALSE;
  c.m_WantTabs = TRUE;
  c.m_Modified = TRUE;
  c.m_ReadOnly = TRUE;
  c.m_WantReturn = FALSE;
  c.m_MultiLines = FALSE;
  c.m_HideSelection = FALSE;
  c.m_Style = -7;
  c.m_ScrollBars = 2;
  c.m_Alignment = 1;
  c.m_ReadingOrder = 0;
  c.m_PasswordChar = '*';
  std::string bytes = AllBytes();
  c.m_SelText = bytes;
  c.TextSnapshot() = std::string(bytes.rbegin(), bytes.rend());  // not in the store: the snapshot is saved
  c.m_MaxLength = -123456;
  c.m_ForeColor = 0x80000008;  // a system colour: negative as a long
  c.m_BackColor = 0x00123456;
  c.m_VisualCaret = TRUE;
  c.m_StandardEditing = TRUE;
}

TEST(Persistence, EveryValueSurvivesAFile) {
  std::string path = (std::filesystem::temp_directory_path() /
                      ("kestrix-persist-" + std::to_string(::getpid()) + ".kxp"))
                         .string();
  SavedFont arabic, latin;
  {
    ControlHost host;
    SetEveryValue(*host.ctrl);
    arabic = FontOf(host.ctrl->m_FontAr);
    latin = FontOf(host.ctrl->m_FontEn);
    PropertyBag bag;
    host.ctrl->SaveProperties(bag);
    std::string error;
    ASSERT_TRUE(SavePropertyBagFile(bag, path, &error)) << error;
  }
  ControlHost host;
  CKestrixCtrl& c = *host.ctrl;
  PropertyBag bag;
  std::string error;
  ASSERT_TRUE(LoadPropertyBagFile(path, bag, &error)) << error;
  std::filesystem::remove(path);
  c.LoadProperties(bag);
  EXPECT_EQ(FontOf(c.m_FontAr), arabic);
  EXPECT_EQ(FontOf(c.m_FontEn), latin);
  EXPECT_EQ(arabic.weight, 700);  // the font really was away from its default
  EXPECT_EQ(c.m_WordWrap, FALSE);
  EXPECT_EQ(c.m_WantTabs, TRUE);
  EXPECT_EQ(c.m_Modified, TRUE);
  EXPECT_EQ(c.m_ReadOnly, TRUE);
  EXPECT_EQ(c.m_WantReturn, FALSE);
  EXPECT_EQ(c.m_MultiLines, FALSE);
  EXPECT_EQ(c.m_HideSelection, FALSE);
  EXPECT_EQ(c.m_Style, -7);
  EXPECT_EQ(c.m_ScrollBars, 2);
  EXPECT_EQ(c.m_Alignment, 1);
  EXPECT_EQ(c.m_ReadingOrder, 0);
  EXPECT_EQ(c.m_PasswordChar, '*');
  EXPECT_EQ(c.m_SelText, AllBytes());
  std::string bytes = AllBytes();
  EXPECT_EQ(c.TextSnapshot(), std::string(bytes.rbegin(), bytes.rend()));
  EXPECT_EQ(c.m_MaxLength, -123456);
  EXPECT_EQ(c.m_ForeColor, 0x80000008u);
  EXPECT_EQ(c.m_BackColor, 0x00123456u);
  EXPECT_EQ(c.m_VisualCaret, TRUE);
  EXPECT_EQ(c.m_StandardEditing, TRUE);
  EXPECT_FALSE(c.IsModified());
}

// Cut anywhere, a file gives a working control: each value as saved when its lines are
// whole, its default otherwise. One control takes every load, so nothing lingers between them.
TEST(Persistence, EveryCutOfTheFileGivesSavedValuesOrDefaults) {
  PropertyBag saved, defaults;
  std::string text;
  {
    ControlHost host;
    host.ctrl->SaveProperties(defaults);
    SetEveryValue(*host.ctrl);
    host.ctrl->SaveProperties(saved);
    text = SaveControl(*host.ctrl);
  }
  ASSERT_EQ(saved.Entries().size(), 22u);
  std::vector<size_t> ends;  // where the lines of each value end: a file of the values so far
  PropertyBag firsts;
  for (const auto& [name, value] : saved.Entries()) {
    firsts.Write(name, value);
    std::string partial;
    ASSERT_TRUE(SavePropertyBagToString(firsts, partial));
    ends.push_back(partial.size() - std::string("end\n").size());
  }
  ControlHost host;
  for (size_t n = 0; n <= text.size(); ++n) {
    LoadControl(*host.ctrl, std::string_view(text).substr(0, n));
    PropertyBag now;
    host.ctrl->SaveProperties(now);
    ASSERT_EQ(now.Entries().size(), saved.Entries().size());
    for (size_t k = 0; k < ends.size(); ++k) {
      const auto& expected = n >= ends[k] ? saved.Entries()[k] : defaults.Entries()[k];
      ASSERT_EQ(now.Entries()[k], expected) << "value " << expected.first << ", cut at " << n;
    }
  }
  host.ctrl->SetText("still works");
  EXPECT_EQ(host.ctrl->GetText(), "still works");
}

class PersistenceLoad : public ::testing::Test {
 protected:
  // The values a fresh control has, as a file would hold them.
  static PropertyBag Defaults() {
    ControlHost fresh;
    PropertyBag bag;
    fresh.ctrl->SaveProperties(bag);
    return bag;
  }
  PropertyBag Loaded(const std::string& text) {
    LoadControl(c, text);
    PropertyBag bag;
    c.SaveProperties(bag);
    return bag;
  }
  ControlHost host;
  CKestrixCtrl& c = *host.ctrl;
};

TEST_F(PersistenceLoad, WrongTypesHugeNumbersAndLongLinesGiveDefaults) {
  std::string text =
      "kestrix-properties 1.0\n"
      "ReadingOrder long 0\n"  // a short written as a long
      "WordWrap short 0\n"
      "BackColor dword 255\n"
      "FontAr string \"Arial\"\n"
      "m_SelText font {\n  name \"x\"\n  size 1\n  weight 1\n  charset 1\n"
      "  italic true\n  underline true\n  strikethrough true\n}\n"
      "Style short 65536\n"
      "MaxLength long 99999999999\n"
      "ForeColor long -99999999999999999999999999\n"
      "Alignment short 1e3\n"
      "m_Text string \"" +
      std::string((size_t{36} << 20) + 1, 'a') +
      "\"\n"
      "end\n";
  PropertyBag bag = Loaded(text);
  EXPECT_EQ(bag.Entries(), Defaults().Entries());
  EXPECT_EQ(c.m_ReadingOrder, 1);
  EXPECT_EQ(c.m_BackColor, 0xFFFFFFu);
  EXPECT_EQ(c.TextSnapshot(), "");
  // A long line within the caps is read.
  std::string megabyte(size_t{1} << 20, '\xC8');
  std::string big;
  {
    ControlHost source;
    source.ctrl->TextSnapshot() = megabyte;
    big = SaveControl(*source.ctrl);
  }
  Loaded(big);
  EXPECT_EQ(c.TextSnapshot(), megabyte);
}

TEST_F(PersistenceLoad, GarbageGivesAWorkingControl) {
  std::mt19937 random(1256);
  PropertyBag defaults = Defaults();
  for (int round = 0; round < 200; ++round) {
    std::string text = round % 2 ? "kestrix-properties 1.0\n" : "";
    for (int i = static_cast<int>(random() % 2000); i > 0; --i) text += static_cast<char>(random());
    EXPECT_EQ(Loaded(text).Entries(), defaults.Entries());
  }
  c.SetText("ab");
  EXPECT_EQ(c.GetText(), "ab");
}

TEST_F(PersistenceLoad, MissingBackColorGivesWhite) {
  std::string text;
  {
    ControlHost source;
    source.ctrl->m_BackColor = 0x00102030;
    source.ctrl->m_ForeColor = 0x00405060;
    text = SaveControl(*source.ctrl);
  }
  size_t at = text.find("BackColor long");
  ASSERT_NE(at, std::string::npos);
  text.erase(at, text.find('\n', at) + 1 - at);
  Loaded(text);
  EXPECT_EQ(c.m_BackColor, 0xFFFFFFu);
  EXPECT_EQ(c.m_ForeColor, 0x00405060u);  // the rest is read
}

// A host that saves right after the person typed must not lose the typing; a host that saves
// a loaded control before its text reached the store must not lose the text either.
TEST(Persistence, TypedTextIsSaved) {
  std::string typed;
  {
    ControlHost host;
    host.ctrl->SetFocus();
    host.display.TypeText("ab \xC7\xE1 cd");
    ASSERT_EQ(host.ctrl->GetText(), "ab \xC7\xE1 cd");
    ASSERT_EQ(host.ctrl->TextSnapshot(), "");  // typing leaves the snapshot behind
    typed = SaveControl(*host.ctrl);
  }
  std::string resaved;
  {
    ControlHost host;
    LoadControl(*host.ctrl, typed);
    EXPECT_EQ(host.ctrl->TextSnapshot(), "ab \xC7\xE1 cd");
    resaved = SaveControl(*host.ctrl);  // the text has not reached the store yet
    host.ctrl->m_FontEn.GetFontDispatch()->put_Italic(TRUE);
    EXPECT_EQ(host.ctrl->GetText(), "ab \xC7\xE1 cd");
    host.ctrl->SetFocus();
    host.display.KeyDown(VK_END);
    host.display.KeyUp(VK_END);
    host.display.TypeText("!");
    typed = SaveControl(*host.ctrl);
  }
  ControlHost host;
  LoadControl(*host.ctrl, resaved);
  EXPECT_EQ(host.ctrl->TextSnapshot(), "ab \xC7\xE1 cd");
  LoadControl(*host.ctrl, typed);
  EXPECT_EQ(host.ctrl->TextSnapshot(), "ab \xC7\xE1 cd!");
}

TEST(Persistence, LoadingLeftToRightHasNoSideEffects) {
  std::string text;
  {
    ControlHost source;
    source.ctrl->SetReadingOrder(0);
    source.ctrl->SetText("abc def");
    source.ctrl->m_Alignment = 1;
    text = SaveControl(*source.ctrl);
  }
  ControlHost host;
  CKestrixCtrl& c = *host.ctrl;
  HWND window = c.GetSafeHwnd();
  int lines = c.LineCount();
  size_t requests = host.display.LayoutRequests().size();
  host.library.ClearCalls();
  LoadControl(c, text);
  EXPECT_EQ(c.m_ReadingOrder, 0);
  EXPECT_EQ(c.m_Alignment, 1);
  EXPECT_EQ(host.display.LayoutRequests().size(), requests);
  EXPECT_TRUE(host.library.CallsOf("aSetReadingOrder").empty());
  EXPECT_TRUE(host.library.CallsOf("aSetKeyboardLanguage").empty());
  EXPECT_EQ(c.GetSafeHwnd(), window);  // not re-created
  EXPECT_EQ(c.LineCount(), lines);     // not re-broken
  EXPECT_EQ(c.GetText(), "");
  EXPECT_EQ(c.TextSnapshot(), "abc def");
}

}  // namespace

// Through the container's interface: what a load could not read is an error result, the rest
// is loaded; and a document opened and saved again, with no edit, saves what was opened.
TEST(Persistence, TheContainerLearnsWhatALoadCouldNotReadAndSavesWhatItOpened) {
  ControlHost host;
  IHostedControl* hosted = nullptr;
  ASSERT_EQ(host.ctrl->GetControllingUnknown()->QueryInterface(
                IID_IHostedControl, reinterpret_cast<void**>(&hosted)),
            S_OK);
  PropertyBag bag;
  bag.Write("WordWrap", LONG{0});
  bag.Write("ReadingOrder", short{0});
  EXPECT_EQ(hosted->Load(bag), DISP_E_TYPEMISMATCH);
  EXPECT_EQ(host.ctrl->m_WordWrap, TRUE);
  EXPECT_EQ(host.ctrl->m_ReadingOrder, 0);
  bag = PropertyBag();
  bag.Write("_Version", DWORD{0x00020000});
  EXPECT_EQ(hosted->Load(bag), DISP_E_TYPEMISMATCH);

  bag = PropertyBag();
  bag.Write("MaxLength", LONG{3});
  bag.Write("m_Text", CString("abcdef"));
  ASSERT_EQ(hosted->Load(bag), S_OK);
  EXPECT_EQ(host.ctrl->GetText(), "abc");
  PropertyBag saved;
  ASSERT_EQ(hosted->Save(saved, TRUE), S_OK);
  EXPECT_EQ(std::get<CString>(*saved.Read("m_Text")), "abcdef");
  // An edit is saved as the store holds it.
  host.ctrl->SetFocus();
  host.display.KeyDown(VK_DELETE);
  host.display.KeyUp(VK_DELETE);
  saved = PropertyBag();
  ASSERT_EQ(hosted->Save(saved, TRUE), S_OK);
  EXPECT_EQ(std::get<CString>(*saved.Read("m_Text")), "bc");
  hosted->Release();
}

}  // namespace kestrix
