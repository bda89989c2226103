// The script language of the scripted hosts: runs a script line by line on a ScriptTarget,
// printing what it asks for and checking what it expects. Exit status: 0 when every expect
// held, 1 when one failed or a save or load failed, 2 when a line could not be run (the
// message names file and line).
#pragma once

#include <cstdint>
#include <istream>
#include <memory>
#include <ostream>
#include <string>
#include <vector>

#include "ScriptTarget.h"

namespace kestrix {

class ScriptRunner {
 public:
  ScriptRunner(ScriptTarget& target, std::ostream& out);

  // Runs a script; false when a line could not be run (the message, naming the file and line,
  // goes to err, and nothing after that line runs).
  bool RunScript(std::istream& in, const std::string& name, std::ostream& err);
  // Whether every expect, save and load so far held.
  bool AllHeld() const { return failures_ == 0; }
  // The scripted host's exit status once the scripts ran (ran: every line could be run).
  int ExitStatus(bool ran) const { return !ran ? 2 : AllHeld() ? 0 : 1; }
  // Ends cleanly: a button still down goes up.
  void Finish() { target_.Finish(lastPoint_); }
  // While the control's own loop waits for input, the script goes on inside it: the next line
  // runs, and a tick lets the loop's turns happen. Answers the milliseconds that passed, or -1
  // when no more input will come.
  int64_t FeedWaitingLoop(uint32_t timeoutMs);

 private:
  // Runs one line; throws ScriptError when it cannot be run.
  void RunLine(const std::string& line, const std::string& where);
  void Command(const std::vector<Word>& words);
  void KeyStroke(const std::string& keys);
  void TypeText(const std::string& bytes);
  ScriptPoint ReadPoint(const std::vector<Word>& words, size_t& i);
  void Mouse(const std::vector<Word>& words);
  void Clipboard(const std::vector<Word>& words);
  Shown Observe(const std::vector<Word>& words, size_t& i);
  void Expect(const std::vector<Word>& words);

  ScriptTarget& target_;
  std::ostream& out_;
  std::string where_;
  std::string line_;  // the line being run, for the raw text of an expected value
  bool started_ = false;
  std::string result_ = "none";
  bool resultIsString_ = false;
  ScriptPoint lastPoint_;
  std::vector<std::string> lines_;
  std::string scriptName_;
  size_t next_ = 0;        // the next line of the script to run
  bool feeding_ = false;   // running lines inside the control's loop
  uint64_t tickLeft_ = 0;  // of a tick given inside the loop, the time not yet passed
  std::unique_ptr<ScriptError> failed_;  // a line inside the loop that could not be run
  int failures_ = 0;
};

}  // namespace kestrix
