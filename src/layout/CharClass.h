// The four classes of the bytes of the Arabic Windows code page.
#pragma once

#include <cstdint>

namespace kestrix {

enum class CharClass : int32_t {
  ArabicLetter = 1,  // strong right-to-left; includes the tatweel 0xDC
  ArabicMark = 2,    // non-spacing vowel and doubling marks
  Latin = 3,         // strong left-to-right
  Neutral = 4,       // control characters, space, digits, punctuation, other symbols
};

// The class of a byte; only the low 8 bits of ch count.
CharClass ClassOfByte(int ch);

// Whether a byte belongs to a word: a letter or digit of either script, a haraka or the
// tatweel. Spaces, punctuation, symbols and control characters separate words.
bool IsWordByte(int ch);

}  // namespace kestrix
