#include <gtest/gtest.h>

#include "ControlHost.h"

namespace kestrix {

namespace {

class FontPair : public ::testing::Test {
 protected:
  ControlHost host;
  CKestrixCtrl& c = *host.ctrl;
};

TEST_F(FontPair, PointSizesBecomeNegativePixelHeights) {
  struct Case {
    CY size;
    LONG pixels;
  } cases[] = {{120000, -15}, {100000, -13}, {80000, -10}, {85000, -10}, {97500, -11}};
  for (const Case& k : cases) {
    c.m_FontEn.GetFontDispatch()->put_Size(k.size);
    c.m_FontAr.GetFontDispatch()->put_Size(k.size);
    c.InitFonts();
    host.library.ClearCalls();
    c.AcquireDC();
    c.ReleaseHeldDC();
    auto selects = host.library.CallsOf("aSelectDC");
    ASSERT_EQ(selects.size(), 1u);
    EXPECT_EQ(selects[0].numbers, (std::vector<LONG>{k.pixels, k.pixels})) << k.size;
    EXPECT_EQ(c.m_lfEn.lfHeight, k.size / 10000);  // the stored description keeps points
  }
}

TEST_F(FontPair, LatinFontGoesFirstAndDescriptionsComeFromTheFontObjects) {
  c.m_FontEn.GetFontDispatch()->put_Italic(TRUE);
  c.m_FontAr.GetFontDispatch()->put_Weight(700);
  c.InitFonts();
  EXPECT_STREQ(c.m_lfEn.lfFaceName, "Times New Roman");
  EXPECT_STREQ(c.m_lfAr.lfFaceName, "Fonta");
  EXPECT_EQ(c.m_lfEn.lfItalic, 1);
  EXPECT_EQ(c.m_lfAr.lfWeight, 700);
  EXPECT_EQ(c.m_lfAr.lfCharSet, 1);
  host.library.ClearCalls();
  c.AcquireDC();
  c.ReleaseHeldDC();
  EXPECT_EQ(host.library.CallsOf("aSelectDC")[0].text, "Times New Roman|Fonta");
}

TEST_F(FontPair, LongFaceNamesAreCutToFit) {
  std::wstring longName(40, L'x');
  c.m_FontEn.GetFontDispatch()->put_Name(longName);
  LOGFONT lf = CKestrixCtrl::FontToLogFont(c.m_FontEn.GetFontDispatch());
  EXPECT_EQ(std::string(lf.lfFaceName), std::string(31, 'x'));
  EXPECT_EQ(CKestrixCtrl::FontToLogFont(nullptr).lfHeight, 0);
}

TEST_F(FontPair, MetricsAreScaledBackFromTheLibrary) {
  EXPECT_EQ(c.m_LineHeight, 18);
  EXPECT_EQ(c.m_Ascent, 14);
  EXPECT_EQ(c.m_Descent, 3);
  EXPECT_EQ(c.m_BaselineLift, 6);
  EXPECT_EQ(c.m_CaretHeight, 10);
}

TEST_F(FontPair, AtMostOneContextIsHeld) {
  host.library.ClearCalls();
  c.AcquireDC();
  CDC* first = c.m_pDC;
  c.AcquireDC();
  ASSERT_NE(c.m_pDC, nullptr);
  auto& calls = host.library.calls;
  ASSERT_EQ(calls.size(), 3u);
  EXPECT_EQ(calls[0].function, "aSelectDC");
  EXPECT_EQ(calls[1].function, "aReleaseDC");
  EXPECT_EQ(calls[1].hdc, calls[0].hdc);
  EXPECT_EQ(calls[2].function, "aSelectDC");
  (void)first;
  c.ReleaseHeldDC();
  EXPECT_EQ(c.m_pDC, nullptr);
  c.ReleaseHeldDC();  // nothing held: nothing happens
  EXPECT_EQ(host.library.CallsOf("aReleaseDC").size(), 2u);
}

TEST_F(FontPair, BorrowingLeavesAHeldContextHeld) {
  host.SetLines({"abc"});
  c.AcquireDC();
  host.library.ClearCalls();
  c.ComputeLineExtents();
  EXPECT_NE(c.m_pDC, nullptr);
  EXPECT_TRUE(host.library.CallsOf("aSelectDC").empty());
  c.ReleaseHeldDC();
  host.library.ClearCalls();
  c.ComputeLineExtents();  // none held: takes its own and gives it back
  EXPECT_EQ(c.m_pDC, nullptr);
  EXPECT_EQ(host.library.CallsOf("aSelectDC").size(), 1u);
  EXPECT_EQ(host.library.CallsOf("aReleaseDC").size(), 1u);
}

TEST_F(FontPair, MeasuringWithoutAContextPassesANullHandle) {
  host.library.ClearCalls();
  SIZE s = c.TextExtent("ab");
  EXPECT_EQ(s.cx, 20);
  ASSERT_EQ(host.library.calls.size(), 1u);
  EXPECT_EQ(host.library.calls[0].hdc, nullptr);
}

}  // namespace

namespace {

TEST_F(FontPair, ARebuildGivesBackTheContextItFindsAndTakesANewOne) {
  host.SetLines({"abc"});
  c.AcquireDC();
  host.library.ClearCalls();
  c.RebuildText("xyz", -1);
  // The context held on entry and every one taken since are let go of, but for the one the
  // caller holds again at the end.
  EXPECT_EQ(host.library.CallsOf("aReleaseDC").size(), host.library.CallsOf("aSelectDC").size());
  EXPECT_NE(c.m_pDC, nullptr);
  c.ReleaseHeldDC();
}

TEST(FontPairWithoutWindow, MeasuringWorksWithNoContextFromTheFramework) {
  FixedMetricTextLibrary library;
  CKestrixCtrl c(library);
  c.ResetProperties();
  c.InitFonts();  // no window: no drawing surface, no scroll bar window
  c.AcquireDC();
  EXPECT_EQ(c.TextExtent("ab").cx, 20);
  c.ReleaseHeldDC();
  EXPECT_EQ(c.LineCount(), 1);
  c.SetText("ab cd");
  EXPECT_EQ(c.GetText(), "ab cd");
}

}  // namespace

}  // namespace kestrix
