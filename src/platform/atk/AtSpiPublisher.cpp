#include "platform/atk/AtSpiPublisher.h"

#include <cstdlib>
#include <cstring>

#include "platform/atk/AtkNodes.h"

#include <atk-bridge.h>

namespace kestrix {

void AtSpiPublisher::Impl::TextInserted(long offset, const std::u16string& inserted) {
  g_signal_emit_by_name(text, "text-insert", static_cast<gint>(offset), static_cast<gint>(inserted.size()),
                        Utf8FromModelText(inserted).c_str());
}

void AtSpiPublisher::Impl::TextDeleted(long offset, const std::u16string& deleted) {
  g_signal_emit_by_name(text, "text-remove", static_cast<gint>(offset), static_cast<gint>(deleted.size()),
                        Utf8FromModelText(deleted).c_str());
}

void AtSpiPublisher::Impl::CaretMoved(long offset) {
  g_signal_emit_by_name(text, "text-caret-moved", static_cast<gint>(offset));
}

void AtSpiPublisher::Impl::SelectionChanged() { g_signal_emit_by_name(text, "text-selection-changed"); }

void AtSpiPublisher::Impl::FocusChanged(bool focused) {
  atk_object_notify_state_change(text, ATK_STATE_FOCUSED, focused);
}

std::unique_ptr<AtSpiPublisher> AtSpiPublisher::Start(AccessibleText& model, AtSpiHost host, std::string* why) {
  const char* off = std::getenv("NO_AT_BRIDGE");
  if (off && std::strcmp(off, "1") == 0) {
    if (why) *why = "NO_AT_BRIDGE is set";
    return nullptr;
  }
  auto impl = std::make_unique<Impl>(model, std::move(host));
  Impl& i = *impl;
  i.application = NewNode(NodeKind::Application, &i);
  i.frame = NewNode(NodeKind::Frame, &i);
  i.text = NewNode(NodeKind::Text, &i);
  atk_object_set_name(i.application, i.host.applicationName.c_str());
  i.title = i.host.title();
  atk_object_set_name(i.frame, i.title.c_str());
  atk_object_set_name(i.text, Utf8FromModelText(model.Name()).c_str());
  atk_object_set_description(i.text, Utf8FromModelText(model.Description()).c_str());
  atk_object_set_parent(i.frame, i.application);
  atk_object_set_parent(i.text, i.frame);
  InstallToolkit(i.application);
  g_main_context_acquire(g_main_context_default());
  if (atk_bridge_adaptor_init(nullptr, nullptr) != 0) {
    if (why) *why = "the accessibility bus cannot be reached";
    return nullptr;
  }
  i.bridged = true;
  std::unique_ptr<AtSpiPublisher> publisher(new AtSpiPublisher(std::move(impl)));
  publisher->Update();
  model.SetListener(&i);
  return publisher;
}

AtSpiPublisher::AtSpiPublisher(std::unique_ptr<Impl> impl) : impl_(std::move(impl)) {}

AtSpiPublisher::~AtSpiPublisher() {
  Impl& i = *impl_;
  i.model.SetListener(nullptr);
  if (i.bridged) atk_bridge_adaptor_cleanup();
  g_object_unref(i.text);
  g_object_unref(i.frame);
  g_object_unref(i.application);
  g_main_context_release(g_main_context_default());
}

void AtSpiPublisher::Update() {
  Impl& i = *impl_;
  const std::string title = i.host.title();
  if (title != i.title) {
    i.title = title;
    atk_object_set_name(i.frame, title.c_str());
  }
  const bool active = i.host.windowActive();
  if (active != i.active) {
    i.active = active;
    atk_object_notify_state_change(i.frame, ATK_STATE_ACTIVE, active);
    g_signal_emit_by_name(i.frame, active ? "activate" : "deactivate");
  }
  const bool password = i.model.States().protectedText;
  if (password != i.password) {
    i.password = password;
    atk_object_set_role(i.text, password ? ATK_ROLE_PASSWORD_TEXT : ATK_ROLE_TEXT);
  }
  i.model.Update();
}

void AtSpiPublisher::Prepare(std::vector<pollfd>& fds, int& timeoutMs) {
  Impl& i = *impl_;
  GMainContext* context = g_main_context_default();
  const bool ready = g_main_context_prepare(context, &i.maxPriority);
  gint timeout = -1;
  i.pollFds.resize(std::max<size_t>(i.pollFds.size(), 8));
  gint n = 0;
  while ((n = g_main_context_query(context, i.maxPriority, &timeout, i.pollFds.data(),
                                   static_cast<gint>(i.pollFds.size()))) > static_cast<gint>(i.pollFds.size()))
    i.pollFds.resize(static_cast<size_t>(n));
  i.pollFds.resize(static_cast<size_t>(n));
  for (const GPollFD& f : i.pollFds) fds.push_back(pollfd{f.fd, static_cast<short>(f.events), 0});
  if (ready) timeout = 0;
  if (timeout >= 0) timeoutMs = std::min(timeoutMs, static_cast<int>(timeout));
  i.prepared = true;
}

bool AtSpiPublisher::Dispatch(const pollfd* fds, size_t count) {
  Impl& i = *impl_;
  if (!i.prepared) return false;
  i.prepared = false;
  for (size_t n = 0; n < i.pollFds.size() && n < count; ++n)
    i.pollFds[n].revents = static_cast<gushort>(fds[n].revents);
  GMainContext* context = g_main_context_default();
  if (!g_main_context_check(context, i.maxPriority, i.pollFds.data(), static_cast<gint>(i.pollFds.size())))
    return false;
  g_main_context_dispatch(context);
  return true;
}

}  // namespace kestrix
