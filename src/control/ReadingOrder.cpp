// The reading order: alignment, the keyboard layout requested, and the text library's
// direction; ActivateEdit starts Arabic editing and the caret's blinking.
#include "control/KestrixCtrl.h"

namespace kestrix {

namespace {
constexpr WPARAM kLayoutRequestFlags = INPUTLANGCHANGE_SYSCHARSET | INPUTLANGCHANGE_BACKWARD;
constexpr LPARAM kEnglishUnitedStates = 0x04090409;
constexpr LPARAM kArabicSaudiArabia = 0x04010401;
constexpr unsigned int kBlinkTimerId = 100;
constexpr UINT kBlinkPeriodMs = 600;
constexpr UINT kLeftShiftScanCode = 0x2A;
constexpr UINT kRightShiftScanCode = 0x36;
}  // namespace

void CKestrixCtrl::ApplyReadingOrder() {
  if (m_ReadingOrder == 0) {
    m_Alignment = 0;
    SendMessage(WM_INPUTLANGCHANGEREQUEST, kLayoutRequestFlags, kEnglishUnitedStates);
  } else {
    m_Alignment = 2;
    SendMessage(WM_INPUTLANGCHANGEREQUEST, kLayoutRequestFlags, kArabicSaudiArabia);
  }
  m_TextLib->aSetReadingOrder(m_ReadingOrder);
}

void CKestrixCtrl::SetReadingOrder(short order) {
  if (order == m_ReadingOrder) return;
  m_ReadingOrder = order;
  ApplyReadingOrder();
  RecreateAndReload();
}

BOOL CKestrixCtrl::ActivateEdit(const WideString& /*key*/, const WideString& /*str*/) {
  m_ReadingOrder = 1;
  short alignment = m_Alignment;
  ApplyReadingOrder();
  // The lines are not re-broken, but they are shown where the new alignment puts them.
  if (m_Alignment != alignment) {
    RestateHighlight();
    PaintLines(m_FirstVisible, m_LastVisible);
  }
  m_TextLib->aSetKeyboardLanguage(1);
  m_BlinkTimer = kBlinkTimerId;
  SetTimer(kBlinkTimerId, kBlinkPeriodMs, nullptr);
  // A caret drawn now would stay on the screen, neither blinking nor erased, until the focus
  // came back.
  EraseCaret();
  m_HasFocus = FALSE;
  return TRUE;
}

int CKestrixCtrl::ReadingOrderOfShift(UINT flags) {
  // Tested as masks: the left Shift's scan code fails the right one's test and back.
  if ((flags & kLeftShiftScanCode) == kLeftShiftScanCode) return 0;
  if ((flags & kRightShiftScanCode) == kRightShiftScanCode) return 1;
  return -1;
}

void CKestrixCtrl::ReadingOrderKey(UINT flags) {
  const int order = ReadingOrderOfShift(flags);
  if (order >= 0 && IsCtrlDown()) SetReadingOrder(static_cast<short>(order));
}

// As the platforms' own layout switches: Control and Shift alone, let go. Control+Shift with
// an arrow, or with a letter, is a command and leaves the order alone.
void CKestrixCtrl::ArmReadingOrderChord(UINT key, UINT flags) {
  if (key == VK_SHIFT) {
    if (IsCtrlDown() && ReadingOrderOfShift(flags) >= 0) {
      m_ChordArmed = true;
      m_ChordFlags = flags;
    }
  } else if (key != VK_CONTROL) {
    m_ChordArmed = false;
  }
}

void CKestrixCtrl::ReleaseReadingOrderChord(UINT key) {
  if (!m_ChordArmed || (key != VK_SHIFT && key != VK_CONTROL)) return;
  m_ChordArmed = false;
  SetReadingOrder(static_cast<short>(ReadingOrderOfShift(m_ChordFlags)));
}

}  // namespace kestrix
