// Command-line options of the kestrix command.
#pragma once

#include <optional>
#include <string>

namespace kestrix {

struct Options {
  std::string textFile;        // UTF-8 text to show; empty: the built-in sample
  std::string drawLine;        // draw this one line with the text library alone
  std::string out = "kestrix.png";
  int width = 640;
  int height = 400;
  int readingOrder = 1;
  std::optional<int> alignment;
  std::string fontAr = "Fonta";
  std::string fontEn = "Times New Roman";
  double points = 12;
  bool wordWrap = true;
  int passwordChar = 0;
  bool caret = false;
  int scrollToLine = 0;
  bool printLines = false;
  bool help = false;
};

// Parses argv; on a bad argument returns nothing and sets error.
std::optional<Options> ParseOptions(int argc, char** argv, std::string& error);
const char* UsageText();

}  // namespace kestrix
