// Faces that live in a font collection: the control reads the whole collection and the face's
// index in it, so a collected face draws exactly as the same face installed on its own.
#include <gtest/gtest.h>

#include <string>

#include "Automation.h"
#include "CollectionFile.h"
#include "Container.h"
#include "Pixels.h"
#include "platform/win32/GdiFonts.h"

namespace kestrix {

namespace {

constexpr wchar_t kLatin[] = L"DejaVu Serif";
constexpr wchar_t kArabic[] = L"Noto Kufi Arabic";

void SetFontName(Automation& control, const wchar_t* font, const wchar_t* name) {
  VARIANT object = control.Get(font);
  ASSERT_EQ(object.vt, VT_DISPATCH);
  EXPECT_EQ(Automation(object.pdispVal).Put(L"Name", std::wstring(name)), S_OK);
  VariantClear(&object);
}

// What the control shows of Arabic and English text in these two faces.
Picture Shown(const wchar_t* latin, const wchar_t* arabic) {
  Container container;
  EXPECT_EQ(container.Create(), S_OK);
  Automation a(container.Dispatch());
  SetFontName(a, L"FontEn", latin);
  SetFontName(a, L"FontAr", arabic);
  EXPECT_EQ(a.Put(L"Text", std::wstring(L"\u0645\u0631\u062D\u0628\u0627 \u0628\u0627\u0644"
                                        L"\u0639\u0627\u0644\u0645 Hello, world")),
            S_OK);
  PumpMessages(50);
  return CaptureClient(container.ControlWindow());
}

int InkedColumns(const Picture& picture) {
  int columns = 0;
  for (int x = 0; x < picture.width; ++x)
    for (int y = 0; y < picture.height; ++y)
      if (picture.At(x, y) != picture.At(0, 0)) {
        ++columns;
        break;
      }
  return columns;
}

TEST(FontCollections, FacesOfACollectionDrawAsTheSameFacesInstalledOnTheirOwn) {
  wchar_t directory[MAX_PATH] = {};
  GetTempPathW(MAX_PATH, directory);
  const std::wstring path = std::wstring(directory) + L"kestrix-test-pair.ttc";
  // The Arabic face second: its index in the collection is 1.
  if (!WriteCollection({{kLatin, L"Kestrix Pair Latin"}, {kArabic, L"Kestrix Pair Naskh"}}, path))
    GTEST_SKIP() << "the faces to collect are not installed";
  ASSERT_GT(AddFontResourceExW(path.c_str(), FR_PRIVATE, nullptr), 0);
  // GDI gives the collected faces by their new names, from the collection.
  for (const wchar_t* family : {L"Kestrix Pair Latin", L"Kestrix Pair Naskh"}) {
    const SelectedFace selected = Select(family);
    EXPECT_EQ(selected.face, family);
    EXPECT_TRUE(selected.inCollection) << family;
  }

  // The module reads the first face as the whole collection with its index. (Wine 8 does not
  // let the second face be matched, and gives its data rebased as a font of its own, which
  // the module then reads as it is.)
  const gdifonts::FoundFace latin = gdifonts::Find({"Kestrix Pair Latin", 400, false, false});
  const gdifonts::FoundFace arabic = gdifonts::Find({"Kestrix Pair Naskh", 400, false, true});
  ASSERT_TRUE(latin.bytes && arabic.bytes);
  EXPECT_EQ(latin.bytes->substr(0, 4), "ttcf");
  EXPECT_EQ(latin.index, 0);
  EXPECT_TRUE(arabic.coversArabic);

  const Picture installed = Shown(kLatin, kArabic);
  const Picture collected = Shown(L"Kestrix Pair Latin", L"Kestrix Pair Naskh");
  EXPECT_GT(InkedColumns(installed), 60);
  EXPECT_EQ(collected.pixels, installed.pixels);

  RemoveFontResourceExW(path.c_str(), FR_PRIVATE, nullptr);
  DeleteFileW(path.c_str());
}

}  // namespace

}  // namespace kestrix
