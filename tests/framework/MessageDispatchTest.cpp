// Message tables, default processing, window creation and destruction, and the queue.
#include <gtest/gtest.h>

#include "RecordingWindow.h"

namespace kestrix {

namespace {

// A base window class whose table handles WM_TIMER and WM_SIZE.
class BaseWnd : public RecordingWindow {
 public:
  DECLARE_MESSAGE_MAP()
  void OnTimer(UINT_PTR id) { log.push_back("base timer " + std::to_string(id)); }
  void OnSize(UINT, int cx, int cy) {
    log.push_back("base size " + std::to_string(cx) + "x" + std::to_string(cy));
  }
  std::vector<std::string> log;
};

BEGIN_MESSAGE_MAP(BaseWnd, CWnd)
  ON_WM_TIMER()
  ON_WM_SIZE()
END_MESSAGE_MAP()

// Derives from BaseWnd: its own WM_SIZE comes first, WM_TIMER is left to the base table.
class DerivedWnd : public BaseWnd {
 public:
  DECLARE_MESSAGE_MAP()
  void OnSize(UINT type, int cx, int cy) {
    log.push_back("derived size");
    BaseWnd::OnSize(type, cx, cy);
  }
  void OnTen() { log.push_back("command 10"); }
  void OnTwenty() { log.push_back("command 20"); }
  int OnCreate(CREATESTRUCT* cs) {
    log.push_back("create");
    seenStyle = cs->style;
    return failCreate ? -1 : 0;
  }
  void OnDestroy() { log.push_back("destroy"); }
  int OnMouseActivate(CWnd* top, UINT hit, UINT message) {
    // A nested message must not disturb the default processing of this one.
    SendMessage(WM_SIZE, 0, MAKELPARAM(1, 1));
    return CWnd::OnMouseActivate(top, hit, message);
  }
  BOOL PreCreateWindow(CREATESTRUCT& cs) override {
    cs.dwExStyle |= extraExStyle;
    return TRUE;
  }
  bool failCreate = false;
  DWORD extraExStyle = 0;
  DWORD seenStyle = 0;
};

BEGIN_MESSAGE_MAP(DerivedWnd, BaseWnd)
  ON_WM_SIZE()
  ON_WM_CREATE()
  ON_WM_DESTROY()
  ON_WM_MOUSEACTIVATE()
  ON_COMMAND(10, OnTen)
  ON_COMMAND(20, OnTwenty)
END_MESSAGE_MAP()

class MessageDispatchTest : public ::testing::Test {
 protected:
  Display display{320, 240};
};

TEST_F(MessageDispatchTest, TablesRouteCommandsByIdThenFallBackToTheBaseChain) {
  DerivedWnd w;
  ASSERT_TRUE(CreateTop(w, CRect(0, 0, 50, 50)));
  w.log.clear();
  w.SendMessage(WM_COMMAND, MAKEWPARAM(20, 1));  // the high word is the notification code
  w.SendMessage(WM_COMMAND, 10);
  w.SendMessage(WM_COMMAND, 30);  // listed nowhere: default processing
  w.SendMessage(WM_SIZE, 0, MAKELPARAM(7, 9));
  w.SendMessage(WM_TIMER, 3);
  EXPECT_EQ(w.log, (std::vector<std::string>{"command 20", "command 10", "derived size",
                                             "base size 7x9", "base timer 3"}));
}

TEST_F(MessageDispatchTest, DefaultProcessingUsesTheMessageBeingHandled) {
  DerivedWnd w;
  ASSERT_TRUE(CreateTop(w, CRect(0, 0, 50, 50)));
  EXPECT_EQ(w.SendMessage(WM_MOUSEACTIVATE), MA_ACTIVATE);
  // Unlisted: DefWindowProc records the layout asked for.
  w.SendMessage(WM_INPUTLANGCHANGEREQUEST, INPUTLANGCHANGE_SYSCHARSET, 0x0401);
  ASSERT_EQ(display.LayoutRequests().size(), 1u);
  EXPECT_EQ(display.ActiveLayout(), 0x0401);
}

TEST_F(MessageDispatchTest, CreateSendsCreateThenSizeOfTheClientAreaOrFails) {
  DerivedWnd w;
  w.extraExStyle = WS_EX_CLIENTEDGE;  // PreCreateWindow may change the styles
  ASSERT_TRUE(CreateTop(w, CRect(10, 10, 110, 60)));
  EXPECT_EQ(w.log, (std::vector<std::string>{"create", "derived size", "base size 96x46"}));
  EXPECT_EQ(w.seenStyle & WS_VISIBLE, WS_VISIBLE);
  EXPECT_EQ(CWnd::FromHandle(w.m_hWnd), &w);
  DerivedWnd failing;
  failing.failCreate = true;
  EXPECT_FALSE(CreateTop(failing, CRect(0, 0, 50, 50)));
  EXPECT_EQ(failing.m_hWnd, nullptr);
  EXPECT_EQ(failing.log, (std::vector<std::string>{"create", "destroy"}));
}

TEST_F(MessageDispatchTest, DestroyTakesChildrenFirstAndForgetsTheWindow) {
  DerivedWnd parent, child;
  ASSERT_TRUE(CreateTop(parent, CRect(0, 0, 100, 100)));
  ASSERT_TRUE(CreateChild(child, parent, CRect(5, 5, 20, 20)));
  HWND parentHwnd = parent.m_hWnd, childHwnd = child.m_hWnd;
  child.SetFocus();
  child.SetCapture();
  child.SetTimer(1, 100, nullptr);
  parent.log.clear(), child.log.clear();
  ASSERT_TRUE(parent.DestroyWindow());
  EXPECT_EQ(child.log, std::vector<std::string>{"destroy"});
  EXPECT_EQ(parent.log, std::vector<std::string>{"destroy"});
  // The focus goes first, with its message, as a real display sends it.
  std::vector<Received> focusAndDestroy = child.Only({WM_KILLFOCUS, WM_DESTROY});
  ASSERT_EQ(focusAndDestroy.size(), 2u);
  EXPECT_EQ(focusAndDestroy[0].message, static_cast<UINT>(WM_KILLFOCUS));
  EXPECT_EQ(focusAndDestroy[0].wParam, WPARAM{0});
  EXPECT_EQ(focusAndDestroy[1].message, static_cast<UINT>(WM_DESTROY));
  EXPECT_TRUE(parent.Only({WM_KILLFOCUS}).empty());
  EXPECT_EQ(parent.m_hWnd, nullptr);
  EXPECT_EQ(child.m_hWnd, nullptr);
  EXPECT_FALSE(display.IsWindow(childHwnd));
  EXPECT_EQ(CWnd::FromHandle(parentHwnd), nullptr);
  EXPECT_EQ(CWnd::FromHandle(nullptr), nullptr);
  EXPECT_EQ(display.GetFocus(), nullptr);
  EXPECT_EQ(display.GetCapture(), nullptr);
  EXPECT_FALSE(display.HasTimer(childHwnd, 1));
  // Stale handles are refused, not followed.
  EXPECT_EQ(SendMessage(childHwnd, WM_COMMAND, 10, 0), 0);
  EXPECT_FALSE(PostMessage(childHwnd, WM_COMMAND, 10, 0));
  EXPECT_FALSE(parent.DestroyWindow());
}

TEST_F(MessageDispatchTest, QueuedMessagesOfADestroyedWindowAreDropped) {
  DerivedWnd a, b;
  ASSERT_TRUE(CreateTop(a, CRect(0, 0, 50, 50)));
  ASSERT_TRUE(CreateTop(b, CRect(60, 0, 110, 50)));
  a.PostMessage(WM_COMMAND, 10);
  b.PostMessage(WM_COMMAND, 20);
  a.PostMessage(WM_COMMAND, 20);
  MSG held;
  ASSERT_TRUE(PeekMessage(&held, a.m_hWnd, 0, 0, PM_NOREMOVE));
  b.log.clear();
  a.DestroyWindow();
  EXPECT_EQ(display.QueuedCount(), 1u);
  EXPECT_EQ(display.PumpMessages(), 1);
  EXPECT_EQ(b.log, std::vector<std::string>{"command 20"});
  // A message read before the window went is dispatched nowhere.
  EXPECT_EQ(DispatchMessage(&held), 0);
}

TEST_F(MessageDispatchTest, PeekFiltersByWindowAndRangeAndRemovesOnlyWhenAsked) {
  DerivedWnd a, b;
  ASSERT_TRUE(CreateTop(a, CRect(0, 0, 50, 50)));
  ASSERT_TRUE(CreateTop(b, CRect(60, 0, 110, 50)));
  a.PostMessage(WM_TIMER, 1);
  b.PostMessage(WM_KEYDOWN, 'A');
  a.PostMessage(WM_CHAR, 'a');
  MSG m;
  ASSERT_TRUE(PeekMessage(&m, nullptr, WM_KEYFIRST, WM_KEYLAST, PM_NOREMOVE));
  EXPECT_EQ(m.hwnd, b.m_hWnd);
  EXPECT_EQ(m.message, WM_KEYDOWN);
  ASSERT_TRUE(PeekMessage(&m, a.m_hWnd, WM_KEYFIRST, WM_KEYLAST, PM_REMOVE));
  EXPECT_EQ(m.message, WM_CHAR);
  EXPECT_EQ(m.wParam, WPARAM{'a'});
  EXPECT_FALSE(PeekMessage(&m, a.m_hWnd, WM_KEYFIRST, WM_KEYLAST, PM_REMOVE));
  EXPECT_FALSE(PeekMessage(&m, nullptr, WM_MOUSEFIRST, WM_MOUSELAST, PM_REMOVE));
  ASSERT_TRUE(PeekMessage(&m, nullptr, 0, 0, PM_REMOVE));
  EXPECT_EQ(m.message, WM_TIMER);
  EXPECT_EQ(display.QueuedCount(), 1u);
  EXPECT_FALSE(PeekMessage(nullptr, nullptr, 0, 0, PM_REMOVE));
}

// Posts a message to itself for every message it handles, or sends itself one.
class RunawayWnd : public CWnd {
 public:
  LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override {
    ++handled;
    if (message == WM_TIMER) PostMessage(WM_TIMER);
    if (message == WM_COMMAND) SendMessage(WM_COMMAND);
    return CWnd::WindowProc(message, wParam, lParam);
  }
  long handled = 0;
};

TEST_F(MessageDispatchTest, RunawayHandlersAreCutOff) {
  RunawayWnd w;
  ASSERT_TRUE(CreateTop(w, CRect(0, 0, 50, 50)));
  w.PostMessage(WM_TIMER);
  int pumped = display.PumpMessages();
  EXPECT_GT(pumped, 1000);
  EXPECT_EQ(display.QueuedCount(), 1u);  // still there: the pump stopped, it did not hang
  w.handled = 0;
  w.SendMessage(WM_COMMAND);
  EXPECT_GT(w.handled, 10);
  EXPECT_LT(w.handled, 100000);
}

}  // namespace

}  // namespace kestrix
