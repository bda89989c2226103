#include "HarfBuzzPass.h"

#include <hb.h>

#include <vector>

#include "ControlFonts.h"
#include "arabtext/ArabTextLibrary.h"
#include "arabtext/Cp1256.h"
#include "arabtext/FontStore.h"

namespace kestrix {

namespace bench {
namespace {

struct ShapingRun {
  unsigned offset = 0;  // in bytes of the paragraph's UTF-8
  unsigned length = 0;
  bool arabic = false;
};

struct Paragraph {
  std::string utf8;
  std::vector<ShapingRun> runs;
};

Paragraph Cut(std::string_view cp1256) {
  Paragraph p;
  for (char byte : cp1256) {
    const char32_t c = arabtext::UnicodeFromCp1256(static_cast<uint8_t>(byte));
    const bool arabic = c >= 0x0600 && c <= 0x06FF;
    if (p.runs.empty() || (c != ' ' && arabic != p.runs.back().arabic))
      p.runs.push_back(ShapingRun{static_cast<unsigned>(p.utf8.size()), 0, arabic});
    arabtext::AppendUtf8(c, p.utf8);
    p.runs.back().length = static_cast<unsigned>(p.utf8.size()) - p.runs.back().offset;
  }
  return p;
}

}  // namespace

struct HarfBuzzPass::Impl {
  std::vector<Paragraph> paragraphs;
  arabtext::FontStore store;
  std::shared_ptr<arabtext::FontPair> pair;
  hb_font_t* latin = nullptr;
  hb_font_t* arabic = nullptr;
  hb_language_t arabicLanguage = nullptr;
  hb_buffer_t* buffer = nullptr;
};

HarfBuzzPass::HarfBuzzPass(const std::string& cp1256Text) : impl_(std::make_unique<Impl>()) {
  size_t begin = 0;
  while (begin <= cp1256Text.size()) {
    size_t end = cp1256Text.find('\r', begin);
    if (end == std::string::npos) end = cp1256Text.size();
    impl_->paragraphs.push_back(Cut(std::string_view(cp1256Text).substr(begin, end - begin)));
    begin = end + 1;
  }
  const LOGFONT latin = ControlLatinFont();
  const LOGFONT arabic = ControlArabicFont();
  impl_->pair = impl_->store.Pair(arabtext::FontRequestFromLogFont(&latin), arabtext::FontRequestFromLogFont(&arabic));
  impl_->latin = impl_->pair->Font(arabtext::FontSlot::kLatin).HbFont();
  impl_->arabic = impl_->pair->Font(arabtext::FontSlot::kArabic).HbFont();
  impl_->arabicLanguage = hb_language_from_string("ar", -1);
  impl_->buffer = hb_buffer_create();
}

HarfBuzzPass::~HarfBuzzPass() { hb_buffer_destroy(impl_->buffer); }

int64_t HarfBuzzPass::Run() {
  Impl& m = *impl_;
  int64_t glyphs = 0;
  for (const Paragraph& p : m.paragraphs)
    for (const ShapingRun& r : p.runs) {
      hb_buffer_clear_contents(m.buffer);
      hb_buffer_add_utf8(m.buffer, p.utf8.data(), static_cast<int>(p.utf8.size()), r.offset,
                         static_cast<int>(r.length));
      hb_buffer_set_direction(m.buffer, r.arabic ? HB_DIRECTION_RTL : HB_DIRECTION_LTR);
      hb_buffer_set_script(m.buffer, r.arabic ? HB_SCRIPT_ARABIC : HB_SCRIPT_LATIN);
      hb_buffer_set_language(m.buffer, r.arabic ? m.arabicLanguage : hb_language_get_default());
      hb_shape(r.arabic ? m.arabic : m.latin, m.buffer, nullptr, 0);
      glyphs += hb_buffer_get_length(m.buffer);
    }
  return glyphs;
}

std::string FirstDisplayLine(const std::string& corpus) {
  arabtext::ArabTextLibrary library;
  const LOGFONT latin = ControlLatinFont();
  const LOGFONT arabic = ControlArabicFont();
  library.SelectFonts(nullptr, &latin, &arabic);
  size_t best = 0;
  for (size_t space = corpus.find(' '); space != std::string::npos && corpus.find('\r') > space;
       space = corpus.find(' ', space + 1)) {
    if (library.TextExtent(nullptr, corpus.data(), static_cast<int32_t>(space)).cx + 10 > kControlTextWidth) break;
    best = space + 1;
  }
  return corpus.substr(0, best);
}

}  // namespace bench

}  // namespace kestrix
