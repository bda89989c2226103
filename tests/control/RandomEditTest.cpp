// Random texts and random typing checked against a plain string model: whatever the wrapping
// does, no character is lost, moved or duplicated, and the store keeps its shape.
#include <gtest/gtest.h>

#include <random>
#include <sstream>
#include <tuple>
#include <vector>

#include "ControlHost.h"
#include "ScreenCheck.h"
#include "control/Dispids.h"

namespace kestrix {

namespace {

std::string Kept(const std::string& text) {
  std::string out;
  for (char ch : text)
    if (ch == '\r' || static_cast<unsigned char>(ch) >= 0x20) out += ch;
  return out;
}

void ExpectWellFormed(CKestrixCtrl& c) {
  ASSERT_GE(c.LineCount(), 1);
  for (int n = 1; n <= c.LineCount(); ++n) {
    const CString& chars = c.m_Lines.At(n)->m_Chars;
    size_t cr = chars.find('\r');
    EXPECT_TRUE(cr == CString::npos || cr + 1 == chars.size()) << "line " << n;
    for (char ch : chars) EXPECT_TRUE(ch == '\r' || static_cast<unsigned char>(ch) >= 0x20);
  }
  EXPECT_EQ(c.m_Lines.At(c.LineCount())->m_Chars.find('\r'), CString::npos);
}

TEST(RandomEdit, RebuildsAndTypingKeepEveryCharacter) {
  std::mt19937 random(20261207);
  const std::string alphabet = std::string("abc  \xC7\xC8\xE1\xF3\xDC 12.\r\n\t") + '\x01';
  for (int round = 0; round < 40; ++round) {
    int width = 40 + static_cast<int>(random() % 300);
    ControlHost host(CRect(0, 0, width, 150));
    CKestrixCtrl& c = *host.ctrl;
    std::string text;
    for (int i = static_cast<int>(random() % 200); i > 0; --i) text += alphabet[random() % alphabet.size()];
    c.SetText(text);
    std::string model = Kept(text);
    ASSERT_EQ(c.GetText(), model) << "round " << round;
    ExpectWellFormed(c);

    for (int step = 0; step < 30; ++step) {
      int offset = static_cast<int>(random() % (model.size() + 1));
      c.GotoLine(c.LineFromOffset(offset));
      c.m_CharIndex = c.IndexFromOffset(offset);
      int at = c.OffsetFromIndex(c.m_CharIndex);  // a CR's far side maps to the next line
      char ch = "xy \xC7\xC8"[random() % 5];
      c.AcquireDC();
      c.InsertChar(static_cast<unsigned char>(ch));
      c.StoreLine();
      c.ReleaseHeldDC();
      model.insert(static_cast<size_t>(at), 1, ch);
      ASSERT_EQ(c.GetText(), model) << "round " << round << " step " << step;
      EXPECT_EQ(c.OffsetFromIndex(c.m_CharIndex), at + 1) << "round " << round << " step " << step;
      ExpectWellFormed(c);
    }
  }
}

// What undo puts back: the text, the caret, the selection and the view. Typing breaks lines
// as it goes and may leave them other than a rebuild of the same text would (a paragraph that
// an undo or redo breaks again), so the caret is compared by its offset, and the view and the
// caret's line where the lines are the same.
struct EditState {
  std::string text;
  int64_t caret = 0;
  int selStart = 0, selLength = 0;
  int firstVisible = 0, caretLine = 0;
  std::vector<std::string> lines;
  bool operator==(const EditState& o) const {
    return std::tie(text, caret, selStart, selLength) == std::tie(o.text, o.caret, o.selStart, o.selLength) &&
           (lines != o.lines || std::tie(firstVisible, caretLine) == std::tie(o.firstVisible, o.caretLine));
  }
};

std::ostream& operator<<(std::ostream& out, const EditState& s) {
  return out << '"' << s.text << "\" caret " << s.caret << " (line " << s.caretLine << ") sel " << s.selStart << '+'
             << s.selLength << " first " << s.firstVisible << " of " << s.lines.size() << " lines";
}

EditState StateOf(CKestrixCtrl& c) {
  c.StoreLine();
  EditState state{c.GetText(), c.m_Lines.LengthBefore(c.m_CurLine) + c.m_CharIndex, c.m_SelStart, c.m_SelLength,
                  c.m_FirstVisible, c.m_CurLine, {}};
  for (int n = 1; n <= c.LineCount(); ++n) state.lines.push_back(c.m_Lines.At(n)->m_Chars);
  return state;
}

void Invoke(CKestrixCtrl& c, DISPID id, WORD flags, DISPPARAMS& params, VARIANT* result = nullptr) {
  ASSERT_EQ(c.GetIDispatch()->Invoke(id, IID_NULL, 0, flags, &params, result, nullptr, nullptr), S_OK);
}

bool CanUndoOrRedo(CKestrixCtrl& c, DISPID id) {
  DISPPARAMS none{};
  VARIANT result;
  VariantInit(&result);
  Invoke(c, id, DISPATCH_PROPERTYGET, none, &result);
  return result.vt == VT_BOOL && result.boolVal != 0;
}

void Call(CKestrixCtrl& c, DISPID id) {
  DISPPARAMS none{};
  Invoke(c, id, DISPATCH_METHOD, none);
}

// Random keys, characters, clicks, wheel turns, pastes, cuts and host writes; then every step
// undone through the automation interface, each landing on a state the control was in, the
// last on the one before the first edit; then every step redone, ending where the last edit
// left the control. The screen shows the fields after each.
TEST(RandomEdit, UndoAllGivesTheStartAndRedoAllTheEnd) {
  std::mt19937 random(20261208);
  const std::string alphabet = "ab  \xC7\xC8\xE1.";
  for (int round = 0; round < 30; ++round) {
    ControlHost host(CRect(0, 0, 60 + static_cast<int>(random() % 200), 70 + static_cast<int>(random() % 60)));
    CKestrixCtrl& c = *host.ctrl;
    Display& display = host.display;
    c.ActivateEdit(L"", L"");
    c.SetFocus();
    std::string start;
    for (int i = static_cast<int>(random() % 80); i > 0; --i) start += (alphabet + "\r")[random() % (alphabet.size() + 1)];
    c.SetText(start);
    c.ForgetUndoHistory();
    ASSERT_FALSE(CanUndoOrRedo(c, kDispCanUndo));

    std::vector<EditState> states{StateOf(c)};
    size_t beforeFirstEdit = 0, afterLastEdit = 0;
    bool edited = false;
    std::string trace;
    for (int op = 0; op < 60; ++op) {
      const std::string textBefore = StateOf(c).text;
      const bool shift = random() % 3 == 0;
      const auto kind = random() % 14;
      trace += "op " + std::to_string(kind) + "\n";
      switch (kind) {
        case 0: case 1: case 2: case 3: {
          // As a keyboard types it: a typing key (the space bar for a space) and its character.
          const char ch = alphabet[random() % alphabet.size()];
          const int key = ch == ' ' ? 0x20 : 'K';
          display.KeyDown(key);
          display.Char(static_cast<uint8_t>(ch));
          display.KeyUp(key);
          break;
        }
        case 4: display.KeyDown(VK_RETURN); display.KeyUp(VK_RETURN); break;
        case 5: display.KeyDown(VK_BACK); display.KeyUp(VK_BACK); break;
        case 6: display.KeyDown(VK_DELETE); display.KeyUp(VK_DELETE); break;
        case 7: {
          const int keys[] = {VK_LEFT, VK_RIGHT, VK_UP, VK_DOWN, VK_HOME, VK_END, VK_PRIOR, VK_NEXT};
          const int key = keys[random() % 8];
          if (shift) display.KeyDown(VK_SHIFT);
          display.KeyDown(key);
          display.KeyUp(key);
          if (shift) display.KeyUp(VK_SHIFT);
          break;
        }
        case 8: {
          std::string pasted;
          for (int i = static_cast<int>(random() % 12); i > 0; --i) pasted += (alphabet + "\r")[random() % (alphabet.size() + 1)];
          display.PutClipboardText(pasted);
          display.KeyDown(VK_CONTROL);
          display.KeyDown('V');
          display.Char(0x16);
          display.KeyUp('V');
          display.KeyUp(VK_CONTROL);
          break;
        }
        case 9:
          display.KeyDown(VK_CONTROL);
          display.KeyDown('X');
          display.Char(0x18);
          display.KeyUp('X');
          display.KeyUp(VK_CONTROL);
          break;
        case 10: {
          DISPPARAMS params{};
          DISPID named = DISPID_PROPERTYPUT;
          VARIANT value = MakeVariantI4(static_cast<LONG>(random() % (textBefore.size() + 2)));
          params.rgvarg = &value;
          params.rgdispidNamedArgs = &named;
          params.cArgs = params.cNamedArgs = 1;
          Invoke(c, random() % 2 ? kDispSelStart : kDispSelLength, DISPATCH_PROPERTYPUT, params);
          break;
        }
        case 11:
          // Inside the text rectangle: a click on the scroll bar would give it the focus.
          display.Click(c.GetSafeHwnd(), c.m_TextRect.left + static_cast<int>(random() % c.m_TextRect.Width()),
                        static_cast<int>(random() % c.m_TextRect.Height()));
          break;
        case 12:
          display.Wheel(c.GetSafeHwnd(), 10, 10, random() % 2 ? 120 : -120);
          break;
        default:
          if (random() % 4 == 0) {
            Call(c, kDispClear);
          } else {
            std::string written = textBefore.substr(0, random() % (textBefore.size() + 1)) + "ab\rb";
            c.SetText(written);
          }
          break;
      }
      states.push_back(StateOf(c));
      trace += std::to_string(op) + ": " + (std::ostringstream() << states.back()).str() + "\n";
      // The first step may change no character (typing over a selection what it held).
      if (!edited && CanUndoOrRedo(c, kDispCanUndo)) {
        beforeFirstEdit = states.size() - 2;
        edited = true;
      }
      if (states.back().text != textBefore) afterLastEdit = states.size() - 1;
    }
    const std::string where = "round " + std::to_string(round);

    // Each undo lands on a state the edits went through, going back.
    size_t at = states.size() - 1;
    while (CanUndoOrRedo(c, kDispCanUndo)) {
      Call(c, kDispUndo);
      const EditState now = StateOf(c);
      while (at > 0 && !(states[at] == now)) --at;
      ASSERT_EQ(states[at], now) << where << "\n" << trace;
      ExpectScreenMatchesFields(host);
      ASSERT_EQ(c.Verify(), "") << where;
    }
    EXPECT_EQ(StateOf(c), states[beforeFirstEdit]) << where << "\n" << trace;
    // Redoing goes forward through the same states, to where the last change of the text left
    // the control (or a step after it that changed no character).
    while (CanUndoOrRedo(c, kDispCanRedo)) {
      Call(c, kDispRedo);
      const EditState now = StateOf(c);
      while (at < states.size() - 1 && !(states[at] == now)) ++at;
      ASSERT_EQ(states[at], now) << where << "\n" << trace;
    }
    EXPECT_GE(at, afterLastEdit) << where;
    ExpectScreenMatchesFields(host);
    EXPECT_EQ(c.Verify(), "") << where;
  }
}

}  // namespace

}  // namespace kestrix
