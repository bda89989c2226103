// Window records and handles: records go with their windows, and a handle of a window that is
// gone never comes to name another one.
#include <gtest/gtest.h>

#include <memory>
#include <set>

#include "RecordingWindow.h"

namespace kestrix {

namespace {

class WindowRecordTest : public ::testing::Test {
 protected:
  Display display{320, 240};
};

// Whatever a stale handle is used for must reach no window.
void ExpectStale(Display& display, HWND stale) {
  EXPECT_FALSE(display.IsWindow(stale));
  EXPECT_EQ(display.Find(stale), nullptr);
  EXPECT_EQ(Display::Of(stale), nullptr);
  EXPECT_EQ(CWnd::FromHandle(stale), nullptr);
  EXPECT_EQ(SendMessage(stale, WM_COMMAND, 1, 0), 0);
  EXPECT_FALSE(PostMessage(stale, WM_COMMAND, 1, 0));
  EXPECT_TRUE(display.ChildrenOf(stale).empty());
  EXPECT_EQ(display.CaptureClient(stale).Width(), 0);
}

TEST_F(WindowRecordTest, RecreatingThousandsOfWindowsKeepsOnlyTheLiveRecords) {
  RecordingWindow container;
  ASSERT_TRUE(CreateTop(container, CRect(0, 0, 200, 200)));
  std::set<HWND> seen{container.m_hWnd};
  for (int i = 0; i < 3000; ++i) {
    RecordingWindow parent, child;
    ASSERT_TRUE(CreateChild(parent, container, CRect(10, 10, 100, 100)));
    ASSERT_TRUE(CreateChild(child, parent, CRect(5, 5, 20, 20)));
    child.SetTimer(1, 10, nullptr);
    child.PostMessage(WM_COMMAND, 1);
    EXPECT_EQ(display.WindowCount(), 3u);
    // Every handle is new, even where a freed record's memory is handed out again.
    ASSERT_TRUE(seen.insert(parent.m_hWnd).second);
    ASSERT_TRUE(seen.insert(child.m_hWnd).second);
    if (i % 2) parent.DestroyWindow();  // else the objects' destructors take the windows
  }
  EXPECT_EQ(display.WindowCount(), 1u);
  EXPECT_EQ(display.QueuedCount(), 0u);
  container.DestroyWindow();
  EXPECT_EQ(display.WindowCount(), 0u);
}

TEST_F(WindowRecordTest, StaleHandleStaysStaleAfterNewWindowsAreCreated) {
  HWND stale = nullptr;
  {
    RecordingWindow gone;
    ASSERT_TRUE(CreateTop(gone, CRect(0, 0, 50, 50)));
    stale = gone.m_hWnd;
  }
  std::vector<std::unique_ptr<RecordingWindow>> later;
  for (int i = 0; i < 50; ++i) {
    later.push_back(std::make_unique<RecordingWindow>());
    ASSERT_TRUE(CreateTop(*later.back(), CRect(0, 0, 50, 50)));
    ASSERT_NE(later.back()->m_hWnd, stale);
  }
  for (auto& w : later) w->received.clear();
  ExpectStale(display, stale);
  display.PumpMessages();
  for (auto& w : later) EXPECT_TRUE(w->received.empty());
}

TEST_F(WindowRecordTest, ChildrenDestroyedWithTheirParentAreStale) {
  RecordingWindow parent, child, grandchild;
  ASSERT_TRUE(CreateTop(parent, CRect(0, 0, 100, 100)));
  ASSERT_TRUE(CreateChild(child, parent, CRect(5, 5, 60, 60)));
  ASSERT_TRUE(CreateChild(grandchild, child, CRect(5, 5, 20, 20)));
  HWND childHwnd = child.m_hWnd, grandchildHwnd = grandchild.m_hWnd;
  parent.DestroyWindow();
  EXPECT_EQ(display.WindowCount(), 0u);
  EXPECT_EQ(child.m_hWnd, nullptr);
  EXPECT_EQ(grandchild.m_hWnd, nullptr);
  // The window objects live on and may get new windows; the old handles stay dead.
  ASSERT_TRUE(CreateTop(child, CRect(0, 0, 30, 30)));
  ASSERT_TRUE(CreateChild(grandchild, child, CRect(0, 0, 10, 10)));
  EXPECT_NE(child.m_hWnd, childHwnd);
  ExpectStale(display, childHwnd);
  ExpectStale(display, grandchildHwnd);
}

TEST_F(WindowRecordTest, HandlesAreNeverSharedBetweenDisplays) {
  RecordingWindow here;
  ASSERT_TRUE(CreateTop(here, CRect(0, 0, 50, 50)));
  HWND inner = nullptr;
  {
    Display other(100, 100);
    RecordingWindow there;
    ASSERT_TRUE(CreateTop(there, CRect(0, 0, 50, 50)));
    inner = there.m_hWnd;
    EXPECT_EQ(Display::Of(inner), &other);
    EXPECT_EQ(Display::Of(here.m_hWnd), &display);
    EXPECT_FALSE(other.IsWindow(here.m_hWnd));
    there.DestroyWindow();
    // While the other display is current, a new window there must not take the old handle.
    RecordingWindow again;
    ASSERT_TRUE(CreateTop(again, CRect(0, 0, 50, 50)));
    EXPECT_NE(again.m_hWnd, inner);
  }
  ExpectStale(display, inner);
  EXPECT_EQ(CWnd::FromHandle(here.m_hWnd), &here);
}

TEST_F(WindowRecordTest, AnEarlierDisplayMadeCurrentTakesTheNewWindowsUntilItGoes) {
  auto other = std::make_unique<Display>(100, 100);
  ASSERT_EQ(&Display::Current(), other.get());
  display.MakeCurrent();
  EXPECT_EQ(&Display::Current(), &display);
  RecordingWindow here;
  ASSERT_TRUE(CreateTop(here, CRect(0, 0, 50, 50)));
  EXPECT_EQ(Display::Of(here.m_hWnd), &display);
  EXPECT_EQ(other->WindowCount(), 0u);
  // Made current again, then gone: the one left is current, not a dangling one.
  other->MakeCurrent();
  EXPECT_EQ(&Display::Current(), other.get());
  other.reset();
  EXPECT_EQ(&Display::Current(), &display);
}

// Destroys another window from its WM_DESTROY.
class DestroyingWnd : public RecordingWindow {
 public:
  DECLARE_MESSAGE_MAP()
  void OnDestroy() {
    if (victim) victim->DestroyWindow();
  }
  CWnd* victim = nullptr;
};

BEGIN_MESSAGE_MAP(DestroyingWnd, RecordingWindow)
  ON_WM_DESTROY()
END_MESSAGE_MAP()

TEST_F(WindowRecordTest, DestroyHandlerTakingASiblingStillWaitingItsTurnIsSafe) {
  RecordingWindow parent;
  ASSERT_TRUE(CreateTop(parent, CRect(0, 0, 100, 100)));
  DestroyingWnd first;
  RecordingWindow second, third;
  ASSERT_TRUE(CreateChild(first, parent, CRect(0, 0, 10, 10)));
  ASSERT_TRUE(CreateChild(second, parent, CRect(20, 0, 30, 10)));
  ASSERT_TRUE(CreateChild(third, second, CRect(0, 0, 5, 5)));
  first.victim = &second;
  HWND secondHwnd = second.m_hWnd, thirdHwnd = third.m_hWnd;
  ASSERT_TRUE(parent.DestroyWindow());
  EXPECT_EQ(second.Only({WM_DESTROY}).size(), 1u);
  EXPECT_EQ(third.Only({WM_DESTROY}).size(), 1u);
  EXPECT_EQ(display.WindowCount(), 0u);
  ExpectStale(display, secondHwnd);
  ExpectStale(display, thirdHwnd);
}

TEST_F(WindowRecordTest, LaterTopLevelWindowsStayOnTopAsOthersComeAndGo) {
  RecordingWindow below, above;
  ASSERT_TRUE(CreateTop(below, CRect(0, 0, 100, 100)));
  ASSERT_TRUE(CreateTop(above, CRect(50, 50, 150, 150)));
  {
    RecordingWindow gone;
    ASSERT_TRUE(CreateTop(gone, CRect(0, 0, 10, 10)));
  }
  display.Click(nullptr, 60, 60);
  EXPECT_EQ(above.Only({WM_LBUTTONDOWN}).size(), 1u);
  EXPECT_TRUE(below.Only({WM_LBUTTONDOWN}).empty());
  above.DestroyWindow();
  display.Click(nullptr, 60, 60);
  EXPECT_EQ(below.Only({WM_LBUTTONDOWN}).size(), 1u);
  RecordingWindow newest;
  ASSERT_TRUE(CreateTop(newest, CRect(55, 55, 70, 70)));
  display.Click(nullptr, 60, 60);
  EXPECT_EQ(newest.Only({WM_LBUTTONDOWN}).size(), 1u);
  EXPECT_EQ(below.Only({WM_LBUTTONDOWN}).size(), 1u);
}

}  // namespace

}  // namespace kestrix
