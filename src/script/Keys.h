// Keys by name, their scan codes, and the characters a US keyboard (and, for Arabic letters,
// the Arabic 101 keyboard) types with them.
#pragma once

#include <optional>
#include <string>

namespace kestrix {

struct KeyInfo {
  int vk = 0;
  unsigned scan = 0;
};

// A key name of the script (case-insensitive), or vk:0xNN; nothing when unknown.
std::optional<KeyInfo> KeyByName(const std::string& name);

// The character a key types with the modifiers given, or -1 when it types none.
int CharacterOfKey(int vk, bool shift, bool ctrl);

// How a code-page byte is typed: the key, and whether Shift must be down for it.
struct Keystroke {
  KeyInfo key;
  bool shift = false;
};
Keystroke KeystrokeFor(unsigned char byte);

}  // namespace kestrix
