// A host that calls back into the control from the events it receives: whatever a handler does
// to the control (writes its text, clears it, selects, switches its reading order, destroys its
// window, lets go of its last reference), the control ends the message consistent and the next
// input finds it so.
#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "ControlHost.h"
#include "control/Dispids.h"
#include "framework/ole/Variant.h"

namespace kestrix {

namespace {

// A host's handler of one stock event that acts on the control once, through its automation
// interface as a script host would.
class ReenteringHost : public EventSink {
 public:
  ReenteringHost(DISPID event, std::function<void()> action) : event_(event), action_(std::move(action)) {}
  void OnStockEvent(StockEvent& e) override {
    if (e.dispid != event_ || acted) return;
    acted = true;
    action_();
  }
  bool acted = false;

 private:
  DISPID event_;
  std::function<void()> action_;
};

HRESULT Put(CKestrixCtrl& c, DISPID id, VARIANT value) {
  DISPID named = DISPID_PROPERTYPUT;
  DISPPARAMS p{&value, &named, 1, 1};
  HRESULT hr = c.GetIDispatch()->Invoke(id, IID_NULL, 0, DISPATCH_PROPERTYPUT, &p, nullptr, nullptr, nullptr);
  VariantClear(&value);
  return hr;
}

HRESULT Call(CKestrixCtrl& c, DISPID id) {
  DISPPARAMS none{nullptr, nullptr, 0, 0};
  VARIANT result;
  VariantInit(&result);
  HRESULT hr = c.GetIDispatch()->Invoke(id, IID_NULL, 0, DISPATCH_METHOD, &none, &result, nullptr, nullptr);
  VariantClear(&result);
  return hr;
}

struct Action {
  const char* name;
  std::function<void(CKestrixCtrl&)> run;
};

const std::vector<Action>& Actions() {
  static const std::vector<Action> actions = {
      {"set Text", [](CKestrixCtrl& c) { Put(c, DISPID_TEXT, MakeVariantBstr(u"host\rwrote this")); }},
      {"Clear", [](CKestrixCtrl& c) { Call(c, kDispClear); }},
      {"SelectAll", [](CKestrixCtrl& c) { Call(c, kDispSelectAll); }},
      {"select", [](CKestrixCtrl& c) {
         Put(c, kDispSelStart, MakeVariantI4(2));
         Put(c, kDispSelLength, MakeVariantI4(5));
       }},
      {"ReadingOrder", [](CKestrixCtrl& c) { Put(c, kDispReadingOrder, MakeVariantI2(c.m_ReadingOrder ? 0 : 1)); }},
      {"Refresh", [](CKestrixCtrl& c) { Call(c, DISPID_REFRESH); }},
      {"destroy the window", [](CKestrixCtrl& c) { c.DestroyWindow(); }},
  };
  return actions;
}

const std::vector<std::pair<DISPID, const char*>>& Events() {
  static const std::vector<std::pair<DISPID, const char*>> events = {
      {DISPID_KEYDOWN, "KeyDown"}, {DISPID_KEYPRESS, "KeyPress"}, {DISPID_KEYUP, "KeyUp"},
      {DISPID_CLICK, "Click"},     {DISPID_DBLCLICK, "DblClick"}, {DISPID_MOUSEMOVE, "MouseMove"},
  };
  return events;
}

// Input of every kind that fires the events: typing, editing keys, Shift selection, clicks,
// a double click and a drag that scrolls below the view. After each step the control, while
// it has a window, keeps every one of its rules.
void DriveEverything(ControlHost& host, const std::function<CKestrixCtrl*()>& alive, const std::string& what) {
  Display& d = host.display;
  auto check = [&](const char* step) {
    CKestrixCtrl* c = alive();
    if (!c || !c->GetSafeHwnd()) return;
    EXPECT_EQ(c->Verify(), "") << what << ", after " << step;
  };
  auto hwnd = [&]() -> HWND {
    CKestrixCtrl* c = alive();
    return c ? c->GetSafeHwnd() : nullptr;
  };
  if (CKestrixCtrl* c = alive()) c->SetFocus();
  d.TypeText("xy");
  check("typing");
  for (int key : {VK_BACK, VK_DELETE, VK_RETURN, VK_LEFT}) {
    d.KeyDown(key);
    d.KeyUp(key);
    check("an editing key");
  }
  d.KeyDown(VK_SHIFT);
  d.KeyDown(VK_RIGHT);
  d.KeyUp(VK_RIGHT);
  d.KeyUp(VK_SHIFT);
  check("Shift+Right");
  if (HWND h = hwnd()) d.Click(h, 30, 10);
  check("a click");
  if (HWND h = hwnd()) d.DoubleClick(h, 40, 10);
  check("a double click");
  if (HWND h = hwnd()) {
    d.MouseDown(h, 20, 10);
    d.MouseMove(h, 60, 30);
    d.MouseMove(h, 60, 400);  // below the view: the drag scrolls
    d.ScheduleInput(200, [&] {
      if (HWND w = hwnd()) d.MouseUp(w, 60, 400);
    });
    d.AdvanceClock(400);
  }
  check("a drag");
  d.TypeText("z");
  check("typing again");
}

std::string LongText() {
  std::string text;
  for (int i = 0; i < 30; ++i) text += "line " + std::to_string(i) + " of the text\r";
  return text;
}

TEST(Reentrancy, EveryActionInsideEveryEventLeavesTheControlConsistent) {
  for (const auto& [event, eventName] : Events()) {
    for (const Action& action : Actions()) {
      ControlHost host;
      CKestrixCtrl& c = *host.ctrl;
      c.SetText(LongText());
      ReenteringHost handler(event, [&] { action.run(c); });
      c.SetEventSink(&handler);
      const std::string what = std::string(action.name) + " inside " + eventName;
      DriveEverything(host, [&]() -> CKestrixCtrl* { return &c; }, what);
      EXPECT_TRUE(handler.acted) << what << ": the event never fired";
      c.SetEventSink(nullptr);
      // Whatever happened, the host can go on using the control.
      Put(c, DISPID_TEXT, MakeVariantBstr(u"afterwards"));
      if (c.GetSafeHwnd()) {
        EXPECT_EQ(c.GetText(), "afterwards") << what;
        EXPECT_EQ(c.Verify(), "") << what;
      }
    }
  }
}

TEST(Reentrancy, ALastReleaseInsideAnEventEndsTheControlAfterTheMessage) {
  for (const auto& [event, eventName] : Events()) {
    ControlHost host;
    CKestrixCtrl* c = host.ctrl.release();
    bool ended = false;
    c->SetOwnedByReferences([&] { ended = true; });
    c->InternalAddRef();  // the host's one reference
    c->SetText(LongText());
    ReenteringHost handler(event, [&] { c->InternalRelease(); });
    c->SetEventSink(&handler);
    DriveEverything(host, [&]() -> CKestrixCtrl* { return ended ? nullptr : c; },
                    std::string("the last Release inside ") + eventName);
    EXPECT_TRUE(ended) << eventName;
    if (!ended) {
      c->SetEventSink(nullptr);
      delete c;
    }
  }
}

}  // namespace

}  // namespace kestrix
