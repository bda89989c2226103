#include "FreshControl.h"

#include <cstdlib>
#include <memory>
#include <vector>

#include "control/KestrixCtrl.h"
#include "control/Observation.h"
#include "control/TypeLibrary.h"
#include "framework/ole/Variant.h"
#include "framework/window/Display.h"

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
    const ObservedView freshView = ControlObservation(*fresh).View();
    if (freshView.firstVisible == firstVisible && freshView.scrollOffset == scrollOffset) {
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
