// What a key of the X keyboard means to the control: its virtual-key code, its scan code and
// the code page 1256 character it types. Pure functions of key symbols, so tests need no server.
#pragma once

#include <cstdint>
#include <optional>

namespace kestrix {

// A key symbol as X numbers it (the values of X11/keysymdef.h).
using KeySymbol = unsigned long;

// The virtual-key code of a key, from the symbol the key has in the US layout at its first
// level (so that Ctrl+C is Ctrl+C whatever layout is active); 0 for a key with none.
int VirtualKeyFromSymbol(KeySymbol usSymbol);
// The PC scan code the key messages carry, from the X key code (evdev numbering, 8 more than
// the scan code). The Shift keys are told by their symbol: left 0x2A, right 0x36.
unsigned ScanCodeOf(unsigned keycode, KeySymbol usSymbol);
// The Unicode character a key symbol types, or nothing (function keys, modifiers).
std::optional<char32_t> UnicodeFromSymbol(KeySymbol symbol);
// The character message of a key press, or nothing: typed is the symbol in the active layout
// and level; Control with a letter gives its control character, Alt alone gives none, and a
// character the code page lacks is dropped.
std::optional<uint8_t> CharacterOfKey(KeySymbol typed, int virtualKey, bool control, bool alt);
// The character message of a typed character (as an input method gives it), or nothing when
// the code page lacks it.
std::optional<uint8_t> CharacterOfText(char32_t typed);

}  // namespace kestrix
