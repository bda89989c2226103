// The files the window benchmark opens: UTF-8 text of real Arabic and English words in
// paragraphs of 20 to 120 words, one paragraph a line, LF line ends, holding only characters
// the Arabic code page keeps, so that kestrix-edit opens them for editing.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

namespace kestrix {

namespace bench {

// At least targetBytes (ending with a whole paragraph and its LF); the same seed gives the same
// bytes.
std::string MixedWordsFile(size_t targetBytes, uint64_t seed = 0x77696e646f77ull);

}  // namespace bench

}  // namespace kestrix
