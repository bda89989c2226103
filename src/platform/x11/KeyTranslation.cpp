#include "platform/x11/KeyTranslation.h"

#include <X11/keysym.h>

#include <utility>

#include "framework/WinTypes.h"
#include "framework/text/TextConversion.h"

namespace kestrix {

namespace {

// Keys whose virtual-key code does not follow from a character.
constexpr std::pair<KeySymbol, int> kNamedKeys[] = {
    {XK_BackSpace, VK_BACK},   {XK_Tab, VK_TAB},          {XK_ISO_Left_Tab, VK_TAB},
    {XK_Return, VK_RETURN},    {XK_KP_Enter, VK_RETURN},  {XK_Escape, VK_ESCAPE},
    {XK_Delete, VK_DELETE},    {XK_KP_Delete, VK_DELETE}, {XK_Insert, VK_INSERT},
    {XK_KP_Insert, VK_INSERT}, {XK_Home, VK_HOME},        {XK_KP_Home, VK_HOME},
    {XK_End, VK_END},          {XK_KP_End, VK_END},       {XK_Prior, VK_PRIOR},
    {XK_KP_Prior, VK_PRIOR},   {XK_Next, VK_NEXT},        {XK_KP_Next, VK_NEXT},
    {XK_Left, VK_LEFT},        {XK_KP_Left, VK_LEFT},     {XK_Right, VK_RIGHT},
    {XK_KP_Right, VK_RIGHT},   {XK_Up, VK_UP},            {XK_KP_Up, VK_UP},
    {XK_Down, VK_DOWN},        {XK_KP_Down, VK_DOWN},     {XK_Shift_L, VK_SHIFT},
    {XK_Shift_R, VK_SHIFT},    {XK_Control_L, VK_CONTROL}, {XK_Control_R, VK_CONTROL},
    {XK_Alt_L, VK_MENU},       {XK_Alt_R, VK_MENU},       {XK_Meta_L, VK_MENU},
    {XK_Meta_R, VK_MENU},      {XK_Caps_Lock, 0x14},      {XK_space, ' '},
    {XK_KP_Space, ' '},        {XK_KP_Multiply, 0x6A},    {XK_KP_Add, 0x6B},
    {XK_KP_Subtract, 0x6D},    {XK_KP_Decimal, 0x6E},     {XK_KP_Divide, 0x6F},
    // The punctuation keys of the US layout.
    {XK_semicolon, 0xBA},      {XK_equal, 0xBB},          {XK_comma, 0xBC},
    {XK_minus, 0xBD},          {XK_period, 0xBE},         {XK_slash, 0xBF},
    {XK_grave, 0xC0},          {XK_bracketleft, 0xDB},    {XK_backslash, 0xDC},
    {XK_bracketright, 0xDD},   {XK_apostrophe, 0xDE},
};

}  // namespace

int VirtualKeyFromSymbol(KeySymbol sym) {
  if (sym >= XK_a && sym <= XK_z) return static_cast<int>(sym - XK_a) + 'A';
  if (sym >= XK_A && sym <= XK_Z) return static_cast<int>(sym);
  if (sym >= XK_0 && sym <= XK_9) return static_cast<int>(sym);
  if (sym >= XK_KP_0 && sym <= XK_KP_9) return static_cast<int>(sym - XK_KP_0) + 0x60;
  if (sym >= XK_F1 && sym <= XK_F12) return static_cast<int>(sym - XK_F1) + 0x70;
  for (const auto& [named, vk] : kNamedKeys)
    if (named == sym) return vk;
  return 0;
}

unsigned ScanCodeOf(unsigned keycode, KeySymbol usSymbol) {
  if (usSymbol == XK_Shift_L) return 0x2A;
  if (usSymbol == XK_Shift_R) return 0x36;
  return keycode >= 8 ? (keycode - 8) & 0xFF : 0;
}

std::optional<char32_t> UnicodeFromSymbol(KeySymbol sym) {
  if ((sym >= 0x20 && sym <= 0x7E) || (sym >= 0xA0 && sym <= 0xFF)) return static_cast<char32_t>(sym);
  // Symbols that name a Unicode character directly.
  if (sym >= 0x01000100 && sym <= 0x0110FFFF) return static_cast<char32_t>(sym - 0x01000000);
  // The older Arabic symbols: the letters, tatweel and marks follow Unicode's order.
  if (sym >= XK_Arabic_hamza && sym <= XK_Arabic_sukun) {
    if (sym > XK_Arabic_ghain && sym < XK_Arabic_tatweel) return std::nullopt;
    return static_cast<char32_t>(0x0621 + (sym - XK_Arabic_hamza));
  }
  switch (sym) {
    case XK_Arabic_comma: return U'\u060C';
    case XK_Arabic_semicolon: return U'\u061B';
    case XK_Arabic_question_mark: return U'\u061F';
    case XK_EuroSign: return U'\u20AC';
    case XK_KP_Space: return U' ';
    case XK_KP_Multiply: return U'*';
    case XK_KP_Add: return U'+';
    case XK_KP_Subtract: return U'-';
    case XK_KP_Decimal: return U'.';
    case XK_KP_Divide: return U'/';
    default: break;
  }
  if (sym >= XK_KP_0 && sym <= XK_KP_9) return static_cast<char32_t>(U'0' + (sym - XK_KP_0));
  return std::nullopt;
}

std::optional<uint8_t> CharacterOfKey(KeySymbol typed, int virtualKey, bool control, bool alt) {
  if (alt && !control) return std::nullopt;  // a system key
  if (control && !alt) {
    if (virtualKey >= 'A' && virtualKey <= 'Z') return static_cast<uint8_t>(virtualKey - 0x40);
    if (virtualKey == VK_BACK) return uint8_t{0x7F};
    if (virtualKey == VK_RETURN) return uint8_t{'\n'};
    return std::nullopt;
  }
  switch (virtualKey) {
    case VK_BACK: return uint8_t{'\b'};
    case VK_TAB: return uint8_t{'\t'};
    case VK_RETURN: return uint8_t{'\r'};
    case VK_ESCAPE: return uint8_t{0x1B};
    default: break;
  }
  std::optional<char32_t> u = UnicodeFromSymbol(typed);
  if (!u) return std::nullopt;
  return CharacterOfText(*u);
}

std::optional<uint8_t> CharacterOfText(char32_t u) {
  // Converted as every text coming in is: a key that types an Arabic-Indic digit types its digit.
  const std::string bytes = Cp1256ForCharacter(u);
  if (bytes.size() != 1 || static_cast<uint8_t>(bytes[0]) < 0x20) return std::nullopt;
  return static_cast<uint8_t>(bytes[0]);
}

}  // namespace kestrix
