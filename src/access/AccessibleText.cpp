#include "access/AccessibleText.h"

#include <algorithm>

#include "control/KestrixCtrl.h"
#include "framework/text/Cp1256.h"
#include "framework/text/TextConversion.h"
#include "layout/CharClass.h"

namespace kestrix {

namespace {

constexpr char kCR = '\r';

// Letters, digits and marks of either script make words; the tatweel is an Arabic letter.
bool IsWordByte(char byte) {
  const auto b = static_cast<unsigned char>(byte);
  if (b >= '0' && b <= '9') return true;
  const CharClass c = ClassOfByte(b);
  return c == CharClass::ArabicLetter || c == CharClass::ArabicMark || c == CharClass::Latin;
}

bool StartsWord(const std::string& text, size_t i) {
  return i < text.size() && IsWordByte(text[i]) && (i == 0 || !IsWordByte(text[i - 1]));
}

// Line ends come in as LF, CR LF or CR; the control keeps one CR.
std::u16string WithCRs(const std::u16string& text) {
  std::u16string out;
  for (size_t i = 0; i < text.size(); ++i) {
    if (text[i] == u'\r' && i + 1 < text.size() && text[i + 1] == u'\n') continue;
    out += text[i] == u'\n' ? u'\r' : text[i];
  }
  return out;
}

}  // namespace

std::string Utf8FromModelText(const std::u16string& text) {
  std::string out;
  for (char16_t c : text) AppendUtf8(c, out);
  return out;
}

AccessibleText::AccessibleText(CKestrixCtrl& control) : control_(control), observed_(control) {}

AccessibleStates AccessibleText::States() const {
  AccessibleStates s;
  s.readOnly = control_.m_ReadOnly != 0;
  s.protectedText = observed_.PasswordChar() != 0;
  s.focused = control_.GetSafeHwnd() && CWnd::GetFocus() == &control_;
  s.multiLine = control_.m_MultiLines != 0;
  return s;
}

// A paragraph break reads as a line feed, one character for one; a password reads as its
// masking character, one for each of its characters.
std::u16string AccessibleText::Shown(const std::string& bytes) const {
  std::u16string out(bytes.size(), u'\0');
  const int mask = observed_.PasswordChar();
  for (size_t i = 0; i < bytes.size(); ++i) {
    const auto b = static_cast<uint8_t>(mask ? mask : bytes[i]);
    out[i] = b == kCR ? u'\n' : static_cast<char16_t>(UnicodeFromCp1256(b));
  }
  return out;
}

std::u16string AccessibleText::Text() { return Shown(control_.GetText()); }

std::u16string AccessibleText::TextRange(long start, long end) {
  const std::string text = control_.GetText();
  const long size = static_cast<long>(text.size());
  if (end < 0 || end > size) end = size;
  start = std::clamp(start, 0L, end);
  return Shown(text.substr(static_cast<size_t>(start), static_cast<size_t>(end - start)));
}

long AccessibleText::CharacterCount() { return static_cast<long>(control_.GetText().size()); }

long AccessibleText::CaretOffset() { return observed_.CaretOffset(); }

bool AccessibleText::SetCaretOffset(long offset) {
  if (offset < 0 || offset > CharacterCount()) return false;
  CKestrixCtrl& c = control_;
  c.StoreLine();
  c.CollapseSelection();
  c.m_SelStart = static_cast<int>(offset);
  c.m_CharIndex = c.IndexFromOffset(static_cast<int>(offset));
  c.UpdateCaret();
  c.ScrollCaretIntoView();
  Update();
  return true;
}

std::vector<TextSpan> AccessibleText::Selections() {
  const ObservedSelection sel = observed_.Selection();
  if (sel.length <= 0) return {};
  return {TextSpan{sel.start, sel.start + sel.length, TextRange(sel.start, sel.start + sel.length)}};
}

bool AccessibleText::Select(long start, long end) {
  const long size = CharacterCount();
  if (start < 0 || end > size || start >= end) return false;
  control_.SetSelStart(start);
  control_.SetSelLength(end - start);
  return true;
}

bool AccessibleText::SetSelection(long start, long end) {
  if (start > end) std::swap(start, end);
  const bool done = start == end ? SetCaretOffset(start) : Select(start, end);
  Update();
  return done;
}

std::optional<TextSpan> AccessibleText::TextAt(long offset, TextUnit unit) {
  const std::string text = control_.GetText();
  const long size = static_cast<long>(text.size());
  if (offset < 0 || offset > size) return std::nullopt;
  long start = offset, end = offset;
  if (unit == TextUnit::Character) {
    end = std::min(offset + 1, size);
  } else if (observed_.PasswordChar()) {
    start = 0;
    end = size;
  } else if (unit == TextUnit::Word) {
    while (start > 0 && !StartsWord(text, static_cast<size_t>(start))) --start;
    end = std::min(offset + 1, size);
    while (end < size && !StartsWord(text, static_cast<size_t>(end))) ++end;
    if (offset == size) end = size;
  } else if (unit == TextUnit::Paragraph) {
    while (start > 0 && text[static_cast<size_t>(start - 1)] != kCR) --start;
    while (end < size && text[static_cast<size_t>(end)] != kCR) ++end;
    if (end < size) ++end;
  } else {
    const int line = observed_.LineOfOffset(offset);
    if (line == 0) return TextSpan{0, 0, {}};
    start = observed_.LineStart(line);
    end = line < observed_.LineCount() ? observed_.LineStart(line + 1) : size;
  }
  return TextSpan{start, end, Shown(text.substr(static_cast<size_t>(start), static_cast<size_t>(end - start)))};
}

std::optional<ScreenBox> AccessibleText::CharacterBox(long offset) {
  if (offset < 0 || offset >= CharacterCount()) return std::nullopt;
  const int line = observed_.LineOfOffset(offset);
  std::optional<ObservedBox> box =
      observed_.CharacterBox(line, static_cast<int>(offset - observed_.LineStart(line)));
  if (!box) return std::nullopt;
  return ScreenBox{box->left, box->top, box->right - box->left, box->bottom - box->top};
}

std::optional<long> AccessibleText::OffsetAtPoint(int x, int y) { return observed_.OffsetAt(POINT{x, y}); }

ScreenBox AccessibleText::CaretBox() const {
  const ObservedCaret caret = observed_.Caret();
  return ScreenBox{caret.x, caret.y - caret.height + 1, 1, caret.height};
}

bool AccessibleText::SetContents(const std::u16string& text) {
  if (control_.m_ReadOnly) return false;
  CodePageText bytes = Cp1256FromUtf16Text(WithCRs(text));
  if (!bytes.Complete()) return false;
  control_.SelectAll();
  if (bytes.bytes.empty()) {
    if (control_.GetSelLength() > 0) control_.DeleteAtCaret(FALSE);
  } else {
    control_.InsertText(CString(bytes.bytes), 1);
  }
  Update();
  return true;
}

bool AccessibleText::InsertText(long offset, const std::u16string& text) {
  if (control_.m_ReadOnly) return false;
  CodePageText bytes = Cp1256FromUtf16Text(WithCRs(text));
  if (!bytes.Complete() || !SetCaretOffset(offset)) return false;
  if (!bytes.bytes.empty()) control_.InsertText(CString(bytes.bytes), 1);
  Update();
  return true;
}

bool AccessibleText::DeleteText(long start, long end) {
  if (control_.m_ReadOnly || end < 0) return false;
  end = std::min(end, CharacterCount());
  if (!Select(start, end)) return false;
  control_.DeleteAtCaret(FALSE);
  Update();
  return true;
}

bool AccessibleText::CopyText(long start, long end) {
  // The copy selects the range as the keys would need it, then puts the caret and the
  // selection back: copying changes nothing a reader could see.
  const ObservedSelection before = observed_.Selection();
  const long caret = CaretOffset();
  if (!Select(start, std::min(end, CharacterCount()))) return false;
  control_.CtrlCharCommand(0x03);
  if (before.length > 0)
    Select(before.start, before.start + before.length);
  else
    SetCaretOffset(caret);
  Update();
  return true;
}

bool AccessibleText::CutText(long start, long end) {
  if (control_.m_ReadOnly || !Select(start, std::min(end, CharacterCount()))) return false;
  control_.CtrlCharCommand(0x18);
  Update();
  return true;
}

bool AccessibleText::PasteText(long offset) {
  if (control_.m_ReadOnly || !SetCaretOffset(offset)) return false;
  control_.CtrlCharCommand(0x16);
  Update();
  return true;
}

AccessibleText::Told AccessibleText::Now() {
  const ObservedSelection sel = observed_.Selection();
  return Told{control_.GetText(), CaretOffset(), sel.start, sel.length, States().focused};
}

void AccessibleText::SetListener(AccessibleListener* listener) {
  listener_ = listener;
  if (listener_) told_ = Now();
}

void AccessibleText::Update() {
  if (!listener_ || !control_.GetSafeHwnd()) return;
  Told now = Now();
  if (now.focused != told_.focused) listener_->FocusChanged(now.focused);
  // The changed middle between the common start and the common end: removed, then put in.
  if (now.text != told_.text) {
    const std::string& a = told_.text;
    const std::string& b = now.text;
    size_t head = 0;
    while (head < a.size() && head < b.size() && a[head] == b[head]) ++head;
    size_t tail = 0;
    while (tail < a.size() - head && tail < b.size() - head &&
           a[a.size() - 1 - tail] == b[b.size() - 1 - tail])
      ++tail;
    const long at = static_cast<long>(head);
    if (a.size() - tail > head) listener_->TextDeleted(at, Shown(a.substr(head, a.size() - tail - head)));
    if (b.size() - tail > head) listener_->TextInserted(at, Shown(b.substr(head, b.size() - tail - head)));
  }
  if (now.selStart != told_.selStart || now.selLength != told_.selLength) {
    if (now.selLength > 0 || told_.selLength > 0) listener_->SelectionChanged();
  }
  if (now.caret != told_.caret) listener_->CaretMoved(now.caret);
  told_ = std::move(now);
}

}  // namespace kestrix
