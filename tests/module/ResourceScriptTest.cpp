// The resource script and image files the Windows build compiles into the module: the same
// resources the framework's loaders read, in the resource compiler's terms.
#include <gtest/gtest.h>

#include <cstdint>
#include <string>

#include "ImageFiles.h"
#include "ResourceScript.h"
#include "resources/KestrixResources.h"

namespace kestrix {

namespace {

uint32_t Read32(const std::string& bytes, size_t at) {
  uint32_t v = 0;
  for (int i = 3; i >= 0; --i)
    v = v << 8 | static_cast<uint8_t>(bytes[at + static_cast<size_t>(i)]);
  return v;
}

bool Contains(const std::string& text, const std::string& part) {
  return text.find(part) != std::string::npos;
}

TEST(ResourceScript, QuotedTextDoublesQuotesAndEscapesWhatTheCompilerWouldRead) {
  EXPECT_EQ(Quoted("Copy \tCtrl+C"), "\"Copy \\tCtrl+C\"");
  EXPECT_EQ(Quoted("say \"hi\"\\now\n"), "\"say \"\"hi\"\"\\\\now\\n\"");
  // Code page bytes pass as they are: the script declares its code page.
  EXPECT_EQ(Quoted("\xC7\xE1"), "\"\xC7\xE1\"");
}

TEST(ResourceScript, DialogsMenusAndStringsKeepTheirIdentifiersPlacesAndLabels) {
  const ResourceTable& table = KestrixResources();
  const std::string about =
      DialogResource(IDD_ABOUTBOX_KESTRIX, *table.FindDialog(IDD_ABOUTBOX_KESTRIX));
  EXPECT_TRUE(Contains(about, "1 DIALOGEX 34, 22, 260, 55\n"));
  EXPECT_TRUE(Contains(about, "CAPTION \"About Kestrix Control\"\n"));
  EXPECT_TRUE(Contains(about, "FONT 8, \"MS Sans Serif\"\n"));
  EXPECT_TRUE(Contains(about, "  ICON 1, 65535, 10, 10, 20, 20\n"));
  EXPECT_TRUE(Contains(about, "  DEFPUSHBUTTON \"OK\", 1, 221, 7, 32, 14\n"));
  // A child page has no caption.
  const std::string page =
      DialogResource(IDD_PROPPAGE_KESTRIX, *table.FindDialog(IDD_PROPPAGE_KESTRIX));
  EXPECT_FALSE(Contains(page, "CAPTION"));
  EXPECT_TRUE(Contains(page, "STYLE 0x40000040\n"));

  const std::string menu = MenuResource(IDR_CONTEXT_MENU, *table.FindMenu(IDR_CONTEXT_MENU));
  EXPECT_TRUE(Contains(menu, "204 MENU\n"));
  EXPECT_TRUE(Contains(menu, "    MENUITEM \"Copy \\tCtrl+C\", 32768\n"));
  EXPECT_TRUE(Contains(menu, "    MENUITEM \"Paste \\tCtrl+V\", 32769\n"));

  EXPECT_EQ(StringTable({{1, "Velor Control"}, {200, "General"}}),
            "STRINGTABLE\nBEGIN\n  1, \"Velor Control\"\n  200, \"General\"\nEND\n\n");
  EXPECT_EQ(ScriptHeader(LANG_ARABIC_SAUDI_ARABIA),
            "#pragma code_page(1256)\nLANGUAGE 0x1, 0x1\n\n");
}

TEST(ResourceScript, VersionInformationKeepsTheEmptySelfRegistrationMark) {
  const std::string version = VersionResource(*KestrixResources().FindVersionInfo());
  EXPECT_TRUE(Contains(version, "FILEVERSION 1,0,0,1\n"));
  EXPECT_TRUE(Contains(version, "    BLOCK \"040904B0\"\n"));
  EXPECT_TRUE(Contains(version, "      VALUE \"OLESelfRegister\", \"\\0\"\n"));
  EXPECT_TRUE(Contains(version, "      VALUE \"InternalName\", \"KESTRIX\\0\"\n"));
  EXPECT_TRUE(Contains(version, "    VALUE \"Translation\", 0x409, 1200\n"));
}

TEST(ImageFiles, ABitmapRunsBottomUpInPaddedRowsOfBlueGreenRed) {
  ImageResource image{3,
                      2,
                      {OpaquePixel(0x112233), OpaquePixel(0x445566), OpaquePixel(0x778899),
                       OpaquePixel(0xAABBCC), OpaquePixel(0xDDEEFF), OpaquePixel(0x000001)}};
  const std::string file = BitmapFile(image);
  constexpr size_t kRow = 12;  // 9 bytes padded to 4
  ASSERT_EQ(file.size(), 14u + 40u + 2 * kRow);
  EXPECT_EQ(file.substr(0, 2), "BM");
  EXPECT_EQ(Read32(file, 2), file.size());
  EXPECT_EQ(Read32(file, 10), 54u);
  EXPECT_EQ(Read32(file, 18), 3u);
  EXPECT_EQ(Read32(file, 22), 2u);
  // The first row stored is the image's bottom row.
  EXPECT_EQ(static_cast<uint8_t>(file[54]), 0xCC);
  EXPECT_EQ(static_cast<uint8_t>(file[55]), 0xBB);
  EXPECT_EQ(static_cast<uint8_t>(file[56]), 0xAA);
  EXPECT_EQ(static_cast<uint8_t>(file[54 + kRow]), 0x33);
}

TEST(ImageFiles, AnIconKeepsItsAlphaAndMasksItsTransparentPixels) {
  ImageResource image{2, 1, {kTransparentPixel, OpaquePixel(0x102030)}};
  const std::string file = IconFile(image);
  // Directory: reserved, type 1 (icon), one image of 2 x 1 at 32 bits, right after it.
  EXPECT_EQ(Read32(file, 0) & 0xFFFF, 0u);
  EXPECT_EQ(Read32(file, 2) & 0xFFFF, 1u);
  EXPECT_EQ(static_cast<uint8_t>(file[6]), 2);
  EXPECT_EQ(static_cast<uint8_t>(file[7]), 1);
  EXPECT_EQ(Read32(file, 18), 22u);
  EXPECT_EQ(Read32(file, 14), file.size() - 22);
  // The image header counts the mask in its height.
  EXPECT_EQ(Read32(file, 22 + 8), 2u);
  EXPECT_EQ(Read32(file, 22 + 40), 0x00000000u);
  EXPECT_EQ(Read32(file, 22 + 44), 0xFF102030u);
  // One mask row of four bytes: the first pixel is transparent.
  EXPECT_EQ(static_cast<uint8_t>(file[22 + 48]), 0x80);
}

}  // namespace

}  // namespace kestrix
