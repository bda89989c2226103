// What the container shows: the control's window paints what the control draws, Arabic and
// English in their fonts. The picture is kept (KESTRIX_WINDOWS_OUTPUT names the directory).
#include <gtest/gtest.h>

#include <cstdlib>
#include <set>

#include "Automation.h"
#include "Container.h"
#include "Pixels.h"
#include "framework/ole/Unknown.h"

namespace kestrix {

namespace {

// Columns that hold any pixel unlike the background at (0, 0).
// What the control draws of itself for a container, at the window's size, less the frame: the
// window's client area shows the same.
Picture DrawnClientPart(const Container& container, HWND window) {
  RECT outer{}, client{};
  GetWindowRect(window, &outer);
  GetClientRect(window, &client);
  POINT origin{0, 0};
  ClientToScreen(window, &origin);
  return Crop(DrawObject(container.Control(), outer.right - outer.left, outer.bottom - outer.top),
              origin.x - outer.left, origin.y - outer.top, client.right, client.bottom);
}

int InkedColumns(const Picture& picture) {
  const uint32_t background = picture.At(0, 0);
  int columns = 0;
  for (int x = 0; x < picture.width; ++x)
    for (int y = 0; y < picture.height; ++y)
      if (picture.At(x, y) != background) {
        ++columns;
        break;
      }
  return columns;
}

TEST(ControlScreen, TheWindowShowsWhatTheControlDrawsOfArabicAndEnglish) {
  Container container;
  ASSERT_EQ(container.Create(), S_OK);
  Automation a(container.Dispatch());
  VARIANT font = a.Get(L"FontAr");
  ASSERT_EQ(font.vt, VT_DISPATCH);
  CY size{};
  size.int64 = 16 * 10000;
  VARIANT sizeValue;
  VariantInit(&sizeValue);
  sizeValue.vt = VT_CY;
  sizeValue.cyVal = size;
  Automation(font.pdispVal).Put(L"Size", sizeValue);
  VariantClear(&font);
  ASSERT_EQ(a.PutBool(L"MultiLines", true), S_OK);
  ASSERT_EQ(a.Put(L"Text",
                  std::wstring(
                      L"Kestrix \u064A\u0643\u062A\u0628 "
                      L"\u0627\u0644\u0639\u0631\u0628\u064A\u0629 and English\r"
                      L"\u0645\u0631\u062D\u0628\u0627 \u0628\u0627\u0644\u0639\u0627\u0644\u0645 "
                      L"Hello, world\r1234 \u0627\u0644\u0633\u0644\u0627\u0645")),
            S_OK);
  PumpMessages(100);

  const HWND window = container.ControlWindow();
  const Picture shown = CaptureClient(window);
  // The sunken edge is the window's frame.
  ASSERT_EQ(shown.width, Container::kWidth - 4);
  ASSERT_EQ(shown.height, Container::kHeight - 4);
  EXPECT_GT(InkedColumns(shown), shown.width / 3);
  // Colours beyond the background and the text's: the glyphs are drawn smoothed.
  std::set<uint32_t> colours(shown.pixels.begin(), shown.pixels.end());
  EXPECT_GT(colours.size(), 8u);

  // The window shows exactly what the control draws for a container that draws it itself.
  EXPECT_EQ(DrawnClientPart(container, window).pixels, shown.pixels);

  if (const char* directory = std::getenv("KESTRIX_WINDOWS_OUTPUT")) {
    EXPECT_TRUE(
        WritePng(CaptureClient(container.Form()), std::string(directory) + "/kestrix-ocx.png"));
  }
}

}  // namespace

namespace {

TEST(ControlScreen, AContainerThatMovesTheControlGetsItsWindowAtTheNewSizeDrawnAnew) {
  Container container;
  ASSERT_EQ(container.Create(), S_OK);
  ASSERT_EQ(Automation(container.Dispatch())
                .Put(L"Text", std::wstring(L"\u0645\u0631\u062D\u0628\u0627 Hello")),
            S_OK);
  IOleInPlaceObject* inPlace = nullptr;
  ASSERT_EQ(container.Control()->QueryInterface(IID_IOleInPlaceObject,
                                                reinterpret_cast<void**>(&inPlace)),
            S_OK);
  const RECT smaller{10, 20, 210, 90};
  ASSERT_EQ(inPlace->SetObjectRects(&smaller, &smaller), S_OK);
  inPlace->Release();
  PumpMessages(50);
  RECT where{};
  GetWindowRect(container.ControlWindow(), &where);
  MapWindowPoints(nullptr, container.Form(), reinterpret_cast<POINT*>(&where), 2);
  EXPECT_EQ(where.left, 10);
  EXPECT_EQ(where.top, 20);
  const Picture shown = CaptureClient(container.ControlWindow());
  ASSERT_EQ(shown.width, 196);
  ASSERT_EQ(shown.height, 66);
  EXPECT_GT(InkedColumns(shown), 20);
  EXPECT_EQ(DrawnClientPart(container, container.ControlWindow()).pixels, shown.pixels);
}

}  // namespace

namespace {

// A container that draws the control itself listens for its view changes.
class ViewSink final
    : public kestrix::com::Object<kestrix::com::Uncounted, kestrix::com::Answer<IAdviseSink, IID_IUnknown, IID_IAdviseSink>> {
 public:
  int changes = 0;
  void STDMETHODCALLTYPE OnDataChange(FORMATETC*, STGMEDIUM*) override {}
  void STDMETHODCALLTYPE OnViewChange(DWORD aspect, LONG) override {
    changes += aspect == DVASPECT_CONTENT;
  }
  void STDMETHODCALLTYPE OnRename(IMoniker*) override {}
  void STDMETHODCALLTYPE OnSave() override {}
  void STDMETHODCALLTYPE OnClose() override {}
};

TEST(ControlScreen, AContainerThatDrawsTheControlIsToldWhenItsViewChanges) {
  Container container;
  ASSERT_EQ(container.Create(), S_OK);
  IViewObject2* view = nullptr;
  ASSERT_EQ(container.Control()->QueryInterface(IID_IViewObject2, reinterpret_cast<void**>(&view)),
            S_OK);
  ViewSink sink;
  ASSERT_EQ(view->SetAdvise(DVASPECT_CONTENT, 0, &sink), S_OK);
  ASSERT_EQ(Automation(container.Dispatch()).Put(L"Text", std::wstring(L"\u0628")), S_OK);
  EXPECT_GT(sink.changes, 0);
  SIZEL extent{};
  ASSERT_EQ(view->GetExtent(DVASPECT_CONTENT, -1, nullptr, &extent), S_OK);
  // HIMETRIC of the form's client area, at the screen's resolution.
  HDC screen = GetDC(nullptr);
  EXPECT_EQ(extent.cx, MulDiv(Container::kWidth, 2540, GetDeviceCaps(screen, LOGPIXELSX)));
  ReleaseDC(nullptr, screen);
  view->SetAdvise(DVASPECT_CONTENT, 0, nullptr);
  view->Release();
}

}  // namespace

namespace {

TEST(ControlScreen, TheWheelScrollsTheLines) {
  Container container;
  ASSERT_EQ(container.Create(), S_OK);
  Automation a(container.Dispatch());
  ASSERT_EQ(a.PutBool(L"MultiLines", true), S_OK);
  std::wstring text;
  for (int i = 0; i < 40; ++i) text += L"\u0633\u0637\u0631 line " + std::to_wstring(i) + L"\r";
  ASSERT_EQ(a.Put(L"Text", text), S_OK);
  const HWND window = container.ControlWindow();
  SetFocus(window);
  PumpMessages(50);
  const Picture before = CaptureClient(window);
  // A turn towards the user, at a point given on the screen as the system gives it.
  POINT at{100, 40};
  ClientToScreen(window, &at);
  PostMessageW(window, WM_MOUSEWHEEL, MAKEWPARAM(0, static_cast<WORD>(-WHEEL_DELTA)),
               MAKELPARAM(at.x, at.y));
  PumpMessages(50);
  const Picture after = CaptureClient(window);
  EXPECT_NE(before.pixels, after.pixels);
  EXPECT_EQ(DrawnClientPart(container, window).pixels, after.pixels);
  // The text itself did not change.
  EXPECT_EQ(a.GetText(L"Text"), text);
}

}  // namespace

}  // namespace kestrix
