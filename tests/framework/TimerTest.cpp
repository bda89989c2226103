// Timers on the display's virtual clock.
#include <gtest/gtest.h>

#include <utility>

#include "RecordingWindow.h"

namespace kestrix {

namespace {

class TimerWnd : public CWnd {
 public:
  DECLARE_MESSAGE_MAP()
  void OnTimer(UINT_PTR id) {
    fires.emplace_back(id, Display::Current().NowMs());
    if (id == killOn) KillTimer(id);
  }
  std::vector<std::pair<UINT_PTR, uint64_t>> fires;
  UINT_PTR killOn = 0;
};

BEGIN_MESSAGE_MAP(TimerWnd, CWnd)
  ON_WM_TIMER()
END_MESSAGE_MAP()

using Fires = std::vector<std::pair<UINT_PTR, uint64_t>>;

class TimerTest : public ::testing::Test {
 protected:
  void SetUp() override { ASSERT_TRUE(CreateTop(w, CRect(0, 0, 40, 40))); }
  Display display{100, 100};
  TimerWnd w;
};

TEST_F(TimerTest, FiresOncePerIntervalElapsedAndRestartsWhenSetAgain) {
  EXPECT_EQ(w.SetTimer(7, 600, nullptr), 7u);
  display.AdvanceClock(599);
  EXPECT_TRUE(w.fires.empty());
  display.AdvanceClock(1201);
  EXPECT_EQ(w.fires, (Fires{{7, 600}, {7, 1200}, {7, 1800}}));
  display.AdvanceClock(100);
  w.SetTimer(7, 300, nullptr);  // replaces the old one, counting from now (1900)
  display.AdvanceClock(650);
  EXPECT_EQ(w.fires.size(), 5u);
  EXPECT_EQ(w.fires.back(), (std::pair<UINT_PTR, uint64_t>{7, 2500}));
}

TEST_F(TimerTest, SeveralTimersFireInTimeOrder) {
  w.SetTimer(1, 200, nullptr);
  w.SetTimer(2, 150, nullptr);
  display.AdvanceClock(450);
  EXPECT_EQ(w.fires, (Fires{{2, 150}, {1, 200}, {2, 300}, {1, 400}, {2, 450}}));
}

TEST_F(TimerTest, KilledTimerStopsEvenFromItsOwnHandler) {
  w.SetTimer(1, 100, nullptr);
  w.SetTimer(2, 100, nullptr);
  w.killOn = 2;
  display.AdvanceClock(300);
  EXPECT_EQ(w.fires, (Fires{{1, 100}, {2, 100}, {1, 200}, {1, 300}}));
  EXPECT_TRUE(w.KillTimer(1));
  EXPECT_FALSE(w.KillTimer(1));
  display.AdvanceClock(1000);
  EXPECT_EQ(w.fires.size(), 4u);
}

TEST_F(TimerTest, ZeroIntervalAndLongAdvancesStayBounded) {
  w.SetTimer(1, 0, nullptr);
  display.AdvanceClock(5);
  EXPECT_EQ(w.fires.size(), 5u);
  w.DestroyWindow();  // takes its timer along
  EXPECT_EQ(w.SetTimer(1, 10, nullptr), 0u);
  display.AdvanceClock(uint64_t{1} << 40);
  EXPECT_EQ(w.fires.size(), 5u);
}

}  // namespace

}  // namespace kestrix
