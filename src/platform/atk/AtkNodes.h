// The ATK objects behind the publisher: GObject types for the application, the frame and the
// text, and ATK's toolkit hooks (the root, and the global event listeners the bridge adds).
#pragma once

#include <string>

#include "platform/atk/AtSpiPublisher.h"

// After the framework's headers: GLib defines TRUE and FALSE as macros.
#include <atk/atk.h>

namespace kestrix {

struct AtSpiPublisher::Impl : AccessibleListener {
  Impl(AccessibleText& m, AtSpiHost h) : model(m), host(std::move(h)) {}

  AccessibleText& model;
  AtSpiHost host;
  AtkObject* application = nullptr;
  AtkObject* frame = nullptr;
  AtkObject* text = nullptr;
  std::string title;
  bool active = false;
  bool password = false;
  bool bridged = false;

  std::vector<GPollFD> pollFds;
  gint maxPriority = 0;
  bool prepared = false;

  void TextInserted(long offset, const std::u16string& inserted) override;
  void TextDeleted(long offset, const std::u16string& deleted) override;
  void CaretMoved(long offset) override;
  void SelectionChanged() override;
  void FocusChanged(bool focused) override;
};

enum class NodeKind { Application, Frame, Text };

// A new object of its kind, owned by the caller.
AtkObject* NewNode(NodeKind kind, AtSpiPublisher::Impl* owner);
// Makes root the object atk_get_root answers, and gives ATK the event hooks of a toolkit.
void InstallToolkit(AtkObject* root);

}  // namespace kestrix
