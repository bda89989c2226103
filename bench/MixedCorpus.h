// A reproducible corpus of mixed Arabic and English text in code page 1256, for
// benchmarks: paragraphs of words drawn with Zipf-like frequencies from a generated
// vocabulary, separated by CR. The same options always give the same bytes.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace kestrix {

namespace bench {

struct MixedCorpusOptions {
  uint64_t seed = 0x6b657374726978ull;
  size_t targetBytes = size_t{1} << 20;
  int vocabularySize = 20000;
  double arabicShare = 0.6;      // of the vocabulary's words
  double markChance = 0.08;      // of each Arabic letter being followed by a mark
  double zipfExponent = 1.0;
  int minParagraphWords = 40;
  int maxParagraphWords = 120;
};

// Generated words, most frequent first.
std::vector<std::string> MixedVocabulary(const MixedCorpusOptions& options);
std::string GenerateMixedCorpus(const MixedCorpusOptions& options = {});

}  // namespace bench

}  // namespace kestrix
