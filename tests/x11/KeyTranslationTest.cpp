// Keys as the control sees them: virtual keys from the US layout, Shift told apart by scan
// code, characters in code page 1256 or none.
#include <X11/keysym.h>
#include <gtest/gtest.h>

#include "framework/WinTypes.h"
#include "platform/x11/KeyTranslation.h"

namespace kestrix {

TEST(KeyTranslation, VirtualKeysComeFromTheUsLayout) {
  EXPECT_EQ(VirtualKeyFromSymbol(XK_c), 'C');
  EXPECT_EQ(VirtualKeyFromSymbol(XK_C), 'C');
  EXPECT_EQ(VirtualKeyFromSymbol(XK_7), '7');
  EXPECT_EQ(VirtualKeyFromSymbol(XK_Left), VK_LEFT);
  EXPECT_EQ(VirtualKeyFromSymbol(XK_KP_Next), VK_NEXT);
  EXPECT_EQ(VirtualKeyFromSymbol(XK_Shift_R), VK_SHIFT);
  EXPECT_EQ(VirtualKeyFromSymbol(XK_Control_L), VK_CONTROL);
  EXPECT_EQ(VirtualKeyFromSymbol(XK_F5), VK_F5);
  EXPECT_EQ(VirtualKeyFromSymbol(XK_minus), 0xBD);
  EXPECT_EQ(VirtualKeyFromSymbol(XK_Arabic_alef), 0);
}

TEST(KeyTranslation, ShiftKeysCarryTheScanCodesThatChooseTheReadingOrder) {
  // Left Shift (key code 50) and right Shift (62) on an evdev keyboard.
  EXPECT_EQ(ScanCodeOf(50, XK_Shift_L), 0x2Au);
  EXPECT_EQ(ScanCodeOf(62, XK_Shift_R), 0x36u);
  // Each passes only its own test of the control's key path.
  EXPECT_NE(ScanCodeOf(62, XK_Shift_R) & 0x2A, 0x2Au);
  EXPECT_NE(ScanCodeOf(50, XK_Shift_L) & 0x36, 0x36u);
  EXPECT_EQ(ScanCodeOf(38, XK_a), 30u);  // evdev numbers are the PC scan codes plus 8
}

TEST(KeyTranslation, CharactersInTheCodePage) {
  EXPECT_EQ(CharacterOfKey(XK_a, 'A', false, false), uint8_t{'a'});
  EXPECT_EQ(CharacterOfKey(XK_A, 'A', false, false), uint8_t{'A'});
  // Arabic from the older symbols and from Unicode symbols: alef 0xC7, yeh 0xED, the Arabic
  // comma 0xA1, the Persian peh 0x81.
  EXPECT_EQ(CharacterOfKey(XK_Arabic_alef, 'H', false, false), uint8_t{0xC7});
  EXPECT_EQ(CharacterOfKey(XK_Arabic_yeh, 'D', false, false), uint8_t{0xED});
  EXPECT_EQ(CharacterOfKey(XK_Arabic_comma, 'K', false, false), uint8_t{0xA1});
  EXPECT_EQ(CharacterOfKey(0x100067E, 'M', false, false), uint8_t{0x81});
  EXPECT_EQ(CharacterOfKey(XK_Arabic_tatweel, 'J', false, false), uint8_t{0xDC});
  EXPECT_EQ(CharacterOfKey(XK_Arabic_fatha, 'Q', false, false), uint8_t{0xF3});
  EXPECT_EQ(CharacterOfKey(XK_EuroSign, 'E', false, false), uint8_t{0x80});
}

TEST(KeyTranslation, CharactersOutsideTheCodePageAndFunctionKeysTypeNothing) {
  EXPECT_FALSE(CharacterOfKey(0x1000416, 0, false, false));  // Cyrillic
  EXPECT_FALSE(CharacterOfKey(XK_Left, VK_LEFT, false, false));
  EXPECT_FALSE(CharacterOfKey(XK_Delete, VK_DELETE, false, false));
  EXPECT_FALSE(CharacterOfKey(XK_Shift_L, VK_SHIFT, false, false));
}

TEST(KeyTranslation, ControlAndAltChangeTheCharacter) {
  // Ctrl+C copies whatever layout is active: the character follows the virtual key.
  EXPECT_EQ(CharacterOfKey(XK_Arabic_waw, 'C', true, false), uint8_t{3});
  EXPECT_EQ(CharacterOfKey(XK_v, 'V', true, false), uint8_t{22});
  EXPECT_FALSE(CharacterOfKey(XK_5, '5', true, false));
  EXPECT_FALSE(CharacterOfKey(XK_a, 'A', false, true));
  // The editing keys that type a control character.
  EXPECT_EQ(CharacterOfKey(XK_Return, VK_RETURN, false, false), uint8_t{'\r'});
  EXPECT_EQ(CharacterOfKey(XK_BackSpace, VK_BACK, false, false), uint8_t{'\b'});
  EXPECT_EQ(CharacterOfKey(XK_Tab, VK_TAB, false, false), uint8_t{'\t'});
}

}  // namespace kestrix
