// Publishes a control's accessible model to AT-SPI, the Linux screen readers' bus, through
// ATK and its bridge: one application holding one frame holding the text. The host serves
// the bridge's GLib main context from its own loop (the LoopSource) and calls Update after
// each turn of input, which turns the model's changes into the bus's events. No GLib or ATK
// type shows here.
#pragma once

#include <functional>
#include <memory>
#include <string>

#include "access/AccessibleText.h"
#include "platform/x11/X11Window.h"

namespace kestrix {

struct AtSpiHost {
  std::string applicationName;
  std::function<std::string()> title;                  // the frame's name
  std::function<void(int& x, int& y)> windowOrigin;    // the window's top-left on the screen
  std::function<void(int& width, int& height)> windowSize;
  std::function<void(int& x, int& y)> controlOrigin;   // the control's client top-left, in the window
  std::function<void(int& width, int& height)> controlSize;
  std::function<bool()> windowActive;                  // the window has the keyboard
};

class AtSpiPublisher : public LoopSource {
 public:
  // Joins the accessibility bus; nothing (and a reason) when there is none to join. One per
  // process.
  static std::unique_ptr<AtSpiPublisher> Start(AccessibleText& model, AtSpiHost host,
                                               std::string* why);
  ~AtSpiPublisher() override;

  void Update();

  // LoopSource: the default GLib main context, where the bridge's D-Bus traffic runs.
  void Prepare(std::vector<pollfd>& fds, int& timeoutMs) override;
  bool Dispatch(const pollfd* fds, size_t count) override;

  struct Impl;

 private:
  explicit AtSpiPublisher(std::unique_ptr<Impl> impl);
  std::unique_ptr<Impl> impl_;
};

}  // namespace kestrix
