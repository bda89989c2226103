// ATK's toolkit hooks for a program without a toolkit of its own: the root object, and the
// global event listeners through which the bridge hears every object's signals. A listener
// named "Toolkit:Type:signal" (or "window:signal", for AtkWindow) becomes an emission hook on
// that type's signal.
#include <map>
#include <sstream>
#include <vector>

#include "platform/atk/AtkNodes.h"

namespace kestrix {

namespace {

AtkObject* g_root = nullptr;

struct Hook {
  guint signal = 0;
  gulong hook = 0;
};
std::map<guint, Hook> g_hooks;
guint g_nextListener = 1;

std::vector<std::string> Split(const std::string& s) {
  std::vector<std::string> parts;
  std::stringstream in(s);
  for (std::string part; std::getline(in, part, ':');) parts.push_back(part);
  return parts;
}

guint AddGlobalListener(GSignalEmissionHook listener, const gchar* eventType) {
  const std::vector<std::string> parts = Split(eventType ? eventType : "");
  std::string typeName, signalName;
  if (parts.size() == 3) {
    typeName = parts[1];
    signalName = parts[2];
  } else if (parts.size() == 2 && parts[0] == "window") {
    typeName = "AtkWindow";
    signalName = parts[1];
  } else {
    return 0;
  }
  const GType type = g_type_from_name(typeName.c_str());
  if (type == 0) return 0;
  // The signals exist once the class or interface is made; the reference is kept.
  if (G_TYPE_IS_INTERFACE(type))
    g_type_default_interface_ref(type);
  else
    g_type_class_ref(type);
  const guint signal = g_signal_lookup(signalName.c_str(), type);
  if (signal == 0) return 0;
  const gulong hook = g_signal_add_emission_hook(signal, 0, listener, g_strdup(eventType), g_free);
  g_hooks[g_nextListener] = Hook{signal, hook};
  return g_nextListener++;
}

void RemoveGlobalListener(guint id) {
  auto found = g_hooks.find(id);
  if (found == g_hooks.end()) return;
  g_signal_remove_emission_hook(found->second.signal, found->second.hook);
  g_hooks.erase(found);
}

guint AddKeyListener(AtkKeySnoopFunc, gpointer) { return 0; }
void RemoveKeyListener(guint) {}
AtkObject* Root() { return g_root; }
const gchar* ToolkitName() { return "Kestrix"; }
const gchar* ToolkitVersion() { return "1"; }

}  // namespace

void InstallToolkit(AtkObject* root) {
  g_root = root;
  auto* util = static_cast<AtkUtilClass*>(g_type_class_ref(ATK_TYPE_UTIL));
  util->add_global_event_listener = AddGlobalListener;
  util->remove_global_event_listener = RemoveGlobalListener;
  util->add_key_event_listener = AddKeyListener;
  util->remove_key_event_listener = RemoveKeyListener;
  util->get_root = Root;
  util->get_toolkit_name = ToolkitName;
  util->get_toolkit_version = ToolkitVersion;
}

}  // namespace kestrix
