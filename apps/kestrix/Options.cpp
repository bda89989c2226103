#include "Options.h"

#include <cstdlib>
#include <string_view>

namespace kestrix {

namespace {

bool ParseInt(const char* s, int& out) {
  char* end = nullptr;
  long v = std::strtol(s, &end, 10);
  if (!s[0] || *end || v < -1000000 || v > 1000000) return false;
  out = static_cast<int>(v);
  return true;
}

}  // namespace

const char* UsageText() {
  return "usage: kestrix [options]\n"
         "  Renders a text into the control on the headless display and writes a PNG.\n"
         "  --text FILE          UTF-8 text to show (default: a built-in bilingual sample)\n"
         "  --out FILE           PNG to write (default kestrix.png)\n"
         "  --width N --height N size of the control in pixels (default 640 x 400)\n"
         "  --reading-order N    1 right-to-left (default), 0 left-to-right\n"
         "  --alignment N        0 left, 1 centre, 2 right (default: from the reading order)\n"
         "  --font-ar NAME       Arabic font (default Fonta)\n"
         "  --font-en NAME       Latin font (default Times New Roman)\n"
         "  --size POINTS        font size of both fonts (default 12)\n"
         "  --no-wrap            turn word wrap off\n"
         "  --password CHAR      show every character as CHAR\n"
         "  --caret              activate editing and give the control the focus\n"
         "  --line N             scroll so that line N is the first visible line\n"
         "  --print-lines        print every display line (UTF-8)\n"
         "  --draw-line TEXT     draw one UTF-8 line with the text library alone\n";
}

std::optional<Options> ParseOptions(int argc, char** argv, std::string& error) {
  Options o;
  for (int i = 1; i < argc; ++i) {
    std::string_view a = argv[i];
    auto value = [&]() -> const char* {
      if (i + 1 >= argc) return nullptr;
      return argv[++i];
    };
    auto intValue = [&](int& out) {
      const char* v = value();
      if (!v || !ParseInt(v, out)) {
        error = std::string("bad or missing number after ") + std::string(a);
        return false;
      }
      return true;
    };
    auto stringValue = [&](std::string& out) {
      const char* v = value();
      if (!v) {
        error = std::string("missing value after ") + std::string(a);
        return false;
      }
      out = v;
      return true;
    };
    bool ok = true;
    if (a == "--help" || a == "-h") {
      o.help = true;
    } else if (a == "--text") {
      ok = stringValue(o.textFile);
    } else if (a == "--draw-line") {
      ok = stringValue(o.drawLine);
    } else if (a == "--out") {
      ok = stringValue(o.out);
    } else if (a == "--width") {
      ok = intValue(o.width);
    } else if (a == "--height") {
      ok = intValue(o.height);
    } else if (a == "--reading-order") {
      ok = intValue(o.readingOrder);
    } else if (a == "--alignment") {
      int v = 0;
      ok = intValue(v);
      o.alignment = v;
    } else if (a == "--font-ar") {
      ok = stringValue(o.fontAr);
    } else if (a == "--font-en") {
      ok = stringValue(o.fontEn);
    } else if (a == "--size") {
      const char* v = value();
      char* end = nullptr;
      o.points = v ? std::strtod(v, &end) : 0;
      ok = v && !*end && o.points > 0 && o.points < 500;
      if (!ok) error = "bad or missing size after --size";
    } else if (a == "--no-wrap") {
      o.wordWrap = false;
    } else if (a == "--password") {
      std::string v;
      ok = stringValue(v);
      if (ok && v.size() != 1) {
        ok = false;
        error = "--password takes one ASCII character";
      }
      if (ok) o.passwordChar = static_cast<unsigned char>(v[0]);
    } else if (a == "--caret") {
      o.caret = true;
    } else if (a == "--line") {
      ok = intValue(o.scrollToLine);
    } else if (a == "--print-lines") {
      o.printLines = true;
    } else {
      error = std::string("unknown option ") + std::string(a);
      ok = false;
    }
    if (!ok) return std::nullopt;
  }
  if (o.width < 1 || o.height < 1 || o.width > 8000 || o.height > 8000) {
    error = "width and height must be between 1 and 8000";
    return std::nullopt;
  }
  return o;
}

}  // namespace kestrix
