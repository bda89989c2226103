// kestrix: shows a text in the control on the headless display and writes a PNG of it.
#include <chrono>
#include <cmath>
#include <cstdio>
#include <fstream>
#include <iostream>
#include <sstream>

#include "DrawLine.h"
#include "Options.h"
#include "SampleText.h"
#include "control/KestrixCtrl.h"
#include "framework/text/Cp1256.h"
#include "framework/window/Display.h"

using namespace kestrix;

namespace {

LOGFONT FontDescription(const std::string& face, double points) {
  LOGFONT lf;
  lf.lfHeight = -static_cast<LONG>(std::trunc(std::trunc(points) * 1.333));
  lf.lfWeight = 400;
  lf.lfCharSet = 1;
  face.copy(lf.lfFaceName, LF_FACESIZE - 1);
  return lf;
}

// Lines of a UTF-8 text as the control takes them: a lone LF becomes a CR.
CString ControlText(const std::string& utf8) {
  CString bytes = Cp1256FromUtf8(utf8);
  CString out;
  out.reserve(bytes.size());
  for (size_t i = 0; i < bytes.size(); ++i) {
    if (bytes[i] == '\n' && (i == 0 || bytes[i - 1] != '\r'))
      out += '\r';
    else
      out += bytes[i];
  }
  return out;
}

std::wstring Wide(const std::string& s) { return BstrFromCp1256(Cp1256FromUtf8(s)); }

int RenderControl(const Options& o) {
  std::string utf8 = kSampleText;
  if (!o.textFile.empty()) {
    std::ifstream in(o.textFile, std::ios::binary);
    if (!in) {
      std::cerr << "kestrix: cannot read " << o.textFile << "\n";
      return 1;
    }
    std::ostringstream content;
    content << in.rdbuf();
    utf8 = content.str();
  }

  const int margin = 20;
  Display display(o.width + 2 * margin, o.height + 2 * margin);
  CWnd container;
  container.CreateEx(0, WS_VISIBLE, CRect(0, 0, o.width + 2 * margin, o.height + 2 * margin), nullptr);

  CKestrixCtrl ctrl;
  ctrl.ResetProperties();
  auto size = static_cast<CY>(std::llround(o.points * 10000));
  for (auto [holder, face] : {std::pair{&ctrl.m_FontAr, &o.fontAr}, std::pair{&ctrl.m_FontEn, &o.fontEn}}) {
    holder->GetFontDispatch()->put_Name(Wide(*face));
    holder->GetFontDispatch()->put_Size(size);
  }
  ctrl.m_WordWrap = o.wordWrap ? TRUE : FALSE;
  ctrl.m_PasswordChar = static_cast<short>(o.passwordChar);
  ctrl.CreateControlWindow(&container, CRect(margin, margin, margin + o.width, margin + o.height));
  ctrl.SetReadingOrder(static_cast<short>(o.readingOrder));
  if (o.alignment) ctrl.m_Alignment = static_cast<short>(*o.alignment);

  CString text = ControlText(utf8);
  auto start = std::chrono::steady_clock::now();
  ctrl.SetText(text);
  auto elapsed = std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start);

  if (o.scrollToLine > 0) {
    // The caret goes to the start of the line shown first.
    ctrl.m_CharIndex = 0;
    ctrl.GotoLine(o.scrollToLine);
    ctrl.SetFirstVisible(ctrl.m_CurLine);
    ctrl.SyncScrollPos();
    ctrl.Redraw();
    ctrl.UpdateCaret();
  }
  if (o.caret) {
    ctrl.ActivateEdit(L"", L"");
    ctrl.SetFocus();
  }

  std::printf("lines: %d\n", ctrl.LineCount());
  std::printf("text write: %.2f ms for %zu characters\n", elapsed.count(), text.size());
  if (o.printLines)
    for (int n = 1; n <= ctrl.LineCount(); ++n)
      std::printf("%4d  %s\n", n, Utf8FromCp1256(ctrl.m_Lines.At(n)->m_Chars).c_str());
  if (std::string error; !display.WriteWindowPng(ctrl.GetSafeHwnd(), o.out, &error)) {
    std::cerr << "kestrix: " << error << "\n";
    return 1;
  }
  std::printf("wrote %s\n", o.out.c_str());
  return 0;
}

}  // namespace

int main(int argc, char** argv) {
  std::string error;
  std::optional<Options> options = ParseOptions(argc, argv, error);
  if (!options) {
    std::cerr << "kestrix: " << error << "\n" << UsageText();
    return 2;
  }
  if (options->help) {
    std::cout << UsageText();
    return 0;
  }
  if (!options->drawLine.empty()) {
    int rc = DrawLineToPng(options->drawLine, options->out, options->width, options->readingOrder,
                           FontDescription(options->fontEn, options->points),
                           FontDescription(options->fontAr, options->points));
    if (rc == 0) std::printf("wrote %s\n", options->out.c_str());
    return rc;
  }
  return RenderControl(*options);
}
