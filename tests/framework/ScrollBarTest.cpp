// The scroll bar: position clamping, drawing of the thumb, clicks and thumb drags turned into
// WM_VSCROLL to the parent.
#include <gtest/gtest.h>

#include "RecordingWindow.h"

namespace kestrix {

namespace {

struct Scroll {
  UINT code;
  UINT pos;
  int trackPos;  // what the bar reports as its track position at that moment
  bool operator==(const Scroll&) const = default;
};

class ScrollParent : public CWnd {
 public:
  DECLARE_MESSAGE_MAP()
  void OnVScroll(UINT code, UINT pos, CScrollBar* bar) {
    SCROLLINFO si;
    int track = -1;
    if (bar && bar->GetScrollInfo(&si, SIF_TRACKPOS)) track = si.nTrackPos;
    scrolls.push_back({code, pos, track});
    from = bar;
  }
  std::vector<Scroll> scrolls;
  CScrollBar* from = nullptr;
};

BEGIN_MESSAGE_MAP(ScrollParent, CWnd)
  ON_WM_VSCROLL()
END_MESSAGE_MAP()

// A 20 × 200 bar: arrows 20 high, a 160 px track, range 0-99 with a page of 10, so the thumb
// is 16 px and moves 144 px for positions 0-90.
class ScrollBarTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(CreateTop(parent, CRect(0, 0, 200, 200)));
    ASSERT_TRUE(bar.Create(WS_CHILD | WS_VISIBLE | SBS_VERT, CRect(180, 0, 200, 200), &parent, 1));
    SCROLLINFO si;
    si.fMask = SIF_RANGE | SIF_PAGE | SIF_POS;
    si.nMin = 0, si.nMax = 99, si.nPage = 10, si.nPos = 0;
    ASSERT_TRUE(bar.SetScrollInfo(&si));
    parent.SetFocus();
  }
  void ClickBar(int y) { display.Click(bar.m_hWnd, 10, y); }
  std::vector<UINT> Codes() const {
    std::vector<UINT> codes;
    for (const Scroll& s : parent.scrolls) codes.push_back(s.code);
    return codes;
  }
  Display display{220, 220};
  ScrollParent parent;
  CScrollBar bar;
};

TEST_F(ScrollBarTest, PositionIsClampedAndTheThumbDrawnThere) {
  Surface& s = display.GetSurface();
  const uint32_t thumb = s.Pixel(190, 28), track = s.Pixel(190, 100);
  EXPECT_NE(thumb, track);
  SCROLLINFO si;
  si.fMask = SIF_POS;
  si.nPos = 500;
  bar.SetScrollInfo(&si);
  EXPECT_EQ(bar.GetScrollPos(), 90);  // the last page ends at nMax
  EXPECT_EQ(s.Pixel(190, 28), track);
  EXPECT_EQ(s.Pixel(190, 172), thumb);
  EXPECT_EQ(s.Pixel(190, 163), track);
  EXPECT_EQ(bar.SetScrollPos(-5), 90);
  EXPECT_EQ(bar.GetScrollPos(), 0);
  // A page larger than the range leaves nothing to scroll.
  si.fMask = SIF_PAGE | SIF_POS;
  si.nPage = 1000;
  si.nPos = 50;
  bar.SetScrollInfo(&si);
  SCROLLINFO out;
  ASSERT_TRUE(bar.GetScrollInfo(&out));
  EXPECT_EQ(out.nPos, 0);
  EXPECT_EQ(out.nPage, 100u);
}

TEST_F(ScrollBarTest, ArrowAndTrackClicksSendTheirCodesThenEndScroll) {
  ClickBar(5);
  ClickBar(195);
  ClickBar(100);  // below the thumb
  bar.SetScrollPos(90);
  ClickBar(100);  // above it now
  std::vector<UINT> expected{SB_LINEUP,   SB_ENDSCROLL, SB_LINEDOWN, SB_ENDSCROLL,
                             SB_PAGEDOWN, SB_ENDSCROLL, SB_PAGEUP,   SB_ENDSCROLL};
  EXPECT_EQ(Codes(), expected);
  EXPECT_EQ(parent.from, &bar);
  // The bar leaves scrolling to its parent, and the focus too.
  EXPECT_EQ(bar.GetScrollPos(), 90);
  EXPECT_EQ(CWnd::GetFocus(), &parent);
}

TEST_F(ScrollBarTest, DraggingTheThumbTracksThenSetsThePosition) {
  display.MouseDown(bar.m_hWnd, 10, 25);  // 5 px into the thumb
  EXPECT_TRUE(parent.scrolls.empty());
  display.MouseMove(bar.m_hWnd, 10, 97);
  display.MouseMove(bar.m_hWnd, 10, 1000);  // far below the bar: the capture still has it
  display.MouseUp(bar.m_hWnd, 10, 1000);
  ASSERT_EQ(parent.scrolls.size(), 4u);
  const Scroll& middle = parent.scrolls[0];
  EXPECT_EQ(middle.code, SB_THUMBTRACK);
  EXPECT_NEAR(middle.pos, 45u, 1u);
  EXPECT_EQ(middle.trackPos, static_cast<int>(middle.pos));
  EXPECT_EQ(parent.scrolls[1], (Scroll{SB_THUMBTRACK, 90, 90}));
  EXPECT_EQ(parent.scrolls[2].code, SB_THUMBPOSITION);
  EXPECT_EQ(parent.scrolls[2].pos, 90u);
  EXPECT_EQ(parent.scrolls[3].code, SB_ENDSCROLL);
  EXPECT_EQ(display.GetCapture(), nullptr);
  // Dragging back above the top gives the first position.
  parent.scrolls.clear();
  display.MouseDown(bar.m_hWnd, 10, 25);
  display.MouseMove(bar.m_hWnd, 10, 60);
  display.MouseMove(bar.m_hWnd, 10, -500);
  display.MouseUp(bar.m_hWnd, 10, -500);
  ASSERT_GE(parent.scrolls.size(), 2u);
  EXPECT_EQ(parent.scrolls[parent.scrolls.size() - 2].code, SB_THUMBPOSITION);
  EXPECT_EQ(parent.scrolls[parent.scrolls.size() - 2].pos, 0u);
}

TEST_F(ScrollBarTest, HiddenBarGivesItsAreaBackToTheParent) {
  auto area = [&] {
    int total = 0;
    for (const RECT& r : display.VisibleClientRects(parent.m_hWnd))
      total += CRect(r).Width() * CRect(r).Height();
    return total;
  };
  EXPECT_EQ(area(), 180 * 200);
  bar.ShowScrollBar(FALSE);
  EXPECT_EQ(area(), 200 * 200);
  ClickBar(5);  // the click lands on the parent now
  EXPECT_TRUE(parent.scrolls.empty());
  bar.ShowScrollBar(TRUE);
  EXPECT_EQ(area(), 180 * 200);
  EXPECT_EQ(CScrollBar::FromHandleScrollBar(bar.m_hWnd), &bar);
  EXPECT_EQ(CScrollBar::FromHandleScrollBar(parent.m_hWnd), nullptr);
}

}  // namespace

}  // namespace kestrix
