#include "ScreenReaders.h"

#include <cstdlib>
#include <iostream>
#include <string>

#include "access/AccessibleText.h"
#if KESTRIX_HAVE_ATSPI
#include "platform/atk/AtSpiPublisher.h"
#endif

namespace kestrix {

struct ScreenReaders::Parts {
  explicit Parts(Editor& e) : editor(e), model(e.Control()) {}
  Editor& editor;
  AccessibleText model;
#if KESTRIX_HAVE_ATSPI
  std::unique_ptr<AtSpiPublisher> publisher;
#endif
};

#if KESTRIX_HAVE_ATSPI
namespace {

// The control's client area, in the coordinates of the X window (the display's surface).
void ControlClient(CKestrixCtrl& control, int* x, int* y, int* width, int* height) {
  POINT origin{0, 0};
  control.ClientToScreen(&origin);
  RECT client{};
  control.GetClientRect(&client);
  if (x) *x = origin.x;
  if (y) *y = origin.y;
  if (width) *width = client.right - client.left;
  if (height) *height = client.bottom - client.top;
}

}  // namespace
#endif

ScreenReaders::ScreenReaders(Editor& editor) : parts_(std::make_unique<Parts>(editor)) {
#if KESTRIX_HAVE_ATSPI
  Parts& p = *parts_;
  p.model.SetName(u"Document");
  AtSpiHost host;
  host.applicationName = "kestrix-edit";
  host.title = [&editor] { return editor.Title(); };
  host.windowOrigin = [&editor](int& x, int& y) { editor.Window().ScreenOrigin(x, y); };
  host.windowSize = [&editor](int& width, int& height) {
    width = editor.GetDisplay().GetSurface().Width();
    height = editor.GetDisplay().GetSurface().Height();
  };
  host.controlOrigin = [&editor](int& x, int& y) { ControlClient(editor.Control(), &x, &y, nullptr, nullptr); };
  host.controlSize = [&editor](int& width, int& height) {
    ControlClient(editor.Control(), nullptr, nullptr, &width, &height);
  };
  host.windowActive = [&editor] { return editor.GetDisplay().GetFocus() != nullptr; };
  std::string why;
  p.publisher = AtSpiPublisher::Start(p.model, std::move(host), &why);
  if (!p.publisher) {
    if (std::getenv("KESTRIX_ACCESS_DEBUG")) std::cerr << "kestrix-edit: no screen readers: " << why << "\n";
    return;
  }
  editor.Window().SetLoopSource(p.publisher.get());
  editor.SetAfterInputHook([&p] { p.publisher->Update(); });
#endif
}

ScreenReaders::~ScreenReaders() {
#if KESTRIX_HAVE_ATSPI
  Parts& p = *parts_;
  if (!p.publisher) return;
  p.editor.SetAfterInputHook(nullptr);
  p.editor.Window().SetLoopSource(nullptr);
  p.publisher.reset();
#endif
}

}  // namespace kestrix
