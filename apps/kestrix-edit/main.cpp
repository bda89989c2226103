// kestrix-edit: edits a UTF-8 text file mixing Arabic and English in a window.
#include <clocale>
#include <iostream>

#include "Editor.h"
#include "ScreenReaders.h"

using namespace kestrix;

int main(int argc, char** argv) {
  // The input method and its compose tables follow the person's locale.
  std::setlocale(LC_CTYPE, "");
  std::vector<std::string> args(argv + 1, argv + argc);
  std::string error;
  std::optional<EditorOptions> options = ParseEditorOptions(args, error);
  if (!options) {
    (error.empty() ? std::cout : std::cerr) << (error.empty() ? "" : "kestrix-edit: " + error + "\n")
                                            << kEditorUsage;
    return error.empty() ? 0 : 2;
  }
  try {
    Editor editor(*options);
    if (!options->screenshot.empty()) {
      // Long enough for the window to be mapped and painted, and for a caret blink.
      editor.Window().RunUntil([] { return false; }, 300);
      if (!WritePng(editor.Window().Screenshot(), options->screenshot)) {
        std::cerr << "kestrix-edit: cannot write " << options->screenshot << "\n";
        return 1;
      }
      return 0;
    }
    ScreenReaders readers(editor);
    editor.Run();
    return editor.Modified() ? 1 : 0;
  } catch (const std::exception& e) {
    std::cerr << "kestrix-edit: " << e.what() << "\n";
    return 1;
  }
}
