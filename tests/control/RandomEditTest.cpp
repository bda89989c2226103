// Random texts and random typing checked against a plain string model: whatever the wrapping
// does, no character is lost, moved or duplicated, and the store keeps its shape.
#include <gtest/gtest.h>

#include <random>

#include "ControlHost.h"

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

}  // namespace

}  // namespace kestrix
