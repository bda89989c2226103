#include "Keys.h"

#include <cctype>
#include <cstring>

#include "ScriptWords.h"

namespace kestrix {

namespace {

constexpr int kPacketKey = 0xE7;
// Virtual-key codes, as every display numbers them.
constexpr int kBackspaceKey = 0x08;
constexpr int kTabKey = 0x09;
constexpr int kReturnKey = 0x0D;

struct NamedKey {
  const char* name;
  int vk;
  unsigned scan;
};

constexpr NamedKey kNamedKeys[] = {
    {"space", 0x20, 0x39},     {"return", 0x0D, 0x1C},   {"tab", 0x09, 0x0F},
    {"backspace", 0x08, 0x0E}, {"delete", 0x2E, 0x53},   {"insert", 0x2D, 0x52},
    {"escape", 0x1B, 0x01},    {"left", 0x25, 0x4B},     {"right", 0x27, 0x4D},
    {"up", 0x26, 0x48},        {"down", 0x28, 0x50},     {"home", 0x24, 0x47},
    {"end", 0x23, 0x4F},       {"pageup", 0x21, 0x49},   {"pagedown", 0x22, 0x51},
    {"shift", 0x10, 0x2A},     {"rshift", 0x10, 0x36},   {"ctrl", 0x11, 0x1D},
    {"alt", 0x12, 0x38},       {"minus", 0xBD, 0x0C},    {"numpadminus", 0x6D, 0x4A},
};

// Scan codes of the letters and digits on a US keyboard.
constexpr char kLetterRows[] = "qwertyuiopasdfghjklzxcvbnm";
constexpr unsigned kLetterScans[] = {0x10, 0x11, 0x12, 0x13, 0x14, 0x15, 0x16, 0x17, 0x18,
                                     0x19, 0x1E, 0x1F, 0x20, 0x21, 0x22, 0x23, 0x24, 0x25,
                                     0x26, 0x2C, 0x2D, 0x2E, 0x2F, 0x30, 0x31, 0x32};

unsigned LetterScan(char lower) {
  const char* at = std::strchr(kLetterRows, lower);
  return at ? kLetterScans[at - kLetterRows] : 0;
}

// US punctuation: the key that types it and whether Shift is needed.
struct Punctuation {
  char ch;
  int vk;
  bool shift;
};
constexpr Punctuation kPunctuation[] = {
    {'-', 0xBD, false}, {'_', 0xBD, true},  {'=', 0xBB, false}, {'+', 0xBB, true},
    {'[', 0xDB, false}, {'{', 0xDB, true},  {']', 0xDD, false}, {'}', 0xDD, true},
    {'\\', 0xDC, false}, {'|', 0xDC, true}, {';', 0xBA, false}, {':', 0xBA, true},
    {'\'', 0xDE, false}, {'"', 0xDE, true}, {',', 0xBC, false}, {'<', 0xBC, true},
    {'.', 0xBE, false}, {'>', 0xBE, true},  {'/', 0xBF, false}, {'?', 0xBF, true},
    {'`', 0xC0, false}, {'~', 0xC0, true},  {')', '0', true},   {'!', '1', true},
    {'@', '2', true},   {'#', '3', true},   {'$', '4', true},   {'%', '5', true},
    {'^', '6', true},   {'&', '7', true},   {'*', '8', true},   {'(', '9', true},
};

// Arabic letters of the code page on the Arabic (101) keyboard: the byte and the US letter
// key in the same place.
struct ArabicKey {
  unsigned char byte;
  char key;
};
constexpr ArabicKey kArabicKeys[] = {
    {0xD6, 'q'}, {0xD5, 'w'}, {0xCB, 'e'}, {0xDE, 'r'}, {0xDD, 't'}, {0xDB, 'y'}, {0xDA, 'u'},
    {0xE5, 'i'}, {0xCE, 'o'}, {0xCD, 'p'}, {0xD4, 'a'}, {0xD3, 's'}, {0xED, 'd'}, {0xC8, 'f'},
    {0xE1, 'g'}, {0xC7, 'h'}, {0xCA, 'j'}, {0xE4, 'k'}, {0xE3, 'l'}, {0xC6, 'z'}, {0xC1, 'x'},
    {0xC4, 'c'}, {0xD1, 'v'}, {0xEC, 'n'}, {0xC9, 'm'}, {0xE6, ','}, {0xD2, '.'}, {0xD9, '/'},
};

}  // namespace

std::optional<KeyInfo> KeyByName(const std::string& name) {
  std::string n = Lower(name);
  for (const NamedKey& k : kNamedKeys)
    if (n == k.name) return KeyInfo{k.vk, k.scan};
  if (n.size() == 1 && std::isalpha(static_cast<unsigned char>(n[0])))
    return KeyInfo{std::toupper(static_cast<unsigned char>(n[0])), LetterScan(n[0])};
  if (n.size() == 1 && std::isdigit(static_cast<unsigned char>(n[0])))
    return KeyInfo{n[0], static_cast<unsigned>(n[0] == '0' ? 0x0B : 0x02 + (n[0] - '1'))};
  if (n.size() >= 2 && n[0] == 'f') {
    std::optional<int64_t> f = ParseNumber(n.substr(1));
    if (f && *f >= 1 && *f <= 12) return KeyInfo{0x70 + static_cast<int>(*f) - 1, static_cast<unsigned>(*f <= 10 ? 0x3A + *f : 0x57 + *f - 11)};
  }
  if (n.rfind("vk:", 0) == 0) {
    std::optional<int64_t> code = ParseNumber(n.substr(3));
    if (code && *code >= 0 && *code <= 0xFF) return KeyInfo{static_cast<int>(*code), 0};
  }
  return std::nullopt;
}

int CharacterOfKey(int vk, bool shift, bool ctrl) {
  if (vk >= 'A' && vk <= 'Z') return ctrl ? vk - 'A' + 1 : (shift ? vk : vk - 'A' + 'a');
  if (ctrl) return vk == kBackspaceKey ? 0x7F : -1;
  switch (vk) {
    case kReturnKey: return 0x0D;
    case kTabKey: return 0x09;
    case kBackspaceKey: return 0x08;
    case 0x1B: return 0x1B;
    case 0x20: return ' ';
    case 0x6D: return '-';
    default: break;
  }
  if (vk >= '0' && vk <= '9') {
    if (!shift) return vk;
    for (const Punctuation& p : kPunctuation)
      if (p.vk == vk && p.shift) return p.ch;
  }
  for (const Punctuation& p : kPunctuation)
    if (p.vk == vk && p.shift == shift && p.vk > '9') return p.ch;
  return -1;
}

Keystroke KeystrokeFor(unsigned char byte) {
  if (byte == '\r') return {{kReturnKey, 0x1C}, false};
  if (byte == '\t') return {{kTabKey, 0x0F}, false};
  if (byte == 0x08) return {{kBackspaceKey, 0x0E}, false};
  if (byte == ' ') return {{0x20, 0x39}, false};
  if (std::isalpha(byte) && byte < 0x80) {
    char lower = static_cast<char>(std::tolower(byte));
    return {{std::toupper(byte), LetterScan(lower)}, std::isupper(byte) != 0};
  }
  if (std::isdigit(byte)) return {*KeyByName(std::string(1, static_cast<char>(byte))), false};
  for (const Punctuation& p : kPunctuation)
    if (static_cast<unsigned char>(p.ch) == byte) return {{p.vk, 0}, p.shift};
  for (const ArabicKey& a : kArabicKeys) {
    if (a.byte != byte) continue;
    if (std::optional<KeyInfo> letter = KeyByName(std::string(1, a.key))) return {*letter, false};
    for (const Punctuation& p : kPunctuation)
      if (p.ch == a.key && !p.shift) return {{p.vk, 0}, false};
  }
  return {{kPacketKey, 0}, false};
}

}  // namespace kestrix
