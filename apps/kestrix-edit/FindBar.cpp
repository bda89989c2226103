#include "FindBar.h"

namespace kestrix {

namespace {

constexpr UINT kNextButton = 301;
constexpr UINT kPreviousButton = 302;
constexpr UINT kCaseButton = 303;
constexpr UINT kMarksButton = 304;
// Where the text to find stands, in dialog units.
constexpr DialogUnitRect kFieldPlace{24, 3, 100, 12};

std::string Toggle(bool on, const std::string& label) { return (on ? "[x] " : "[ ] ") + label; }

DialogTemplate StripTemplate() {
  DialogTemplate strip;
  strip.style = DS_SETFONT | WS_CHILD;
  strip.rect = {0, 0, 310, 18};
  strip.items = {
      {DialogItemKind::StaticText, IDC_STATIC, {3, 5, 20, 9}, "Find:", 0},
      {DialogItemKind::DefaultPushButton, kNextButton, {127, 3, 28, 13}, "&Next", 0},
      {DialogItemKind::PushButton, kPreviousButton, {157, 3, 28, 13}, "&Prev", 0},
      {DialogItemKind::PushButton, kCaseButton, {187, 3, 38, 13}, Toggle(false, "&Case"), 0},
      {DialogItemKind::PushButton, kMarksButton, {227, 3, 50, 13}, Toggle(false, "&Harakat"), 0},
      {DialogItemKind::PushButton, static_cast<UINT>(IDCANCEL), {279, 3, 28, 13}, "Close", 0},
  };
  return strip;
}

}  // namespace

// The strip's buttons answer here; the bar does what they say.
class FindBar::Strip : public CDialog {
 public:
  explicit Strip(FindBar& bar) : CDialog(StripTemplate()), bar_(bar) {}
  void OnCommand(UINT id) override {
    switch (id) {
      case kNextButton: bar_.find_(true); break;
      case kPreviousButton: bar_.find_(false); break;
      case kCaseButton: bar_.ToggleMatchCase(); break;
      case kMarksButton: bar_.ToggleIgnoreMarks(); break;
      case IDCANCEL: bar_.close_(); break;
      default: break;
    }
  }

 private:
  FindBar& bar_;
};

FindBar::FindBar(CWnd& container, std::function<void(bool)> find, std::function<void()> close)
    : container_(container), find_(std::move(find)), close_(std::move(close)) {}

FindBar::~FindBar() {
  if (field_) field_->DestroyWindow();
  if (strip_) strip_->DestroyWindow();
}

void FindBar::Show(const CRect& strip, LPFONTDISP arabicFont, LPFONTDISP latinFont) {
  if (!strip_) {
    strip_ = std::make_unique<Strip>(*this);
    if (!strip_->Create(&container_, &strip)) return;
    field_ = std::make_unique<CKestrixCtrl>();
    field_->ResetProperties();
    field_->m_MultiLines = FALSE;
    field_->m_WordWrap = FALSE;
    // The field writes in the editor's faces.
    if (arabicFont) field_->SetFontAr(arabicFont);
    if (latinFont) field_->SetFontEn(latinFont);
    field_->CreateControlWindow(strip_.get(), strip_->MapDialogRect(kFieldPlace));
    field_->ActivateEdit(WideString(), WideString());
  } else {
    strip_->MoveWindow(strip);
    strip_->ShowWindow(SW_SHOW);
  }
  shown_ = true;
}

void FindBar::Hide() {
  if (strip_) strip_->ShowWindow(SW_HIDE);
  shown_ = false;
}

void FindBar::ToggleMatchCase() {
  options_.matchCase = !options_.matchCase;
  ShowOptions();
}

void FindBar::ToggleIgnoreMarks() {
  options_.ignoreMarks = !options_.ignoreMarks;
  ShowOptions();
}

void FindBar::ShowOptions() {
  if (!strip_) return;
  if (auto* item = strip_->GetDlgItem(kCaseButton)) item->SetText(Toggle(options_.matchCase, "&Case"));
  if (auto* item = strip_->GetDlgItem(kMarksButton)) item->SetText(Toggle(options_.ignoreMarks, "&Harakat"));
}

}  // namespace kestrix
