// A property file from anywhere: read it, place a control from it as a host opening a document
// does, and save and read it back.
#include <memory>

#include "Harness.h"
#include "control/KestrixCtrl.h"
#include "framework/ole/PropertyBagFile.h"
#include "framework/window/Display.h"
#include "layout/FixedMetricTextLibrary.h"

namespace kestrix {

namespace fuzzing {
namespace {

// A control placed from a bag: its window, the loaded text through the font notification, and
// the focus, in the scripted host's order.
struct Placed {
  explicit Placed(const PropertyBag& bag) {
    library.recordCalls = false;
    container.CreateEx(0, WS_VISIBLE, CRect(0, 0, 640, 480), nullptr);
    ctrl = std::make_unique<CKestrixCtrl>(library);
    ctrl->LoadProperties(bag);
    ctrl->CreateControlWindow(&container, CRect(0, 0, 320, 200));
    ctrl->OnFontChanged();
    ctrl->SetFocus();
  }
  ~Placed() {
    ctrl.reset();
    container.DestroyWindow();
  }
  std::string Saved() {
    PropertyBag bag;
    ctrl->SaveProperties(bag);
    std::string text, error;
    if (!SavePropertyBagToString(bag, text, &error)) return "save refused: " + error;
    return text;
  }

  Display display{640, 480};
  CWnd container;
  FixedMetricTextLibrary library;
  std::unique_ptr<CKestrixCtrl> ctrl;
};

}  // namespace

std::string RunLoad(const uint8_t* data, size_t size) {
  PropertyBag bag;
  std::string error;
  LoadPropertyBagFromString(std::string_view(reinterpret_cast<const char*>(data), size), bag,
                            &error);
  std::string first;
  {
    Placed placed(bag);
    if (std::string broken = placed.ctrl->Verify(); !broken.empty()) return "loaded: " + broken;
    first = placed.Saved();
  }
  // What a control saves, another reads back whole and saves again unchanged.
  PropertyBag again;
  if (!LoadPropertyBagFromString(first, again, &error)) return "own file refused: " + error;
  Placed reloaded(again);
  if (std::string broken = reloaded.ctrl->Verify(); !broken.empty()) return "reloaded: " + broken;
  if (reloaded.Saved() != first) return "saved twice, the files differ";
  return "";
}

}  // namespace fuzzing

}  // namespace kestrix
