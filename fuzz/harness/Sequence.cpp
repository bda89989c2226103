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
#include "CaretEdges.h"
#include "FreshControl.h"
#include "Input.h"
#include "TextModel.h"
#include "control/KestrixCtrl.h"
#include "control/Observation.h"
#include "control/TypeLibrary.h"
#include "framework/ole/Bstr.h"
#include "framework/ole/Variant.h"
#include "framework/window/Display.h"
#include "layout/FixedMetricTextLibrary.h"

namespace kestrix {

namespace fuzzing {
namespace {

// A run longer than this has shown what it can; the cap keeps each execution short.
constexpr int kMaxSteps = 300;

// An input whose first byte is this is read in the second form, which adds step kinds, values
// and text (long words, the wheel, every kind of VARIANT, named arguments, big windows, hosts
// that call back into the control) and checks the expensive rules once, at its end. Any other
// input is read as it always was, with the screen checked every few steps.
constexpr uint8_t kSecondForm = 0xF2;
constexpr int kScreenCheckEvery = 4;

// Types the framework's VARIANT has no use for, which a host may still pass.
constexpr VARTYPE kArray = 0x2000;
constexpr VARTYPE kDate = 7;

const int32_t kEdgeValues[] = {0,  1,    -1,    2,      3,     -7,      5,
                               40, 1000, 32767, -32768, 65535, INT_MIN, INT_MAX};

// Every member of the control's dispatch interface in the type library's order, so a member
// added there is fuzzed too, and two numbers no member has.
const std::vector<DISPID>& Members() {
  static const std::vector<DISPID> members = [] {
    std::vector<DISPID> ids;
    for (const MemberDesc& m : KestrixDispatchType().members) ids.push_back(m.dispid);
    ids.push_back(0);
    ids.push_back(12345);
    return ids;
  }();
  return members;
}

const int kKeys[] = {VK_LEFT,  VK_RIGHT,   VK_UP,   VK_DOWN,   VK_HOME,   VK_END,    VK_PRIOR,
                     VK_NEXT,  VK_TAB,     VK_BACK, VK_DELETE, VK_RETURN, VK_INSERT, VK_ESCAPE,
                     VK_F5,    'A',        'C',     'V',       'X',       'L',       ' ',
                     VK_SHIFT, VK_CONTROL, VK_MENU, 0x71,      0xBD,      0x6D};

class Sequence : public EventSink {
 public:
  Sequence(const uint8_t* data, size_t size, bool realLibrary)
      : second_(size > 0 && data[0] == kSecondForm),
        in_(second_ ? data + 1 : data, second_ ? size - 1 : size),
        display_(640, 480),
        realLibrary_(realLibrary) {
    container_.CreateEx(0, WS_VISIBLE, CRect(0, 0, 640, 480), nullptr);
    fixed_.recordCalls = false;
    freshFixed_.recordCalls = false;
    ctrl_ = realLibrary ? std::make_unique<CKestrixCtrl>() : std::make_unique<CKestrixCtrl>(fixed_);
    display_.SetMenuChooser([this](const std::vector<MenuItem>& items, POINT) {
      size_t pick = in_.Below(items.size() + 1);
      return pick == 0 ? 0u : items[pick - 1].id;
    });
    ctrl_->ResetProperties();
    ctrl_->CreateControlWindow(&container_, CRect(0, 0, 320, 200));
    ctrl_->SetFocus();
    if (second_) ctrl_->SetEventSink(this);
  }

  ~Sequence() {
    SysFreeString(heldText_);
    if (display_.KeyState(VK_LBUTTON) < 0) display_.MouseUp(Hwnd(), 0, 0);
    if (clipboardHeld_) display_.CloseClipboard();
    ctrl_->SetEventSink(nullptr);
    ctrl_.reset();
    container_.DestroyWindow();
  }

  std::string Run() {
    if (std::string broken = ctrl_->Verify(); !broken.empty()) return "after placing: " + broken;
    for (int step = 0; step < kMaxSteps && !in_.Done(); ++step) {
      int what = in_.Byte() % (second_ ? 18 : 14);
      text_.Before();
      Step(what);
      AfterHostCalls();
      if (trace_) Trace(step, what);
      std::string broken = ctrl_->Verify();
      if (broken.empty()) broken = text_.After(*ctrl_);
      if (broken.empty()) broken = caretEdges_.Check(*ctrl_);
      // The screen check repaints the whole control: every few steps, and after the last (in
      // the second form only after the last).
      if (broken.empty() && ((!second_ && step % kScreenCheckEvery == 0) || in_.Done()))
        broken = ctrl_->VerifyScreen();
      if (broken.empty() && second_ && in_.Done()) broken = VerifyAtTheEnd();
      if (!broken.empty())
        return "step " + std::to_string(step) + " (kind " + std::to_string(what) + "): " + broken;
    }
    return "";
  }

  // A host's handlers that call back into the control while it raises an event.
  void OnStockEvent(StockEvent& event) override {
    if (inEvent_ || !ctrl_->GetSafeHwnd()) return;
    inEvent_ = true;
    if (event.dispid == DISPID_KEYPRESS && (reenter_ & 1)) {
      VARIANT v;
      VariantInit(&v);
      v.vt = VT_BSTR;
      v.bstrVal = BstrFromCString(reenterText_);
      std::vector<VARIANT> args{v};
      Invoke(ctrl_->GetIDispatch(), DISPID_TEXT, DISPATCH_PROPERTYPUT, args);
      text_.Unknown();
    } else if (event.dispid == DISPID_CLICK && (reenter_ & 2)) {
      std::vector<VARIANT> none;
      Invoke(ctrl_->GetIDispatch(), kDispClear, DISPATCH_METHOD, none);
      text_.Unknown();
    } else if (event.dispid == DISPID_KEYDOWN && (reenter_ & 4)) {
      ctrl_->DestroyWindow();
      destroyed_ = true;
      text_.Unknown();
    }
    inEvent_ = false;
  }

 private:
  HWND Hwnd() { return ctrl_->GetSafeHwnd(); }
  // With KESTRIX_FUZZ_TRACE set, each step's kind and the state it left go to stderr, to
  // follow a replayed input to where it breaks a rule.
  void Trace(int step, int what) {
    const ControlObservation c(*ctrl_);
    const ObservedSelection sel = c.Selection();
    const ObservedCaret caret = c.Caret();
    const ObservedView view = c.View();
    std::fprintf(stderr,
                 "step %d kind %d: sel %ld+%ld caret %d:%d of %d lines, view %d..%d at %d, "
                 "caret %s at %d,%d, focus %d\n",
                 step, what, sel.start, sel.length, caret.line, caret.index,
                 c.LineCount(), view.firstVisible, view.lastVisible, view.scrollOffset,
                 caret.shown ? "shown" : "hidden", caret.x, caret.y, int{c.Activity().focused});
  }
  POINT Point() {
    // Inside the window most of the time, and well outside it too.
    // One read after the other: the order of a call's arguments is the compiler's.
    const int x = static_cast<int>(in_.Below(second_ ? 2200 : 420)) - 50;
    const int y = static_cast<int>(in_.Below(second_ ? 2200 : 320)) - 60;
    return POINT{x, y};
  }

  void Step(int what) {
    if (what != 1 && what != 13) text_.Unknown();
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
      case 13:
        Typing();
        break;
      case 14:
        WheelTurn();
        break;
      case 15:
        reenter_ = in_.Byte() & 7;
        reenterText_ = Text();
        break;
      case 16:
        CallWithNamedArguments();
        break;
      default:
        text_.Unknown();
        ctrl_->SetText(LongWord());
        break;
    }
  }

  // A host that destroyed the control's window from an event handler places it again.
  void AfterHostCalls() {
    if (!destroyed_) return;
    destroyed_ = false;
    if (display_.KeyState(VK_LBUTTON) < 0) display_.MouseUp(container_.GetSafeHwnd(), 0, 0);
    if (!ctrl_->GetSafeHwnd()) ctrl_->CreateControlWindow(&container_, CRect(0, 0, 320, 200));
    ctrl_->SetFocus();
  }

  // The expensive rules, once the input is done: the control shows what a fresh control given
  // the same text and settings shows. KESTRIX_FUZZ_FRESH=0 leaves the comparison out.
  std::string VerifyAtTheEnd() {
    const char* fresh = std::getenv("KESTRIX_FUZZ_FRESH");
    if (!ctrl_->GetSafeHwnd() || (fresh && std::string(fresh) == "0")) return "";
    return CompareWithFreshControl(*ctrl_, container_, realLibrary_ ? nullptr : &freshFixed_);
  }

  void WheelTurn() {
    POINT p = Point();
    const int deltas[] = {120, -120, 240, -360, 1, -1, 32767, -32768, 0, 600};
    display_.Wheel(Hwnd(), p.x, p.y, in_.Pick(deltas));
  }

  // An unbroken word: letters of one script or both, up to 16 KB.
  std::string LongWord() {
    const char* alphabets[] = {"\xC8\xE3\xD3\xE1\xC7\xDA\xED\xE5\xCF\xD1", "kestrlAVTofi",
                               "\xC8" "k" "\xE3" "e" "\xD3" "s" "\xE1", "\xC7\xE1\xDA\x9D\xFE"};
    const std::string letters = in_.Pick(alphabets);
    // Lengths spread evenly over their powers of two: long words now and then, keeping most
    // runs quick.
    const size_t length = 128 + in_.Below(size_t{1} << (7 + in_.Byte() % 8));
    std::string word;
    word.reserve(length);
    uint32_t seed = in_.Byte();
    while (word.size() < length) {
      seed = seed * 1664525u + 1013904223u;
      word += letters[(seed >> 16) % letters.size()];
    }
    if (in_.Byte() & 1) {
      // One read after the other, as everywhere.
      const std::string before = in_.Bytes(8);
      word = before + word + in_.Bytes(8);
    }
    return word;
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
      text_.Character(*ctrl_, display_.GetFocus() == Hwnd(), code);
      display_.Char(static_cast<uint8_t>(code));
    } else if (HWND focus = display_.GetFocus()) {
      text_.Unknown();
      display_.Send(focus, WM_CHAR, code, static_cast<LPARAM>(in_.Byte()));
      display_.PumpMessages();
    }
  }

  void Typing() {
    for (size_t n = in_.Below(16); n > 0; --n) {
      const uint8_t ch = in_.Byte();
      text_.Character(*ctrl_, display_.GetFocus() == Hwnd(), ch);
      display_.Char(ch);
    }
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
      const int width = static_cast<int>(in_.Below(second_ ? 2049 : 640));
      const int height = static_cast<int>(in_.Below(second_ ? 2049 : 480));
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
    switch (in_.Byte() % (second_ ? 6 : 5)) {
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
      case 5:
        return LongWord();
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
    switch (in_.Byte() % (second_ ? 14 : 8)) {
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
      case 8:
        return Reference();
      case 9:
      case 10: {
        // Null, an error (a missing optional argument), a date, an array, unknown types.
        const VARTYPE types[] = {VT_NULL, VT_ERROR, kDate, kArray | VT_I4, kArray | VT_VARIANT,
                                 kArray | VT_BSTR, 0x48, 0xFFF, VT_VARIANT, VT_BYREF | VT_EMPTY};
        VARIANT v;
        VariantInit(&v);
        v.vt = in_.Pick(types);
        if (v.vt & (kArray | VT_BYREF)) v.byref = &storage_;  // what no conversion may read
        else if (v.vt == VT_ERROR) v.scode = static_cast<SCODE>(0x80020004);  // not found
        else v.dblVal = static_cast<double>(in_.Word());
        return v;
      }
      case 11: {
        VARIANT v;
        VariantInit(&v);
        v.vt = VT_R8;
        const double reals[] = {0.5, 1.5, -2.5, 1e300, -1e300, 32767.5, 2147483647.5, 1e-300};
        v.dblVal = in_.Pick(reals);
        return v;
      }
      case 12: {
        VARIANT v;
        VariantInit(&v);
        v.vt = in_.Byte() & 1 ? VT_UI1 : VT_UI4;
        v.ulVal = in_.Long();
        if (v.vt == VT_UI1) v.ulVal &= 0xFF;
        return v;
      }
      default: {
        VARIANT v;
        VariantInit(&v);
        return v;
      }
    }
  }

  // A value passed by reference: to a number, a bool or a string the host holds, or to a
  // variant, which may itself refer to another variant, to itself, or round a cycle.
  VARIANT Reference() {
    VARIANT v;
    VariantInit(&v);
    switch (in_.Byte() % 6) {
      case 0:
        storage_.iVal = static_cast<SHORT>(in_.Word());
        v.vt = VT_BYREF | VT_I2;
        v.piVal = &storage_.iVal;
        break;
      case 1:
        storage_.lVal = static_cast<LONG>(in_.Long());
        v.vt = VT_BYREF | VT_I4;
        v.plVal = &storage_.lVal;
        break;
      case 2:
        SysFreeString(heldText_);
        heldText_ = BstrFromCString(in_.Bytes(16));
        v.vt = VT_BYREF | VT_BSTR;
        v.pbstrVal = &heldText_;
        break;
      case 3:
        held_[0] = MakeVariantI4(in_.Pick(kEdgeValues));
        v.vt = VT_BYREF | VT_VARIANT;
        v.pvarVal = &held_[0];
        break;
      case 4:
        // A chain of references, two or three deep.
        held_[1].vt = VT_BYREF | VT_VARIANT;
        held_[1].pvarVal = &held_[2];
        held_[2].vt = VT_BYREF | VT_VARIANT;
        held_[2].pvarVal = in_.Byte() & 1 ? &held_[1] : &held_[0];
        v.vt = VT_BYREF | VT_VARIANT;
        v.pvarVal = &held_[1];
        break;
      default:
        held_[3].vt = VT_BYREF | VT_VARIANT;
        held_[3].pvarVal = &held_[3];
        v = held_[3];
        break;
    }
    if (in_.Byte() % 8 == 0) v.byref = nullptr;  // a reference to nothing
    return v;
  }

  // A member called with named arguments as a host may name them: none, the property-put
  // name, a parameter's number, or names the member does not have.
  void CallWithNamedArguments() {
    const WORD flags[] = {DISPATCH_METHOD, DISPATCH_PROPERTYGET, DISPATCH_PROPERTYPUT,
                          DISPATCH_PROPERTYPUTREF, DISPATCH_METHOD | DISPATCH_PROPERTYGET, 0};
    DISPID id = in_.Pick(Members());
    WORD how = in_.Pick(flags);
    std::vector<VARIANT> args;
    for (size_t n = in_.Below(4); n > 0; --n) args.push_back(Value());
    std::vector<DISPID> names;
    const DISPID nameIds[] = {DISPID_PROPERTYPUT, 0, 1, 2, -1, 7};
    for (size_t n = in_.Below(args.size() + 2); n > 0; --n) names.push_back(in_.Pick(nameIds));
    DISPPARAMS params;
    params.rgvarg = args.empty() ? nullptr : args.data();
    params.cArgs = static_cast<UINT>(args.size());
    // More names than arguments is an error the dispatcher must refuse, not read past.
    params.rgdispidNamedArgs = names.empty() ? nullptr : names.data();
    params.cNamedArgs = static_cast<UINT>(names.size());
    VARIANT result;
    VariantInit(&result);
    UINT argErr = 0;
    ctrl_->GetIDispatch()->Invoke(id, IID_NULL, 0, how, &params, &result, nullptr, &argErr);
    VariantClear(&result);
    for (VARIANT& v : args) VariantClear(&v);
    text_.Unknown();
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
    Invoke(ctrl_->GetIDispatch(), in_.Pick(Members()), DISPATCH_PROPERTYPUT, args);
  }

  void CallMember() {
    const WORD flags[] = {DISPATCH_METHOD, DISPATCH_PROPERTYGET,
                          DISPATCH_METHOD | DISPATCH_PROPERTYGET};
    DISPID id = in_.Pick(Members());
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

  const bool second_;
  Input in_;
  Display display_;
  CWnd container_;
  FixedMetricTextLibrary fixed_;
  FixedMetricTextLibrary freshFixed_;
  const bool realLibrary_;
  std::unique_ptr<CKestrixCtrl> ctrl_;
  bool clipboardHeld_ = false;
  // What values passed by reference point at.
  VARIANT storage_{};
  VARIANT held_[4]{};
  BSTR heldText_ = nullptr;
  // Host handlers that call back into the control: 1 sets Text in KeyPress, 2 calls Clear in
  // Click, 4 destroys the control's window in KeyDown.
  int reenter_ = 0;
  std::string reenterText_;
  bool inEvent_ = false;
  bool destroyed_ = false;
  TextModel text_;
  CaretEdges caretEdges_{!realLibrary_};
  const bool trace_ = std::getenv("KESTRIX_FUZZ_TRACE") != nullptr;
};

}  // namespace

std::string RunSequence(const uint8_t* data, size_t size, bool realLibrary) {
  return Sequence(data, size, realLibrary).Run();
}

}  // namespace fuzzing

}  // namespace kestrix
