// The editor: one control filling a real window, a file behind it, saving on Ctrl+S and the
// file's name and state in the title.
#pragma once

#include <functional>
#include <memory>
#include <optional>
#include <string>

#include "EditorOptions.h"
#include "FindBar.h"
#include "control/KestrixCtrl.h"
#include "framework/window/Display.h"
#include "platform/x11/X11Window.h"

namespace kestrix {

class Editor {
 public:
  // Reads the file (a missing one is a new, empty text; one read with loss says so in the
  // title). Throws X11Unavailable without an X server, std::runtime_error when the file exists
  // but cannot be read.
  explicit Editor(const EditorOptions& options);
  ~Editor();

  void Run() { window_->Run(); }
  // Writes the text to the file; false (and the reason in the title and LastError) when it
  // cannot, and then the text stays as it was, still marked modified. After a load that read
  // characters the code page lacks as '?', the first call only warns that saving keeps them so.
  bool Save();
  bool Modified() const { return modified_; }
  const std::string& LastError() const { return lastError_; }
  std::string Title() const;

  // Called at the end of every turn of input, after the editor's own work.
  void SetAfterInputHook(std::function<void()> hook) { afterInputHook_ = std::move(hook); }

  Display& GetDisplay() { return display_; }
  CKestrixCtrl& Control() { return *ctrl_; }
  X11Window& Window() { return *window_; }

 private:
  // After each turn of input: the modified mark, the focus and the blinking caret.
  void AfterInput();
  void ShowTitle() { window_->SetTitle(Title()); }
  // The editor's own keys, before the control sees them: Ctrl+S, Ctrl+F, F3, and in the find
  // bar Return, Escape and Alt with the options' letters.
  bool TakeShortcut(int vk, bool shift, bool control, bool alt);
  void Layout(int width, int height);
  void OpenFind();
  void CloseFind();
  // Selects the next (or previous) match of the find bar's text, going round the end.
  void FindNext(bool forward);
  // Whether the window may close: with unsaved changes, the person chooses to save them (and
  // the window stays open when that fails), to discard them, or to stay.
  bool MayClose();
  // Holds the PRIMARY selection while text is selected, taking it anew for a new selection.
  void OfferSelection();
  // A middle click's paste: the caret to the point, then the text as a paste.
  void PasteAt(int x, int y, const std::string& text);

  EditorOptions options_;
  Display display_;
  CWnd container_;
  std::unique_ptr<CKestrixCtrl> ctrl_;
  std::unique_ptr<X11Window> window_;
  std::unique_ptr<FindBar> find_;
  int width_ = 0, height_ = 0;
  std::string saved_;  // the control's text as last read or written
  bool modified_ = false;
  std::string lineEnd_ = "\n";                    // the file's own line ends, kept on save
  std::optional<std::string> readOnlyBecause_;  // why the file is never written back
  std::string lastError_;
  std::function<void()> afterInputHook_;
  long offeredStart_ = 0, offeredLength_ = 0;  // the selection last offered as PRIMARY
};

}  // namespace kestrix
