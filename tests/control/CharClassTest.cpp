#include <gtest/gtest.h>

#include "ControlHost.h"

namespace kestrix {

namespace {

int CountOfClass(CharClass cls) {
  int n = 0;
  for (int b = 0; b < 256; ++b) n += CKestrixCtrl::ClassifyChar(b) == cls;
  return n;
}

TEST(CharClass, TableHasTheDocumentedSizes) {
  EXPECT_EQ(CountOfClass(CharClass::ArabicLetter), 46);
  EXPECT_EQ(CountOfClass(CharClass::ArabicMark), 11);
  EXPECT_EQ(CountOfClass(CharClass::Latin), 83);
  EXPECT_EQ(CountOfClass(CharClass::Neutral), 116);
}

TEST(CharClass, IrregularPointsOfTheTable) {
  for (int d = '0'; d <= '9'; ++d) EXPECT_EQ(CKestrixCtrl::ClassifyChar(d), CharClass::Neutral);
  EXPECT_EQ(CKestrixCtrl::ClassifyChar(0x60), CharClass::Latin);
  EXPECT_EQ(CKestrixCtrl::ClassifyChar(0x40), CharClass::Neutral);
  for (int b : {0x99, 0xA2, 0xA9, 0xAE, 0xB2, 0xB4, 0xB7, 0xB9, 0xD7, 0xF7, 0xC0, 0xFF})
    EXPECT_EQ(CKestrixCtrl::ClassifyChar(b), CharClass::Latin) << std::hex << b;
  for (int b : {0x8A, 0x9A, 0xAA}) EXPECT_EQ(CKestrixCtrl::ClassifyChar(b), CharClass::ArabicMark);
  for (int b : {0x80, 0x9D, 0x9E, 0xDC}) EXPECT_EQ(CKestrixCtrl::ClassifyChar(b), CharClass::ArabicLetter);
  for (int b : {0x00, 0x0D, 0x1F, 0x7F, 0x9F}) EXPECT_EQ(CKestrixCtrl::ClassifyChar(b), CharClass::Neutral);
  // Only the low 8 bits count.
  EXPECT_EQ(CKestrixCtrl::ClassifyChar(0x141), CharClass::Latin);
  EXPECT_EQ(CKestrixCtrl::ClassifyChar(-0x24), CharClass::ArabicLetter);  // low byte 0xDC
}

TEST(LineDirection, FirstStrongCharacterDecides) {
  ControlHost host;
  CKestrixCtrl& c = *host.ctrl;
  struct Case {
    std::string text;
    int expected;
  } cases[] = {
      {"123 abc", 0},
      {"\xF3\xF0" "a", 0},          // marks never decide
      {"`", 0},                      // the grave accent is Latin
      {"@\xC7", 1},                  // '@' is neutral, the Arabic letter decides
      {"\xDC", 1},                   // the tatweel alone
      {"  ,.\xF3 99", 1},            // nothing strong: the reading order (1)
      {"", 1},
  };
  for (const Case& k : cases) {
    c.m_LineText = k.text;
    EXPECT_EQ(c.DetectLineDirection(), k.expected) << k.text;
  }
  c.m_ReadingOrder = 7;  // any stored value is passed through
  c.m_LineText = "12";
  EXPECT_EQ(c.DetectLineDirection(), 7);
  c.m_ReadingOrder = -3;
  EXPECT_EQ(c.DetectLineDirection(), -3);
}

}  // namespace

}  // namespace kestrix
