#include "PangoLayoutPass.h"

#include <pango/pangoft2.h>

#include <vector>

#include "ControlFonts.h"

namespace kestrix {

namespace bench {

struct PangoLayoutPass::Impl {
  std::vector<std::string> paragraphs;
  std::string families;
  PangoFontMap* fontMap = nullptr;
  PangoContext* context = nullptr;
  PangoFontDescription* font = nullptr;
};

PangoLayoutPass::PangoLayoutPass(const std::string& cp1256Text) : impl_(std::make_unique<Impl>()) {
  size_t begin = 0;
  while (begin <= cp1256Text.size()) {
    size_t end = cp1256Text.find('\r', begin);
    if (end == std::string::npos) end = cp1256Text.size();
    impl_->paragraphs.push_back(Utf8Of(cp1256Text.substr(begin, end - begin)));
    begin = end + 1;
  }
  impl_->fontMap = pango_ft2_font_map_new();
  pango_ft2_font_map_set_resolution(PANGO_FT2_FONT_MAP(impl_->fontMap), 96, 96);
  impl_->context = pango_font_map_create_context(impl_->fontMap);
  impl_->families = ResolvedLatinFamily() + "," + ResolvedArabicFamily();
  impl_->font = pango_font_description_new();
  pango_font_description_set_family(impl_->font, impl_->families.c_str());
  pango_font_description_set_absolute_size(impl_->font, kControlPixelHeight * PANGO_SCALE);
}

PangoLayoutPass::~PangoLayoutPass() {
  pango_font_description_free(impl_->font);
  g_object_unref(impl_->context);
  g_object_unref(impl_->fontMap);
}

int64_t PangoLayoutPass::Run() {
  PangoLayout* layout = pango_layout_new(impl_->context);  // nothing kept from the last run
  pango_layout_set_font_description(layout, impl_->font);
  pango_layout_set_width(layout, kControlTextWidth * PANGO_SCALE);
  pango_layout_set_wrap(layout, PANGO_WRAP_WORD);
  int64_t lines = 0;
  for (const std::string& p : impl_->paragraphs) {
    pango_layout_set_text(layout, p.data(), static_cast<int>(p.size()));
    lines += pango_layout_get_line_count(layout);
  }
  g_object_unref(layout);
  return lines;
}

const std::string& PangoLayoutPass::Families() const { return impl_->families; }

}  // namespace bench

}  // namespace kestrix
