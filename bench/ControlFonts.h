// The fonts the control measures with at its default properties (12 points: 15 pixels), for
// benchmarks that lay out the same text in other ways side by side with it.
#pragma once

#include <string>

namespace kestrix {

// Declared only: this header is also read beside glib, whose TRUE and FALSE are macros.
struct LOGFONT;

namespace bench {

constexpr int kControlPixelHeight = 15;
constexpr int kControlTextWidth = 600;

LOGFONT ControlLatinFont();
LOGFONT ControlArabicFont();
// The family names of the faces our library chose for those fonts.
std::string ResolvedLatinFamily();
std::string ResolvedArabicFamily();
// A code page 1256 text as UTF-8, CRs as line feeds.
std::string Utf8Of(const std::string& cp1256);

}  // namespace bench

}  // namespace kestrix
