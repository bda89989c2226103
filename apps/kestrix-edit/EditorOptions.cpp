#include "EditorOptions.h"

#include <charconv>

namespace kestrix {

const char* const kEditorUsage =
    "usage: kestrix-edit [options] [FILE]\n"
    "  Edits FILE (UTF-8; created on the first save when missing) in a window.\n"
    "  --ltr | --rtl          reading order (default --rtl); Ctrl+left/right Shift switch it\n"
    "  --logical-caret        the caret stands as far from the line's aligned edge as the text\n"
    "                         before it is wide, as hosts of the control have it by default,\n"
    "                         instead of where the characters are drawn\n"
    "  --classic-editing      the keys and clicks as hosts of the control have them by\n"
    "                         default: Control does not make the arrows, Backspace and\n"
    "                         Delete take words, a double click selects nothing, a copy\n"
    "                         of nothing empties the clipboard\n"
    "  --font-ar NAME         face for Arabic text\n"
    "  --font-en NAME         face for Latin text\n"
    "  --size POINTS          size of both faces\n"
    "  --geometry WxH         window size in pixels (default 640x400)\n"
    "  --display NAME         X display (default $DISPLAY)\n"
    "  --screenshot PNG       show the window, write what the X server shows as PNG, close\n"
    "  Ctrl+S saves; the title shows '*' while there are unsaved changes, and closing then\n"
    "  asks whether to save them. Ctrl+F finds (Return next, Shift+Return previous,\n"
    "  Alt+C matches case, Alt+H ignores harakat and tatweel, Escape closes).\n";

namespace {

bool ReadInt(const std::string& text, int low, int high, int& out) {
  int v = 0;
  auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), v);
  if (ec != std::errc() || end != text.data() + text.size() || v < low || v > high) return false;
  out = v;
  return true;
}

}  // namespace

std::optional<EditorOptions> ParseEditorOptions(const std::vector<std::string>& args, std::string& error) {
  EditorOptions o;
  for (size_t i = 0; i < args.size(); ++i) {
    const std::string& a = args[i];
    auto value = [&]() -> const std::string* {
      if (i + 1 >= args.size()) {
        error = a + " needs a value";
        return nullptr;
      }
      return &args[++i];
    };
    if (a == "--help" || a == "-h") {
      error.clear();
      return std::nullopt;
    } else if (a == "--ltr" || a == "--rtl") {
      o.readingOrder = a == "--rtl" ? 1 : 0;
    } else if (a == "--logical-caret") {
      o.visualCaret = false;
    } else if (a == "--classic-editing") {
      o.standardEditing = false;
    } else if (a == "--font-ar" || a == "--font-en") {
      const std::string* v = value();
      if (!v) return std::nullopt;
      (a == "--font-ar" ? o.arabicFont : o.latinFont) = *v;
    } else if (a == "--size") {
      const std::string* v = value();
      if (!v) return std::nullopt;
      if (!ReadInt(*v, 4, 200, o.pointSize)) {
        error = "--size takes points from 4 to 200";
        return std::nullopt;
      }
    } else if (a == "--geometry") {
      const std::string* v = value();
      if (!v) return std::nullopt;
      size_t x = v->find('x');
      if (x == std::string::npos || !ReadInt(v->substr(0, x), 100, 4096, o.width) ||
          !ReadInt(v->substr(x + 1), 60, 4096, o.height)) {
        error = "--geometry takes WIDTHxHEIGHT, each from 100 (60 high) to 4096";
        return std::nullopt;
      }
    } else if (a == "--display" || a == "--screenshot") {
      const std::string* v = value();
      if (!v) return std::nullopt;
      (a == "--display" ? o.server : o.screenshot) = *v;
    } else if (a.size() > 1 && a[0] == '-') {
      error = "unknown option " + a;
      return std::nullopt;
    } else if (!o.file.empty()) {
      error = "one file at a time";
      return std::nullopt;
    } else {
      o.file = a;
    }
  }
  return o;
}

}  // namespace kestrix
