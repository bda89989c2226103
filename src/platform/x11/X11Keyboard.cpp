// Keys and keyboard layouts: X key events as the display's key and character messages, and the
// US and Arabic layouts as two XKB groups that the control's layout requests switch between.
#include <cstring>

#include "framework/text/TextConversion.h"
#include "platform/x11/KeyTranslation.h"
#include "platform/x11/X11Internal.h"

namespace kestrix {

namespace {

// The symbols loaded when the server lacks one of the two layouts: the US layout first and
// the Arabic one as the second group.
constexpr const char* kTwoLayoutSymbols = "pc+us+ara:2+inet(evdev)";

std::string AtomName(XDisplay* x, Atom atom) {
  if (atom == 0) return {};
  char* name = XGetAtomName(x, atom);
  std::string out = name ? name : "";
  if (name) XFree(name);
  return out;
}

// Finds the groups named for the two layouts; whether both are there.
bool FindGroups(X11Window::Impl& x) {
  XkbDescPtr desc = XkbAllocKeyboard();
  if (!desc) return false;
  x.arabicGroup = -1;
  int us = -1;
  if (XkbGetNames(x.x, XkbGroupNamesMask, desc) == Success && desc->names) {
    for (int g = 0; g < XkbNumKbdGroups; ++g) {
      std::string name = AtomName(x.x, desc->names->groups[g]);
      if (name.find("Arabic") != std::string::npos && x.arabicGroup < 0) x.arabicGroup = g;
      if ((name == "English (US)" || name == "English (USA)" || name == "us") && us < 0) us = g;
    }
  }
  XkbFreeKeyboard(desc, 0, True);
  x.usGroup = us < 0 ? 0 : us;
  return us >= 0 && x.arabicGroup >= 0;
}

// Loads the given symbols, keeping the server's key codes, types and compatibility map.
bool LoadSymbols(X11Window::Impl& x, const std::string& symbols) {
  XkbDescPtr current = XkbAllocKeyboard();
  if (!current) return false;
  XkbGetNames(x.x, XkbKeycodesNameMask | XkbTypesNameMask | XkbCompatNameMask, current);
  std::string keycodes = current->names ? AtomName(x.x, current->names->keycodes) : "";
  XkbFreeKeyboard(current, 0, True);
  std::string types = "complete", compat = "complete";
  std::vector<char> symbolsText(symbols.begin(), symbols.end());
  symbolsText.push_back('\0');
  std::vector<char> keycodesText(keycodes.begin(), keycodes.end());
  keycodesText.push_back('\0');
  std::vector<char> typesText(types.begin(), types.end()), compatText(compat.begin(), compat.end());
  typesText.push_back('\0');
  compatText.push_back('\0');
  XkbComponentNamesRec names{};
  names.keycodes = keycodes.empty() ? nullptr : keycodesText.data();
  names.types = typesText.data();
  names.compat = compatText.data();
  names.symbols = symbolsText.data();
  XkbDescPtr loaded = XkbGetKeyboardByName(
      x.x, XkbUseCoreKbd, &names, XkbGBN_AllComponentsMask & ~XkbGBN_GeometryMask,
      XkbGBN_SymbolsMask, True);
  if (!loaded) return false;
  XkbFreeKeyboard(loaded, 0, True);
  XSync(x.x, False);
  return true;
}

}  // namespace

void SetUpLayouts(X11Window::Impl& x) {
  int opcode = 0, error = 0, major = XkbMajorVersion, minor = XkbMinorVersion;
  x.xkb = XkbQueryExtension(x.x, &opcode, &x.xkbEvent, &error, &major, &minor);
  if (!x.xkb) return;
  // Held keys repeat as presses alone, without a release between them.
  XkbSetDetectableAutoRepeat(x.x, True, nullptr);
  if (FindGroups(x)) return;
  XkbDescPtr current = XkbAllocKeyboard();
  if (current && XkbGetNames(x.x, XkbSymbolsNameMask, current) == Success && current->names)
    x.restoreSymbols = AtomName(x.x, current->names->symbols);
  if (current) XkbFreeKeyboard(current, 0, True);
  if (!LoadSymbols(x, kTwoLayoutSymbols)) x.restoreSymbols.clear();
  FindGroups(x);
}

void RestoreLayouts(X11Window::Impl& x) {
  if (!x.xkb || x.restoreSymbols.empty()) return;
  LockGroup(x, 0);
  LoadSymbols(x, x.restoreSymbols);
}

void LockGroup(X11Window::Impl& x, int group) {
  if (!x.xkb || group < 0) return;
  XkbLockGroup(x.x, XkbUseCoreKbd, static_cast<unsigned>(group));
  // The next key must already type in the new group.
  XSync(x.x, False);
}

int CurrentGroup(X11Window::Impl& x) {
  XkbStateRec state{};
  if (!x.xkb || XkbGetState(x.x, XkbUseCoreKbd, &state) != Success) return 0;
  return state.group;
}

void GroupOnFocusIn(X11Window::Impl& x) {
  if (x.focused) return;
  x.focused = true;
  x.groupOutside = CurrentGroup(x);
  if (x.wantedGroup >= 0 && x.wantedGroup != x.groupOutside) LockGroup(x, x.wantedGroup);
}

void GroupOnFocusOut(X11Window::Impl& x) {
  if (!x.focused) return;
  x.focused = false;
  if (x.groupOutside >= 0 && CurrentGroup(x) != x.groupOutside) LockGroup(x, x.groupOutside);
}

void SyncModifiers(X11Window::Impl& x, Display& display) {
  XWindow rootWindow = 0, child = 0;
  int rx = 0, ry = 0, wx = 0, wy = 0;
  unsigned mask = 0;
  if (!XQueryPointer(x.x, x.window, &rootWindow, &child, &rx, &ry, &wx, &wy, &mask)) return;
  SyncModifiersFromState(display, mask);
}

void SyncModifiersFromState(Display& display, unsigned state) {
  display.SetKeyState(VK_SHIFT, (state & ShiftMask) != 0);
  display.SetKeyState(VK_CONTROL, (state & ControlMask) != 0);
  display.SetKeyState(VK_MENU, (state & Mod1Mask) != 0);
}

void HandleKey(X11Window::Impl& x, Display& display, XKeyEvent& event, bool press,
               const X11Window::KeyHook& hook) {
  KeySym typed = NoSymbol;
  char ignored[16];
  XLookupString(&event, ignored, sizeof ignored, &typed, nullptr);
  // The key's meaning for the control comes from the US layout: Ctrl+C copies whichever
  // layout is active.
  KeySym us = XkbKeycodeToKeysym(x.x, static_cast<KeyCode>(event.keycode), x.usGroup, 0);
  if (us == NoSymbol) us = XkbKeycodeToKeysym(x.x, static_cast<KeyCode>(event.keycode), 0, 0);
  if (us == NoSymbol) us = typed;
  int vk = VirtualKeyFromSymbol(us);
  unsigned scan = ScanCodeOf(event.keycode, us);
  if (!press) {
    if (vk != 0) display.KeyUp(vk, scan);
    return;
  }
  bool shift = display.KeyState(VK_SHIFT) < 0, control = display.KeyState(VK_CONTROL) < 0,
       alt = display.KeyState(VK_MENU) < 0;
  if (hook && vk != 0 && hook(vk, shift, control, alt)) return;
  // Typing goes through the input method, which may have composed several keys into this one
  // (a composed character comes as a key of its own, with no key code).
  std::optional<MethodText> method;
  if (!control && !alt) method = LookUpThroughMethod(x, event);
  if (vk != 0) display.KeyDown(vk, scan);
  if (method && !method->utf8.empty() && static_cast<unsigned char>(method->utf8[0]) >= 0x20 &&
      method->utf8[0] != 0x7F) {
    char32_t u = 0;
    for (size_t i = 0; i < method->utf8.size();)
      if (NextUtf8Character(method->utf8, i, u))
        if (std::optional<uint8_t> ch = CharacterOfText(u)) display.Char(*ch);
    return;
  }
  if (std::optional<uint8_t> ch = CharacterOfKey(typed, vk, control, alt)) display.Char(*ch);
}

}  // namespace kestrix
