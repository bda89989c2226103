// The module's resources as a host or the framework reads them: strings, the right-button
// menu, the version information and the two images.
#include <gtest/gtest.h>

#include "framework/window/CMenu.h"
#include "resources/KestrixResources.h"

namespace kestrix {

namespace {

TEST(KestrixResources, StringsAndTheirLanguage) {
  const ResourceTable& r = KestrixResources();
  EXPECT_EQ(r.Language(), 0x0401);
  EXPECT_EQ(LoadResourceString(r, IDS_KESTRIX), "Velor Control");
  EXPECT_EQ(LoadResourceString(r, IDS_KESTRIX_PPG), "Kestrix Property Page");
  EXPECT_EQ(LoadResourceString(r, IDS_KESTRIX_PPG_CAPTION), "General");
  std::string text = "left over";
  EXPECT_FALSE(LoadString(r, 3, text));
  EXPECT_EQ(text, "");
  // Asked in another language, the module has nothing.
  EXPECT_EQ(r.FindString(IDS_KESTRIX, LANG_ENGLISH_US), nullptr);
  EXPECT_NE(r.FindString(IDS_KESTRIX, LANG_ARABIC_SAUDI_ARABIA), nullptr);
}

TEST(KestrixResources, ContextMenuLoadsAsOnePopupWithCopyAndPaste) {
  CMenu menu;
  ASSERT_TRUE(menu.LoadMenu(KestrixResources(), IDR_CONTEXT_MENU));
  CMenu* popup = menu.GetSubMenu(0);
  ASSERT_NE(popup, nullptr);
  EXPECT_EQ(menu.GetSubMenu(1), nullptr);
  EXPECT_EQ(popup->Title(), "IDR_RBUTTON_MENU");
  ASSERT_EQ(popup->Items().size(), 2u);
  EXPECT_EQ(popup->Items()[0].text, "Copy \tCtrl+C");
  EXPECT_EQ(popup->Items()[0].id, 32768u);
  EXPECT_EQ(popup->Items()[1].text, "Paste \tCtrl+V");
  EXPECT_EQ(popup->Items()[1].id, 32769u);
  CMenu missing;
  EXPECT_FALSE(missing.LoadMenu(KestrixResources(), 205));
  EXPECT_EQ(missing.GetSubMenu(0), nullptr);
}

TEST(KestrixResources, VersionInformationMarksTheModuleSelfRegistering) {
  const VersionInfo* v = KestrixResources().FindVersionInfo();
  ASSERT_NE(v, nullptr);
  EXPECT_EQ(v->fileVersion, (std::array<uint16_t, 4>{1, 0, 0, 1}));
  EXPECT_EQ(v->productVersion, (std::array<uint16_t, 4>{1, 0, 0, 1}));
  EXPECT_EQ(v->translationLanguage, 0x0409);
  EXPECT_EQ(v->translationCodePage, 0x04B0);
  EXPECT_EQ(*v->Find("FileVersion"), "1, 0, 0, 1");
  EXPECT_EQ(*v->Find("ProductVersion"), "1, 0, 0, 1");
  EXPECT_EQ(*v->Find("FileDescription"), "Kestrix ActiveX Control Module");
  EXPECT_EQ(*v->Find("ProductName"), "Kestrix ActiveX Control Module");
  EXPECT_EQ(*v->Find("InternalName"), "KESTRIX");
  ASSERT_NE(v->Find("OLESelfRegister"), nullptr);
  EXPECT_EQ(*v->Find("OLESelfRegister"), "");
  EXPECT_EQ(v->Find("CompanyName"), nullptr);
}

TEST(KestrixResources, ToolboxBitmapAndIcon) {
  const ImageResource* bitmap = KestrixResources().FindBitmap(IDB_KESTRIX);
  ASSERT_NE(bitmap, nullptr);
  EXPECT_EQ(bitmap->width, 16);
  EXPECT_EQ(bitmap->height, 15);
  const ImageResource* icon = KestrixResources().FindIcon(IDI_ABOUTDLL);
  ASSERT_NE(icon, nullptr);
  EXPECT_EQ(icon->width, 32);
  EXPECT_EQ(icon->height, 32);
  // The icon's corners let the background through; its middle is drawn.
  EXPECT_TRUE(icon->IsTransparent(0, 0));
  EXPECT_TRUE(icon->IsTransparent(31, 31));
  EXPECT_FALSE(icon->IsTransparent(16, 16));
}

TEST(ImageResourceTest, RowsMustAgreeWithEachOtherAndThePalette) {
  EXPECT_THROW(ImageFromRows({"ab", "a"}, {{'a', 0}, {'b', 0}}), std::invalid_argument);
  EXPECT_THROW(ImageFromRows({"ax"}, {{'a', 0}}), std::invalid_argument);
  ImageResource ok = ImageFromRows({"ab"}, {{'a', OpaquePixel(0x123456)}, {'b', kTransparentPixel}});
  EXPECT_EQ(ok.Pixel(0, 0), 0xFF123456u);
  EXPECT_TRUE(ok.IsTransparent(1, 0));
  EXPECT_EQ(ok.Pixel(5, 5), 0u);
}

}  // namespace

}  // namespace kestrix
