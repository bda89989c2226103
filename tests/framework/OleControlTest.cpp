// The control base: stock events and their order against the control's own handling, window
// re-creation, ready state, colours, the wait cursor and property exchange modes.
#include <gtest/gtest.h>

#include <functional>
#include <string>

#include "RecordingWindow.h"
#include "framework/ole/COleControl.h"

namespace kestrix {

namespace {

using Log = std::vector<std::string>;

class Sink : public EventSink {
 public:
  explicit Sink(Log& log) : log_(log) {}
  void OnStockEvent(StockEvent& e) override {
    std::string name = e.dispid == DISPID_KEYDOWN   ? "KeyDown"
                       : e.dispid == DISPID_KEYUP   ? "KeyUp"
                       : e.dispid == DISPID_CLICK   ? "Click"
                       : e.dispid == DISPID_DBLCLICK ? "DblClick"
                                                     : "";
    if (!name.empty()) log_.push_back("event " + name);
    if (rewrite) rewrite(e);
    events.push_back(e);
  }
  std::vector<StockEvent> events;
  std::function<void(StockEvent&)> rewrite;  // the host changing by-reference arguments

  int Count(DISPID id) const {
    int n = 0;
    for (const StockEvent& e : events) n += e.dispid == id ? 1 : 0;
    return n;
  }

 private:
  Log& log_;
};

// A control whose handlers call the base handler and log what they do.
class TestControl : public COleControl {
 public:
  explicit TestControl(Log& log) : log_(log) {}
  DECLARE_MESSAGE_MAP()
  BOOL PreCreateWindow(CREATESTRUCT& cs) override {
    log_.push_back("precreate");
    return COleControl::PreCreateWindow(cs);
  }
  int OnCreate(CREATESTRUCT* cs) {
    log_.push_back("create");
    return COleControl::OnCreate(cs);
  }
  void OnDestroy() {
    log_.push_back("destroy");
    COleControl::OnDestroy();
  }
  void OnSize(UINT type, int cx, int cy) {
    log_.push_back("size " + std::to_string(cx) + "x" + std::to_string(cy));
    COleControl::OnSize(type, cx, cy);
  }
  // The stock event goes first, then the control acts on the key as it came.
  void OnKeyDown(UINT ch, UINT repeat, UINT flags) {
    COleControl::OnKeyDown(ch, repeat, flags);
    log_.push_back("control down " + std::to_string(ch));
  }
  // The control acts first; the host hears KeyUp after.
  void OnKeyUp(UINT ch, UINT repeat, UINT flags) {
    log_.push_back("control up " + std::to_string(ch));
    COleControl::OnKeyUp(ch, repeat, flags);
  }
  void OnKeyDownEvent(USHORT key, short) override { log_.push_back("hook down " + std::to_string(key)); }
  void OnKeyUpEvent(USHORT key, short) override { log_.push_back("hook up " + std::to_string(key)); }
  void OnDraw(CDC* dc, const CRect& bounds, const CRect&) override {
    drawnBounds = bounds;
    dc->FillSolidRect(&bounds, TranslateColor(GetBackColor()));
  }
  void DoPropExchange(CPropExchange* px) override { exchanges.emplace_back(px->GetMode(), px->Bag()); }
  void OnFontChanged() override { ++fontChanges; }

  CRect drawnBounds;
  std::vector<std::pair<CPropExchange::Mode, PropertyBag*>> exchanges;
  int fontChanges = 0;

 private:
  Log& log_;
};

BEGIN_MESSAGE_MAP(TestControl, COleControl)
  ON_WM_CREATE()
  ON_WM_DESTROY()
  ON_WM_SIZE()
  ON_WM_KEYDOWN()
  ON_WM_KEYUP()
END_MESSAGE_MAP()

class OleControlTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(CreateTop(container, CRect(0, 0, 300, 200)));
    control.SetEventSink(&sink);
    ASSERT_TRUE(control.CreateControlWindow(&container, CRect(10, 10, 110, 60)));
    control.SetFocus();
    log.clear();
    sink.events.clear();
  }
  Display display{320, 240};
  Log log;
  Sink sink{log};
  RecordingWindow container;
  TestControl control{log};
};

TEST_F(OleControlTest, KeyDownEventPrecedesTheHookAndTheControl) {
  display.KeyDown(VK_SHIFT);
  display.KeyDown(VK_LEFT);
  display.KeyUp(VK_LEFT);
  const std::string left = std::to_string(VK_LEFT);
  Log expected{"event KeyDown", "hook down " + std::to_string(VK_SHIFT),
               "control down " + std::to_string(VK_SHIFT),
               "event KeyDown", "hook down " + left, "control down " + left,
               "control up " + left, "event KeyUp", "hook up " + left};
  EXPECT_EQ(log, expected);
  ASSERT_EQ(sink.events.size(), 3u);
  EXPECT_EQ(sink.events[1].keyCode, VK_LEFT);
  EXPECT_EQ(sink.events[1].shift, SHIFT_MASK);
}

TEST_F(OleControlTest, HostChangesToKeysReachTheHookButNotTheControl) {
  sink.rewrite = [](StockEvent& e) {
    if (e.dispid == DISPID_KEYDOWN) e.keyCode = e.keyCode == 'A' ? 'B' : 0;
  };
  display.KeyDown('A');
  display.KeyDown('C');  // cancelled by the host: no hook
  Log expected{"event KeyDown", "hook down 66", "control down 65",
               "event KeyDown", "control down 67"};
  EXPECT_EQ(log, expected);
  // System keys raise KeyDown too; KeyPress passes the character by reference as well.
  sink.rewrite = [](StockEvent& e) { e.keyCode = static_cast<short>(e.keyCode + 1); };
  sink.events.clear();
  display.KeyDown(VK_MENU);
  display.Char('x');
  ASSERT_EQ(sink.events.size(), 2u);
  EXPECT_EQ(sink.events[0].dispid, DISPID_KEYDOWN);
  EXPECT_EQ(sink.events[0].shift, ALT_MASK);
  EXPECT_EQ(sink.events[1].dispid, DISPID_KEYPRESS);
  EXPECT_EQ(sink.events[1].keyCode, 'y');
}

TEST_F(OleControlTest, ClickNeedsPressAndReleaseInside) {
  display.Click(control.m_hWnd, 20, 20);
  EXPECT_EQ(sink.Count(DISPID_CLICK), 1);
  // Released outside: the capture brings the release, but it is no click.
  display.MouseDown(control.m_hWnd, 20, 20);
  display.MouseUp(control.m_hWnd, 150, 20);
  EXPECT_EQ(sink.Count(DISPID_CLICK), 1);
  EXPECT_EQ(display.GetCapture(), nullptr);
  // Pressed outside, released inside.
  display.MouseDown(container.m_hWnd, 200, 150);
  display.MouseUp(control.m_hWnd, 20, 20);
  EXPECT_EQ(sink.Count(DISPID_CLICK), 1);
  // The right button clicks too.
  display.MouseDown(control.m_hWnd, 30, 30, true);
  display.MouseUp(control.m_hWnd, 30, 30, true);
  EXPECT_EQ(sink.Count(DISPID_CLICK), 2);
}

TEST_F(OleControlTest, DoubleClickIsOneClickThenDblClick) {
  display.DoubleClick(control.m_hWnd, 20, 20);
  EXPECT_EQ(log, (Log{"event Click", "event DblClick"}));
  display.Click(control.m_hWnd, 20, 20);
  EXPECT_EQ(sink.Count(DISPID_CLICK), 2);
}

TEST_F(OleControlTest, MouseMoveReportsButtonsShiftAndPoint) {
  display.KeyDown(VK_CONTROL);
  sink.events.clear();
  display.MouseDown(control.m_hWnd, 5, 6, true);
  display.MouseMove(control.m_hWnd, 7, 8);
  display.MouseUp(control.m_hWnd, 7, 8, true);
  ASSERT_EQ(sink.Count(DISPID_MOUSEMOVE), 1);
  const StockEvent& move = sink.events[0];
  EXPECT_EQ(move.button, 2);
  EXPECT_EQ(move.shift, CTRL_MASK);
  EXPECT_EQ(move.x, 7);
  EXPECT_EQ(move.y, 8);
}

TEST_F(OleControlTest, RecreateRunsDestroyPreCreateCreateSizeInTheRecordedRect) {
  HWND before = control.m_hWnd;
  ASSERT_TRUE(control.RecreateControlWindow());
  EXPECT_EQ(log, (Log{"destroy", "precreate", "create", "size 100x50"}));
  EXPECT_NE(control.m_hWnd, nullptr);
  EXPECT_FALSE(display.IsWindow(before));
  EXPECT_EQ(control.GetParent(), &container);
  // The rectangle last given by the container is the one re-created.
  control.SetRectInContainer(CRect(0, 0, 40, 30));
  log.clear();
  control.SetBorderStyle(1);
  EXPECT_EQ(log, (Log{"destroy", "precreate", "create", "size 38x28"}));
  EXPECT_EQ(control.GetStyle() & WS_BORDER, WS_BORDER);
  RECT r;
  control.GetWindowRect(&r);
  EXPECT_EQ(CRect(r), CRect(0, 0, 40, 30));
  log.clear();
  control.SetBorderStyle(1);
  control.SetBorderStyle(7);  // not a border style
  EXPECT_TRUE(log.empty());
}

TEST_F(OleControlTest, ReadyStateChangesOnceOnFirstCreation) {
  Log otherLog;
  Sink otherSink(otherLog);
  TestControl other(otherLog);
  other.SetEventSink(&otherSink);
  EXPECT_EQ(other.GetReadyState(), READYSTATE_LOADING);
  ASSERT_TRUE(other.CreateControlWindow(&container, CRect(0, 0, 10, 10)));
  ASSERT_TRUE(other.RecreateControlWindow());
  ASSERT_EQ(otherSink.Count(DISPID_READYSTATECHANGE), 1);
  EXPECT_EQ(otherSink.events.back().readyState, READYSTATE_COMPLETE);
  EXPECT_EQ(other.GetReadyState(), READYSTATE_COMPLETE);
}

TEST_F(OleControlTest, PaintAndDcsDrawInTheClientArea) {
  control.SetBackColor(RGB(10, 20, 30));
  control.UpdateWindow();
  EXPECT_EQ(control.drawnBounds, CRect(0, 0, 100, 50));
  Surface client = display.CaptureClient(control.m_hWnd);
  EXPECT_EQ(client.Pixel(0, 0), XrgbFromColorRef(RGB(10, 20, 30)));
  EXPECT_EQ(client.Pixel(99, 49), XrgbFromColorRef(RGB(10, 20, 30)));
  EXPECT_EQ(display.GetSurface().Pixel(110, 30), 0xFFFFFFu);  // just outside
  // A DC asked for part of the client area draws there only.
  CRect part(10, 10, 20, 20), all(0, 0, 100, 50);
  CDC* dc = control.GetDC(&part);
  dc->FillSolidRect(&all, RGB(255, 0, 0));
  EXPECT_EQ(control.ReleaseDC(dc), 1);
  client = display.CaptureClient(control.m_hWnd);
  EXPECT_EQ(client.Pixel(19, 10), 0xFF0000u);
  EXPECT_EQ(client.Pixel(20, 10), XrgbFromColorRef(RGB(10, 20, 30)));
  EXPECT_EQ(client.Pixel(10, 9), XrgbFromColorRef(RGB(10, 20, 30)));
}

TEST_F(OleControlTest, TranslateColorMapsSystemIndexesAndClearsTheHighByte) {
  EXPECT_EQ(control.TranslateColor(0x80000000 | COLOR_WINDOW), RGB(255, 255, 255));
  EXPECT_EQ(control.TranslateColor(0x80000000 | COLOR_WINDOWTEXT), RGB(0, 0, 0));
  EXPECT_EQ(control.TranslateColor(0x80000000 | COLOR_HIGHLIGHT), 0x00D77800u);
  EXPECT_EQ(control.TranslateColor(0x80000000 | COLOR_HIGHLIGHTTEXT), RGB(255, 255, 255));
  EXPECT_EQ(control.TranslateColor(0x80000000 | COLOR_BTNFACE), 0x00F0F0F0u);
  EXPECT_EQ(control.TranslateColor(0x80000000 | 200), 0u);
  EXPECT_EQ(control.TranslateColor(0x80000100 | COLOR_WINDOW), 0u);
  EXPECT_EQ(control.TranslateColor(0x02123456), 0x00123456u);
}

TEST_F(OleControlTest, WaitCursorNests) {
  control.BeginWaitCursor();
  control.BeginWaitCursor();
  control.EndWaitCursor();
  EXPECT_EQ(display.GetCursor(), PointerShape::Wait);
  control.EndWaitCursor();
  EXPECT_EQ(display.GetCursor(), PointerShape::Arrow);
  SetCursor(PointerShape::IBeam);
  control.EndWaitCursor();  // unmatched: ignored
  EXPECT_EQ(display.GetCursor(), PointerShape::IBeam);
}

TEST_F(OleControlTest, PropertyExchangeRunsInEachMode) {
  PropertyBag bag;
  control.SetModifiedFlag();
  control.ResetProperties();
  control.LoadProperties(bag);
  EXPECT_FALSE(control.IsModified());
  control.SaveProperties(bag);
  ASSERT_EQ(control.exchanges.size(), 3u);
  EXPECT_EQ(control.exchanges[0].first, CPropExchange::Mode::Reset);
  EXPECT_EQ(control.exchanges[1].first, CPropExchange::Mode::Load);
  EXPECT_NE(control.exchanges[1].second, &bag);  // loads from a copy
  EXPECT_EQ(control.exchanges[2].first, CPropExchange::Mode::Save);
  EXPECT_EQ(control.exchanges[2].second, &bag);
  control.OnFontObjectChanged(nullptr);
  EXPECT_EQ(control.fontChanges, 1);
}

}  // namespace

}  // namespace kestrix
