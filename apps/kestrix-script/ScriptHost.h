// The scripted host: one control on the headless display, driven line by line.
#pragma once

#include <functional>
#include <memory>
#include <ostream>
#include <string>
#include <vector>

#include "ScriptWords.h"
#include "control/KestrixCtrl.h"
#include "framework/window/Display.h"
#include "layout/FixedMetricTextLibrary.h"

// A value the host shows or compares: a string compares exactly, a number by value, anything
// else (booleans, names, colours) as text regardless of case.
struct Shown {
  enum class Kind { String, Number, Text } kind = Kind::Text;
  std::string text;     // the bytes of a string, or the printed form
  double number = 0;
  std::string Printed() const;
};

// Ends a placed control: deletes the one the host made, releases the one created by name.
struct ControlRelease {
  bool byReference = false;
  void operator()(CKestrixCtrl* control) const;
};

class ScriptHost {
 public:
  explicit ScriptHost(std::ostream& out);
  ~ScriptHost();

  // Runs a script; false when a line could not be run (the message, naming the file and line,
  // goes to err, and nothing after that line runs).
  bool RunScript(std::istream& in, const std::string& name, std::ostream& err);
  // Whether every expect so far held.
  bool AllHeld() const { return failures_ == 0; }
  // Ends cleanly: a button still down goes up.
  void Finish();
  // A text library chosen before the script starts (--metrics).
  void ChooseMetrics(bool fixed);
  // Places every control by creating it by name (a ProgID or a braced class identity) through
  // the registry, as a host that knows only the name does (--create).
  void CreateByName(std::string name) { createName_ = std::move(name); }
  // The control placed so far, or null before the first command that places one.
  CKestrixCtrl* Control() { return ctrl_.get(); }


 private:
  struct EventLog;

  // Runs one line; throws ScriptError when it cannot be run.
  void RunLine(const std::string& line, const std::string& where);
  // While the control's own loop waits for input, the script goes on inside it: the next lines
  // run, and a tick lets the loop's turns happen.
  int64_t FeedWaitingLoop(uint32_t timeoutMs);

  void Command(const std::vector<Word>& words);
  void EnsureControl();
  void PlaceControl(const PropertyBag* loaded);
  std::unique_ptr<CKestrixCtrl, ControlRelease> NewControl();
  CKestrixCtrl& Ctrl();
  HWND Hwnd();

  // Automation.
  void SetProperty(const std::string& name, const Word& value);
  Shown GetProperty(const std::string& name);
  void CallMethod(const std::string& name, const std::vector<Word>& args);

  // Input.
  void KeyStroke(const std::string& keys);
  void KeyMessage(const std::string& name, bool down);
  void CharMessage(int64_t code);
  void TypeText(const std::string& bytes);
  POINT ReadPoint(const std::vector<Word>& words, size_t& i);
  void Mouse(const std::vector<Word>& words);

  // Dialogs: pressing a button of the topmost one, writing it as a PNG.
  void DialogCommand(const std::vector<Word>& words);

  // Observing.
  Shown Observe(const std::vector<Word>& words, size_t& i);
  void Expect(const std::vector<Word>& words);

  std::ostream& out_;
  std::string where_;
  bool fixedMetrics_ = false;
  bool started_ = false;
  int width_ = 640, height_ = 400;
  std::unique_ptr<Display> display_;
  std::unique_ptr<CWnd> container_;
  std::unique_ptr<FixedMetricTextLibrary> fixedLibrary_;
  std::string createName_;
  std::unique_ptr<CKestrixCtrl, ControlRelease> ctrl_;
  std::unique_ptr<EventLog> events_;
  std::string result_ = "none";
  bool resultIsString_ = false;
  POINT lastPoint_{0, 0};
  bool clipboardLocked_ = false;
  size_t layoutsBefore_ = 0;
  UINT menuChoice_ = 0;
  bool menuArmed_ = false;  // layout requests made before the control was placed
  std::string line_;           // the line being run, for the raw text of an expected value
  std::vector<std::string> lines_;
  std::string scriptName_;
  size_t next_ = 0;             // the next line of the script to run
  bool feeding_ = false;        // running lines inside the control's loop
  uint64_t tickLeft_ = 0;       // of a tick given inside the loop, the time not yet passed
  std::unique_ptr<ScriptError> failed_;  // a line inside the loop that could not be run
  int failures_ = 0;
};
