// A rebuild that keeps the lines of unchanged paragraphs must leave the control exactly as a
// rebuild of the whole text does. Two controls side by side, one keeping lines and one not, get
// the same random edits; after each edit every field, line record, the scroll bar and the
// pixels of both must agree.
#include <gtest/gtest.h>

#include <memory>
#include <random>
#include <sstream>

#include "control/KestrixCtrl.h"
#include "framework/window/Display.h"
#include "layout/FixedMetricTextLibrary.h"
#include "text/ParagraphDiff.h"

namespace kestrix {

namespace {

constexpr UINT kShiftScan = 0x2A;

// Where two descriptions first differ, with the line of each; empty when they are the same.
std::string FirstDifference(const std::string& kept, const std::string& whole) {
  std::istringstream a(kept), b(whole);
  std::string lineA, lineB;
  for (int n = 1;; ++n) {
    bool moreA = static_cast<bool>(std::getline(a, lineA));
    bool moreB = static_cast<bool>(std::getline(b, lineB));
    if (!moreA && !moreB) return "";
    if (!moreA || !moreB || lineA != lineB)
      return "kept:  " + (moreA ? lineA : "(end)") + "\nwhole: " + (moreB ? lineB : "(end)");
  }
}

// Two controls side by side in one container, on the fixed-metric library or on the shipped one.
class Twins {
 public:
  Twins(int width, int height, bool shippedLibrary = false) {
    container_.CreateEx(0, WS_VISIBLE, CRect(0, 0, 800, 600), nullptr);
    for (int i = 0; i < 2; ++i) {
      controls_[i] = shippedLibrary ? std::make_unique<CKestrixCtrl>() : std::make_unique<CKestrixCtrl>(library_);
      controls_[i]->ResetProperties();
      controls_[i]->CreateControlWindow(&container_, CRect(400 * i, 0, 400 * i + width, height));
    }
    Whole().m_KeepUnchangedLines = false;
  }
  ~Twins() {
    for (auto& c : controls_) c.reset();
    container_.DestroyWindow();
  }

  CKestrixCtrl& Kept() { return *controls_[0]; }
  CKestrixCtrl& Whole() { return *controls_[1]; }
  Display& display() { return display_; }

  // Runs the step on each control in turn, each with the focus for the step's length.
  template <typename Step>
  void Both(Step step) {
    for (CKestrixCtrl* c : {&Kept(), &Whole()}) {
      display().SetFocus(c->GetSafeHwnd());
      step(*c);
      display().SetFocus(container_.GetSafeHwnd());
    }
  }

  // Empty when both controls are in the same state and show the same pixels.
  std::string Difference() {
    std::string fields = FirstDifference(Kept().DescribeState(), Whole().DescribeState());
    if (!fields.empty()) return fields;
    const Surface kept = display().CaptureWindow(Kept().GetSafeHwnd());
    const Surface whole = display().CaptureWindow(Whole().GetSafeHwnd());
    if (kept.Width() != whole.Width() || kept.Height() != whole.Height()) return "window sizes differ";
    for (int y = 0; y < kept.Height(); ++y)
      for (int x = 0; x < kept.Width(); ++x)
        if (kept.Pixel(x, y) != whole.Pixel(x, y))
          return "pixel " + std::to_string(x) + "," + std::to_string(y) + " differs";
    return "";
  }

 private:
  Display display_{800, 600};
  CWnd container_;
  FixedMetricTextLibrary library_;
  std::unique_ptr<CKestrixCtrl> controls_[2];
};

void PlaceCaret(CKestrixCtrl& c, int offset) {
  c.GotoLine(c.LineFromOffset(offset));
  c.m_CharIndex = c.IndexFromOffset(offset);
}

class RandomEdits {
 public:
  explicit RandomEdits(uint32_t seed) : random_(seed) {}

  int Pick(int n) { return static_cast<int>(random_() % static_cast<uint32_t>(n)); }

  // Words of Latin and Arabic letters (joining, marks, tatweel) and digits; spaces, CRs and
  // now and then a control character that the rebuild drops.
  std::string Text(int length) {
    static const std::string letters = "abcdefgh\xC7\xC8\xE1\xE3\xF3\xDC" "12";
    std::string text;
    while (static_cast<int>(text.size()) < length) {
      int kind = Pick(20);
      if (kind < 13)
        text += letters[static_cast<size_t>(Pick(static_cast<int>(letters.size())))];
      else if (kind < 17)
        text += ' ';
      else if (kind < 19)
        text += '\r';
      else
        text += "\n\t"[Pick(2)];
    }
    return text;
  }

  // One edit, the same on both controls; returns what it was, for the failure message.
  std::string Step(Twins& twins) {
    CKestrixCtrl& c = twins.Kept();
    const int size = static_cast<int>(c.GetText().size());
    const int offset = Pick(size + 1);
    const int length = Pick(std::min(size - offset, 40) + 1);
    const int kind = Pick(100);
    std::ostringstream what;
    if (kind < 6) {  // a selection made with Shift and the arrows, then deleted or typed over
      const int keys = 1 + Pick(6);
      const UINT arrow = Pick(2) ? VK_DOWN : VK_RIGHT;
      const UINT replace = Pick(2) ? VK_DELETE : 'X';
      what << "select " << keys << (arrow == VK_DOWN ? " down" : " right") << " from " << offset
           << (replace == VK_DELETE ? ", deleted" : ", typed over");
      twins.Both([&](CKestrixCtrl& k) {
        PlaceCaret(k, offset);
        twins.display().KeyDown(VK_SHIFT, kShiftScan);
        for (int i = 0; i < keys; ++i) {
          twins.display().KeyDown(static_cast<int>(arrow));
          twins.display().KeyUp(static_cast<int>(arrow));
        }
        twins.display().KeyUp(VK_SHIFT, kShiftScan);
        k.SendMessage(WM_KEYDOWN, replace, 1);
        if (replace == 'X') k.SendMessage(WM_CHAR, 'x', 1);
      });
    } else if (kind < 30) {  // typing a run of characters, which leaves its lines changed
      std::string typed = Text(1 + Pick(12));
      what << "type " << typed.size() << " at " << offset;
      twins.Both([&](CKestrixCtrl& k) {
        PlaceCaret(k, offset);
        for (char ch : typed)
          if (ch != '\r' && ch != '\n' && ch != '\t') k.SendMessage(WM_CHAR, static_cast<unsigned char>(ch), 1);
      });
    } else if (kind < 42) {
      what << "backspace at " << offset;
      twins.Both([&](CKestrixCtrl& k) {
        PlaceCaret(k, offset);
        k.SendMessage(WM_KEYDOWN, VK_BACK, 1);
      });
    } else if (kind < 54) {
      what << "delete " << length << " at " << offset;
      twins.Both([&](CKestrixCtrl& k) {
        PlaceCaret(k, offset);
        k.SetSelStart(offset);
        k.SetSelLength(length);
        k.SendMessage(WM_KEYDOWN, VK_DELETE, 1);
      });
    } else if (kind < 64) {
      what << "return at " << offset;
      twins.Both([&](CKestrixCtrl& k) {
        PlaceCaret(k, offset);
        k.SendMessage(WM_KEYDOWN, VK_RETURN, 1);
      });
    } else if (kind < 80) {
      std::string pasted = Text(Pick(60));
      what << "paste " << pasted.size() << " over " << length << " at " << offset;
      twins.display().PutClipboardText(pasted);
      twins.Both([&](CKestrixCtrl& k) {
        PlaceCaret(k, offset);
        k.SetSelStart(offset);
        k.SetSelLength(length);
        k.InsertText(CString(), 1);
      });
    } else if (kind < 84) {
      what << "refresh";
      twins.Both([&](CKestrixCtrl& k) { k.Refresh(); });
    } else if (kind < 88) {
      // A new text sharing its start and end with the old one.
      std::string text = c.GetText();
      text.replace(static_cast<size_t>(offset), static_cast<size_t>(length), Text(Pick(30)));
      what << "text write of " << text.size();
      twins.Both([&](CKestrixCtrl& k) { k.SetText(text); });
    } else if (kind < 92) {
      short alignment = static_cast<short>(Pick(3));
      what << "alignment " << alignment;
      twins.Both([&](CKestrixCtrl& k) { k.SetAlignment(alignment); });
    } else if (kind < 95) {
      short order = static_cast<short>(Pick(2));
      what << "reading order " << order;
      twins.Both([&](CKestrixCtrl& k) { k.SetReadingOrder(order); });
    } else if (kind < 98) {
      LONG limit = Pick(3) == 0 ? 0 : size / 2 + Pick(size + 10);
      what << "max length " << limit;
      twins.Both([&](CKestrixCtrl& k) { k.m_MaxLength = limit; });
    } else {
      // Wrapping or a second line turned off and on again, the text re-broken each time.
      BOOL wrap = Pick(4) != 0;
      BOOL multiLines = Pick(4) != 0;
      what << "word wrap " << wrap << ", multiple lines " << multiLines;
      twins.Both([&](CKestrixCtrl& k) {
        k.m_WordWrap = wrap;
        k.m_MultiLines = multiLines;
        k.Refresh();
      });
    }
    return what.str();
  }

 private:
  std::mt19937 random_;
};

void RunRounds(uint32_t seedBase, int rounds, int steps, bool shippedLibrary) {
  for (int round = 0; round < rounds; ++round) {
    RandomEdits edits(seedBase + static_cast<uint32_t>(round));
    const int width = 70 + edits.Pick(300);
    Twins twins(width, 60 + edits.Pick(140), shippedLibrary);
    const std::string text = edits.Text(edits.Pick(600));
    twins.Both([&](CKestrixCtrl& k) { k.SetText(text); });
    ASSERT_EQ(twins.Difference(), "") << "round " << round << " after the first text";
    for (int step = 0; step < steps; ++step) {
      std::string what = edits.Step(twins);
      ASSERT_EQ(twins.Difference(), "") << "round " << round << " step " << step << ": " << what;
    }
  }
}

TEST(KeptLines, EveryEditLeavesTheStateOfAWholeRebuild) { RunRounds(0x6b6c0000, 24, 60, false); }

// Shaped Arabic, real font metrics and the library's caches, which the two controls share.
TEST(KeptLines, EveryEditLeavesTheStateOfAWholeRebuildOnTheShippedLibrary) {
  RunRounds(0x6b6d0000, 8, 50, true);
}

// The comparison is only worth something if it sees a line broken differently, a line placed
// elsewhere, or a pixel that is not the same.
TEST(KeptLines, TheComparisonSeesABrokenLine) {
  Twins twins(200, 120);
  twins.Both([](CKestrixCtrl& k) { k.SetText("one two three four five six seven\rnext"); });
  ASSERT_EQ(twins.Difference(), "");

  CKestrixCtrl& kept = twins.Kept();
  ASSERT_GE(kept.LineCount(), 3);
  LineRecord* first = kept.m_Lines.At(1);
  CString moved = first->m_Chars.substr(first->m_Chars.rfind(' ', first->m_Chars.size() - 2) + 1);
  kept.m_Lines.SetChars(1, first->m_Chars.substr(0, first->m_Chars.size() - moved.size()));
  kept.m_Lines.SetChars(2, moved + kept.m_Lines.At(2)->m_Chars);
  EXPECT_NE(twins.Difference(), "");

  twins.Both([](CKestrixCtrl& k) { k.SetText("one two three four five six seven\rnext"); });
  ASSERT_EQ(twins.Difference(), "");
  kept.m_Lines.At(2)->m_StartX += 1;
  EXPECT_NE(twins.Difference(), "");

  twins.Both([](CKestrixCtrl& k) { k.Refresh(); });
  kept.m_Lines.At(2)->m_StartX -= 1;
  ASSERT_EQ(twins.Difference(), "");
  kept.AcquireDC();
  CRect dot(10, 10, 11, 11);
  kept.m_pDC->FillSolidRect(&dot, RGB(1, 2, 3));
  kept.ReleaseHeldDC();
  EXPECT_NE(twins.Difference(), "");
}

TEST(ParagraphDiff, FindsTheParagraphsBothTextsShare) {
  // An edit inside the second of three paragraphs.
  ParagraphDiff d = DiffParagraphs("ab\rcd\ref", "ab\rcxd\ref");
  EXPECT_EQ(d.leading, 1u);
  EXPECT_EQ(d.trailing, 1u);
  EXPECT_EQ(d.middleBegin, 3u);
  EXPECT_EQ(d.middleEnd, 7u);

  // Joining two paragraphs: neither is kept; the one after them is.
  d = DiffParagraphs("ab\rcd\ref", "abcd\ref");
  EXPECT_EQ(d.leading, 0u);
  EXPECT_EQ(d.trailing, 1u);
  EXPECT_EQ(d.middleEnd, 5u);

  // An edit at the very end, and an unchanged text, which keeps every paragraph.
  d = DiffParagraphs("ab\rcd", "ab\rcde");
  EXPECT_EQ(d.leading, 1u);
  EXPECT_EQ(d.trailing, 0u);
  EXPECT_EQ(d.middleEnd, 6u);
  d = DiffParagraphs("ab\rcd", "ab\rcd");
  EXPECT_EQ(d.leading, 2u);
  EXPECT_EQ(d.middleBegin, d.middleEnd);

  // Repeated paragraphs: prefix and suffix never claim the same one.
  d = DiffParagraphs("a\ra\ra", "a\ra");
  EXPECT_LE(d.leading + d.trailing, 2u);
  EXPECT_LE(d.middleBegin, d.middleEnd);
}

}  // namespace

}  // namespace kestrix
