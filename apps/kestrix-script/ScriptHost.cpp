#include "ScriptHost.h"

#include "framework/ole/ObjectCreation.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <fstream>
#include <sstream>

#include "Keys.h"
#include "PropertyAccess.h"
#include "framework/ole/PropertyBagFile.h"
#include "framework/window/Clipboard.h"
#include "framework/window/Dialog.h"

namespace {

constexpr int kDisplaySize = 2048;

std::string Hex8(uint32_t v) {
  char buf[16];
  std::snprintf(buf, sizeof buf, "%08X", v);
  return buf;
}

Shown Number(double v) {
  Shown s;
  s.kind = Shown::Kind::Number;
  s.number = v;
  std::ostringstream o;
  if (v == std::floor(v) && std::fabs(v) < 9e15)
    o << static_cast<int64_t>(v);
  else
    o << v;
  s.text = o.str();
  return s;
}

Shown Text(const std::string& t) {
  Shown s;
  s.text = t;
  return s;
}

Shown String(const std::string& bytes) {
  Shown s;
  s.kind = Shown::Kind::String;
  s.text = bytes;
  return s;
}

}  // namespace

std::string Shown::Printed() const { return kind == Kind::String ? Quoted(text) : text; }

// The stock events as the host receives them, in the printed form.
struct ScriptHost::EventLog : EventSink {
  std::vector<std::string> events;
  void OnStockEvent(StockEvent& e) override {
    std::ostringstream o;
    switch (e.dispid) {
      case DISPID_CLICK: o << "Click"; break;
      case DISPID_DBLCLICK: o << "DblClick"; break;
      case DISPID_KEYDOWN: o << "KeyDown(" << e.keyCode << "," << e.shift << ")"; break;
      case DISPID_KEYPRESS: o << "KeyPress(" << e.keyCode << ")"; break;
      case DISPID_KEYUP: o << "KeyUp(" << e.keyCode << "," << e.shift << ")"; break;
      case DISPID_MOUSEMOVE: o << "MouseMove(" << e.button << "," << e.shift << "," << e.x << "," << e.y << ")"; break;
      case DISPID_READYSTATECHANGE: o << "ReadyStateChange(" << e.readyState << ")"; break;
      default: o << "Event(" << e.dispid << ")"; break;
    }
    events.push_back(o.str());
  }
};

ScriptHost::ScriptHost(std::ostream& out) : out_(out), events_(std::make_unique<EventLog>()) {}

ScriptHost::~ScriptHost() {
  ctrl_.reset();
  if (container_) container_->DestroyWindow();
}

void ScriptHost::ChooseMetrics(bool fixed) { fixedMetrics_ = fixed; }

CKestrixCtrl& ScriptHost::Ctrl() {
  EnsureControl();
  return *ctrl_;
}

HWND ScriptHost::Hwnd() { return Ctrl().GetSafeHwnd(); }

void ScriptHost::EnsureControl() {
  if (ctrl_) return;
  if (!display_) {
    display_ = std::make_unique<Display>(kDisplaySize, kDisplaySize);
    display_->SetIdleHandler([this](uint32_t timeoutMs) { return FeedWaitingLoop(timeoutMs); });
    // A popup menu takes the choice armed for it, once; without one it is dismissed.
    display_->SetMenuChooser([this](const std::vector<MenuItem>&, POINT) {
      UINT chosen = menuArmed_ ? menuChoice_ : 0;
      menuArmed_ = false;
      return chosen;
    });
    container_ = std::make_unique<CWnd>();
    container_->CreateEx(0, WS_VISIBLE, CRect(0, 0, kDisplaySize, kDisplaySize), nullptr);
    if (fixedMetrics_) {
      fixedLibrary_ = std::make_unique<FixedMetricTextLibrary>();
      fixedLibrary_->recordCalls = false;  // a long script would keep every string measured
    }
  }
  PlaceControl(nullptr);
}

void ControlRelease::operator()(CKestrixCtrl* control) const {
  if (byReference)
    control->GetControllingUnknown()->Release();
  else
    delete control;
}

std::unique_ptr<CKestrixCtrl, ControlRelease> ScriptHost::NewControl() {
  if (createName_.empty()) {
    CKestrixCtrl* made = fixedLibrary_ ? new CKestrixCtrl(*fixedLibrary_) : new CKestrixCtrl();
    return {made, ControlRelease{false}};
  }
  IUnknown* unknown = nullptr;
  HRESULT hr = CreateObjectByName(createName_, IID_IUnknown, reinterpret_cast<void**>(&unknown));
  if (FAILED(hr)) throw ScriptError("cannot create " + createName_ + ": " + HResultText(hr));
  // The module comes from this same build, so the object behind the interfaces is reachable
  // for the observations a script makes.
  CKestrixCtrl* made = nullptr;
  hr = unknown->QueryInterface(IID_KestrixControlObject, reinterpret_cast<void**>(&made));
  unknown->Release();
  if (FAILED(hr) || !made) throw ScriptError(createName_ + " is not a Kestrix control");
  if (fixedLibrary_) made->UseTextLibrary(*fixedLibrary_);
  return {made, ControlRelease{true}};
}

void ScriptHost::PlaceControl(const PropertyBag* loaded) {
  ctrl_.reset();
  ctrl_ = NewControl();
  ctrl_->SetEventSink(events_.get());
  if (loaded)
    ctrl_->LoadProperties(*loaded);
  else
    ctrl_->ResetProperties();
  ctrl_->CreateControlWindow(container_.get(), CRect(0, 0, width_, height_));
  // A loaded text reaches the store through the font notification, as a host's load does.
  if (loaded) ctrl_->OnFontChanged();
  // The host gives its one control the keyboard focus, as a form does.
  ctrl_->SetFocus();
  ctrl_->SetModifiedFlag(FALSE);
  events_->events.clear();
  layoutsBefore_ = display_->LayoutRequests().size();
}

void ScriptHost::Finish() {
  if (display_ && display_->KeyState(VK_LBUTTON) < 0 && ctrl_) display_->MouseUp(Hwnd(), lastPoint_.x, lastPoint_.y);
}

bool ScriptHost::RunScript(std::istream& in, const std::string& name, std::ostream& err) {
  lines_.clear();
  for (std::string line; std::getline(in, line);) lines_.push_back(line);
  scriptName_ = name;
  next_ = 0;
  while (next_ < lines_.size() && !failed_) {
    size_t number = ++next_;
    try {
      RunLine(lines_[number - 1], name + ":" + std::to_string(number));
      // A tick that the control's loop did not use passes now.
      if (tickLeft_ > 0 && display_) {
        uint64_t left = tickLeft_;
        tickLeft_ = 0;
        display_->AdvanceClock(left);
      }
    } catch (const ScriptError& e) {
      err << name << ":" << number << ": " << e.what() << "\n";
      return false;
    }
  }
  if (failed_) {
    err << failed_->what() << "\n";
    return false;
  }
  return true;
}

int64_t ScriptHost::FeedWaitingLoop(uint32_t timeoutMs) {
  if (failed_) return -1;
  if (tickLeft_ == 0) {
    if (next_ >= lines_.size()) return -1;
    size_t number = ++next_;
    const std::string where = scriptName_ + ":" + std::to_string(number);
    feeding_ = true;
    try {
      RunLine(lines_[number - 1], where);
    } catch (const ScriptError& e) {
      // The control's loop is on the stack: the error ends the script once it has unwound.
      failed_ = std::make_unique<ScriptError>(where + ": " + e.what());
      feeding_ = false;
      return -1;
    }
    feeding_ = false;
  }
  uint64_t pass = std::min<uint64_t>(tickLeft_, timeoutMs);
  tickLeft_ -= pass;
  return static_cast<int64_t>(pass);
}

void ScriptHost::RunLine(const std::string& line, const std::string& where) {
  where_ = where;
  line_ = line;
  std::vector<Word> words = SplitWords(line);
  if (words.empty() || (!words[0].quoted && words[0].text[0] == '#')) return;
  Command(words);
}

void ScriptHost::Command(const std::vector<Word>& w) {
  const std::string cmd = Lower(w[0].text);
  auto need = [&](size_t n) {
    if (w.size() < n) throw ScriptError(cmd + " needs " + std::to_string(n - 1) + " argument(s)");
  };
  auto arg = [&](size_t i) -> std::string { return i < w.size() ? Lower(w[i].text) : ""; };

  if (cmd == "metrics") {
    need(2);
    if (started_) throw ScriptError("metrics comes before every other command");
    if (arg(1) != "real" && arg(1) != "fixed") throw ScriptError("metrics is real or fixed");
    fixedMetrics_ = arg(1) == "fixed";
    return;
  }
  started_ = true;

  if (cmd == "window") {
    need(3);
    int width = static_cast<int>(NumberOf(w[1], "a width")), height = static_cast<int>(NumberOf(w[2], "a height"));
    if (width < 0 || height < 0 || width > kDisplaySize || height > kDisplaySize)
      throw ScriptError("a window from 0 to " + std::to_string(kDisplaySize) + " pixels each way");
    width_ = width;
    height_ = height;
    if (ctrl_)
      ctrl_->SetRectInContainer(CRect(0, 0, width_, height_));
    else
      EnsureControl();
  } else if (cmd == "reset") {
    EnsureControl();
    PlaceControl(nullptr);
  } else if (cmd == "focus") {
    Ctrl().SetFocus();
  } else if (cmd == "blur") {
    EnsureControl();
    container_->SetFocus();
  } else if (cmd == "tick") {
    need(2);
    int64_t ms = NumberOf(w[1], "milliseconds");
    if (ms < 0) throw ScriptError("tick needs a positive time");
    EnsureControl();
    if (feeding_)
      tickLeft_ += static_cast<uint64_t>(ms);  // the waiting loop lets it pass turn by turn
    else
      display_->AdvanceClock(static_cast<uint64_t>(ms));
  } else if (cmd == "set") {
    need(3);
    SetProperty(w[1].text, w[2]);
  } else if (cmd == "get") {
    need(2);
    out_ << w[1].text << " = " << GetProperty(w[1].text).Printed() << "\n";
  } else if (cmd == "call") {
    need(2);
    CallMethod(w[1].text, std::vector<Word>(w.begin() + 2, w.end()));
  } else if (cmd == "key") {
    need(2);
    KeyStroke(w[1].text);
  } else if (cmd == "keydown" || cmd == "keyup") {
    need(2);
    KeyMessage(w[1].text, cmd == "keydown");
  } else if (cmd == "char") {
    need(2);
    CharMessage(NumberOf(w[1], "a character code"));
  } else if (cmd == "type") {
    need(2);
    if (!w[1].quoted) throw ScriptError("type needs a string");
    TypeText(w[1].text);
  } else if (cmd == "mouse" || cmd == "click" || cmd == "dblclick" || cmd == "rclick") {
    Mouse(w);
  } else if (cmd == "menu") {
    need(3);
    if (arg(1) != "choose") throw ScriptError("menu choose ID or menu choose none");
    UINT id = 0;
    if (arg(2) != "none") id = static_cast<UINT>(NumberOf(w[2], "a command number"));
    EnsureControl();
    menuChoice_ = id;
    menuArmed_ = true;
  } else if (cmd == "clipboard") {
    need(2);
    EnsureControl();
    std::string what = arg(1);
    if (what == "set") {
      need(3);
      if (!w[2].quoted) throw ScriptError("clipboard set needs a string");
      display_->PutClipboardText(w[2].text);
    } else if (what == "clear") {
      display_->ClearClipboardText();
    } else if (what == "lock") {
      if (!clipboardLocked_) clipboardLocked_ = display_->OpenClipboard(container_->GetSafeHwnd());
    } else if (what == "unlock") {
      if (clipboardLocked_) display_->CloseClipboard();
      clipboardLocked_ = false;
    } else {
      throw ScriptError("clipboard set, clear, lock or unlock");
    }
  } else if (cmd == "save") {
    need(2);
    PropertyBag bag;
    Ctrl().SaveProperties(bag);
    std::string error;
    if (!SavePropertyBagFile(bag, w[1].text, &error)) throw ScriptError("cannot save " + w[1].text + ": " + error);
    ctrl_->SetModifiedFlag(FALSE);
  } else if (cmd == "load") {
    need(2);
    if (!std::ifstream(w[1].text, std::ios::binary)) throw ScriptError("cannot read " + w[1].text);
    // What cannot be read of the file takes its default, as for a host opening a document.
    PropertyBag bag;
    LoadPropertyBagFile(w[1].text, bag);
    EnsureControl();
    PlaceControl(&bag);
  } else if (cmd == "png") {
    need(2);
    if (!display_->WriteWindowPng(Hwnd(), w[1].text)) throw ScriptError("cannot write " + w[1].text);
  } else if (cmd == "dialog") {
    DialogCommand(w);
  } else if (cmd == "verb") {
    need(2);
    // A container's verb: `properties` opens the property frame, which runs modally while the
    // script goes on inside it.
    LONG verb = Lower(w[1].text) == "properties"
                    ? OLEIVERB_PROPERTIES
                    : static_cast<LONG>(NumberOf(w[1], "a verb: properties or a number"));
    IHostedControl* hosted = nullptr;
    Ctrl().GetControllingUnknown()->QueryInterface(IID_IHostedControl,
                                                   reinterpret_cast<void**>(&hosted));
    HRESULT hr = hosted->DoVerb(verb);
    hosted->Release();
    if (FAILED(hr)) throw ScriptError("verb " + w[1].text + " failed: " + HResultText(hr));
  } else if (cmd == "print") {
    need(2);
    size_t i = 1;
    Shown value = Observe(w, i);
    std::string what;
    for (size_t k = 1; k < i; ++k) what += (k > 1 ? " " : "") + w[k].text;
    out_ << what << " = " << value.Printed() << "\n";
  } else if (cmd == "expect") {
    need(3);
    Expect(w);
  } else {
    throw ScriptError("unknown command " + w[0].text);
  }
}

// Automation ----------------------------------------------------------------------------------

void ScriptHost::SetProperty(const std::string& name, const Word& value) {
  EnsureControl();
  SetControlProperty(*ctrl_, name, value);
}

Shown ScriptHost::GetProperty(const std::string& name) {
  EnsureControl();
  PropertyValue v = GetControlProperty(*ctrl_, name);
  if (v.isString) return String(v.text);
  if (v.isNumber) return Number(v.number);
  return Text(v.text);
}

void ScriptHost::CallMethod(const std::string& name, const std::vector<Word>& args) {
  EnsureControl();
  PropertyValue v = CallControlMethod(*ctrl_, name, args);
  if (v.isNone) {
    result_ = "none";
    resultIsString_ = false;
    return;
  }
  result_ = v.isString ? v.text : v.text;
  resultIsString_ = v.isString;
  out_ << name << " = " << (v.isString ? Quoted(v.text) : v.text) << "\n";
}

// Input ---------------------------------------------------------------------------------------

void ScriptHost::KeyStroke(const std::string& keys) {
  EnsureControl();
  std::vector<std::string> parts;
  std::string part;
  for (char c : keys) {
    if (c == '+') {
      parts.push_back(part);
      part.clear();
    } else {
      part += c;
    }
  }
  parts.push_back(part);
  std::vector<KeyInfo> mods;
  for (size_t i = 0; i + 1 < parts.size(); ++i) {
    std::string m = Lower(parts[i]);
    if (m != "shift" && m != "rshift" && m != "ctrl" && m != "alt") throw ScriptError("unknown modifier " + parts[i]);
    mods.push_back(*KeyByName(m));
  }
  std::optional<KeyInfo> key = KeyByName(parts.back());
  if (!key) throw ScriptError("unknown key " + parts.back());
  for (const KeyInfo& m : mods) display_->KeyDown(m.vk, m.scan);
  display_->KeyDown(key->vk, key->scan);
  bool alt = display_->KeyState(VK_MENU) < 0, ctrl = display_->KeyState(VK_CONTROL) < 0;
  int ch = CharacterOfKey(key->vk, display_->KeyState(VK_SHIFT) < 0, ctrl);
  if (ch >= 0 && (!alt || ctrl)) display_->Char(static_cast<uint8_t>(ch));
  display_->KeyUp(key->vk, key->scan);
  for (auto it = mods.rbegin(); it != mods.rend(); ++it) display_->KeyUp(it->vk, it->scan);
}

void ScriptHost::KeyMessage(const std::string& name, bool down) {
  EnsureControl();
  std::optional<KeyInfo> key = KeyByName(name);
  if (!key) throw ScriptError("unknown key " + name);
  if (down)
    display_->KeyDown(key->vk, key->scan);
  else
    display_->KeyUp(key->vk, key->scan);
}

void ScriptHost::CharMessage(int64_t code) {
  EnsureControl();
  if (code < 0 || code > 0xFFFF) throw ScriptError("a character code is 0 to 0xFFFF");
  if (code <= 0xFF) {
    display_->Char(static_cast<uint8_t>(code));
  } else if (HWND focus = display_->GetFocus()) {
    // A display that delivers Unicode characters sends wider codes.
    display_->Send(focus, WM_CHAR, static_cast<WPARAM>(code), 1);
    display_->PumpMessages();
  }
}

void ScriptHost::TypeText(const std::string& bytes) {
  EnsureControl();
  for (char c : bytes) {
    auto byte = static_cast<unsigned char>(c);
    Keystroke k = KeystrokeFor(byte);
    if (k.shift) display_->KeyDown(VK_SHIFT, 0x2A);
    display_->KeyDown(k.key.vk, k.key.scan);
    display_->Char(byte);
    display_->KeyUp(k.key.vk, k.key.scan);
    if (k.shift) display_->KeyUp(VK_SHIFT, 0x2A);
  }
}

POINT ScriptHost::ReadPoint(const std::vector<Word>& w, size_t& i) {
  if (i >= w.size()) throw ScriptError("a point is X Y, @L:I, @above or @below");
  std::string first = Lower(w[i].text);
  CKestrixCtrl& c = Ctrl();
  POINT p = lastPoint_;
  if (first == "@above") {
    p.y = -10;
    ++i;
  } else if (first == "@below") {
    p.y = c.m_TextRect.bottom + 10;
    ++i;
  } else if (!first.empty() && first[0] == '@') {
    size_t colon = first.find(':');
    std::optional<int64_t> line = colon == std::string::npos ? std::nullopt : ParseNumber(first.substr(1, colon - 1));
    std::optional<int64_t> index = colon == std::string::npos ? std::nullopt : ParseNumber(first.substr(colon + 1));
    if (!line || !index || *line < 1 || *line > c.LineCount() || *index < 0)
      throw ScriptError("no display line position " + w[i].text);
    ++i;
    c.PushPosition(FALSE);
    c.GotoLine(static_cast<int>(*line));
    c.m_CharIndex = static_cast<int>(std::min<int64_t>(*index, c.m_LineLength));
    p.x = c.CaretXFromIndex();
    int baseline = c.m_LineY - c.m_ScrollOffset - c.m_BaselineLift;
    c.PopPosition();
    p.y = baseline - c.m_Ascent + (c.m_Ascent + c.m_Descent) / 2;
    if (i < w.size() && !w[i].quoted && (w[i].text[0] == '+' || w[i].text[0] == '-')) {
      std::optional<int64_t> dx = ParseNumber(w[i].text[0] == '+' ? w[i].text.substr(1) : w[i].text);
      if (!dx) throw ScriptError("a shift across is +DX or -DX");
      p.x += static_cast<LONG>(*dx);
      ++i;
    }
  } else {
    if (i + 1 >= w.size()) throw ScriptError("a point is X Y");
    p.x = static_cast<LONG>(NumberOf(w[i], "an x"));
    p.y = static_cast<LONG>(NumberOf(w[i + 1], "a y"));
    i += 2;
  }
  lastPoint_ = p;
  return p;
}

void ScriptHost::Mouse(const std::vector<Word>& w) {
  std::string cmd = Lower(w[0].text);
  size_t i = 1;
  HWND hwnd = Hwnd();
  if (cmd == "mouse") {
    if (w.size() < 3) throw ScriptError("mouse down, move or up with a point");
    std::string what = Lower(w[1].text);
    i = 2;
    POINT p = ReadPoint(w, i);
    if (what == "down") {
      bool shift = i < w.size() && EqualsIgnoringCase(w[i].text, "shift");
      if (shift) ++i;
      // The Shift flag and key state without Shift's own key messages.
      bool wasDown = display_->KeyState(VK_SHIFT) < 0;
      if (shift && !wasDown) display_->SetKeyState(VK_SHIFT, true);
      display_->MouseDown(hwnd, p.x, p.y);
      if (shift && !wasDown) display_->SetKeyState(VK_SHIFT, false);
    } else if (what == "move") {
      display_->MouseMove(hwnd, p.x, p.y);
    } else if (what == "up") {
      display_->MouseUp(hwnd, p.x, p.y);
    } else {
      throw ScriptError("mouse down, move or up");
    }
  } else {
    POINT p = ReadPoint(w, i);
    if (cmd == "click") display_->Click(hwnd, p.x, p.y);
    if (cmd == "dblclick") display_->DoubleClick(hwnd, p.x, p.y);
    if (cmd == "rclick") {
      display_->MouseDown(hwnd, p.x, p.y, true);
      display_->MouseUp(hwnd, p.x, p.y, true);
    }
  }
  if (i != w.size()) throw ScriptError("unexpected " + w[i].text);
}

// Dialogs -------------------------------------------------------------------------------------

void ScriptHost::DialogCommand(const std::vector<Word>& w) {
  if (w.size() < 2) throw ScriptError("dialog press BUTTON or dialog png FILE");
  EnsureControl();
  std::string what = Lower(w[1].text);
  CDialog* dialog = CDialog::TopmostDialog();
  if (!dialog) throw ScriptError("no dialog is open");
  if (what == "press") {
    if (w.size() < 3) throw ScriptError("dialog press needs a button's text or id N");
    CPushButton* button = nullptr;
    if (!w[2].quoted && Lower(w[2].text) == "id") {
      if (w.size() != 4) throw ScriptError("dialog press id needs a number");
      button = dynamic_cast<CPushButton*>(dialog->GetDlgItem(static_cast<UINT>(NumberOf(w[3], "a button id"))));
    } else {
      if (w.size() != 3) throw ScriptError("unexpected " + w[3].text);
      button = dialog->FindButton(w[2].text);
    }
    if (!button) throw ScriptError("the dialog has no button " + w.back().text);
    // A click in the middle of the button, as a person gives it.
    CRect client;
    button->GetClientRect(&client);
    display_->Click(button->GetSafeHwnd(), client.Width() / 2, client.Height() / 2);
  } else if (what == "png") {
    if (w.size() != 3) throw ScriptError("dialog png needs a file");
    if (!display_->WriteWindowPng(dialog->GetSafeHwnd(), w[2].text)) throw ScriptError("cannot write " + w[2].text);
  } else {
    throw ScriptError("dialog press or dialog png");
  }
}

// Observing -----------------------------------------------------------------------------------

Shown ScriptHost::Observe(const std::vector<Word>& w, size_t& i) {
  CKestrixCtrl& c = Ctrl();
  std::string what = Lower(w[i].text);
  ++i;
  auto lineArg = [&]() -> const LineRecord& {
    if (i >= w.size()) throw ScriptError(what + " needs a line number");
    int64_t n = NumberOf(w[i++], "a line number");
    if (n < 1 || n > c.LineCount()) throw ScriptError("no display line " + std::to_string(n));
    return *c.m_Lines.At(static_cast<int>(n));
  };
  if (what == "text") return String(c.GetText());
  if (what == "lines") return Number(c.LineCount());
  if (what == "line") return String(lineArg().m_Chars);
  if (what == "dir") {
    int d = lineArg().m_Direction;
    return d == 0 ? Text("ltr") : d == 1 ? Text("rtl") : Number(d);
  }
  if (what == "caret") return Text(std::to_string(c.m_CurLine) + ":" + std::to_string(c.m_CharIndex));
  if (what == "offset") return Number(c.OffsetFromIndex(c.m_CharIndex));
  if (what == "sel") return Text(std::to_string(c.GetSelStart()) + "+" + std::to_string(c.GetSelLength()));
  if (what == "highlight") {
    const LineRecord& r = lineArg();
    int lo = std::min(r.m_HighlightLeft, r.m_HighlightRight), hi = std::max(r.m_HighlightLeft, r.m_HighlightRight);
    if (!r.m_Highlighted || lo == hi) return Text("none");
    return Text(std::to_string(lo) + ".." + std::to_string(hi));
  }
  if (what == "first") return Number(c.m_FirstVisible);
  if (what == "last") return Number(c.m_LastVisible);
  if (what == "scrollbar") {
    if (!c.m_pScrollBar || !c.m_pScrollBar->IsWindowVisible()) return Text("hidden");
    CRect bar;
    c.m_pScrollBar->GetWindowRect(&bar);
    SCROLLINFO info;
    c.m_pScrollBar->GetScrollInfo(&info);
    return Text(std::string(bar.left == 0 ? "left " : "right ") + std::to_string(c.m_pScrollBar->GetScrollPos()) + "/" +
                std::to_string(info.nMax));
  }
  if (what == "clipboard") {
    std::optional<std::string> text = display_->ClipboardData();
    return text ? String(*text) : Text("none");
  }
  if (what == "dirty") return Text(c.IsModified() ? "true" : "false");
  if (what == "layout") {
    if (display_->LayoutRequests().size() <= layoutsBefore_) return Text("none");
    return Text(Hex8(static_cast<uint32_t>(display_->ActiveLayout()) & 0xFFFF));
  }
  if (what == "events") {
    std::string all;
    for (const std::string& e : events_->events) all += (all.empty() ? "" : " ") + e;
    events_->events.clear();
    return Text(all.empty() ? "none" : all);
  }
  if (what == "cursor") {
    switch (display_->GetCursor()) {
      case CursorShape::IBeam: return Text("ibeam");
      case CursorShape::Wait: return Text("wait");
      case CursorShape::None: return Text("none");
      default: return Text("arrow");
    }
  }
  if (what == "menu") {
    if (display_->MenusShown().empty()) return Text("none");
    std::string all;
    for (const MenuItem& item : display_->MenusShown().back()) {
      if (!all.empty()) all += ' ';
      all += Quoted(item.text);
      all += '=';
      all += std::to_string(item.id);
    }
    return Text(all);
  }
  if (what == "pixel") {
    if (i + 1 >= w.size()) throw ScriptError("pixel needs X Y");
    int x = static_cast<int>(NumberOf(w[i], "an x")), y = static_cast<int>(NumberOf(w[i + 1], "a y"));
    i += 2;
    uint32_t p = display_->CaptureClient(Hwnd()).Pixel(x, y);
    char buf[16];
    std::snprintf(buf, sizeof buf, "#%06X", p & 0xFFFFFF);
    return Text(buf);
  }
  if (what == "result") return resultIsString_ ? String(result_) : Text(result_);
  if (what == "dialog") {
    CDialog* dialog = CDialog::TopmostDialog();
    if (i < w.size() && !w[i].quoted && Lower(w[i].text) == "buttons") {
      ++i;
      if (!dialog) return Text("none");
      std::string all;
      for (const auto& item : dialog->Items())
        if (dynamic_cast<CPushButton*>(item.get()))
          all += (all.empty() ? "" : " ") + Quoted(VisibleLabel(item->Text())) + "=" + std::to_string(item->GetDlgCtrlID());
      return Text(all.empty() ? "none" : all);
    }
    return dialog ? String(dialog->Title()) : Text("none");
  }
  return GetProperty(w[i - 1].text);
}

void ScriptHost::Expect(const std::vector<Word>& w) {
  size_t i = 1;
  Shown actual = Observe(w, i);
  std::string what;
  for (size_t k = 1; k < i; ++k) what += (k > 1 ? " " : "") + w[k].text;
  if (i >= w.size()) throw ScriptError("expect " + what + " needs a value");
  // A string is one quoted word; anything else is the rest of the line as written (the
  // events and the menu hold blanks and quotes).
  bool quoted = w[i].quoted && i + 1 == w.size();
  std::string expectedText = quoted ? w[i].text : line_.substr(w[i].start);
  if (!quoted)
    while (!expectedText.empty() && (expectedText.back() == ' ' || expectedText.back() == '\r')) expectedText.pop_back();
  bool held = false;
  std::string expectedShown = quoted ? Quoted(expectedText) : expectedText;
  if (actual.kind == Shown::Kind::String) {
    held = quoted && expectedText == actual.text;
  } else if (actual.kind == Shown::Kind::Number) {
    std::optional<int64_t> n = quoted ? std::nullopt : ParseNumber(expectedText);
    if (n) {
      held = static_cast<double>(*n) == actual.number;
    } else {
      char* end = nullptr;
      double d = std::strtod(expectedText.c_str(), &end);
      held = !quoted && end && *end == '\0' && !expectedText.empty() && d == actual.number;
    }
  } else {
    held = !quoted && EqualsIgnoringCase(expectedText, actual.text);
  }
  if (held) {
    out_ << "ok\n";
  } else {
    ++failures_;
    out_ << "FAIL " << where_ << ": " << what << ": expected " << expectedShown << ", got " << actual.Printed() << "\n";
  }
}
