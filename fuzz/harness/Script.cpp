// The scripted host on any script text. The host's own limits are those a person writing a
// script needs; a fuzzer would spend its time in long ticks and big windows, and must not
// touch files outside its own folder, so the script is tamed here before the host sees it.
#include <unistd.h>

#include <algorithm>
#include <filesystem>
#include <functional>
#include <sstream>

#include "Harness.h"
#include "ScriptHost.h"
#include "ScriptWords.h"

namespace kestrix {

namespace fuzzing {
namespace {

constexpr size_t kMaxScriptBytes = 4096;
constexpr int64_t kMaxTickMs = 5000;
constexpr int64_t kMaxWindowSide = 400;

// A folder of this process for the files a script saves, loads and draws.
class Scratch {
 public:
  Scratch() {
    char name[] = "/tmp/kestrix-fuzz-XXXXXX";
    if (mkdtemp(name)) dir_ = name;
  }
  ~Scratch() {
    std::error_code ignored;
    if (!dir_.empty()) std::filesystem::remove_all(dir_, ignored);
  }
  // One of a few files in the folder, chosen by the name the script gave.
  std::string File(const std::string& asked) const {
    return dir_ + "/file" + std::to_string(std::hash<std::string>{}(asked) % 3);
  }

 private:
  std::string dir_ = "/tmp";
};

const Scratch& ScratchFolder() {
  static const Scratch scratch;
  return scratch;
}

std::string Clamped(const Word& word, int64_t max) {
  std::optional<int64_t> n = ParseNumber(word.text);
  if (!n || *n <= max) return word.text;
  return std::to_string(max);
}

// The line as the harness lets the host run it.
std::string Tamed(const std::string& line) {
  std::vector<Word> words;
  try {
    words = SplitWords(line);
  } catch (const ScriptError&) {
    return line;  // the host reports it, and stops
  }
  if (words.empty() || words[0].quoted) return line;
  const std::string command = Lower(words[0].text);
  if (command == "tick" && words.size() >= 2) return "tick " + Clamped(words[1], kMaxTickMs);
  if (command == "window" && words.size() >= 3)
    return "window " + Clamped(words[1], kMaxWindowSide) + " " + Clamped(words[2], kMaxWindowSide);
  if ((command == "save" || command == "load" || command == "png") && words.size() >= 2)
    return command + " \"" + ScratchFolder().File(words[1].text) + "\"";
  if (command == "dialog" && words.size() >= 3 && Lower(words[1].text) == "png")
    return "dialog png \"" + ScratchFolder().File(words[2].text) + "\"";
  return line;
}

}  // namespace

std::string RunScript(const uint8_t* data, size_t size) {
  std::string text(reinterpret_cast<const char*>(data), std::min(size, kMaxScriptBytes));
  std::string tamed;
  std::istringstream lines(text);
  for (std::string line; std::getline(lines, line);) tamed += Tamed(line) + "\n";

  std::ostringstream out, err;
  std::istringstream script(tamed);
  ScriptHost host(out);
  host.ChooseMetrics(true);
  bool ran = host.RunScript(script, "fuzz.kss", err);
  host.Finish();
  // The status must say what the output says: 2 exactly when a line could not be run (and the
  // reason went to the error stream), 1 exactly when an expect printed its failure or a save or
  // load printed its problem.
  const int status = host.ExitStatus(ran);
  std::string printed(1, '\n');
  printed += out.str();
  bool failurePrinted = false;
  for (const char* mark : {"\nFAIL fuzz.kss:", "\nERROR fuzz.kss:", "\nWARNING fuzz.kss:"})
    failurePrinted = failurePrinted || printed.find(mark) != std::string::npos;
  if ((status == 2) != !err.str().empty() || (status == 1) != (status != 2 && failurePrinted))
    return "exit status " + std::to_string(status) + " with output:\n" + out.str() + err.str();
  if (CKestrixCtrl* c = host.Control())
    if (std::string broken = c->Verify(); !broken.empty()) return "after the script: " + broken;
  return "";
}

}  // namespace fuzzing

}  // namespace kestrix
