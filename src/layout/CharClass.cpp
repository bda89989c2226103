#include "layout/CharClass.h"

#include <array>

#include "control/KestrixCtrl.h"

namespace kestrix {

namespace {

struct Range {
  int first;
  int last;
};

constexpr Range kArabicLetters[] = {{0x80, 0x81}, {0x8D, 0x90}, {0x98, 0x98}, {0x9D, 0x9E},
                                    {0xC1, 0xD6}, {0xD8, 0xDF}, {0xE1, 0xE1}, {0xE3, 0xE6},
                                    {0xEC, 0xED}};
constexpr Range kArabicMarks[] = {{0x8A, 0x8A}, {0x9A, 0x9A}, {0xAA, 0xAA}, {0xF0, 0xF3},
                                  {0xF5, 0xF6}, {0xF8, 0xF8}, {0xFA, 0xFA}};
// Digits are neutral; the grave accent 0xC0 and 0xFF and several upper-half symbols are Latin.
constexpr Range kLatin[] = {{0x41, 0x5A}, {0x60, 0x7A}, {0x83, 0x83}, {0x8C, 0x8C}, {0x99, 0x99},
                            {0x9C, 0x9C}, {0xA2, 0xA2}, {0xA9, 0xA9}, {0xAE, 0xAE}, {0xB2, 0xB4},
                            {0xB7, 0xB9}, {0xC0, 0xC0}, {0xD7, 0xD7}, {0xE0, 0xE0}, {0xE2, 0xE2},
                            {0xE7, 0xEB}, {0xEE, 0xEF}, {0xF4, 0xF4}, {0xF7, 0xF7}, {0xF9, 0xF9},
                            {0xFB, 0xFC}, {0xFF, 0xFF}};

constexpr std::array<CharClass, 256> BuildTable() {
  std::array<CharClass, 256> table{};
  for (auto& c : table) c = CharClass::Neutral;
  for (Range r : kArabicLetters)
    for (int b = r.first; b <= r.last; ++b) table[static_cast<size_t>(b)] = CharClass::ArabicLetter;
  for (Range r : kArabicMarks)
    for (int b = r.first; b <= r.last; ++b) table[static_cast<size_t>(b)] = CharClass::ArabicMark;
  for (Range r : kLatin)
    for (int b = r.first; b <= r.last; ++b) table[static_cast<size_t>(b)] = CharClass::Latin;
  return table;
}

constexpr std::array<CharClass, 256> kClassTable = BuildTable();

}  // namespace

CharClass ClassOfByte(int ch) { return kClassTable[static_cast<size_t>(ch & 0xFF)]; }

bool IsWordByte(int ch) {
  const int b = ch & 0xFF;
  if (b >= '0' && b <= '9') return true;
  switch (b) {
    // Latin by their direction, but symbols: the grave accent, trade mark, cent, copyright,
    // registered, superscripts, acute accent, middle dot, cedilla, multiplication and division.
    case 0x60: case 0x99: case 0xA2: case 0xA9: case 0xAE: case 0xB2: case 0xB3: case 0xB4:
    case 0xB7: case 0xB8: case 0xB9: case 0xD7: case 0xF7:
      return false;
    case 0x9F:  // noon ghunna, an Arabic letter the direction table leaves neutral
      return true;
    default:
      return ClassOfByte(b) != CharClass::Neutral;
  }
}

CharClass CKestrixCtrl::ClassifyChar(int ch) { return ClassOfByte(ch); }

int CKestrixCtrl::DetectLineDirection() {
  for (char c : m_LineText) {
    CharClass cls = ClassifyChar(static_cast<unsigned char>(c));
    if (cls == CharClass::ArabicLetter) return 1;
    if (cls == CharClass::Latin) return 0;
  }
  return m_ReadingOrder;
}

}  // namespace kestrix
