// The stock events, as a container receives them through the control's connection point.
#include <gtest/gtest.h>
#include <olectl.h>

#include <vector>

#include "Automation.h"
#include "Container.h"
#include "KestrixIdl.h"
#include "framework/ole/Unknown.h"

namespace kestrix {

namespace {

struct Event {
  DISPID dispid;
  std::vector<VARTYPE> types;  // of the arguments, first first
  long first = 0;              // the first argument's value
};

// The container's event sink: records each event. It lives on the test's stack, which reads
// its reference count.
class Sink final
    : public kestrix::com::Object<kestrix::com::Counted, kestrix::com::Answer<IDispatch, IID_IUnknown, IID_IDispatch,
                                                   DIID__DKestrixEvents>> {
 public:
  std::vector<Event> events;

  HRESULT STDMETHODCALLTYPE GetTypeInfoCount(UINT* count) override {
    *count = 0;
    return S_OK;
  }
  HRESULT STDMETHODCALLTYPE GetTypeInfo(UINT, LCID, ITypeInfo**) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE GetIDsOfNames(REFIID, LPOLESTR*, UINT, LCID, DISPID*) override {
    return E_NOTIMPL;
  }
  HRESULT STDMETHODCALLTYPE Invoke(DISPID dispid, REFIID, LCID, WORD flags, DISPPARAMS* params,
                                   VARIANT*, EXCEPINFO*, UINT*) override {
    EXPECT_EQ(flags, DISPATCH_METHOD);
    Event event{dispid, {}};
    for (UINT i = params->cArgs; i-- > 0;) event.types.push_back(params->rgvarg[i].vt);
    if (params->cArgs > 0) {
      VARIANT& first = params->rgvarg[params->cArgs - 1];
      event.first = first.vt == (VT_BYREF | VT_I2) ? *first.piVal
                    : first.vt == VT_I2            ? first.iVal
                                                   : 0;
    }
    events.push_back(event);
    return S_OK;
  }
  void FinalRelease() override {}  // the stack's to end

  size_t Count(DISPID dispid) const {
    size_t n = 0;
    for (const Event& e : events) n += e.dispid == dispid;
    return n;
  }
  const Event* Last(DISPID dispid) const {
    for (auto it = events.rbegin(); it != events.rend(); ++it)
      if (it->dispid == dispid) return &*it;
    return nullptr;
  }
};

class ControlEvents : public testing::Test {
 protected:
  void SetUp() override {
    ASSERT_EQ(container.Create(), S_OK);
    window = container.ControlWindow();
    SetFocus(window);
    PumpMessages();
    IConnectionPointContainer* points = nullptr;
    ASSERT_EQ(container.Control()->QueryInterface(IID_IConnectionPointContainer,
                                                  reinterpret_cast<void**>(&points)),
              S_OK);
    ASSERT_EQ(points->FindConnectionPoint(DIID__DKestrixEvents, &point), S_OK);
    points->Release();
    ASSERT_EQ(point->Advise(&sink, &cookie), S_OK);
    EXPECT_NE(cookie, 0u);
  }
  void TearDown() override {
    if (point) point->Release();
  }

  Container container;
  HWND window = nullptr;
  Sink sink;
  IConnectionPoint* point = nullptr;
  DWORD cookie = 0;
};

TEST_F(ControlEvents, KeysRaiseKeyDownKeyPressAndKeyUpWithTheirArgumentsByReference) {
  PostMessageW(window, WM_KEYDOWN, VK_HOME, 1);
  PostMessageW(window, WM_CHAR, L'\u0633', 1);
  PostMessageW(window, WM_KEYUP, VK_HOME, 0xC0000001);
  PumpMessages();
  const Event* down = sink.Last(DISPID_KEYDOWN);
  ASSERT_NE(down, nullptr);
  EXPECT_EQ(down->first, VK_HOME);
  EXPECT_EQ(down->types, (std::vector<VARTYPE>{VT_BYREF | VT_I2, VT_I2}));
  const Event* press = sink.Last(DISPID_KEYPRESS);
  ASSERT_NE(press, nullptr);
  EXPECT_EQ(press->first, 0xD3);  // the code page's byte for seen
  ASSERT_NE(sink.Last(DISPID_KEYUP), nullptr);
}

TEST_F(ControlEvents, AClickRaisesClickAndMovesRaiseMouseMove) {
  PostMessageW(window, WM_MOUSEMOVE, 0, MAKELPARAM(30, 12));
  PostMessageW(window, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(30, 12));
  PostMessageW(window, WM_LBUTTONUP, 0, MAKELPARAM(30, 12));
  PumpMessages();
  EXPECT_EQ(sink.Count(DISPID_CLICK), 1u);
  const Event* move = sink.Last(DISPID_MOUSEMOVE);
  ASSERT_NE(move, nullptr);
  EXPECT_EQ(move->types.size(), 4u);
}

TEST_F(ControlEvents, NoEventReachesASinkAfterItsUnadvise) {
  ASSERT_EQ(point->Unadvise(cookie), S_OK);
  EXPECT_EQ(point->Unadvise(cookie), CONNECT_E_NOCONNECTION);
  PostMessageW(window, WM_CHAR, L'x', 1);
  PumpMessages();
  EXPECT_TRUE(sink.events.empty());
  // The control let go of the sink.
  EXPECT_EQ(sink.InternalRefCount(), 1u);
}

TEST_F(ControlEvents, TheContainerEnumeratesItsOnePointStepByStepAndFromAClone) {
  IConnectionPointContainer* points = nullptr;
  ASSERT_EQ(container.Control()->QueryInterface(IID_IConnectionPointContainer,
                                                reinterpret_cast<void**>(&points)),
            S_OK);
  IEnumConnectionPoints* all = nullptr;
  ASSERT_EQ(points->EnumConnectionPoints(&all), S_OK);
  points->Release();
  IConnectionPoint* found[2] = {};
  ULONG fetched = 9;
  EXPECT_EQ(all->Next(2, found, &fetched), S_FALSE);  // there is only one
  ASSERT_EQ(fetched, 1u);
  EXPECT_EQ(found[0], point);
  IID iid{};
  ASSERT_EQ(found[0]->GetConnectionInterface(&iid), S_OK);
  EXPECT_TRUE(IsEqualIID(iid, DIID__DKestrixEvents));
  found[0]->Release();
  EXPECT_EQ(all->Next(1, found, nullptr), S_FALSE);
  ASSERT_EQ(all->Reset(), S_OK);
  EXPECT_EQ(all->Skip(2), S_FALSE);
  ASSERT_EQ(all->Reset(), S_OK);
  // A clone goes on from where its original stands.
  IEnumConnectionPoints* clone = nullptr;
  ASSERT_EQ(all->Clone(&clone), S_OK);
  EXPECT_EQ(all->Skip(1), S_OK);
  EXPECT_EQ(all->Next(1, found, nullptr), S_FALSE);
  ASSERT_EQ(clone->Next(1, found, nullptr), S_OK);
  EXPECT_EQ(found[0], point);
  found[0]->Release();
  clone->Release();
  EXPECT_EQ(all->Release(), 0u);
}

TEST_F(ControlEvents, TheConnectionsAreEveryAdvisedSinkWithItsCookieAndNoneLeftHeld) {
  Sink second;
  DWORD secondCookie = 0;
  ASSERT_EQ(point->Advise(&second, &secondCookie), S_OK);
  EXPECT_NE(secondCookie, cookie);
  IEnumConnections* connections = nullptr;
  ASSERT_EQ(point->EnumConnections(&connections), S_OK);
  CONNECTDATA data[3] = {};
  ULONG fetched = 0;
  EXPECT_EQ(connections->Next(3, data, &fetched), S_FALSE);
  ASSERT_EQ(fetched, 2u);
  EXPECT_EQ(data[0].pUnk, static_cast<IUnknown*>(&sink));
  EXPECT_EQ(data[0].dwCookie, cookie);
  EXPECT_EQ(data[1].pUnk, static_cast<IUnknown*>(&second));
  EXPECT_EQ(data[1].dwCookie, secondCookie);
  for (ULONG i = 0; i < fetched; ++i) data[i].pUnk->Release();
  connections->Release();

  ASSERT_EQ(point->Unadvise(cookie), S_OK);
  ASSERT_EQ(point->EnumConnections(&connections), S_OK);
  ASSERT_EQ(connections->Next(1, data, nullptr), S_OK);
  EXPECT_EQ(data[0].dwCookie, secondCookie);
  data[0].pUnk->Release();
  EXPECT_EQ(connections->Next(1, data, nullptr), S_FALSE);
  connections->Release();
  ASSERT_EQ(point->Unadvise(secondCookie), S_OK);
  // Neither the control nor its enumerators hold a sink any more.
  EXPECT_EQ(sink.InternalRefCount(), 1u);
  EXPECT_EQ(second.InternalRefCount(), 1u);
}

}  // namespace

}  // namespace kestrix
