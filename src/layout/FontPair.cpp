// The two fonts as descriptions for the text library, the held drawing context, and the line
// metrics derived from what the library reports.
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <algorithm>

#include "control/KestrixCtrl.h"

namespace kestrix {

namespace {
// Undoes the 1.333 enlargement of the pixel height handed to the library.
constexpr double kMetricScale = 0.7501875468867217;
constexpr double kPixelsPerPoint = 1.333;
}  // namespace

LOGFONT CKestrixCtrl::FontToLogFont(LPFONTDISP font) {
  LOGFONT lf;
  if (!font) return lf;
  CFontHolder holder(nullptr);
  holder.InitializeFont(nullptr, font);
  const FontObject* f = holder.GetFontDispatch();
  WideString name;
  f->get_Name(&name);
  // The face keeps at most 31 bytes, so the terminating zero always fits.
  CString face = Cp1256FromBstr(name);
  std::memcpy(lf.lfFaceName, face.data(), std::min<size_t>(face.size(), LF_FACESIZE - 1));
  CY size = 0;
  f->get_Size(&size);
  lf.lfHeight = static_cast<LONG>(static_cast<uint32_t>(size & 0xFFFFFFFF) / 10000u);
  BOOL flag = FALSE;
  f->get_Italic(&flag);
  lf.lfItalic = static_cast<BYTE>(flag & 0xFF);
  f->get_Underline(&flag);
  lf.lfUnderline = static_cast<BYTE>(flag & 0xFF);
  f->get_Strikethrough(&flag);
  lf.lfStrikeOut = static_cast<BYTE>(flag & 0xFF);
  short weight = 0;
  f->get_Weight(&weight);
  lf.lfWeight = weight;
  short charset = 0;
  f->get_Charset(&charset);
  lf.lfCharSet = static_cast<BYTE>(charset & 0xFF);
  return lf;
}

void CKestrixCtrl::InitFonts() {
  m_lfEn = FontToLogFont(m_FontEn.GetFontDispatch());
  m_lfAr = FontToLogFont(m_FontAr.GetFontDispatch());
  ReleaseHeldDC();  // given back, not forgotten
  CreateScrollBar();
  UpdateMetrics();
  ResetLines();
}

void CKestrixCtrl::SelectFontPair() {
  LOGFONT arabic = m_lfAr;
  LOGFONT latin = m_lfEn;
  for (LOGFONT* lf : {&arabic, &latin}) {
    auto pixels = static_cast<LONG>(std::trunc(static_cast<double>(lf->lfHeight) * kPixelsPerPoint));
    lf->lfHeight = -std::abs(pixels);
  }
  HDC hdc = m_pDC ? m_pDC->GetSafeHdc() : nullptr;
  if (m_pDC) m_pDC->SelectStockObject(SYSTEM_FONT);
  m_TextLib->aSelectDC(hdc, &latin, &arabic);
}

void CKestrixCtrl::UpdateMetrics() {
  AcquireDC();
  TEXTMETRIC tm;
  if (m_pDC) m_pDC->GetTextMetrics(&tm);
  m_LineHeight = static_cast<int>(tm.tmHeight * kMetricScale);
  m_Ascent = static_cast<int>(tm.tmAscent * kMetricScale);
  m_Descent = static_cast<int>(tm.tmDescent * kMetricScale);
  m_BaselineLift = m_LineHeight / 3;
  UpdateCaretSize();
  ReleaseHeldDC();
}

void CKestrixCtrl::AcquireDC() {
  if (m_pDC) ReleaseHeldDC();
  m_pDC = GetDC(nullptr, OLEDC_PAINTBKGND);
  // Without a context the library still learns the fonts, so measuring keeps working.
  SelectFontPair();
  if (m_pDC) {
    m_pDC->SetBkMode(TRANSPARENT);
    m_pDC->SetTextAlign(TA_BASELINE);
  }
}

void CKestrixCtrl::ReleaseHeldDC() {
  if (!m_pDC) return;
  m_TextLib->aReleaseDC(m_pDC->GetSafeHdc());
  COleControl::ReleaseDC(m_pDC);
  m_pDC = nullptr;
}

bool CKestrixCtrl::BorrowDC() {
  if (m_pDC) return false;
  AcquireDC();
  return true;
}

}  // namespace kestrix
