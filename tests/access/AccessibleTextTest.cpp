// The control as a screen reader reads it: spans of text around an offset, the events that
// typing, deleting and pasting give, character boxes that agree with the caret and with the
// point asked about, editing that keeps the control's rules, and a password that never shows.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "ControlHost.h"
#include "access/AccessibleText.h"

namespace kestrix {

namespace {

// Ba, ta and tha, in the code page and in Unicode.
const std::string kArabic = "\xC8\xCA\xCB";
const std::u16string kArabicU = u"\u0628\u062A\u062B";

// An event as the log keeps it: "+3:d", "caret 4". Built by appending, not by adding strings
// to a literal, which GCC's optimiser wrongly warns about.
std::string Entry(std::string what, long offset, const std::u16string* text = nullptr) {
  what += std::to_string(offset);
  if (text) {
    what += ':';
    what += Utf8FromModelText(*text);
  }
  return what;
}

class Recorder : public AccessibleListener {
 public:
  void TextInserted(long offset, const std::u16string& text) override { log.push_back(Entry("+", offset, &text)); }
  void TextDeleted(long offset, const std::u16string& text) override { log.push_back(Entry("-", offset, &text)); }
  void CaretMoved(long offset) override { log.push_back(Entry("caret ", offset)); }
  void SelectionChanged() override { log.push_back("selection"); }
  void FocusChanged(bool focused) override { log.push_back(focused ? "focus" : "blur"); }
  std::vector<std::string> Take() { return std::exchange(log, {}); }
  std::vector<std::string> log;
};

class Accessible : public ::testing::Test {
 protected:
  ControlHost host{CRect(0, 0, 124, 200)};  // 12 characters to a line
  CKestrixCtrl& c = *host.ctrl;
  AccessibleText model{c};
  Recorder heard;
  HWND w() { return c.GetSafeHwnd(); }

  void Place(const std::string& text, short readingOrder = 0) {
    c.SetReadingOrder(readingOrder);
    c.SetEventSink(nullptr);
    c.ActivateEdit(L"", L"");
    c.SetText(text);
    host.display.SetFocus(w());
    model.SetListener(&heard);
  }
  // As the platform layer does after each turn of input.
  void Key(int vk) {
    host.display.KeyDown(vk);
    host.display.KeyUp(vk);
    model.Update();
  }
  void Ctrl(char letter) {
    host.display.KeyDown(VK_CONTROL);
    host.display.Char(static_cast<uint8_t>(letter & 0x1F));
    host.display.KeyUp(VK_CONTROL);
    model.Update();
  }
  void Type(const std::string& text) {
    host.display.TypeText(text);
    model.Update();
  }
};

struct SpanRow {
  long offset;
  TextUnit unit;
  long start, end;
  std::u16string text;
};

TEST_F(Accessible, TextAtAnOffsetByCharacterWordAndDisplayLine) {
  // "  one, 2x" then Arabic with a mark, wrapped: display line 1 is "  one, 2x " and line 2
  // begins with the Arabic word; the CR reads as a line feed.
  Place("  one, 2x " + kArabic + "\xF3 last word\rz");
  EXPECT_EQ(model.Text(), u"  one, 2x " + kArabicU + u"\u064E last word\nz");
  const SpanRow rows[] = {
      {0, TextUnit::Character, 0, 1, u" "},
      {0, TextUnit::Word, 0, 2, u"  "},     // before the first word
      {2, TextUnit::Word, 2, 7, u"one, "},  // a word keeps what follows it
      {5, TextUnit::Word, 2, 7, u"one, "},
      {7, TextUnit::Word, 7, 10, u"2x "},                   // digits belong to words
      {11, TextUnit::Word, 10, 15, kArabicU + u"\u064E "},  // so do marks
      {20, TextUnit::Word, 20, 25, u"word\n"},
      {25, TextUnit::Word, 25, 26, u"z"},
      {26, TextUnit::Word, 25, 26, u"z"},  // the end of the text: the last word
      {3, TextUnit::Line, 0, 10, u"  one, 2x "},
      {10, TextUnit::Line, 10, 20, kArabicU + u"\u064E last "},
      {24, TextUnit::Line, 20, 25, u"word\n"},
      {26, TextUnit::Line, 25, 26, u"z"},
      {12, TextUnit::Paragraph, 0, 25, u"  one, 2x " + kArabicU + u"\u064E last word\n"},
      {25, TextUnit::Paragraph, 25, 26, u"z"},
  };
  for (const SpanRow& row : rows) {
    SCOPED_TRACE(row.offset);
    std::optional<TextSpan> span = model.TextAt(row.offset, row.unit);
    ASSERT_TRUE(span);
    EXPECT_EQ(span->start, row.start);
    EXPECT_EQ(span->end, row.end);
    EXPECT_EQ(span->text, row.text);
  }
  EXPECT_FALSE(model.TextAt(27, TextUnit::Character));
  EXPECT_FALSE(model.TextAt(-1, TextUnit::Line));
}

TEST_F(Accessible, TypingDeletingAndPastingAreHeard) {
  Place("abc");
  Key(VK_END);
  Type("d");
  Key(VK_LEFT);
  Key(VK_BACK);
  EXPECT_EQ(heard.Take(),
            (std::vector<std::string>{"caret 3", "+3:d", "caret 4", "caret 3", "-2:c", "caret 2"}));
  host.display.PutClipboardText("p\r\nq");
  Ctrl('V');
  EXPECT_EQ(heard.Take(), (std::vector<std::string>{"+2:p\nq", "caret 5"}));
  // A selection typed over (Shift+Home selects "q", the display line's start): selected, then
  // removed and replaced.
  host.display.KeyDown(VK_SHIFT);
  Key(VK_HOME);
  host.display.KeyUp(VK_SHIFT);
  model.Update();
  EXPECT_EQ(model.Selections().size(), 1u);
  Type("Z");
  EXPECT_EQ(heard.Take(), (std::vector<std::string>{"selection", "caret 4", "-4:q", "+4:Z",
                                                    "selection", "caret 5"}));
  host.display.SetFocus(nullptr);
  model.Update();
  host.display.SetFocus(w());
  model.Update();
  EXPECT_EQ(heard.Take(), (std::vector<std::string>{"blur", "focus"}));
}

TEST_F(Accessible, CharacterBoxesFollowTheCaretAndAnswerThePointInBothOrders) {
  for (short order : {short{0}, short{1}})
    for (BOOL visual : {FALSE, TRUE}) {
      SCOPED_TRACE(order);
      SCOPED_TRACE(visual);
      Place("ab " + kArabic + " cd\r" + kArabic + " xy", order);
      c.SetVisualCaret(visual);
      const long count = model.CharacterCount();
      for (long offset = 0; offset < count; ++offset) {
        SCOPED_TRACE(offset);
        std::optional<ScreenBox> box = model.CharacterBox(offset);
        ASSERT_TRUE(box);
        if (offset == 9) {  // the CR has no width
          EXPECT_EQ(box->width, 0);
          continue;
        }
        EXPECT_GT(box->width, 0);
        // The point at the middle of the box names the character; the caret before it stands
        // on one of the box's edges.
        EXPECT_EQ(model.OffsetAtPoint(box->x + box->width / 2, box->y + box->height / 2), offset);
        ASSERT_TRUE(model.SetCaretOffset(offset));
        ASSERT_EQ(c.Verify(), "");
        // Where carets follow the logical widths, the caret before a character stands on one of
        // its box's edges; where they follow the drawing, that holds within a run only.
        const int caretX = ControlObservation(c).Caret().x;
        // The caret's stem stands at its x, within the band of the character's line.
        const ScreenBox stem = model.CaretBox();
        EXPECT_EQ(stem.x, caretX);
        EXPECT_GT(stem.height, 0);
        EXPECT_TRUE(stem.y >= box->y && stem.y + stem.height <= box->y + box->height) << stem.y;
        if (!visual) {
          EXPECT_TRUE(caretX == box->x || caretX == box->x + box->width) << caretX;
        }
      }
      EXPECT_FALSE(model.CharacterBox(count));
      EXPECT_FALSE(model.OffsetAtPoint(5, 190));  // below the text
    }
}

TEST_F(Accessible, EditingKeepsReadOnlyMaxLengthAndTheCodePage) {
  Place("abc");
  EXPECT_TRUE(model.InsertText(1, kArabicU + u"\r\n"));
  EXPECT_EQ(c.GetText(), "a" + kArabic + "\rbc");
  EXPECT_FALSE(model.InsertText(0, u"\u0416"));  // no place in the code page: nothing changes
  EXPECT_TRUE(model.DeleteText(1, 5));
  EXPECT_EQ(c.GetText(), "abc");
  EXPECT_TRUE(model.SetCaretOffset(3));
  EXPECT_TRUE(model.CopyText(1, 2));
  EXPECT_EQ(host.display.ClipboardData(), "b");
  EXPECT_EQ(model.CaretOffset(), 3);  // a copy leaves the caret and selection alone
  EXPECT_TRUE(model.Selections().empty());
  EXPECT_TRUE(model.CutText(0, 2));
  EXPECT_EQ(host.display.ClipboardData(), "ab");
  EXPECT_TRUE(model.PasteText(1));
  EXPECT_EQ(c.GetText(), "cab");
  EXPECT_EQ(c.Verify(), "");
  c.m_MaxLength = 4;
  EXPECT_TRUE(model.SetContents(u"123456"));
  EXPECT_EQ(c.GetText(), "1234");
  EXPECT_EQ(c.Verify(), "");
  c.SetReadOnly(TRUE);
  EXPECT_TRUE(model.States().readOnly);
  EXPECT_FALSE(model.SetContents(u"x"));
  EXPECT_FALSE(model.InsertText(0, u"x"));
  EXPECT_FALSE(model.DeleteText(0, 1));
  EXPECT_FALSE(model.CutText(0, 1));
  EXPECT_FALSE(model.PasteText(0));
  EXPECT_EQ(c.GetText(), "1234");
}

TEST_F(Accessible, APasswordShowsOnlyItsLength) {
  Place("my pass\rword");
  c.SetPasswordChar('*');
  model.Update();
  heard.Take();
  EXPECT_TRUE(model.States().protectedText);
  EXPECT_EQ(model.Text(), u"************");
  EXPECT_EQ(model.TextAt(1, TextUnit::Word)->text, u"************");
  EXPECT_EQ(model.TextAt(9, TextUnit::Line)->text, u"************");
  EXPECT_TRUE(model.SetSelection(0, 2));
  EXPECT_EQ(model.Selections()[0].text, u"**");
  host.display.PutClipboardText("kept");
  EXPECT_TRUE(model.CopyText(0, 7));
  EXPECT_TRUE(model.CutText(0, 7));
  EXPECT_EQ(host.display.ClipboardData(), "kept");
  Type("Q");
  EXPECT_EQ(heard.Take(), (std::vector<std::string>{"selection", "caret 2", "selection", "caret 7",
                                                    "-0:*******", "+0:*", "selection", "caret 1"}));
  EXPECT_EQ(c.GetText(), "Q\rword");  // the host still reads the text
}

}  // namespace

}  // namespace kestrix
