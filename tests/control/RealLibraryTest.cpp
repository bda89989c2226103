// The control on our real text library and the installed fonts.
#include <gtest/gtest.h>

#include "ControlHost.h"
#include "arabtext/ShapeRun.h"
#include "control/Dispids.h"
#include "framework/ole/Variant.h"
#include "framework/text/Cp1256.h"

namespace kestrix {

namespace {

TEST(RealLibrary, MixedTextInkStaysInsideItsLines) {
  Display display(700, 400);
  CWnd container;
  container.CreateEx(0, WS_VISIBLE, CRect(0, 0, 700, 400), nullptr);
  CKestrixCtrl c;
  c.ResetProperties();
  c.CreateControlWindow(&container, CRect(10, 10, 410, 310));
  c.SetText(Cp1256FromUtf8(
      "مرحبا بكم في Kestrix، محرر النصوص الذي يجمع العربية و English في سطر واحد.\r"
      "Plain English text that wraps at the spaces of the line to the window width.\r"
      "السَّلامُ عَلَيْكُمْ 2026"));
  ASSERT_GT(c.LineCount(), 4);
  ASSERT_GT(c.m_LineHeight, 10);

  Surface client = display.CaptureClient(c.GetSafeHwnd());
  std::vector<CRect> boxes;
  c.PushPosition(TRUE);
  for (int n = c.m_FirstVisible; n <= c.m_LastVisible; ++n) {
    c.GotoLine(n);
    int baseline = c.m_LineY - c.m_BaselineLift - c.m_ScrollOffset;
    CString trimmed = c.m_LineText;
    while (!trimmed.empty() && (trimmed.back() == ' ' || trimmed.back() == '\r')) trimmed.pop_back();
    int width = c.TextExtent(trimmed).cx;
    // Right-aligned: the trimmed text ends at the right margin; a little side bearing allowed.
    CRect box(c.m_LineRight - width - 2, baseline - c.m_Ascent, c.m_LineRight + 2, baseline + c.m_Descent + 1);
    boxes.push_back(box);
    int ink = 0;
    for (int y = box.top; y < box.bottom; ++y)
      for (int x = box.left; x < box.right; ++x) ink += client.Pixel(x, y) != 0xFFFFFF;
    EXPECT_GT(ink, 20) << "line " << n << " drew nothing";
  }
  c.PopPosition();

  int stray = 0;
  for (int y = 0; y < client.Height(); ++y)
    for (int x = c.m_TextRect.left; x < c.m_TextRect.right; ++x) {
      if (client.Pixel(x, y) == 0xFFFFFF) continue;
      bool inside = false;
      for (const CRect& b : boxes) inside = inside || b.PtInRect(POINT{x, y});
      stray += !inside;
    }
  EXPECT_EQ(stray, 0);
  display.WriteClientPng(c.GetSafeHwnd(), TestOutputPath("real-library-control.png"));
}

TEST(RealLibrary, TypingIntoALongLineShowsWhatTheSameTextShowsWhenLoaded) {
  // A line far longer than the window, not wrapped, typed into in its middle by keystrokes:
  // its width, caret and screen must be those of a control given the final text at once.
  Display display(900, 300);
  CWnd container;
  container.CreateEx(0, WS_VISIBLE, CRect(0, 0, 900, 300), nullptr);
  auto place = [&](CKestrixCtrl& c, int left) {
    c.ResetProperties();
    c.m_WordWrap = FALSE;
    c.CreateControlWindow(&container, CRect(left, 10, left + 400, 110));
  };
  CKestrixCtrl typed, loaded;
  place(typed, 10);
  place(loaded, 460);
  std::string line;
  while (line.size() < 30000) line += Cp1256FromUtf8("words كلمات (in a line) 2026 ");
  for (const std::string& opening : {std::string("Start "), Cp1256FromUtf8("بداية ")}) {
    std::string text = opening + line;
    typed.SetText(text);
    typed.SetFocus();
    typed.m_CharIndex = typed.IndexFromOffset(15000);
    const std::string keys = Cp1256FromUtf8("typed نص ");
    for (char k : keys) display.Char(static_cast<uint8_t>(k));
    text.insert(15000, keys);
    ASSERT_EQ(typed.GetText(), text);
    ASSERT_EQ(typed.LineCount(), 1);
    const int caret = typed.CaretXFromIndex();
    container.SetFocus();
    loaded.SetText(text);
    loaded.GotoLine(1);
    loaded.m_CharIndex = loaded.IndexFromOffset(15000 + static_cast<int>(keys.size()));
    EXPECT_EQ(caret, loaded.CaretXFromIndex());
    EXPECT_EQ(typed.m_LineLeft, loaded.m_LineLeft);
    EXPECT_EQ(typed.m_LineRight, loaded.m_LineRight);
    EXPECT_EQ(display.CaptureClient(typed.GetSafeHwnd()).Pixels(),
              display.CaptureClient(loaded.GetSafeHwnd()).Pixels());
    EXPECT_EQ(typed.VerifyScreen(), "");
  }
}

}  // namespace

namespace {

// Writes the reading order as a host does, through the control's automation interface.
void WriteReadingOrder(CKestrixCtrl& c, SHORT order) {
  VARIANT value = MakeVariantI2(order);
  DISPID named = DISPID_PROPERTYPUT;
  DISPPARAMS p{&value, &named, 1, 1};
  ASSERT_EQ(c.GetIDispatch()->Invoke(kDispReadingOrder, IID_NULL, 0, DISPATCH_PROPERTYPUT, &p, nullptr, nullptr,
                                     nullptr),
            S_OK);
}

TEST(RealLibrary, EachControlDrawsInItsOwnReadingOrder) {
  // A line of neutral characters runs the paragraph's way, which the reading order decides: a
  // control just made, one switched away and back, and one beside a control that switched
  // must all draw it alike.
  Display display(700, 200);
  CWnd container;
  container.CreateEx(0, WS_VISIBLE, CRect(0, 0, 700, 200), nullptr);
  auto place = [&](CKestrixCtrl& c, int left) {
    c.ResetProperties();
    c.CreateControlWindow(&container, CRect(left, 10, left + 200, 60));
    c.SetText("123 (456) - 7");
  };
  CKestrixCtrl fresh, switched, other;
  place(fresh, 10);
  const Surface before = display.CaptureClient(fresh.GetSafeHwnd());
  place(switched, 240);
  WriteReadingOrder(switched, 0);
  WriteReadingOrder(switched, 1);
  EXPECT_EQ(display.CaptureClient(switched.GetSafeHwnd()).Pixels(), before.Pixels());
  place(other, 470);
  WriteReadingOrder(other, 0);
  fresh.Refresh();
  EXPECT_EQ(display.CaptureClient(fresh.GetSafeHwnd()).Pixels(), before.Pixels());
  WriteReadingOrder(fresh, 0);
  EXPECT_EQ(display.CaptureClient(fresh.GetSafeHwnd()).Pixels(),
            display.CaptureClient(other.GetSafeHwnd()).Pixels());
}

}  // namespace

namespace {

// The glyphs written into glyph lists while a fresh control, not wrapping, shows a paragraph
// that is one unbroken word of the given length.
uint64_t GlyphsCopiedShowingWord(const std::string& letters, size_t length) {
  std::string word;
  while (word.size() < length) word += letters;
  word.resize(length);
  Display display(700, 300);
  CWnd container;
  container.CreateEx(0, WS_VISIBLE, CRect(0, 0, 700, 300), nullptr);
  CKestrixCtrl c;
  c.ResetProperties();
  c.m_WordWrap = FALSE;
  c.CreateControlWindow(&container, CRect(10, 10, 610, 290));
  const uint64_t before = arabtext::GlyphsCopied();
  c.SetText(word);
  c.Redraw();
  return arabtext::GlyphsCopied() - before;
}

}  // namespace

TEST(RealLibrary, ShowingAnUnbrokenWordCopiesGlyphsInProportionToItsLength) {
  for (const char* letters : {"\xC8\xE3\xD3\xE1\xC7\xDA\xED\xE5", "kestrelAVTo"}) {
    const uint64_t small = GlyphsCopiedShowingWord(letters, 16 << 10);
    const uint64_t large = GlyphsCopiedShowingWord(letters, 64 << 10);
    ASSERT_GT(small, 0u);
    // Four times the word, four times the glyphs (and what the lists' doubling adds).
    EXPECT_LT(large, 5 * small) << small << " then " << large;
  }
}

}  // namespace kestrix
