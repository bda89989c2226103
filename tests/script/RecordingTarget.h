// A ScriptTarget that records what the script language asks of it, as one line of text per
// call, and answers observations from values a test sets.
#pragma once

#include <cstdio>
#include <functional>
#include <map>
#include <string>
#include <vector>

#include "ScriptTarget.h"

namespace kestrix {

class RecordingTarget : public ScriptTarget {
 public:
  std::vector<std::string> calls;
  std::map<std::string, Shown> properties;  // by lower-case name
  std::vector<ScriptLine> lines{ScriptLine{}};
  std::vector<std::string> events;
  std::map<int, bool> keysDown;
  // Runs inside MouseDown, as the control's drag loop would.
  std::function<void()> loopOnMouseDown;

  void ChooseMetrics(bool fixed) override { calls.push_back(fixed ? "metrics fixed" : "metrics real"); }
  void EnsureControl() override {}
  int MaxWindowSide() const override { return 100; }
  void Window(int w, int h) override { calls.push_back("window " + std::to_string(w) + " " + std::to_string(h)); }
  void Reset() override { calls.push_back("reset"); }
  void Focus() override { calls.push_back("focus"); }
  void Blur() override { calls.push_back("blur"); }
  void AdvanceClock(uint64_t ms) override { calls.push_back("clock " + std::to_string(ms)); }
  void Set(const std::string& name, const Word& value) override {
    calls.push_back("set " + name + " " + value.text);
  }
  Shown Get(const std::string& name) override {
    auto it = properties.find(Lower(name));
    if (it == properties.end()) throw ScriptError("unknown member " + name);
    return it->second;
  }
  PropertyValue Call(const std::string& name, const std::vector<Word>&) override {
    calls.push_back("call " + name);
    PropertyValue v;
    v.isNone = true;
    v.text = "none";
    return v;
  }
  void KeyDown(const KeyInfo& key) override {
    keysDown[key.vk] = true;
    calls.push_back("down " + Hex(key.vk));
  }
  void KeyUp(const KeyInfo& key) override {
    keysDown[key.vk] = false;
    calls.push_back("up " + Hex(key.vk));
  }
  bool KeyIsDown(int vk) override { return keysDown[vk]; }
  void HoldKey(const KeyInfo& key, bool down) override {
    keysDown[key.vk] = down;
    calls.push_back((down ? "hold " : "release ") + Hex(key.vk));
  }
  void Char(uint32_t code) override { calls.push_back("char " + Hex(static_cast<int>(code))); }
  void MouseDown(ScriptPoint p, bool shift) override {
    calls.push_back("mousedown " + At(p) + (shift ? " shift" : ""));
    if (loopOnMouseDown) loopOnMouseDown();
  }
  void MouseMove(ScriptPoint p) override { calls.push_back("mousemove " + At(p)); }
  void MouseUp(ScriptPoint p) override { calls.push_back("mouseup " + At(p)); }
  void Click(ScriptPoint p) override { calls.push_back("click " + At(p)); }
  void DoubleClick(ScriptPoint p) override { calls.push_back("dblclick " + At(p)); }
  void RightClick(ScriptPoint p) override { calls.push_back("rclick " + At(p)); }
  void ArmMenu(unsigned id) override { calls.push_back("menu " + std::to_string(id)); }
  ScriptPoint LinePoint(int line, int64_t index) override {
    return {static_cast<int>(line * 100 + index), 7};
  }
  int TextBottom() override { return 50; }
  void ClipboardSet(const std::string& bytes) override { calls.push_back("clipboard " + bytes); }
  void ClipboardClear() override {}
  void ClipboardLock() override {}
  void ClipboardUnlock() override {}
  std::string Save(const std::string&) override { return {}; }
  std::vector<std::string> Load(const std::string&) override { return {}; }
  void Png(const std::string&) override {}
  std::string Text() override { return "ab"; }
  int LineCount() override { return static_cast<int>(lines.size()); }
  ScriptLine Line(int n) override { return lines.at(static_cast<size_t>(n - 1)); }
  ScriptCaret Caret() override { return {1, 2}; }
  long CaretOffset() override { return 2; }
  ScriptSelection Selection() override { return {1, 3}; }
  ScriptVisible Visible() override { return {1, 4}; }
  ScriptScrollBar ScrollBar() override { return {true, true, 3, 9}; }
  std::optional<std::string> ClipboardText() override { return std::nullopt; }
  bool Dirty() override { return false; }
  std::optional<uint32_t> RequestedLayout() override { return 0x04010401; }
  std::vector<std::string> TakeEvents() override { return std::exchange(events, {}); }
  std::string Cursor() override { return "ibeam"; }
  std::optional<std::vector<ScriptMenuItem>> LastMenu() override {
    return std::vector<ScriptMenuItem>{{"Copy \t", 32768}};
  }
  uint32_t Pixel(int, int) override { return 0x00ABCDEF; }
  bool ExtraCommand(const std::vector<Word>& words) override {
    if (Lower(words[0].text) != "extra") return false;
    calls.push_back("extra");
    return true;
  }
  std::optional<Shown> ExtraObservation(const std::vector<Word>&, size_t&) override {
    return std::nullopt;
  }
  void Finish(ScriptPoint last) override { calls.push_back("finish " + At(last)); }

 private:
  static std::string Hex(int v) {
    char buf[16];
    std::snprintf(buf, sizeof buf, "0x%02X", static_cast<unsigned>(v));
    return buf;
  }
  static std::string At(ScriptPoint p) { return std::to_string(p.x) + "," + std::to_string(p.y); }
};

}  // namespace kestrix
