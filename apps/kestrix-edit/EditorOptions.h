// The command line of kestrix-edit.
#pragma once

#include <optional>
#include <string>
#include <vector>

namespace kestrix {

struct EditorOptions {
  std::string file;          // empty: an empty, unnamed text
  short readingOrder = 1;    // 1 right to left, 0 left to right
  bool visualCaret = true;   // the caret and clicks go where the characters are drawn
  bool standardEditing = true;  // words, word and paragraph clicks, as in other editors
  std::string arabicFont;    // empty: the control's default
  std::string latinFont;
  int pointSize = 0;         // 0: the control's default
  int width = 640, height = 400;
  std::string server;        // the X display; empty for $DISPLAY
  std::string screenshot;    // write the shown window to this PNG and close
};

// The options, or nothing with the complaint in error ("--help" gives nothing and no error).
std::optional<EditorOptions> ParseEditorOptions(const std::vector<std::string>& args, std::string& error);
extern const char* const kEditorUsage;

}  // namespace kestrix
