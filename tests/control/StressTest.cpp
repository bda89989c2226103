// Random messages as a person and a host send them, with the control's state checked after
// every one against a plain string model and against its own rules: nothing held between
// messages, the working copy in step with its record, the cached offsets in step with the
// lines, and the view in step with its scroll offset and thumb.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <random>
#include <sstream>
#include <string>

#include "ControlHost.h"

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

class Stress {
 public:
  Stress(uint32_t seed, CRect rect, TEXTMETRIC metrics) : random_(seed), host_(rect) {
    host_.library.metrics = metrics;
    c_.InitFonts();
  }

  // Runs the steps; the first broken rule stops the run with the step that broke it.
  void Run(int steps) {
    for (step_ = 0; step_ < steps && !::testing::Test::HasFatalFailure(); ++step_) {
      DoRandomStep();
      Check();
    }
  }

 private:
  int Pick(int n) { return static_cast<int>(random_() % static_cast<uint32_t>(n)); }
  Display& display() { return host_.display; }

  void Key(int key, UINT scan = 0) {
    display().KeyDown(key, scan);
    display().KeyUp(key, scan);
  }

  void Type(UINT ch) {
    int offset = c_.OffsetFromIndex(c_.m_CharIndex);
    bool focused = display().GetFocus() == c_.GetSafeHwnd();
    bool accepted = focused && ch >= 0x20 && ch <= 0xFF && GetKeyState(VK_CONTROL) >= 0 &&
                    !(GetKeyState(VK_SHIFT) < 0 && ch == '-') && !c_.m_ReadOnly &&
                    (c_.m_MaxLength <= 0 || c_.m_CharCount < c_.m_MaxLength);
    if (focused)
      c_.SendMessage(WM_CHAR, ch, 1);
    else
      display().Char(static_cast<uint8_t>(ch));  // goes to whoever has the focus
    if (accepted) model_.insert(static_cast<size_t>(offset), 1, static_cast<char>(ch));
  }

  std::string RandomText() {
    static const std::string alphabet = std::string("ab c  \xC7\xC8\xE1\xF3\xDC 1.-\r\r\n\t") + '\x01';
    std::string text;
    for (int i = Pick(120); i > 0; --i) text += alphabet[static_cast<size_t>(Pick(static_cast<int>(alphabet.size())))];
    if (Pick(4) == 0)  // one long paragraph of short words, lines overflowing into each other
      for (int i = Pick(300); i > 0; --i) text += "ab ";
    return text;
  }

  void DoRandomStep() {
    static const int moves[] = {VK_LEFT, VK_RIGHT, VK_UP, VK_DOWN, VK_HOME, VK_END, VK_PRIOR, VK_NEXT, VK_TAB};
    switch (Pick(16)) {
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
      case 5: {  // a modifier held around a key
        static const int mods[] = {VK_CONTROL, VK_SHIFT, VK_MENU};
        int mod = mods[Pick(3)];
        display().KeyDown(mod, mod == VK_SHIFT ? 0x2A : 0x1D);
        if (Pick(2)) Key(moves[Pick(9)]); else Type('-');
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
        display().MouseMove(c_.GetSafeHwnd(), Pick(330) - 5, Pick(220) - 10);
        break;
      default:
        c_.m_ReadOnly = Pick(4) == 0;
        break;
    }
  }

  void Check() {
    std::ostringstream where;
    where << "step " << step_;
    const std::string at = where.str();
    ASSERT_EQ(c_.m_pDC, nullptr) << at;
    ASSERT_TRUE(c_.m_PositionStack.empty()) << at;
    int count = c_.LineCount();
    ASSERT_GE(count, 1) << at;
    ASSERT_GE(c_.m_CurLine, 1) << at;
    ASSERT_LE(c_.m_CurLine, count) << at;
    ASSERT_EQ(c_.m_LineText, c_.m_Lines.At(c_.m_CurLine)->m_Chars) << at << ": working copy";
    ASSERT_GE(c_.m_CharIndex, 0) << at;
    ASSERT_LE(c_.m_CharIndex, static_cast<int>(c_.m_LineText.size())) << at;

    int64_t total = 0;
    for (int n = 1; n <= count; ++n) {
      const CString& chars = c_.m_Lines.At(n)->m_Chars;
      size_t cr = chars.find('\r');
      ASSERT_TRUE(cr == CString::npos || cr + 1 == chars.size()) << at << ": CR inside line " << n;
      ASSERT_EQ(c_.m_Lines.At(n)->m_Y, n * c_.m_LineHeight) << at << ": line " << n;
      ASSERT_EQ(c_.m_Lines.LengthBefore(n), total) << at << ": cached offset of line " << n;
      total += static_cast<int64_t>(chars.size());
    }
    ASSERT_EQ(c_.m_Lines.At(count)->m_Chars.find('\r'), CString::npos) << at;
    ASSERT_EQ(c_.GetText(), model_) << at;
    ASSERT_EQ(static_cast<size_t>(c_.m_CharCount), CountNonCr(model_)) << at;

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
  }

  std::mt19937 random_;
  ControlHost host_;
  CKestrixCtrl& c_ = *host_.ctrl;
  std::string model_;
  int step_ = 0;
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
