// Measuring lines the way the control lays out text, against one plain shaping pass over
// the same text: the first should cost no more than the second. And painting one long line
// in a small window, which should cost what the window shows whatever the font size.
#include <benchmark/benchmark.h>
#include <hb.h>

#include <cstring>
#include <memory>
#include <string>
#include <vector>

#include "MixedCorpus.h"
#include "arabtext/ArabTextLibrary.h"
#include "arabtext/Cp1256.h"
#include "arabtext/FontStore.h"
#include "framework/gdi/DeviceContext.h"
#include "framework/gdi/Surface.h"

namespace kestrix {

namespace {

constexpr int kPixelHeight = 16;
constexpr int kLineWidth = 600;

LOGFONT Font(const char* face, int pixelHeight = kPixelHeight) {
  LOGFONT font;
  font.lfHeight = -pixelHeight;
  font.lfWeight = 400;
  std::strncpy(font.lfFaceName, face, sizeof font.lfFaceName - 1);
  return font;
}

const std::string& Corpus() {
  static const std::string corpus = bench::GenerateMixedCorpus();
  return corpus;
}

// Every character appended to the current line is followed by measuring the whole line;
// past the width the line breaks after its last space and the last word carries over.
void BM_RebuildMeasuring(benchmark::State& state) {
  const std::string& corpus = Corpus();
  const LOGFONT latin = Font("Times New Roman");
  const LOGFONT arabic = Font("Fonta");
  int64_t lines = 0;
  for (auto _ : state) {
    arabtext::ArabTextLibrary library;  // cold caches every round
    library.SelectFonts(nullptr, &latin, &arabic);
    std::string line;
    for (char c : corpus) {
      if (c == '\r') {
        line.clear();
        ++lines;
        continue;
      }
      line.push_back(c);
      const SIZE size = library.TextExtent(nullptr, line.data(), static_cast<int32_t>(line.size()));
      if (size.cx > kLineWidth) {
        const size_t space = line.rfind(' ');
        line.erase(0, space == std::string::npos ? line.size() - 1 : space + 1);
        ++lines;
      }
    }
    benchmark::DoNotOptimize(line);
  }
  state.SetItemsProcessed(state.iterations() * static_cast<int64_t>(corpus.size()));
  state.SetBytesProcessed(state.iterations() * static_cast<int64_t>(corpus.size()));
  state.counters["lines"] = benchmark::Counter(static_cast<double>(lines) / static_cast<double>(state.iterations()));
}
BENCHMARK(BM_RebuildMeasuring)->Unit(benchmark::kMillisecond);

// A line with no spaces, as a long URL or a pasted blob: measured after every appended
// character, then prefix by growing prefix again as hit tests walk it.
void BM_GrowingWord(benchmark::State& state) {
  const bool arabic = state.range(0) != 0;
  const std::string word = arabic ? std::string(5000, '\xC8') : std::string(20000, 'a');
  const LOGFONT latin = Font("Times New Roman");
  const LOGFONT arabicFont = Font("Fonta");
  int64_t total = 0;
  for (auto _ : state) {
    arabtext::ArabTextLibrary library;  // cold caches every round
    library.SelectFonts(nullptr, &latin, &arabicFont);
    for (int pass = 0; pass < 2; ++pass)
      for (size_t n = 1; n <= word.size(); ++n)
        total += library.TextExtent(nullptr, word.data(), static_cast<int32_t>(n)).cx;
  }
  benchmark::DoNotOptimize(total);
  state.SetLabel(arabic ? "5000 Arabic letters" : "20000 Latin letters");
  state.SetItemsProcessed(state.iterations() * 2 * static_cast<int64_t>(word.size()));
}
BENCHMARK(BM_GrowingWord)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);

// The corpus's first 6,000 characters as one line, paragraph breaks turned into spaces.
std::string LongLine() {
  std::string line = Corpus().substr(0, 6000);
  for (char& c : line)
    if (c == '\r') c = ' ';
  return line;
}

// Painting one long line in a window far narrower than the line, as each caret blink does:
// a 300 x 40 client area, the line starting at its left edge. Argument 0 is the pixel size;
// argument 1 says whether every round starts from a fresh library (the first paint).
void BM_PaintLongLine(benchmark::State& state) {
  const int pixels = static_cast<int>(state.range(0));
  const bool cold = state.range(1) != 0;
  const std::string line = LongLine();
  const LOGFONT latin = Font("Times New Roman", pixels);
  const LOGFONT arabic = Font("Fonta", pixels);
  Surface surface(300, 40);
  DeviceContext dc(&surface, POINT{}, {RECT{0, 0, 300, 40}});
  auto library = std::make_unique<arabtext::ArabTextLibrary>();
  library->SelectFonts(&dc, &latin, &arabic);
  library->TextOut(&dc, 0, 30, line.data(), static_cast<int32_t>(line.size()));
  for (auto _ : state) {
    if (cold) {
      state.PauseTiming();
      library = std::make_unique<arabtext::ArabTextLibrary>();
      library->SelectFonts(&dc, &latin, &arabic);
      state.ResumeTiming();
    }
    library->TextOut(&dc, 0, 30, line.data(), static_cast<int32_t>(line.size()));
  }
  benchmark::DoNotOptimize(surface.Pixels().data());
  state.SetLabel(cold ? "first paint" : "repaint");
}
BENCHMARK(BM_PaintLongLine)
    ->Args({16, 0})
    ->Args({512, 0})
    ->Args({16, 1})
    ->Args({512, 1})
    ->Unit(benchmark::kMillisecond);

// Measuring the same line whole, as the control does before painting it. Argument 1 says
// whether every round starts from a fresh library.
void BM_MeasureLongLine(benchmark::State& state) {
  const int pixels = static_cast<int>(state.range(0));
  const bool cold = state.range(1) != 0;
  const std::string line = LongLine();
  const LOGFONT latin = Font("Times New Roman", pixels);
  const LOGFONT arabic = Font("Fonta", pixels);
  auto library = std::make_unique<arabtext::ArabTextLibrary>();
  library->SelectFonts(nullptr, &latin, &arabic);
  int64_t total = 0;
  for (auto _ : state) {
    if (cold) {
      state.PauseTiming();
      library = std::make_unique<arabtext::ArabTextLibrary>();
      library->SelectFonts(nullptr, &latin, &arabic);
      state.ResumeTiming();
    }
    total += library->TextExtent(nullptr, line.data(), static_cast<int32_t>(line.size())).cx;
  }
  benchmark::DoNotOptimize(total);
  state.SetLabel(cold ? "first measure" : "measured again");
}
BENCHMARK(BM_MeasureLongLine)
    ->Args({16, 0})
    ->Args({512, 0})
    ->Args({16, 1})
    ->Args({512, 1})
    ->Unit(benchmark::kMicrosecond);

bool IsArabic(char32_t c) { return c >= 0x0600 && c <= 0x06FF; }

// One HarfBuzz pass: each paragraph as UTF-8, cut into Arabic and other runs (spaces stay
// with the run they follow), each run shaped with its font and the paragraph as context.
void BM_PlainShaping(benchmark::State& state) {
  const std::string& corpus = Corpus();
  std::vector<std::string> paragraphs;
  std::vector<std::vector<std::pair<unsigned, unsigned>>> runs;  // byte offset, length
  std::vector<std::vector<bool>> runIsArabic;
  size_t begin = 0;
  while (begin < corpus.size()) {
    size_t end = corpus.find('\r', begin);
    if (end == std::string::npos) end = corpus.size();
    std::string utf8;
    std::vector<std::pair<unsigned, unsigned>> cuts;
    std::vector<bool> arabicRuns;
    for (size_t i = begin; i < end; ++i) {
      const char32_t c = arabtext::UnicodeFromCp1256(static_cast<uint8_t>(corpus[i]));
      const bool arabic = IsArabic(c);
      const bool neutral = c == ' ';
      if (cuts.empty() || (!neutral && arabic != arabicRuns.back())) {
        cuts.emplace_back(static_cast<unsigned>(utf8.size()), 0);
        arabicRuns.push_back(arabic);
      }
      arabtext::AppendUtf8(c, utf8);
      cuts.back().second = static_cast<unsigned>(utf8.size()) - cuts.back().first;
    }
    paragraphs.push_back(std::move(utf8));
    runs.push_back(std::move(cuts));
    runIsArabic.push_back(std::move(arabicRuns));
    begin = end + 1;
  }

  arabtext::FontStore store;
  const LOGFONT latinFont = Font("Times New Roman");
  const LOGFONT arabicFont = Font("Fonta");
  const auto pair = store.Pair(arabtext::FontRequestFromLogFont(&latinFont), arabtext::FontRequestFromLogFont(&arabicFont));
  hb_font_t* latin = pair->Font(arabtext::FontSlot::kLatin).HbFont();
  hb_font_t* arabic = pair->Font(arabtext::FontSlot::kArabic).HbFont();
  hb_language_t arabicLanguage = hb_language_from_string("ar", -1);
  hb_buffer_t* buffer = hb_buffer_create();
  int64_t glyphs = 0;
  for (auto _ : state) {
    for (size_t p = 0; p < paragraphs.size(); ++p) {
      const std::string& text = paragraphs[p];
      for (size_t r = 0; r < runs[p].size(); ++r) {
        hb_buffer_clear_contents(buffer);
        hb_buffer_add_utf8(buffer, text.data(), static_cast<int>(text.size()), runs[p][r].first,
                           static_cast<int>(runs[p][r].second));
        const bool isArabic = runIsArabic[p][r];
        hb_buffer_set_direction(buffer, isArabic ? HB_DIRECTION_RTL : HB_DIRECTION_LTR);
        hb_buffer_set_script(buffer, isArabic ? HB_SCRIPT_ARABIC : HB_SCRIPT_LATIN);
        hb_buffer_set_language(buffer, isArabic ? arabicLanguage : hb_language_get_default());
        hb_shape(isArabic ? arabic : latin, buffer, nullptr, 0);
        glyphs += hb_buffer_get_length(buffer);
      }
    }
  }
  benchmark::DoNotOptimize(glyphs);
  hb_buffer_destroy(buffer);
  state.SetItemsProcessed(state.iterations() * static_cast<int64_t>(corpus.size()));
  state.SetBytesProcessed(state.iterations() * static_cast<int64_t>(corpus.size()));
}
BENCHMARK(BM_PlainShaping)->Unit(benchmark::kMillisecond);

}  // namespace

}  // namespace kestrix

BENCHMARK_MAIN();
