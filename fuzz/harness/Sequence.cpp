// A control driven by fuzz bytes the way a person and a host drive it, checked after every
// step. The steps reach every handler with values a real display or host may send, edge
// values included; what a real display cannot send (a message to a destroyed window, a
// pointer it never made) is left out.
#include <climits>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <vector>

#include "Harness.h"
#include "Input.h"
#include "control/KestrixCtrl.h"
#include "control/TypeLibrary.h"
#include "framework/ole/Bstr.h"
#include "framework/ole/Variant.h"
#include "framework/window/Display.h"
#include "layout/FixedMetricTextLibrary.h"

namespace fuzzing {
namespace {

// A run longer than this has shown what it can; the cap keeps each execution short.
constexpr int kMaxSteps = 300;
constexpr int kScreenCheckEvery = 4;

const int32_t kEdgeValues[] = {0,  1,    -1,    2,      3,     -7,      5,
                               40, 1000, 32767, -32768, 65535, INT_MIN, INT_MAX};

const DISPID kMembers[] = {kDispMultiLines,
                           kDispMaxLength,
                           kDispWordWrap,
                           kDispModified,
                           kDispStyle,
                           kDispScrollBars,
                           kDispHideSelection,
                           kDispWantReturn,
                           kDispReadingOrder,
                           kDispReadOnly,
                           kDispFontAr,
                           kDispFontEn,
                           kDispPasswordChar,
                           kDispAlignment,
                           kDispSelLength,
                           kDispSelStart,
                           kDispSelectAll,
                           kDispClear,
                           kDispSelText,
                           kDispActivateEdit,
                           DISPID_BACKCOLOR,
                           DISPID_FORECOLOR,
                           DISPID_TEXT,
                           DISPID_REFRESH,
                           DISPID_ABOUTBOX,
                           0,
                           12345};

const int kKeys[] = {VK_LEFT,  VK_RIGHT,   VK_UP,   VK_DOWN,   VK_HOME,   VK_END,    VK_PRIOR,
                     VK_NEXT,  VK_TAB,     VK_BACK, VK_DELETE, VK_RETURN, VK_INSERT, VK_ESCAPE,
                     VK_F5,    'A',        'C',     'V',       'X',       'L',       ' ',
                     VK_SHIFT, VK_CONTROL, VK_MENU, 0x71,      0xBD,      0x6D};

class Sequence {
 public:
  Sequence(const uint8_t* data, size_t size, bool realLibrary) : in_(data, size) {
    container_.CreateEx(0, WS_VISIBLE, CRect(0, 0, 640, 480), nullptr);
    fixed_.recordCalls = false;
    ctrl_ = realLibrary ? std::make_unique<CKestrixCtrl>() : std::make_unique<CKestrixCtrl>(fixed_);
    display_.SetMenuChooser([this](const std::vector<MenuItem>& items, POINT) {
      size_t pick = in_.Below(items.size() + 1);
      return pick == 0 ? 0u : items[pick - 1].id;
    });
    ctrl_->ResetProperties();
    ctrl_->CreateControlWindow(&container_, CRect(0, 0, 320, 200));
    ctrl_->SetFocus();
  }

  ~Sequence() {
    if (display_.KeyState(VK_LBUTTON) < 0) display_.MouseUp(Hwnd(), 0, 0);
    if (clipboardHeld_) display_.CloseClipboard();
    ctrl_.reset();
    container_.DestroyWindow();
  }

  std::string Run() {
    if (std::string broken = ctrl_->Verify(); !broken.empty()) return "after placing: " + broken;
    for (int step = 0; step < kMaxSteps && !in_.Done(); ++step) {
      int what = in_.Byte() % 14;
      Step(what);
      if (trace_) Trace(step, what);
      std::string broken = ctrl_->Verify();
      // The screen check repaints the whole control: every few steps, and after the last.
      if (broken.empty() && (step % kScreenCheckEvery == 0 || in_.Done()))
        broken = ctrl_->VerifyScreen();
      if (!broken.empty())
        return "step " + std::to_string(step) + " (kind " + std::to_string(what) + "): " + broken;
    }
    return "";
  }

 private:
  HWND Hwnd() { return ctrl_->GetSafeHwnd(); }
  // With KESTRIX_FUZZ_TRACE set, each step's kind and the state it left go to stderr, to
  // follow a replayed input to where it breaks a rule.
  void Trace(int step, int what) {
    const CKestrixCtrl& c = *ctrl_;
    std::fprintf(stderr,
                 "step %d kind %d: sel %d+%d caret %d:%d of %d lines, view %d..%d at %d, "
                 "caret %s at %d,%d, focus %d\n",
                 step, what, c.m_SelStart, c.m_SelLength, c.m_CurLine, c.m_CharIndex,
                 c.LineCount(), c.m_FirstVisible, c.m_LastVisible, c.m_ScrollOffset,
                 c.m_CaretShown ? "shown" : "hidden", c.m_CaretX, c.m_CaretY, c.m_HasFocus);
  }
  POINT Point() {
    // Inside the window most of the time, and well outside it too.
    // One read after the other: the order of a call's arguments is the compiler's.
    const int x = static_cast<int>(in_.Below(420)) - 50;
    const int y = static_cast<int>(in_.Below(320)) - 60;
    return POINT{x, y};
  }

  void Step(int what) {
    switch (what) {
      case 0:
        Key();
        break;
      case 1:
        Character();
        break;
      case 2:
        Mouse();
        break;
      case 3:
        ContextMenu();
        break;
      case 4:
        if (in_.Byte() & 1)
          container_.SetFocus();
        else
          ctrl_->SetFocus();
        break;
      case 5:
        display_.AdvanceClock(in_.Below(3000));
        break;
      case 6:
        Resize();
        break;
      case 7:
        PutProperty();
        break;
      case 8:
        CallMember();
        break;
      case 9:
        Clipboard();
        break;
      case 10:
        Font();
        break;
      case 11:
        ScrollMessage();
        break;
      case 12:
        DragOutside();
        break;
      default:
        Typing();
        break;
    }
  }

  void Key() {
    uint8_t mods = in_.Byte();
    int key = in_.Byte() & 1 ? in_.Pick(kKeys) : in_.Byte();
    const int modKeys[] = {VK_SHIFT, VK_CONTROL, VK_MENU, VK_SHIFT};
    const UINT modScans[] = {0x2A, 0x1D, 0x38, 0x36};
    for (int m = 0; m < 4; ++m)
      if (mods & (1 << m)) display_.KeyDown(modKeys[m], modScans[m], m == 2);
    display_.KeyDown(key, in_.Byte(), (mods & 4) != 0);
    if (mods & 0x10) display_.Char(in_.Byte());
    if (!(mods & 0x20)) display_.KeyUp(key, 0, (mods & 4) != 0);  // a key left down now and then
    for (int m = 3; m >= 0; --m)
      if ((mods & (1 << m)) && !(mods & 0x40)) display_.KeyUp(modKeys[m], modScans[m], m == 2);
  }

  void Character() {
    uint32_t code = in_.Byte() & 1 ? in_.Byte() : in_.Word();
    if (code <= 0xFF && in_.Byte() & 1) {
      display_.Char(static_cast<uint8_t>(code));
    } else if (HWND focus = display_.GetFocus()) {
      display_.Send(focus, WM_CHAR, code, static_cast<LPARAM>(in_.Byte()));
      display_.PumpMessages();
    }
  }

  void Typing() {
    for (size_t n = in_.Below(16); n > 0; --n) display_.Char(in_.Byte());
  }

  void Mouse() {
    POINT p = Point();
    switch (in_.Byte() % 6) {
      case 0:
        display_.MouseMove(Hwnd(), p.x, p.y);
        break;
      case 1:
        display_.MouseDown(Hwnd(), p.x, p.y);
        break;
      case 2:
        display_.MouseUp(Hwnd(), p.x, p.y);
        break;
      case 3:
        display_.Click(Hwnd(), p.x, p.y);
        break;
      case 4:
        display_.DoubleClick(Hwnd(), p.x, p.y);
        break;
      default: {
        bool shift = display_.KeyState(VK_SHIFT) >= 0;
        if (shift) display_.SetKeyState(VK_SHIFT, true);
        display_.MouseDown(Hwnd(), p.x, p.y);
        if (shift) display_.SetKeyState(VK_SHIFT, false);
        POINT q = Point();
        display_.MouseMove(Hwnd(), q.x, q.y);
        display_.MouseUp(Hwnd(), q.x, q.y);
        break;
      }
    }
  }

  void ContextMenu() {
    POINT p = Point();
    display_.MouseDown(Hwnd(), p.x, p.y, true);
    display_.MouseUp(Hwnd(), p.x, p.y, true);
  }

  // A press whose drag leaves the window: the control's own loop runs until the release that
  // arrives later.
  void DragOutside() {
    POINT p = Point(), r = Point();
    HWND w = Hwnd();
    display_.MouseDown(w, p.x, p.y);
    uint64_t later = in_.Below(400);
    if (in_.Byte() & 1)
      display_.ScheduleInput(later, [this, w, r] { display_.MouseUp(w, r.x, r.y); });
    else
      display_.ScheduleInput(later, [this, w, r] { display_.MouseMove(w, r.x, r.y); });
    display_.MouseMove(w, p.x, in_.Byte() & 1 ? -40 : 400);
    display_.MouseUp(w, r.x, r.y);
  }

  void Resize() {
    const CRect sizes[] = {CRect(0, 0, 320, 200), CRect(0, 0, 0, 0),    CRect(0, 0, 1, 1),
                           CRect(0, 0, 21, 21),   CRect(0, 0, 100, 54), CRect(0, 0, 60, 300),
                           CRect(0, 0, 600, 40),  CRect(5, 5, 4, 4)};
    if (in_.Byte() & 1)
      ctrl_->SetRectInContainer(in_.Pick(sizes));
    else {
      const int width = static_cast<int>(in_.Below(640));
      const int height = static_cast<int>(in_.Below(480));
      ctrl_->SetRectInContainer(CRect(0, 0, width, height));
    }
  }

  void ScrollMessage() {
    const WPARAM scrollCode = in_.Below(10);
    WPARAM code = scrollCode | static_cast<WPARAM>(in_.Word()) << 16;
    HWND bar = ctrl_->m_pScrollBar ? ctrl_->m_pScrollBar->GetSafeHwnd() : nullptr;
    ctrl_->SendMessage(WM_VSCROLL, code, reinterpret_cast<LPARAM>(in_.Byte() & 1 ? bar : nullptr));
  }

  // Text from the input: raw bytes, CR LF runs, every byte value, or a long paragraph.
  std::string Text() {
    switch (in_.Byte() % 5) {
      case 0:
        return "";
      case 1:
        return in_.Bytes(80);
      case 2: {
        const std::string breaks(in_.Below(12), '\r');
        const std::string bytes = in_.Bytes(8);
        return breaks + "\r\n\r\n" + bytes + "\n\r";
      }
      case 3: {
        std::string all;
        for (int b = 0; b < 256; ++b) all += static_cast<char>(b);
        return all;
      }
      default: {
        std::string word = in_.Bytes(6) + " ";
        std::string out;
        for (size_t n = 200 + in_.Below(800); n > 0; --n) out += word;
        return out;
      }
    }
  }

  void Clipboard() {
    switch (in_.Byte() % 4) {
      case 0:
        display_.PutClipboardText(Text());
        break;
      case 1:
        display_.ClearClipboardText();
        break;
      case 2:
        if (!clipboardHeld_) clipboardHeld_ = display_.OpenClipboard(container_.GetSafeHwnd());
        break;
      default:
        if (clipboardHeld_) display_.CloseClipboard();
        clipboardHeld_ = false;
        break;
    }
  }

  // A value as a host may pass it: numbers at the edges, strings of any bytes and of wide
  // characters the code page lacks, objects and nothing. The caller clears it.
  VARIANT Value() {
    switch (in_.Byte() % 8) {
      case 0:
      case 1:
        return MakeVariantI4(in_.Pick(kEdgeValues));
      case 2:
        return MakeVariantI2(static_cast<SHORT>(in_.Word()));
      case 3:
        return MakeVariantBool(in_.Byte() & 1);
      case 4: {
        VARIANT v;
        VariantInit(&v);
        v.vt = VT_BSTR;
        v.bstrVal = BstrFromCString(Text());
        return v;
      }
      case 5: {
        std::u16string wide;
        for (size_t n = in_.Below(8); n > 0; --n) wide += static_cast<char16_t>(in_.Word());
        return MakeVariantBstr(wide.c_str());
      }
      case 6: {
        IDispatch* objects[] = {nullptr, ctrl_->GetFontAr(), ctrl_->GetFontEn(),
                                ctrl_->GetIDispatch()};
        return MakeVariantDispatch(in_.Pick(objects));
      }
      default: {
        VARIANT v;
        VariantInit(&v);
        return v;
      }
    }
  }

  HRESULT Invoke(IDispatch* object, DISPID id, WORD flags, std::vector<VARIANT>& args) {
    DISPID named = DISPID_PROPERTYPUT;
    DISPPARAMS params;
    params.rgvarg = args.empty() ? nullptr : args.data();
    params.cArgs = static_cast<UINT>(args.size());
    if (flags & DISPATCH_PROPERTYPUT) {
      params.rgdispidNamedArgs = &named;
      params.cNamedArgs = 1;
    }
    VARIANT result;
    VariantInit(&result);
    UINT argErr = 0;
    HRESULT hr = object->Invoke(id, IID_NULL, 0, flags, &params, &result, nullptr, &argErr);
    VariantClear(&result);
    for (VARIANT& v : args) VariantClear(&v);
    return hr;
  }

  void PutProperty() {
    std::vector<VARIANT> args{Value()};
    Invoke(ctrl_->GetIDispatch(), in_.Pick(kMembers), DISPATCH_PROPERTYPUT, args);
  }

  void CallMember() {
    const WORD flags[] = {DISPATCH_METHOD, DISPATCH_PROPERTYGET,
                          DISPATCH_METHOD | DISPATCH_PROPERTYGET};
    DISPID id = in_.Pick(kMembers);
    WORD how = in_.Pick(flags);
    std::vector<VARIANT> args;
    for (size_t n = in_.Below(4); n > 0; --n) args.push_back(Value());
    Invoke(ctrl_->GetIDispatch(), id, how, args);
  }

  // A font property changed on the control's own font object, as a property browser does.
  void Font() {
    IDispatch* font = in_.Byte() & 1 ? ctrl_->GetFontAr() : ctrl_->GetFontEn();
    if (!font) return;
    const char16_t* names[] = {u"Name",      u"Size",          u"Bold",   u"Italic",
                               u"Underline", u"Strikethrough", u"Weight", u"Charset"};
    std::u16string name = in_.Pick(names);
    LPOLESTR nameList[] = {name.data()};
    DISPID id = 0;
    if (font->GetIDsOfNames(IID_NULL, nameList, 1, 0, &id) != S_OK) return;
    std::vector<VARIANT> args;
    if (name == u"Name") {
      const char* faces[] = {"Times New Roman",  "Fonta", "DejaVu Sans", "", "No Such Face",
                             "Noto Naskh Arabic"};
      std::string face =
          in_.Byte() % 4 == 0 ? std::string(300 + in_.Below(300), 'F') : in_.Pick(faces);
      VARIANT v;
      VariantInit(&v);
      v.vt = VT_BSTR;
      v.bstrVal = BstrFromCString(face);
      args.push_back(v);
    } else if (name == u"Size") {
      const CY sizes[] = {0, 1,       10000,    80000,     120000,   720000,
                          1, -120000, 10000000, INT64_MAX, INT64_MIN};
      args.push_back(MakeVariantCy(in_.Pick(sizes)));
    } else {
      args.push_back(Value());
    }
    Invoke(font, id, DISPATCH_PROPERTYPUT, args);
  }

  Input in_;
  Display display_{640, 480};
  CWnd container_;
  FixedMetricTextLibrary fixed_;
  std::unique_ptr<CKestrixCtrl> ctrl_;
  bool clipboardHeld_ = false;
  const bool trace_ = std::getenv("KESTRIX_FUZZ_TRACE") != nullptr;
};

}  // namespace

std::string RunSequence(const uint8_t* data, size_t size, bool realLibrary) {
  return Sequence(data, size, realLibrary).Run();
}

}  // namespace fuzzing
