#include "FreshControl.h"

#include <algorithm>
#include <cstdlib>
#include <memory>
#include <vector>

#include "control/KestrixCtrl.h"
#include "control/Observation.h"
#include "control/TypeLibrary.h"
#include "framework/ole/Variant.h"
#include "framework/window/Display.h"

namespace kestrix {

namespace fuzzing {
namespace {

// Settings in the order a host restores them, then the text, then the length limit (which a
// control applies only when it lays the whole text out again: the text it holds may be longer),
// then the selection.
const DISPID kSettings[] = {kDispMultiLines,  kDispWordWrap,     kDispStyle,       kDispScrollBars,
                            kDispHideSelection, kDispWantReturn, kDispReadingOrder, kDispReadOnly,
                            kDispPasswordChar, kDispAlignment,   DISPID_BACKCOLOR, DISPID_FORECOLOR,
                            kDispFontAr,      kDispFontEn,       DISPID_TEXT,      kDispMaxLength,
                            kDispSelStart,    kDispSelLength};

HRESULT Get(IDispatch* d, DISPID id, VARIANT* out) {
  DISPPARAMS none{nullptr, nullptr, 0, 0};
  VariantInit(out);
  return d->Invoke(id, IID_NULL, 0, DISPATCH_PROPERTYGET, &none, out, nullptr, nullptr);
}

HRESULT Put(IDispatch* d, DISPID id, VARIANT& value) {
  DISPID named = DISPID_PROPERTYPUT;
  DISPPARAMS p{&value, &named, 1, 1};
  const WORD how = value.vt == VT_DISPATCH ? DISPATCH_PROPERTYPUTREF : DISPATCH_PROPERTYPUT;
  return d->Invoke(id, IID_NULL, 0, how, &p, nullptr, nullptr, nullptr);
}

// The display lines of a control, each with whether typing changed it since the last whole
// layout.
struct ShownLine {
  std::string chars;
  bool typed = false;
};

std::vector<ShownLine> LinesOf(const CKestrixCtrl& c) {
  std::vector<ShownLine> lines;
  for (int n = 1; n <= c.LineCount(); ++n)
    lines.push_back({c.m_Lines.At(n)->m_Chars, c.m_Lines.Changed(n)});
  return lines;
}

// Typing re-wraps only the line it grows, moving text down and never joining lines again (a
// space typed before the first word of a wrapped line stays on that line), so a paragraph typed
// into since the last whole layout may be broken otherwise than a fresh layout breaks it: that
// is state a fresh control cannot have. Empty when the two controls break their lines alike,
// or differently only in such paragraphs (then "typed"), else what differs.
std::string CompareLines(const std::vector<ShownLine>& ours, const std::vector<ShownLine>& fresh) {
  auto equal = [](const ShownLine& a, const ShownLine& b) { return a.chars == b.chars; };
  if (std::equal(ours.begin(), ours.end(), fresh.begin(), fresh.end(), equal)) return "";
  size_t a = 0, b = 0;
  int paragraph = 1;
  while (a < ours.size() || b < fresh.size()) {
    // One paragraph of each: its lines up to the one that ends with a CR.
    std::string mine, theirs;
    bool typed = false;
    size_t a0 = a, b0 = b;
    while (a < ours.size()) {
      mine += ours[a].chars;
      typed = typed || ours[a].typed;
      if (!ours[a++].chars.empty() && mine.back() == '\r') break;
    }
    while (b < fresh.size()) {
      theirs += fresh[b].chars;
      if (!fresh[b++].chars.empty() && theirs.back() == '\r') break;
    }
    if (mine != theirs) return "text";  // not the same text: the screens say how
    const bool same = std::equal(ours.begin() + static_cast<long>(a0), ours.begin() + static_cast<long>(a),
                                 fresh.begin() + static_cast<long>(b0), fresh.begin() + static_cast<long>(b), equal);
    if (!same && !typed)
      return "paragraph " + std::to_string(paragraph) + " is broken into " + std::to_string(a - a0) +
             " lines, by a fresh control into " + std::to_string(b - b0) +
             ", and nothing was typed into it since the text was last laid out whole";
    ++paragraph;
  }
  return "typed";
}

}  // namespace

std::string CompareWithFreshControl(CKestrixCtrl& c, CWnd& container, TextLibrary* library) {
  Display* display = Display::Of(c.GetSafeHwnd());
  const ObservedActivity activity = ControlObservation(c).Activity();
  if (!display || activity.mouseDown || activity.busy || display->KeyState(VK_LBUTTON) < 0) return "";
  container.SetFocus();
  RECT rect{};
  if (!c.GetRectInContainer(&rect)) return "";
  std::vector<VARIANT> values;
  for (DISPID id : kSettings) {
    values.emplace_back();
    if (FAILED(Get(c.GetIDispatch(), id, &values.back()))) VariantInit(&values.back());
  }
  const Surface shown = display->CaptureClient(c.GetSafeHwnd());
  const ObservedView view = ControlObservation(c).View();
  const int firstVisible = view.firstVisible, scrollOffset = view.scrollOffset;

  std::string differs;
  {
    Display other(display->GetSurface().Width(), display->GetSurface().Height());
    CWnd box;
    box.CreateEx(0, WS_VISIBLE, CRect(0, 0, other.GetSurface().Width(), other.GetSurface().Height()), nullptr);
    auto fresh = library ? std::make_unique<CKestrixCtrl>(*library) : std::make_unique<CKestrixCtrl>();
    fresh->ResetProperties();
    fresh->CreateControlWindow(&box, rect);
    for (size_t i = 0; i < values.size(); ++i)
      if (values[i].vt != VT_EMPTY) Put(fresh->GetIDispatch(), kSettings[i], values[i]);
    fresh->SetFirstVisible(firstVisible);
    const std::string lines = CompareLines(LinesOf(c), LinesOf(*fresh));
    if (lines != "" && lines != "text" && lines != "typed") differs = "lines: " + lines;
    const ObservedView freshView = ControlObservation(*fresh).View();
    if (lines != "typed" && differs.empty() && freshView.firstVisible == firstVisible &&
        freshView.scrollOffset == scrollOffset) {
      const Surface again = other.CaptureClient(fresh->GetSafeHwnd());
      int count = 0;
      std::string first;
      if (shown.Width() == again.Width() && shown.Height() == again.Height() &&
          shown.Pixels() != again.Pixels())
        for (int y = 0; y < shown.Height(); ++y)
          for (int x = 0; x < shown.Width(); ++x)
            if (shown.Pixel(x, y) != again.Pixel(x, y) && count++ == 0)
              first = std::to_string(x) + ", " + std::to_string(y);
      if (shown.Width() != again.Width() || shown.Height() != again.Height())
        differs = "a fresh control's window is " + std::to_string(again.Width()) + "x" +
                  std::to_string(again.Height()) + ", this one's " + std::to_string(shown.Width()) + "x" +
                  std::to_string(shown.Height());
      else if (count > 0 && std::getenv("KESTRIX_FUZZ_TRACE")) {
        // Both screens, to look at when following a replayed input.
        WritePng(shown, "/tmp/kestrix-shown.png");
        WritePng(again, "/tmp/kestrix-fresh.png");
      }
      if (differs.empty() && count > 0)
        differs = "screen: " + std::to_string(count) +
                  " pixels differ from a fresh control given the same state, the first at " + first;
    }
    fresh.reset();
    box.DestroyWindow();
  }
  for (VARIANT& v : values) VariantClear(&v);
  return differs;
}

}  // namespace fuzzing

}  // namespace kestrix
