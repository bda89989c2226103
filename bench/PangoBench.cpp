// The same corpus laid out by Pango at the same width, in the same faces and size as the
// control uses, paragraph by paragraph as an editor built on it would: the yardstick the
// control's whole-text layout is compared with (bench/side_by_side.py prints the ratios).
#include <benchmark/benchmark.h>
#include <pango/pangoft2.h>

#include <string>
#include <vector>

#include "ControlFonts.h"
#include "MixedCorpus.h"

namespace {

std::vector<std::string> Utf8Paragraphs(const std::string& corpus) {
  std::vector<std::string> paragraphs;
  size_t begin = 0;
  while (begin <= corpus.size()) {
    size_t end = corpus.find('\r', begin);
    if (end == std::string::npos) end = corpus.size();
    paragraphs.push_back(bench::Utf8Of(corpus.substr(begin, end - begin)));
    begin = end + 1;
  }
  return paragraphs;
}

void BM_PangoLayout(benchmark::State& state) {
  const std::vector<std::string> paragraphs = Utf8Paragraphs(bench::GenerateMixedCorpus());
  PangoFontMap* fontMap = pango_ft2_font_map_new();
  pango_ft2_font_map_set_resolution(PANGO_FT2_FONT_MAP(fontMap), 96, 96);
  PangoContext* context = pango_font_map_create_context(fontMap);
  const std::string families = bench::ResolvedLatinFamily() + "," + bench::ResolvedArabicFamily();
  PangoFontDescription* font = pango_font_description_new();
  pango_font_description_set_family(font, families.c_str());
  pango_font_description_set_absolute_size(font, bench::kControlPixelHeight * PANGO_SCALE);
  int64_t lines = 0;
  for (auto _ : state) {
    PangoLayout* layout = pango_layout_new(context);  // nothing kept from the last round
    pango_layout_set_font_description(layout, font);
    pango_layout_set_width(layout, bench::kControlTextWidth * PANGO_SCALE);
    pango_layout_set_wrap(layout, PANGO_WRAP_WORD);
    for (const std::string& p : paragraphs) {
      pango_layout_set_text(layout, p.data(), static_cast<int>(p.size()));
      lines += pango_layout_get_line_count(layout);
    }
    g_object_unref(layout);
  }
  state.counters["lines"] = benchmark::Counter(static_cast<double>(lines) / static_cast<double>(state.iterations()));
  state.SetLabel(families);
  pango_font_description_free(font);
  g_object_unref(context);
  g_object_unref(fontMap);
}
BENCHMARK(BM_PangoLayout)->Unit(benchmark::kMillisecond)->Iterations(2);

}  // namespace
