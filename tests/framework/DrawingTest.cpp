// Window geometry, frames, clipping of drawing contexts, and the CDC operations.
#include <gtest/gtest.h>

#include <cstdlib>

#include "RecordingWindow.h"
#include "framework/window/CDC.h"

namespace kestrix {

namespace {

constexpr COLORREF kRed = RGB(255, 0, 0);
constexpr uint32_t kWhite = 0xFFFFFF;

class DrawingTest : public ::testing::Test {
 protected:
  // Fills everything a DC on w may reach.
  void FloodClient(CWnd& w, COLORREF color) {
    CDC* dc = w.GetDC();
    CRect everything(-10000, -10000, 10000, 10000);
    dc->FillSolidRect(&everything, color);
    EXPECT_EQ(w.ReleaseDC(dc), 1);
  }
  // How many surface pixels have the colour.
  int Count(uint32_t xrgb) {
    int n = 0;
    for (uint32_t p : display.GetSurface().Pixels()) n += p == xrgb ? 1 : 0;
    return n;
  }
  Display display{200, 150};
};

TEST_F(DrawingTest, BorderAndClientEdgeNarrowTheClientArea) {
  struct Case {
    DWORD style, exStyle;
    int edge;
  };
  for (Case c : {Case{0, 0, 0}, Case{WS_BORDER, 0, 1}, Case{0, WS_EX_CLIENTEDGE, 2},
                 Case{WS_BORDER, WS_EX_CLIENTEDGE, 3}}) {
    CWnd w;
    ASSERT_TRUE(CreateTop(w, CRect(20, 30, 80, 70), c.exStyle, c.style));
    CRect client;
    w.GetClientRect(&client);
    EXPECT_EQ(client, CRect(0, 0, 60 - 2 * c.edge, 40 - 2 * c.edge)) << c.edge;
    POINT origin = display.ClientOriginOnSurface(w.m_hWnd);
    EXPECT_EQ(origin.x, 20 + c.edge);
    EXPECT_EQ(origin.y, 30 + c.edge);
  }
}

TEST_F(DrawingTest, ClientEdgeIsTwoGreyPixelsAroundTheClient) {
  CWnd w;
  ASSERT_TRUE(CreateTop(w, CRect(10, 10, 50, 40), WS_EX_CLIENTEDGE));
  FloodClient(w, kRed);
  Surface frame = display.CaptureWindow(w.m_hWnd);
  for (int i : {0, 1}) {
    // Sunken: the top and left darker than the bottom and right.
    uint32_t topLeft = frame.Pixel(i, 15), bottomRight = frame.Pixel(39 - i, 15);
    EXPECT_NE(topLeft, kWhite);
    EXPECT_LT(topLeft & 0xFF, bottomRight & 0xFF);
    EXPECT_EQ(frame.Pixel(15, i), topLeft);
    EXPECT_EQ((topLeft >> 8) & 0xFF, topLeft & 0xFF);  // grey
  }
  EXPECT_EQ(Count(XrgbFromColorRef(kRed)), 36 * 26);
  EXPECT_EQ(frame.Pixel(2, 2), XrgbFromColorRef(kRed));
}

TEST_F(DrawingTest, DrawingStaysInsideTheClientAreaAndTheParents) {
  CWnd parent, child;
  ASSERT_TRUE(CreateTop(parent, CRect(10, 10, 110, 90), 0, WS_BORDER));
  // The child reaches past its parent's client area on the right and bottom.
  ASSERT_TRUE(CreateChild(child, parent, CRect(60, 50, 160, 150)));
  FloodClient(child, kRed);
  // Parent's client is 98 × 78 at (11, 11); the child's visible part is 38 × 28.
  EXPECT_EQ(Count(XrgbFromColorRef(kRed)), 38 * 28);
  EXPECT_EQ(display.GetSurface().Pixel(11 + 60, 11 + 50), XrgbFromColorRef(kRed));
  EXPECT_EQ(display.GetSurface().Pixel(11 + 98, 11 + 50), 0x646464u);  // parent's border
}

TEST_F(DrawingTest, VisibleChildIsExcludedUntilHidden) {
  CWnd parent, child;
  ASSERT_TRUE(CreateTop(parent, CRect(0, 0, 100, 100)));
  ASSERT_TRUE(CreateChild(child, parent, CRect(20, 20, 40, 50)));
  const uint32_t green = XrgbFromColorRef(RGB(0, 255, 0));
  FloodClient(child, RGB(0, 255, 0));
  FloodClient(parent, kRed);
  EXPECT_EQ(Count(green), 20 * 30);
  EXPECT_EQ(Count(XrgbFromColorRef(kRed)), 100 * 100 - 20 * 30);
  child.ShowWindow(SW_HIDE);
  EXPECT_FALSE(child.IsWindowVisible());
  FloodClient(parent, kRed);
  EXPECT_EQ(Count(XrgbFromColorRef(kRed)), 100 * 100);
  // A hidden window draws nothing at all.
  FloodClient(child, RGB(0, 255, 0));
  EXPECT_EQ(Count(green), 0);
}

TEST_F(DrawingTest, InvertingTwiceRestoresEveryPixel) {
  CWnd w;
  ASSERT_TRUE(CreateTop(w, CRect(5, 5, 105, 85)));
  CDC* dc = w.GetDC();
  for (int y = 0; y < 80; ++y)
    for (int x = 0; x < 100; ++x)
      dc->m_hDC->SetPixel(x, y, RGB(x * 2, y * 3, (x * y) & 0xFF));
  const std::vector<uint32_t> before = display.GetSurface().Pixels();
  CRect r(-5, 10, 60, 200);
  dc->InvertRect(&r);
  EXPECT_EQ(dc->GetPixel(0, 10), RGB(255, 255 - 30, 255));
  EXPECT_EQ(dc->GetPixel(0, 9), RGB(0, 27, 0));
  dc->InvertRect(&r);
  EXPECT_EQ(display.GetSurface().Pixels(), before);
  w.ReleaseDC(dc);
}

TEST_F(DrawingTest, LinesUseTheSelectedPenAndLeaveOutTheEndPoint) {
  CWnd w;
  ASSERT_TRUE(CreateTop(w, CRect(0, 0, 50, 50)));
  CDC* dc = w.GetDC();
  CPen blue(PS_SOLID, 1, RGB(0, 0, 255));
  EXPECT_EQ(dc->SelectObject(&blue), nullptr);
  dc->MoveTo(2, 5);
  EXPECT_TRUE(dc->LineTo(8, 5));
  for (int x = 0; x < 10; ++x)
    EXPECT_EQ(dc->GetPixel(x, 5) == RGB(0, 0, 255), x >= 2 && x < 8) << x;
  // A shallow diagonal: one pixel per column, rounded to the nearest row.
  CPen black(PS_SOLID, 1, RGB(0, 0, 0));
  EXPECT_EQ(dc->SelectObject(&black), &blue);
  CPoint previous = dc->MoveTo(10, 20);
  EXPECT_EQ(previous.x, 8);
  dc->LineTo(14, 22);
  for (auto [x, y] : {std::pair{10, 20}, {11, 21}, {12, 21}, {13, 22}})
    EXPECT_EQ(dc->GetPixel(x, y), RGB(0, 0, 0)) << x;
  EXPECT_EQ(dc->GetPixel(14, 22), RGB(255, 255, 255));
  // Lines far longer than the surface are clipped without walking them whole.
  const int blackBefore = Count(0);
  dc->MoveTo(-2000000000, 30);
  dc->LineTo(2000000000, 30);
  EXPECT_EQ(Count(0), blackBefore + 50);
  // The stock font brings back the stock metrics.
  dc->m_hDC->selectedFontMetrics.tmHeight = 99;
  dc->SelectStockObject(SYSTEM_FONT);
  TEXTMETRIC tm;
  ASSERT_TRUE(dc->GetTextMetrics(&tm));
  EXPECT_EQ(tm.tmHeight, SystemFontMetrics().tmHeight);
  EXPECT_EQ(w.ReleaseDC(dc), 1);
  EXPECT_EQ(w.ReleaseDC(dc), 0);
}

TEST_F(DrawingTest, ContextlessDcDrawsNothing) {
  const std::vector<uint32_t> before = display.GetSurface().Pixels();
  CWnd none;  // no window: its DC has no context
  CDC* dc = none.GetDC();
  CRect r(0, 0, 100, 100);
  CBrush brush(kRed);
  dc->FillRect(&r, &brush);
  dc->InvertRect(&r);
  dc->MoveTo(0, 0);
  EXPECT_FALSE(dc->LineTo(50, 50));
  TEXTMETRIC tm;
  tm.tmHeight = 5;
  EXPECT_FALSE(dc->GetTextMetrics(&tm));
  EXPECT_EQ(tm.tmHeight, 0);
  EXPECT_EQ(display.GetSurface().Pixels(), before);
  EXPECT_EQ(none.ReleaseDC(dc), 1);
}

TEST_F(DrawingTest, PngRoundTripKeepsEveryPixel) {
  CWnd w;
  ASSERT_TRUE(CreateTop(w, CRect(3, 4, 43, 34), WS_EX_CLIENTEDGE));
  CDC* dc = w.GetDC();
  for (int y = 0; y < 26; ++y)
    for (int x = 0; x < 36; ++x) dc->m_hDC->SetPixel(x, y, RGB(x * 7, y * 9, 255 - x - y));
  w.ReleaseDC(dc);
  const char* dir = std::getenv("KESTRIX_TEST_OUTPUT");
  std::string path = std::string(dir && *dir ? dir : "/tmp") + "/framework_png_round_trip.png";
  ASSERT_TRUE(display.WriteWindowPng(w.m_hWnd, path));
  Surface read;
  ASSERT_TRUE(ReadPng(path, read));
  Surface expected = display.CaptureWindow(w.m_hWnd);
  EXPECT_EQ(read.Width(), 40);
  EXPECT_EQ(read.Height(), 30);
  EXPECT_EQ(read.Pixels(), expected.Pixels());
  EXPECT_FALSE(ReadPng(path + ".missing", read));
}

}  // namespace

}  // namespace kestrix
