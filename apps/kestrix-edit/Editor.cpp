#include "Editor.h"

#include <sys/stat.h>

#include <algorithm>
#include <iostream>

#include "CloseDialogs.h"
#include "FindBar.h"
#include "TextFile.h"
#include "control/Observation.h"
#include "resources/KestrixResources.h"
#include "framework/file/DurableWrite.h"

namespace kestrix {

namespace {

constexpr UINT_PTR kBlinkTimer = 100;
constexpr uint32_t kBlinkMs = 600;

std::string BaseName(const std::string& path) {
  size_t slash = path.find_last_of('/');
  return slash == std::string::npos ? path : path.substr(slash + 1);
}

void SetFace(LPFONTDISP font, const std::string& face, int pointSize) {
  if (!font) return;
  if (!face.empty()) font->put_Name(WideString(face.begin(), face.end()));
  if (pointSize > 0) font->put_Size(static_cast<CY>(pointSize) * 10000);
}

}  // namespace

Editor::Editor(const EditorOptions& options)
    : options_(options), display_(options.width, options.height) {
  std::string text;
  if (!options.file.empty()) {
    struct stat st {};
    if (stat(options.file.c_str(), &st) == 0) {
      std::string bytes, error;
      if (!ReadWholeFile(options.file, bytes, error)) throw std::runtime_error(error);
      FileForEditing file = ReadForEditing(bytes);
      lineEnd_ = file.lineEnd;
      // A file that would not come back byte for byte is shown, never written: the control is
      // read-only and the title says why.
      readOnlyBecause_ = file.readOnlyBecause;
      if (readOnlyBecause_) lastError_ = "read only: " + *readOnlyBecause_;
      text = std::move(file.text);
    }
  }
  width_ = options.width;
  height_ = options.height;
  CRect all(0, 0, options.width, options.height);
  container_.CreateEx(0, WS_VISIBLE, all, nullptr);
  ctrl_ = std::make_unique<CKestrixCtrl>();
  ctrl_->ResetProperties();
  SetFace(ctrl_->GetFontAr(), options.arabicFont, options.pointSize);
  SetFace(ctrl_->GetFontEn(), options.latinFont, options.pointSize);
  ctrl_->CreateControlWindow(&container_, all);
  X11Window::Options windowOptions;
  windowOptions.server = options.server;
  windowOptions.title = windowOptions.program = "kestrix-edit";
  windowOptions.icon = KestrixIcon();
  window_ = std::make_unique<X11Window>(display_, windowOptions);
  // The editing session as a host starts it: Arabic layout and a blinking caret, then the
  // reading order asked for.
  ctrl_->ActivateEdit(WideString(), WideString());
  if (options.readingOrder != 1) ctrl_->SetReadingOrder(options.readingOrder);
  // A person edits here: the caret goes where the characters are drawn.
  ctrl_->SetVisualCaret(options.visualCaret ? TRUE : FALSE);
  // And the keys and clicks do what they do in the editors around it.
  ctrl_->m_StandardEditing = options.standardEditing ? TRUE : FALSE;
  ctrl_->SetText(CString(text));
  // The file opened is where undo stops, not an edit to take back.
  ctrl_->ForgetUndoHistory();
  if (readOnlyBecause_) ctrl_->SetReadOnly(TRUE);
  saved_ = ctrl_->GetText();
  display_.SetFocus(ctrl_->GetSafeHwnd());
  window_->SetFocusWindow(ctrl_->GetSafeHwnd());
  window_->SetKeyHook([this](int vk, bool shift, bool control, bool alt) { return TakeShortcut(vk, shift, control, alt); });
  window_->SetAfterInput([this] { AfterInput(); });
  // The X selection convention: what is selected is the PRIMARY selection, and a middle click
  // pastes it where it falls.
  window_->SetPrimaryText([this] { return std::string(ctrl_->SelectedText()); });
  window_->SetMiddleClickHook([this](int x, int y, const std::string& pasted) { PasteAt(x, y, pasted); });
  // A character or a paste the code page has no place for: the bell has rung; the title says why.
  window_->SetRefusalHook([this](const std::string& why) {
    lastError_ = why;
    ShowTitle();
  });
  // The control fills the window at any size (the find bar, when shown, takes its foot); a new
  // width wraps the text anew.
  window_->SetResizeHook([this](int width, int height) { Layout(width, height); });
  find_ = std::make_unique<FindBar>(container_, [this](bool forward) { FindNext(forward); }, [this] { CloseFind(); });
  // A match found stays shown while the person types in the find bar.
  ctrl_->SetHideSelection(FALSE);
  window_->SetCloseHook([this] { return MayClose(); });
  AfterInput();
  ShowTitle();
}

Editor::~Editor() {
  find_.reset();
  window_.reset();
  ctrl_.reset();
  container_.DestroyWindow();
}

std::string Editor::Title() const {
  std::string name = options_.file.empty() ? "(untitled)" : BaseName(options_.file);
  std::string title = (modified_ ? "*" : "") + name + " - kestrix-edit";
  if (!lastError_.empty()) title += " [" + lastError_ + "]";
  return title;
}

bool Editor::Save() {
  if (options_.file.empty()) {
    lastError_ = "no file to save to: start kestrix-edit with a FILE";
  } else if (readOnlyBecause_) {
    lastError_ = "read only, not saved: " + *readOnlyBecause_;
  } else {
    std::string text = ctrl_->GetText();
    std::string error;
    if (WriteFileDurably(options_.file, FileBytesFromControl(text, lineEnd_), &error) == 0) {
      saved_ = std::move(text);
      modified_ = false;
      lastError_.clear();
      ShowTitle();
      return true;
    }
    lastError_ = error;
  }
  std::cerr << "kestrix-edit: " << lastError_ << "\n";
  ShowTitle();
  return false;
}

bool Editor::TakeShortcut(int vk, bool shift, bool control, bool alt) {
  constexpr int kF3 = 0x72;
  const bool inFind = find_->Shown() && find_->Field() && display_.GetFocus() == find_->Field()->GetSafeHwnd();
  if (control && !shift && !alt && vk == 'S') {
    Save();
    return true;
  }
  if (control && !shift && !alt && vk == 'F') {
    OpenFind();
    return true;
  }
  if (vk == kF3 && !control && !alt) {
    FindNext(!shift);
    return true;
  }
  if (!inFind) return false;
  if (vk == VK_RETURN && !control && !alt) {
    FindNext(!shift);
    return true;
  }
  if (vk == VK_ESCAPE) {
    CloseFind();
    return true;
  }
  if (alt && !control && (vk == 'C' || vk == 'H')) {
    vk == 'C' ? find_->ToggleMatchCase() : find_->ToggleIgnoreMarks();
    return true;
  }
  return false;
}

void Editor::Layout(int width, int height) {
  width_ = width;
  height_ = height;
  const int bar = find_ && find_->Shown() ? FindBar::kHeight : 0;
  container_.MoveWindow(CRect(0, 0, width, height));
  ctrl_->SetRectInContainer(CRect(0, 0, width, std::max(1, height - bar)));
  if (bar) find_->Show(CRect(0, height - bar, width, height), ctrl_->GetFontAr(), ctrl_->GetFontEn());
}

void Editor::OpenFind() {
  if (!find_->Shown()) {
    find_->Show(CRect(0, height_ - FindBar::kHeight, width_, height_), ctrl_->GetFontAr(), ctrl_->GetFontEn());
    Layout(width_, height_);
  }
  if (CKestrixCtrl* field = find_->Field()) {
    display_.SetFocus(field->GetSafeHwnd());
    window_->SetFocusWindow(field->GetSafeHwnd());
  }
}

void Editor::CloseFind() {
  if (!find_->Shown()) return;
  find_->Hide();
  Layout(width_, height_);
  display_.SetFocus(ctrl_->GetSafeHwnd());
  window_->SetFocusWindow(ctrl_->GetSafeHwnd());
}

void Editor::FindNext(bool forward) {
  const std::string pattern = find_->Pattern();
  if (pattern.empty()) return;
  const std::string text = ctrl_->GetText();
  const auto start = static_cast<size_t>(std::max(0L, ctrl_->GetSelStart()));
  const size_t from = forward ? start + static_cast<size_t>(std::max(0L, ctrl_->GetSelLength())) : start;
  std::optional<TextMatch> match = FindMatch(text, pattern, from, forward, find_->Options());
  if (!match) {
    lastError_ = "not found";
    ShowTitle();
    return;
  }
  if (lastError_ == "not found") lastError_.clear();
  ctrl_->SetSelLength(0);
  ctrl_->SetSelStart(static_cast<long>(match->offset));
  ctrl_->SetSelLength(static_cast<long>(match->length));
  // The selection ends where the caret stands: the view goes to it.
  ctrl_->ScrollCaretIntoView();
  ShowTitle();
}

bool Editor::MayClose() {
  if (!modified_) return true;
  const std::string name = options_.file.empty() ? "(untitled)" : BaseName(options_.file);
  switch (AskAboutUnsavedChanges(&container_, name)) {
    case CloseChoice::Discard:
      return true;
    case CloseChoice::Cancel:
      return false;
    case CloseChoice::Save:
      break;
  }
  if (Save()) return true;
  TellSaveFailed(&container_, lastError_);
  return false;
}

void Editor::PasteAt(int x, int y, const std::string& text) {
  if (ctrl_->m_ReadOnly) return;
  display_.SetFocus(ctrl_->GetSafeHwnd());
  // A click there puts the caret at the point, ending any selection; the text goes in as a
  // paste does, within MaxLength.
  display_.MouseDown(nullptr, x, y);
  display_.MouseUp(nullptr, x, y);
  ctrl_->InsertText(CString(text), 1);
  AfterInput();
}

void Editor::OfferSelection() {
  ObservedSelection now = ControlObservation(*ctrl_).Selection();
  // A password's characters never leave the control.
  const bool selected = now.length > 0 && ctrl_->m_PasswordChar == 0;
  if (selected && (now.start != offeredStart_ || now.length != offeredLength_)) window_->HoldPrimary(true);
  if (!selected && offeredLength_ > 0) window_->HoldPrimary(false);
  offeredStart_ = now.start;
  offeredLength_ = selected ? now.length : 0;
}

void Editor::AfterInput() {
  OfferSelection();
  const ObservedCaret caret = ControlObservation(*ctrl_).Caret();
  window_->SetInputSpot(caret.x, caret.y);
  // The window that takes the keys: the find bar's field while it has them, else the control.
  CKestrixCtrl* field = find_ && find_->Shown() ? find_->Field() : nullptr;
  HWND hwnd = field && display_.GetFocus() == field->GetSafeHwnd() ? field->GetSafeHwnd() : ctrl_->GetSafeHwnd();
  // Changing the reading order makes the control a new window, which stops the blink timer.
  window_->SetFocusWindow(hwnd);
  if (hwnd && !display_.HasTimer(hwnd, kBlinkTimer)) display_.SetTimer(hwnd, kBlinkTimer, kBlinkMs);
  if (!modified_ && ctrl_->GetText() != saved_) {
    modified_ = true;
    ShowTitle();
  }
  if (afterInputHook_) afterInputHook_();
}

}  // namespace kestrix
