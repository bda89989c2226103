#include "ScriptRunner.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>

namespace kestrix {

namespace {

constexpr int kShiftKey = 0x10;
constexpr int kControlKey = 0x11;
constexpr int kAltKey = 0x12;
constexpr unsigned kLeftShiftScan = 0x2A;

std::string Hex8(uint32_t v) {
  char buf[16];
  std::snprintf(buf, sizeof buf, "%08X", v);
  return buf;
}

}  // namespace

ScriptRunner::ScriptRunner(ScriptTarget& target, std::ostream& out) : target_(target), out_(out) {}

bool ScriptRunner::RunScript(std::istream& in, const std::string& name, std::ostream& err) {
  lines_.clear();
  for (std::string line; std::getline(in, line);) lines_.push_back(line);
  scriptName_ = name;
  next_ = 0;
  while (next_ < lines_.size() && !failed_) {
    size_t number = ++next_;
    try {
      RunLine(lines_[number - 1], name + ":" + std::to_string(number));
      // A tick that the control's loop did not use passes now.
      if (tickLeft_ > 0) {
        uint64_t left = tickLeft_;
        tickLeft_ = 0;
        target_.AdvanceClock(left);
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

int64_t ScriptRunner::FeedWaitingLoop(uint32_t timeoutMs) {
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

void ScriptRunner::RunLine(const std::string& line, const std::string& where) {
  where_ = where;
  line_ = line;
  std::vector<Word> words = SplitWords(line);
  if (words.empty() || (!words[0].quoted && words[0].text[0] == '#')) return;
  Command(words);
}

void ScriptRunner::Command(const std::vector<Word>& w) {
  const std::string cmd = Lower(w[0].text);
  auto need = [&](size_t n) {
    if (w.size() < n) throw ScriptError(cmd + " needs " + std::to_string(n - 1) + " argument(s)");
  };
  auto arg = [&](size_t i) -> std::string { return i < w.size() ? Lower(w[i].text) : ""; };

  if (cmd == "metrics") {
    need(2);
    if (started_) throw ScriptError("metrics comes before every other command");
    if (arg(1) != "real" && arg(1) != "fixed") throw ScriptError("metrics is real or fixed");
    target_.ChooseMetrics(arg(1) == "fixed");
    return;
  }
  started_ = true;

  if (cmd == "window") {
    need(3);
    int width = static_cast<int>(NumberOf(w[1], "a width")), height = static_cast<int>(NumberOf(w[2], "a height"));
    const int most = target_.MaxWindowSide();
    if (width < 0 || height < 0 || width > most || height > most)
      throw ScriptError("a window from 0 to " + std::to_string(most) + " pixels each way");
    target_.Window(width, height);
  } else if (cmd == "reset") {
    target_.Reset();
  } else if (cmd == "focus") {
    target_.Focus();
  } else if (cmd == "blur") {
    target_.Blur();
  } else if (cmd == "tick") {
    need(2);
    int64_t ms = NumberOf(w[1], "milliseconds");
    if (ms < 0) throw ScriptError("tick needs a positive time");
    target_.EnsureControl();
    if (feeding_)
      tickLeft_ += static_cast<uint64_t>(ms);  // the waiting loop lets it pass turn by turn
    else
      target_.AdvanceClock(static_cast<uint64_t>(ms));
  } else if (cmd == "set") {
    need(3);
    target_.Set(w[1].text, w[2]);
  } else if (cmd == "get") {
    need(2);
    out_ << w[1].text << " = " << target_.Get(w[1].text).Printed() << "\n";
  } else if (cmd == "call") {
    need(2);
    PropertyValue v = target_.Call(w[1].text, std::vector<Word>(w.begin() + 2, w.end()));
    result_ = v.text;
    resultIsString_ = v.isString;
    if (!v.isNone) out_ << w[1].text << " = " << (v.isString ? Quoted(v.text) : v.text) << "\n";
  } else if (cmd == "key") {
    need(2);
    KeyStroke(w[1].text);
  } else if (cmd == "keydown" || cmd == "keyup") {
    need(2);
    target_.EnsureControl();
    std::optional<KeyInfo> key = KeyByName(w[1].text);
    if (!key) throw ScriptError("unknown key " + w[1].text);
    if (cmd == "keydown")
      target_.KeyDown(*key);
    else
      target_.KeyUp(*key);
  } else if (cmd == "hold" || cmd == "release") {
    need(2);
    target_.EnsureControl();
    std::optional<KeyInfo> key = KeyByName(w[1].text);
    if (!key) throw ScriptError("unknown key " + w[1].text);
    target_.HoldKey(*key, cmd == "hold");
  } else if (cmd == "char") {
    need(2);
    int64_t code = NumberOf(w[1], "a character code");
    target_.EnsureControl();
    if (code < 0 || code > 0xFFFF) throw ScriptError("a character code is 0 to 0xFFFF");
    target_.Char(static_cast<uint32_t>(code));
  } else if (cmd == "type") {
    need(2);
    if (!w[1].quoted) throw ScriptError("type needs a string");
    TypeText(w[1].text);
  } else if (cmd == "mouse" || cmd == "click" || cmd == "dblclick" || cmd == "rclick") {
    Mouse(w);
  } else if (cmd == "menu") {
    need(3);
    if (arg(1) != "choose") throw ScriptError("menu choose ID or menu choose none");
    unsigned id = 0;
    if (arg(2) != "none") id = static_cast<unsigned>(NumberOf(w[2], "a command number"));
    target_.ArmMenu(id);
  } else if (cmd == "clipboard") {
    need(2);
    Clipboard(w);
  } else if (cmd == "save") {
    need(2);
    // A failed save or an incomplete load is the document's problem, not the script's: it is
    // reported, counts against the exit status, and the script goes on.
    if (std::string reason = target_.Save(w[1].text); !reason.empty()) {
      ++failures_;
      out_ << "ERROR " << where_ << ": save: " << reason << "\n";
    }
  } else if (cmd == "load") {
    need(2);
    for (const std::string& what : target_.Load(w[1].text)) {
      ++failures_;
      out_ << "WARNING " << where_ << ": load: " << what << "\n";
    }
  } else if (cmd == "png") {
    need(2);
    target_.EnsureControl();  // a png before any other command shows the control as placed
    target_.Png(w[1].text);
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
  } else if (!target_.ExtraCommand(w)) {
    throw ScriptError("unknown command " + w[0].text);
  }
}

// Input ---------------------------------------------------------------------------------------

void ScriptRunner::KeyStroke(const std::string& keys) {
  target_.EnsureControl();
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
  for (const KeyInfo& m : mods) target_.KeyDown(m);
  target_.KeyDown(*key);
  bool alt = target_.KeyIsDown(kAltKey), ctrl = target_.KeyIsDown(kControlKey);
  int ch = CharacterOfKey(key->vk, target_.KeyIsDown(kShiftKey), ctrl);
  if (ch >= 0 && (!alt || ctrl)) target_.Char(static_cast<uint8_t>(ch));
  target_.KeyUp(*key);
  for (auto it = mods.rbegin(); it != mods.rend(); ++it) target_.KeyUp(*it);
}

void ScriptRunner::TypeText(const std::string& bytes) {
  target_.EnsureControl();
  const KeyInfo shift{kShiftKey, kLeftShiftScan};
  for (char c : bytes) {
    auto byte = static_cast<unsigned char>(c);
    Keystroke k = KeystrokeFor(byte);
    if (k.shift) target_.KeyDown(shift);
    target_.KeyDown(k.key);
    target_.Char(byte);
    target_.KeyUp(k.key);
    if (k.shift) target_.KeyUp(shift);
  }
}

ScriptPoint ScriptRunner::ReadPoint(const std::vector<Word>& w, size_t& i) {
  if (i >= w.size()) throw ScriptError("a point is X Y, @L:I, @above or @below");
  std::string first = Lower(w[i].text);
  target_.EnsureControl();
  ScriptPoint p = lastPoint_;
  if (first == "@above") {
    p.y = -10;
    ++i;
  } else if (first == "@below") {
    p.y = target_.TextBottom() + 10;
    ++i;
  } else if (!first.empty() && first[0] == '@') {
    size_t colon = first.find(':');
    std::optional<int64_t> line = colon == std::string::npos ? std::nullopt : ParseNumber(first.substr(1, colon - 1));
    std::optional<int64_t> index = colon == std::string::npos ? std::nullopt : ParseNumber(first.substr(colon + 1));
    if (!line || !index || *line < 1 || *line > target_.LineCount() || *index < 0)
      throw ScriptError("no display line position " + w[i].text);
    ++i;
    p = target_.LinePoint(static_cast<int>(*line), *index);
    if (i < w.size() && !w[i].quoted && (w[i].text[0] == '+' || w[i].text[0] == '-')) {
      std::optional<int64_t> dx = ParseNumber(w[i].text[0] == '+' ? w[i].text.substr(1) : w[i].text);
      if (!dx) throw ScriptError("a shift across is +DX or -DX");
      p.x += static_cast<int>(*dx);
      ++i;
    }
  } else {
    if (i + 1 >= w.size()) throw ScriptError("a point is X Y");
    p.x = static_cast<int>(NumberOf(w[i], "an x"));
    p.y = static_cast<int>(NumberOf(w[i + 1], "a y"));
    i += 2;
  }
  lastPoint_ = p;
  return p;
}

void ScriptRunner::Mouse(const std::vector<Word>& w) {
  std::string cmd = Lower(w[0].text);
  size_t i = 1;
  target_.EnsureControl();
  if (cmd == "mouse") {
    if (w.size() < 3) throw ScriptError("mouse down, move or up with a point");
    std::string what = Lower(w[1].text);
    i = 2;
    ScriptPoint p = ReadPoint(w, i);
    if (what == "down") {
      bool shift = i < w.size() && EqualsIgnoringCase(w[i].text, "shift");
      if (shift) ++i;
      target_.MouseDown(p, shift);
    } else if (what == "move") {
      target_.MouseMove(p);
    } else if (what == "up") {
      target_.MouseUp(p);
    } else {
      throw ScriptError("mouse down, move or up");
    }
  } else {
    ScriptPoint p = ReadPoint(w, i);
    if (cmd == "click") target_.Click(p);
    if (cmd == "dblclick") target_.DoubleClick(p);
    if (cmd == "rclick") target_.RightClick(p);
  }
  if (i != w.size()) throw ScriptError("unexpected " + w[i].text);
}

void ScriptRunner::Clipboard(const std::vector<Word>& w) {
  target_.EnsureControl();
  std::string what = Lower(w[1].text);
  if (what == "set") {
    if (w.size() < 3) throw ScriptError("clipboard needs 2 argument(s)");
    if (!w[2].quoted) throw ScriptError("clipboard set needs a string");
    target_.ClipboardSet(w[2].text);
  } else if (what == "clear") {
    target_.ClipboardClear();
  } else if (what == "lock") {
    target_.ClipboardLock();
  } else if (what == "unlock") {
    target_.ClipboardUnlock();
  } else {
    throw ScriptError("clipboard set, clear, lock or unlock");
  }
}

// Observing -----------------------------------------------------------------------------------

Shown ScriptRunner::Observe(const std::vector<Word>& w, size_t& i) {
  target_.EnsureControl();
  std::string what = Lower(w[i].text);
  ++i;
  auto lineArg = [&]() -> ScriptLine {
    if (i >= w.size()) throw ScriptError(what + " needs a line number");
    int64_t n = NumberOf(w[i++], "a line number");
    if (n < 1 || n > target_.LineCount()) throw ScriptError("no display line " + std::to_string(n));
    return target_.Line(static_cast<int>(n));
  };
  if (what == "text") return StringShown(target_.Text());
  if (what == "lines") return NumberShown(target_.LineCount());
  if (what == "line") return StringShown(lineArg().chars);
  if (what == "dir") {
    int d = lineArg().direction;
    return d == 0 ? TextShown("ltr") : d == 1 ? TextShown("rtl") : NumberShown(d);
  }
  if (what == "caret") {
    ScriptCaret c = target_.Caret();
    return TextShown(std::to_string(c.line) + ":" + std::to_string(c.index));
  }
  if (what == "offset") return NumberShown(static_cast<double>(target_.CaretOffset()));
  if (what == "sel") {
    ScriptSelection s = target_.Selection();
    return TextShown(std::to_string(s.start) + "+" + std::to_string(s.length));
  }
  if (what == "highlight") {
    const ScriptLine r = lineArg();
    int lo = std::min(r.highlightLeft, r.highlightRight), hi = std::max(r.highlightLeft, r.highlightRight);
    if (!r.highlighted || lo == hi) return TextShown("none");
    return TextShown(std::to_string(lo) + ".." + std::to_string(hi));
  }
  if (what == "first") return NumberShown(target_.Visible().first);
  if (what == "last") return NumberShown(target_.Visible().last);
  if (what == "scrollbar") {
    ScriptScrollBar bar = target_.ScrollBar();
    if (!bar.visible) return TextShown("hidden");
    return TextShown(std::string(bar.onLeft ? "left " : "right ") + std::to_string(bar.position) + "/" +
                     std::to_string(bar.maximum));
  }
  if (what == "clipboard") {
    std::optional<std::string> text = target_.ClipboardText();
    return text ? StringShown(*text) : TextShown("none");
  }
  if (what == "dirty") return TextShown(target_.Dirty() ? "true" : "false");
  if (what == "layout") {
    std::optional<uint32_t> layout = target_.RequestedLayout();
    return TextShown(layout ? Hex8(*layout & 0xFFFF) : "none");
  }
  if (what == "events") {
    std::string all;
    for (const std::string& e : target_.TakeEvents()) all += (all.empty() ? "" : " ") + e;
    return TextShown(all.empty() ? "none" : all);
  }
  if (what == "cursor") return TextShown(target_.Cursor());
  if (what == "menu") {
    std::optional<std::vector<ScriptMenuItem>> items = target_.LastMenu();
    if (!items) return TextShown("none");
    std::string all;
    for (const ScriptMenuItem& item : *items) {
      if (!all.empty()) all += ' ';
      all += Quoted(item.text);
      all += '=';
      all += std::to_string(item.id);
    }
    return TextShown(all);
  }
  if (what == "pixel") {
    if (i + 1 >= w.size()) throw ScriptError("pixel needs X Y");
    int x = static_cast<int>(NumberOf(w[i], "an x")), y = static_cast<int>(NumberOf(w[i + 1], "a y"));
    i += 2;
    char buf[16];
    std::snprintf(buf, sizeof buf, "#%06X", target_.Pixel(x, y) & 0xFFFFFF);
    return TextShown(buf);
  }
  if (what == "result") return resultIsString_ ? StringShown(result_) : TextShown(result_);
  if (std::optional<Shown> extra = target_.ExtraObservation(w, i)) return *extra;
  return target_.Get(w[i - 1].text);
}

void ScriptRunner::Expect(const std::vector<Word>& w) {
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

}  // namespace kestrix
