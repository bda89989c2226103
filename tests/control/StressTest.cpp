// Random messages as a person and a host send them, with the control's state checked after
// every one against a plain string model and against its own rules: nothing held between
// messages, the working copy in step with its record, the cached offsets in step with the
// lines, and the view in step with its scroll offset and thumb; CKestrixCtrl::Verify must agree.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <random>
#include <sstream>
#include <string>

#include "ScreenCheck.h"

namespace kestrix {

namespace {

size_t CountNonCr(const std::string& s) { return s.size() - std::count(s.begin(), s.end(), '\r'); }

// What a rebuild keeps of a text: no control character but CR, at most maxLength others.
std::string Kept(const std::string& text, LONG maxLength) {
  std::string out;
  size_t taken = 0;
  for (char ch : text) {
    auto byte = static_cast<unsigned char>(ch);
    if (ch == '\r') {
      out += ch;
    } else if (byte >= 0x20 && (maxLength <= 0 || taken < static_cast<size_t>(maxLength))) {
      out += ch;
      ++taken;
    }
  }
  return out;
}

// KESTRIX_STRESS_PIXELS_EVERY checks the pixels every that many steps (16 unless set).
int PixelsEvery() {
  static const int every = [] {
    const char* value = std::getenv("KESTRIX_STRESS_PIXELS_EVERY");
    return value ? std::max(1, std::atoi(value)) : 16;
  }();
  return every;
}

// Where Ctrl+Right and Ctrl+Left go with StandardEditing, told plainly: past the word, then past
// what is not a word up to the line's end; from a line's end or start over its break first.
size_t WordStopAfter(const std::string& s, size_t o) {
  auto word = [&](size_t i) { return s[i] != '\r' && IsWordByte(static_cast<unsigned char>(s[i])); };
  const size_t from = o;
  while (o < s.size() && word(o)) ++o;
  while (o < s.size() && s[o] != '\r' && !word(o)) ++o;
  if (o == from && o < s.size()) {
    ++o;
    while (o < s.size() && s[o] != '\r' && !word(o)) ++o;
  }
  return o;
}

size_t WordStopBefore(const std::string& s, size_t o) {
  auto word = [&](size_t i) { return s[i] != '\r' && IsWordByte(static_cast<unsigned char>(s[i])); };
  if (o > 0 && s[o - 1] == '\r') --o;
  while (o > 0 && s[o - 1] != '\r' && !word(o - 1)) --o;
  while (o > 0 && word(o - 1)) --o;
  return o;
}

// The text an edit should leave, from the text, selection and caret before it.
struct EditModel {
  std::string text;
  size_t selStart = 0, selLength = 0, caret = 0;
  bool readOnly = false;
  LONG maxLength = 0;

  size_t Room() const {
    return maxLength > 0 ? static_cast<size_t>(maxLength) - std::min<size_t>(CountNonCr(text), maxLength)
                         : std::string::npos;
  }
  void EraseSelectionOr(size_t at, size_t count) {
    if (selLength > 0)
      text.erase(selStart, selLength);
    else if (at < text.size())
      text.erase(at, count);
  }
  std::string Selected() const { return text.substr(selStart, selLength); }
  // The selection (or nothing, at the caret) replaced by s up to its first counted character
  // that finds no room under the limit; control characters but CR are dropped.
  void Replace(const std::string& s) {
    size_t at = selLength > 0 ? selStart : caret;
    text.erase(at, selLength);
    selLength = 0;
    size_t room = Room();
    std::string in;
    for (char ch : s) {
      auto byte = static_cast<unsigned char>(ch);
      if (ch != '\r' && byte < 0x20) continue;
      if (ch != '\r') {
        if (room == 0) break;
        if (room != std::string::npos) --room;
      }
      in += ch;
    }
    text.insert(at, in);
  }
};

class Stress {
 public:
  Stress(uint32_t seed, CRect rect, TEXTMETRIC metrics, bool standard = false)
      : random_(seed), host_(rect), standard_(standard) {
    host_.library.metrics = metrics;
    c_.InitFonts();
    c_.m_StandardEditing = standard ? TRUE : FALSE;
    display().SetMenuChooser([this](const std::vector<MenuItem>& items, POINT) {
      int pick = Pick(static_cast<int>(items.size()) + 1);
      return pick == 0 ? 0u : items[static_cast<size_t>(pick - 1)].id;
    });
  }

  // Runs the steps; the first broken rule stops the run with the step that broke it.
  void Run(int steps) {
    for (step_ = 0; step_ < steps && !::testing::Test::HasFatalFailure(); ++step_) {
      DoRandomStep();
      Check();
    }
    if (clipboardHeld_) display().CloseClipboard();
  }

 private:
  int Pick(int n) { return static_cast<int>(random_() % static_cast<uint32_t>(n)); }
  Display& display() { return host_.display; }
  bool Focused() { return display().GetFocus() == c_.GetSafeHwnd(); }
  static bool Down(int key) { return GetKeyState(key) < 0; }

  EditModel Before() {
    EditModel m;
    m.text = model_;
    auto start = static_cast<size_t>(std::max(c_.m_SelStart, 0));
    m.selStart = std::min(start, m.text.size());
    m.selLength = std::min(static_cast<size_t>(std::max(c_.m_SelLength, 0)), m.text.size() - m.selStart);
    m.caret = static_cast<size_t>(c_.OffsetFromIndex(c_.m_CharIndex));
    m.readOnly = c_.m_ReadOnly != 0;
    m.maxLength = c_.m_MaxLength;
    return m;
  }

  // With StandardEditing a copy or cut of nothing changes nothing.
  bool CopiesNothing(const EditModel& m) const { return standard_ && m.selLength == 0; }
  void Copy(EditModel& m) {
    if (!clipboardHeld_ && !CopiesNothing(m)) display().PutClipboardText(m.Selected());
  }
  void Paste(EditModel& m) {
    if (m.readOnly || clipboardHeld_) return;
    m.Replace(display().ClipboardData().value_or(""));
  }
  void Cut(EditModel& m) {
    if (m.readOnly || clipboardHeld_ || CopiesNothing(m)) return;
    Copy(m);
    m.EraseSelectionOr(m.caret, 1);
  }

  // A key pressed and released with the modifiers as they are, and the text it should leave.
  void Key(int key, UINT scan = 0) {
    Note("key " + std::to_string(key));
    EditModel m = Before();
    bool focused = Focused(), shift = Down(VK_SHIFT), ctrl = Down(VK_CONTROL), alt = Down(VK_MENU);
    display().KeyDown(key, scan);
    display().KeyUp(key, scan);
    if (!focused || alt) return;
    bool rebuilt = true;
    const bool byWords = standard_ && ctrl;
    if (byWords && (key == VK_BACK || (key == VK_DELETE && !shift))) {
      if (!m.readOnly && m.selLength > 0) {
        m.EraseSelectionOr(m.caret, 0);
      } else if (!m.readOnly) {
        const size_t other = key == VK_BACK ? WordStopBefore(m.text, m.caret) : WordStopAfter(m.text, m.caret);
        m.text.erase(std::min(m.caret, other), std::max(m.caret, other) - std::min(m.caret, other));
      }
    } else if (key == VK_DELETE) {
      if (shift) Cut(m);
      else if (!m.readOnly) m.EraseSelectionOr(m.caret, 1);
    } else if (key == VK_BACK) {
      if (!m.readOnly && (m.selLength > 0 || m.caret > 0)) m.EraseSelectionOr(m.caret - 1, 1);
    } else if (key == VK_RETURN) {
      if (!m.readOnly) m.Replace("\r");
    } else if (key == VK_INSERT && shift) {
      Paste(m);
    } else {
      rebuilt = false;
    }
    bool typing = key >= 0x30 || key == ' ';
    if (!rebuilt && typing && m.selLength > 0 && !ctrl) {
      // Shift cuts for a key that types a character; with Space it only drops the selection.
      if (!shift) {
        if (!m.readOnly) m.EraseSelectionOr(m.caret, 0);
      } else if (key >= 0x30) {
        Cut(m);
      }
    }
    model_ = m.text;
  }

  // A character message as it stands, with the modifiers as they are.
  void Type(UINT ch) {
    Note("char " + std::to_string(ch));
    EditModel m = Before();
    bool focused = Focused(), shift = Down(VK_SHIFT), ctrl = Down(VK_CONTROL);
    if (focused)
      c_.SendMessage(WM_CHAR, ch, 1);
    else
      display().Char(static_cast<uint8_t>(ch));  // goes to whoever has the focus
    if (!focused) return;
    if (ctrl) {
      switch (ch & 0xFF) {
        case 0x03: Copy(m); break;
        case 0x16: Paste(m); break;
        case 0x18: Cut(m); break;
        case 0x0C: m.text.clear(); break;
        default: break;
      }
    } else if (shift && ch == '-') {
      Paste(m);
    } else {
      // A selection still there when a character arrives is replaced by it, when the
      // insertion takes the character once the selection is gone; otherwise nothing changes.
      EditModel after = m;
      if (after.selLength > 0) {
        after.text.erase(after.selStart, after.selLength);
        after.caret = after.selStart;
      }
      if (ch >= 0x20 && ch <= 0xFF && !m.readOnly && after.Room() > 0) {
        m = after;
        m.text.insert(m.caret, 1, static_cast<char>(ch));
      }
    }
    model_ = m.text;
  }

  std::string RandomText() {
    static const std::string alphabet = std::string("ab c  \xC7\xC8\xE1\xF3\xDC 1.-\r\r\n\t") + '\x01';
    std::string text;
    for (int i = Pick(120); i > 0; --i) text += alphabet[static_cast<size_t>(Pick(static_cast<int>(alphabet.size())))];
    if (Pick(4) == 0)  // one long paragraph of short words, lines overflowing into each other
      for (int i = Pick(300); i > 0; --i) text += "ab ";
    return text;
  }

  POINT RandomPoint() { return POINT{Pick(340) - 10, Pick(260) - 30}; }

  void Mouse() {
    HWND w = c_.GetSafeHwnd();
    POINT p = RandomPoint();
    // With StandardEditing also double and triple clicks.
    int what = Pick(standard_ ? 6 : 5);
    Note("mouse " + std::to_string(what) + " at " + std::to_string(p.x) + "," + std::to_string(p.y));
    switch (what) {
      case 0:
        display().MouseMove(w, p.x, p.y);
        break;
      case 1:  // a press, a drag and a release
      case 2: {
        EditModel m = Before();
        display().MouseDown(w, p.x, p.y);
        for (int i = Pick(4); i > 0; --i) {
          POINT q = RandomPoint();
          display().MouseMove(w, q.x, q.y);
        }
        POINT r = RandomPoint();
        display().MouseUp(w, r.x, r.y);
        model_ = m.text;
        break;
      }
      case 3: {  // a drag that rests outside the text, released or moved later
        display().MouseDown(w, p.x, p.y);
        int later = Pick(300);
        POINT r = RandomPoint();
        if (Pick(2))
          display().ScheduleInput(static_cast<uint64_t>(later), [this, w, r] { display().MouseUp(w, r.x, r.y); });
        else
          display().ScheduleInput(static_cast<uint64_t>(later), [this, w, r] { display().MouseMove(w, r.x, r.y); });
        display().MouseMove(w, p.x, Pick(2) ? -40 : 400);
        display().MouseUp(w, r.x, r.y);
        break;
      }
      case 5:  // a double click, and a third press at once or later
        display().DoubleClick(w, p.x, p.y);
        if (Pick(2)) {
          display().AdvanceClock(static_cast<uint64_t>(Pick(2) * 600));
          display().Click(w, p.x, p.y);
        }
        break;
      case 4: {  // the context menu, whose Paste may change the text
        EditModel m = Before();
        UINT chosen = 0;
        display().SetMenuChooser([&](const std::vector<MenuItem>& items, POINT) {
          int pick = Pick(static_cast<int>(items.size()) + 1);
          chosen = pick == 0 ? 0u : items[static_cast<size_t>(pick - 1)].id;
          return chosen;
        });
        bool focusedBefore = true;
        (void)focusedBefore;
        display().MouseDown(w, p.x, p.y, true);
        display().MouseUp(w, p.x, p.y, true);
        if (chosen == CKestrixCtrl::kCopyCommand) Copy(m);
        if (chosen == CKestrixCtrl::kPasteCommand) Paste(m);
        // The menu's Undo and Redo go through the history, whose own test follows every step.
        if (chosen == CKestrixCtrl::kUndoCommand || chosen == CKestrixCtrl::kRedoCommand) m.text = c_.GetText();
        model_ = m.text;
        break;
      }
    }
  }

  // What the step did, for the message of a broken rule.
  void Note(const std::string& action) {
    if (!actions_.empty()) actions_ += ", ";
    actions_ += action;
  }

  void DoRandomStep() {
    static const int moves[] = {VK_LEFT, VK_RIGHT, VK_UP, VK_DOWN, VK_HOME, VK_END, VK_PRIOR, VK_NEXT, VK_TAB};
    static const int edits[] = {VK_DELETE, VK_BACK, VK_RETURN, VK_INSERT, 'A', ' ', 0x71};
    actions_.clear();
    int kind = Pick(20);
    Note("kind " + std::to_string(kind));
    switch (kind) {
      case 0:
      case 1:
      case 2:
        Key(moves[Pick(9)]);
        break;
      case 3:
      case 4: {
        static const UINT chars[] = {'a', 'b', ' ', ' ', 0xC7, 0xC8, 0xDC, '-', '\r', 0x10D, 0x100, 0x7F, 0xFF, 9};
        Type(chars[Pick(14)]);
        break;
      }
      case 5: {  // a modifier held around a key or a character
        static const int mods[] = {VK_CONTROL, VK_SHIFT, VK_MENU};
        static const UINT commands[] = {0x01, 0x03, 0x16, 0x18, 0x0C, '-', 'x'};
        int mod = mods[Pick(3)];
        Note("held " + std::to_string(mod));
        display().KeyDown(mod, mod == VK_SHIFT ? 0x2A : 0x1D);
        for (int i = 1 + Pick(3); i > 0; --i) {
          int what = Pick(3);
          if (what == 0) Key(moves[Pick(9)]);
          else if (what == 1) Key(edits[Pick(7)]);
          else Type(commands[Pick(7)]);
        }
        display().KeyUp(mod, mod == VK_SHIFT ? 0x2A : 0x1D);
        break;
      }
      case 6:  // Control with either Shift: the reading order switches, the window is re-created
        display().KeyDown(VK_CONTROL, 0x1D);
        Key(VK_SHIFT, Pick(2) ? 0x2A : 0x36);
        display().KeyUp(VK_CONTROL, 0x1D);
        break;
      case 7:
        c_.SendMessage(WM_VSCROLL, static_cast<WPARAM>(Pick(9)) | (static_cast<WPARAM>(Pick(c_.LineCount() + 3)) << 16),
                       reinterpret_cast<LPARAM>(c_.m_pScrollBar ? c_.m_pScrollBar->GetSafeHwnd() : nullptr));
        break;
      case 8:
        if (Pick(2)) host_.container.SetFocus(); else c_.SetFocus();
        break;
      case 9:
        display().AdvanceClock(static_cast<uint64_t>(Pick(1300)));
        break;
      case 10: {
        static const CRect sizes[] = {CRect(0, 0, 320, 200), CRect(0, 0, 100, 54), CRect(0, 0, 320, 40),
                                      CRect(0, 0, 60, 300), CRect(0, 0, 0, 0), CRect(0, 0, 21, 21),
                                      CRect(0, 0, 320, 600)};
        c_.SetRectInContainer(sizes[Pick(7)]);
        break;
      }
      case 11: {
        std::string text = RandomText();
        c_.SetText(text);
        model_ = Kept(text, c_.m_MaxLength);
        break;
      }
      case 12: {
        static const LONG limits[] = {0, 0, 5, 40, -1};
        c_.m_MaxLength = limits[Pick(5)];
        c_.Refresh();  // every later rebuild keeps the same characters
        model_ = Kept(model_, c_.m_MaxLength);
        Key(VK_F5);
        break;
      }
      case 13:
        c_.ActivateEdit(L"", L"");
        break;
      case 14:
      case 15:
        Mouse();
        break;
      case 16:
        Key(edits[Pick(7)]);
        break;
      case 17: {  // the host's selection members
        static const long values[] = {0, 1, 3, -1, -7, 1000, INT32_MAX, INT32_MIN};
        long v = values[Pick(8)];
        int what = Pick(4);
        if (what == 0) c_.SetSelStart(v);
        else if (what == 1) c_.SetSelLength(v);
        else if (what == 2) c_.SelectAll();
        else (void)c_.SelText();
        break;
      }
      case 18: {  // what other programs do with the clipboard
        static const char* clips[] = {"", "xy", "a\r\nb", "\r\r", "\x01\t\xC7", "long long long long long long text"};
        int what = Pick(8);
        if (what < 6) {
          display().PutClipboardText(clips[what]);
        } else if (!clipboardHeld_) {
          clipboardHeld_ = display().OpenClipboard(host_.container.GetSafeHwnd());
        } else {
          display().CloseClipboard();
          clipboardHeld_ = false;
        }
        break;
      }
      default:
        if (Pick(2)) c_.m_ReadOnly = Pick(4) == 0; else c_.SetHideSelection(Pick(2));
        break;
    }
  }

  void Check() {
    std::ostringstream where;
    where << "step " << step_ << " (" << actions_ << ")";
    const std::string at = where.str();
    ASSERT_EQ(c_.m_pDC, nullptr) << at;
    ASSERT_TRUE(c_.m_PositionStack.empty()) << at;
    ASSERT_EQ(display().QueuedCount(), 0u) << at;
    int count = c_.LineCount();
    ASSERT_GE(count, 1) << at;
    ASSERT_GE(c_.m_CurLine, 1) << at;
    ASSERT_LE(c_.m_CurLine, count) << at;
    ASSERT_EQ(c_.m_LineText, c_.m_Lines.At(c_.m_CurLine)->m_Chars) << at << ": working copy";
    ASSERT_GE(c_.m_CharIndex, 0) << at;
    ASSERT_LE(c_.m_CharIndex, static_cast<int>(c_.m_LineText.size())) << at;

    int64_t total = 0;
    int lowSelected = std::min(c_.m_SelAnchorLine, c_.m_SelActiveLine);
    int highSelected = std::max(c_.m_SelAnchorLine, c_.m_SelActiveLine);
    for (int n = 1; n <= count; ++n) {
      const LineRecord* record = c_.m_Lines.At(n);
      const CString& chars = record->m_Chars;
      size_t cr = chars.find('\r');
      ASSERT_TRUE(cr == CString::npos || cr + 1 == chars.size()) << at << ": CR inside line " << n;
      ASSERT_EQ(c_.m_Lines.LengthBefore(n), total) << at << ": cached offset of line " << n;
      if (record->m_Highlighted) {
        ASSERT_TRUE(c_.m_SelLength > 0 || c_.m_Selecting)
            << at << ": highlight without a selection, line " << n << " (" << record->m_HighlightLeft << ".."
            << record->m_HighlightRight << "; lines " << c_.m_SelAnchorLine << ".." << c_.m_SelActiveLine << ")";
        ASSERT_TRUE(n >= lowSelected && n <= highSelected) << at << ": highlight outside the selection, line " << n;
      }
      total += static_cast<int64_t>(chars.size());
    }
    ASSERT_EQ(c_.m_Lines.At(count)->m_Chars.find('\r'), CString::npos) << at;
    ASSERT_EQ(c_.GetText(), model_) << at;
    ASSERT_EQ(static_cast<size_t>(c_.m_CharCount), CountNonCr(model_)) << at;
    ASSERT_GE(c_.m_SelStart, 0) << at;
    ASSERT_GE(c_.m_SelLength, 0) << at;
    ASSERT_LE(static_cast<size_t>(c_.m_SelStart) + static_cast<size_t>(c_.m_SelLength), model_.size()) << at;

    ASSERT_GE(c_.m_FirstVisible, 1) << at;
    ASSERT_LE(c_.m_FirstVisible, c_.m_LastVisible) << at;
    ASSERT_LE(c_.m_LastVisible, count) << at;
    ASSERT_EQ(c_.m_ScrollOffset, (c_.m_FirstVisible - 1) * c_.m_LineHeight) << at << ": scroll offset";
    if (c_.m_pScrollBar && c_.m_pScrollBar->IsWindowVisible()) {
      int pos = c_.m_LastVisible >= count ? count : c_.m_FirstVisible - 1;
      SCROLLINFO info;
      c_.m_pScrollBar->GetScrollInfo(&info);
      int maxPos = std::max(info.nMin, info.nMax - std::max(static_cast<int>(info.nPage), 1) + 1);
      ASSERT_EQ(c_.m_pScrollBar->GetScrollPos(), std::clamp(pos, 0, maxPos)) << at << ": thumb";
    }
    // The control's own account of its rules agrees with the checks above.
    ASSERT_EQ(c_.Verify(), "") << at;
    // Now and then the pixels: lines, highlight and caret as the fields describe them. Glyphs
    // taller than a line's band overlap their neighbours, so there only the rules hold.
    if (step_ % PixelsEvery() == 0 && !c_.m_MouseDown && c_.m_Ascent >= FixedMetricTextLibrary::kBoxHeight) {
      std::string pixel;
      ASSERT_EQ(StalePixels(host_, &pixel), 0)
          << at << ": stale pixel at " << pixel << "; caret " << c_.m_CaretShown << " at " << c_.m_CaretX
          << "," << c_.m_CaretY << ", selection " << c_.m_SelStart << "+" << c_.m_SelLength;
    }
  }

  std::mt19937 random_;
  ControlHost host_;
  bool standard_ = false;
  CKestrixCtrl& c_ = *host_.ctrl;
  std::string model_;
  bool clipboardHeld_ = false;
  int step_ = 0;
  std::string actions_;
};

// KESTRIX_STRESS_ROUNDS runs that many more seeds of each kind, for a longer hunt.
int ExtraRounds() {
  const char* rounds = std::getenv("KESTRIX_STRESS_ROUNDS");
  return rounds ? std::max(0, std::atoi(rounds)) : 0;
}

TEST(StressTest, RandomMessagesKeepEveryRule) {
  const TEXTMETRIC usual{24, 19, 5, 0, 0, 10, 10};
  Stress(20261207, CRect(0, 0, 320, 200), usual).Run(3000);
  Stress(7, CRect(0, 0, 100, 54), usual).Run(3000);
  Stress(99, CRect(0, 0, 60, 94), usual).Run(2000);
  for (int round = 0; round < ExtraRounds() && !HasFatalFailure(); ++round) {
    SCOPED_TRACE("seed " + std::to_string(1000 + round));
    Stress(static_cast<uint32_t>(1000 + round), CRect(0, 0, 40 + round % 300, 54 + round % 200), usual)
        .Run(3000);
  }
}

// With StandardEditing: word moves and deletions, double and triple clicks, a copy or cut of
// nothing, Ctrl+End, resizes and the reading-order chord.
TEST(StressTest, StandardEditingKeepsEveryRule) {
  const TEXTMETRIC usual{24, 19, 5, 0, 0, 10, 10};
  Stress(11, CRect(0, 0, 320, 200), usual, true).Run(3000);
  Stress(12, CRect(0, 0, 100, 54), usual, true).Run(3000);
  // Blanks at a wrapped line's end double-clicked, then ActivateEdit: they show once aligned.
  Stress(3014, CRect(0, 0, 54, 68), usual, true).Run(3000);
  for (int round = 0; round < ExtraRounds() && !HasFatalFailure(); ++round) {
    SCOPED_TRACE("seed " + std::to_string(3000 + round));
    Stress(static_cast<uint32_t>(3000 + round), CRect(0, 0, 40 + round % 300, 54 + round % 200), usual, true)
        .Run(3000);
  }
}

TEST(StressTest, TinyLineHeightsKeepEveryRule) {
  Stress(3, CRect(0, 0, 100, 200), TEXTMETRIC{2, 1, 1, 0, 0, 1, 1}).Run(1000);  // line height 1
  Stress(5, CRect(0, 0, 100, 200), TEXTMETRIC{1, 1, 0, 0, 0, 1, 1}).Run(1000);  // line height 0
  for (int round = 0; round < ExtraRounds() && !HasFatalFailure(); ++round) {
    SCOPED_TRACE("seed " + std::to_string(5000 + round));
    Stress(static_cast<uint32_t>(5000 + round), CRect(0, 0, 100, 200),
           TEXTMETRIC{1 + round % 3, 1, round % 2, 0, 0, 1, 1})
        .Run(2000);
  }
}

}  // namespace

}  // namespace kestrix
