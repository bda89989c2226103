#include "MixedCorpus.h"

#include "SplitMix.h"

#include <algorithm>
#include <cmath>

namespace kestrix {

namespace bench {
namespace {

using Random = SplitMix;

// Arabic letters of the code page, and the harakat.
constexpr unsigned char kArabicLetters[] = {0xC1, 0xC2, 0xC3, 0xC4, 0xC5, 0xC6, 0xC7, 0xC8, 0xC9, 0xCA,
                                            0xCB, 0xCC, 0xCD, 0xCE, 0xCF, 0xD0, 0xD1, 0xD2, 0xD3, 0xD4,
                                            0xD5, 0xD6, 0xD8, 0xD9, 0xDA, 0xDB, 0xDD, 0xDE, 0xDF, 0xE1,
                                            0xE3, 0xE4, 0xE5, 0xE6, 0xEC, 0xED};
constexpr unsigned char kMarks[] = {0xF0, 0xF1, 0xF2, 0xF3, 0xF5, 0xF6, 0xF8, 0xFA};

std::string ArabicWord(Random& random, double markChance) {
  std::string word;
  const int letters = random.Between(2, 8);
  for (int i = 0; i < letters; ++i) {
    word.push_back(static_cast<char>(kArabicLetters[random.Next() % sizeof kArabicLetters]));
    if (random.Unit() < markChance) word.push_back(static_cast<char>(kMarks[random.Next() % sizeof kMarks]));
  }
  return word;
}

std::string EnglishWord(Random& random) {
  std::string word;
  const int letters = random.Between(2, 9);
  for (int i = 0; i < letters; ++i) word.push_back(static_cast<char>('a' + random.Next() % 26));
  if (random.Unit() < 0.1) word[0] = static_cast<char>(word[0] - 'a' + 'A');
  return word;
}

}  // namespace

std::vector<std::string> MixedVocabulary(const MixedCorpusOptions& options) {
  Random random(options.seed);
  std::vector<std::string> words;
  words.reserve(static_cast<size_t>(std::max(options.vocabularySize, 1)));
  for (int i = 0; i < std::max(options.vocabularySize, 1); ++i)
    words.push_back(random.Unit() < options.arabicShare ? ArabicWord(random, options.markChance)
                                                        : EnglishWord(random));
  return words;
}

std::string GenerateMixedCorpus(const MixedCorpusOptions& options) {
  const std::vector<std::string> words = MixedVocabulary(options);
  std::vector<double> cumulative(words.size());
  double total = 0;
  for (size_t rank = 0; rank < words.size(); ++rank) {
    total += 1.0 / std::pow(static_cast<double>(rank + 1), options.zipfExponent);
    cumulative[rank] = total;
  }

  Random random(options.seed ^ 0x5a5a5a5a5a5a5a5aull);
  std::string corpus;
  corpus.reserve(options.targetBytes + 2048);
  while (corpus.size() < options.targetBytes) {
    const int count = random.Between(options.minParagraphWords, std::max(options.minParagraphWords, options.maxParagraphWords));
    for (int i = 0; i < count; ++i) {
      const double pick = random.Unit() * total;
      const size_t rank = std::min(words.size() - 1, static_cast<size_t>(std::upper_bound(cumulative.begin(), cumulative.end(), pick) - cumulative.begin()));
      if (i > 0) corpus.push_back(' ');
      corpus += words[rank];
    }
    corpus.push_back('\r');
  }
  return corpus;
}

}  // namespace bench

}  // namespace kestrix
