// One plain HarfBuzz pass over the corpus in the control's faces and size: each paragraph cut
// into Arabic and other runs (spaces stay with the run they follow), each run shaped once with
// the paragraph as context, nothing cached. And the same for one display line, the cost that
// typing a character is held against. bench/side_by_side.py prints the ratios.
#include <benchmark/benchmark.h>
#include <hb.h>

#include <string>
#include <vector>

#include "ControlFonts.h"
#include "MixedCorpus.h"
#include "arabtext/ArabTextLibrary.h"
#include "arabtext/Cp1256.h"
#include "arabtext/FontStore.h"

namespace {

struct Run {
  unsigned offset = 0;  // in bytes of the paragraph's UTF-8
  unsigned length = 0;
  bool arabic = false;
};

struct Paragraph {
  std::string utf8;
  std::vector<Run> runs;
};

Paragraph Cut(const std::string& cp1256) {
  Paragraph p;
  for (char byte : cp1256) {
    const char32_t c = arabtext::UnicodeFromCp1256(static_cast<uint8_t>(byte));
    const bool arabic = c >= 0x0600 && c <= 0x06FF;
    if (p.runs.empty() || (c != ' ' && arabic != p.runs.back().arabic))
      p.runs.push_back(Run{static_cast<unsigned>(p.utf8.size()), 0, arabic});
    arabtext::AppendUtf8(c, p.utf8);
    p.runs.back().length = static_cast<unsigned>(p.utf8.size()) - p.runs.back().offset;
  }
  return p;
}

class PlainShaper {
 public:
  PlainShaper() {
    const LOGFONT latin = bench::ControlLatinFont();
    const LOGFONT arabic = bench::ControlArabicFont();
    pair_ = store_.Pair(arabtext::FontRequestFromLogFont(&latin), arabtext::FontRequestFromLogFont(&arabic));
    latin_ = pair_->Font(arabtext::FontSlot::kLatin).HbFont();
    arabic_ = pair_->Font(arabtext::FontSlot::kArabic).HbFont();
    arabicLanguage_ = hb_language_from_string("ar", -1);
    buffer_ = hb_buffer_create();
  }
  ~PlainShaper() { hb_buffer_destroy(buffer_); }

  int64_t Shape(const Paragraph& p) {
    int64_t glyphs = 0;
    for (const Run& r : p.runs) {
      hb_buffer_clear_contents(buffer_);
      hb_buffer_add_utf8(buffer_, p.utf8.data(), static_cast<int>(p.utf8.size()), r.offset,
                         static_cast<int>(r.length));
      hb_buffer_set_direction(buffer_, r.arabic ? HB_DIRECTION_RTL : HB_DIRECTION_LTR);
      hb_buffer_set_script(buffer_, r.arabic ? HB_SCRIPT_ARABIC : HB_SCRIPT_LATIN);
      hb_buffer_set_language(buffer_, r.arabic ? arabicLanguage_ : hb_language_get_default());
      hb_shape(r.arabic ? arabic_ : latin_, buffer_, nullptr, 0);
      glyphs += hb_buffer_get_length(buffer_);
    }
    return glyphs;
  }

 private:
  arabtext::FontStore store_;
  std::shared_ptr<arabtext::FontPair> pair_;
  hb_font_t* latin_ = nullptr;
  hb_font_t* arabic_ = nullptr;
  hb_language_t arabicLanguage_ = nullptr;
  hb_buffer_t* buffer_ = nullptr;
};

void BM_HarfBuzzPass(benchmark::State& state) {
  const std::string corpus = bench::GenerateMixedCorpus();
  std::vector<Paragraph> paragraphs;
  size_t begin = 0;
  while (begin <= corpus.size()) {
    size_t end = corpus.find('\r', begin);
    if (end == std::string::npos) end = corpus.size();
    paragraphs.push_back(Cut(corpus.substr(begin, end - begin)));
    begin = end + 1;
  }
  PlainShaper shaper;
  int64_t glyphs = 0;
  for (auto _ : state)
    for (const Paragraph& p : paragraphs) glyphs += shaper.Shape(p);
  benchmark::DoNotOptimize(glyphs);
  state.SetBytesProcessed(state.iterations() * static_cast<int64_t>(corpus.size()));
}
BENCHMARK(BM_HarfBuzzPass)->Unit(benchmark::kMillisecond)->Iterations(3);

// The corpus's first display line at the control's width: the longest start of its first
// paragraph, cut after a space, that our library measures within the width.
std::string FirstDisplayLine() {
  const std::string corpus = bench::GenerateMixedCorpus();
  arabtext::ArabTextLibrary library;
  const LOGFONT latin = bench::ControlLatinFont();
  const LOGFONT arabic = bench::ControlArabicFont();
  library.SelectFonts(nullptr, &latin, &arabic);
  size_t best = 0;
  for (size_t space = corpus.find(' '); space != std::string::npos && corpus[space] != '\r';
       space = corpus.find(' ', space + 1)) {
    if (library.TextExtent(nullptr, corpus.data(), static_cast<int32_t>(space)).cx + 10 > bench::kControlTextWidth)
      break;
    best = space + 1;
  }
  return corpus.substr(0, best);
}

void BM_HarfBuzzLine(benchmark::State& state) {
  const std::string line = FirstDisplayLine();
  const Paragraph p = Cut(line);
  PlainShaper shaper;
  int64_t glyphs = 0;
  for (auto _ : state) glyphs += shaper.Shape(p);
  benchmark::DoNotOptimize(glyphs);
  state.counters["bytes"] = static_cast<double>(line.size());
}
BENCHMARK(BM_HarfBuzzLine)->Unit(benchmark::kMicrosecond);

}  // namespace
