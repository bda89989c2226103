// A private X server for one test: Xvfb on a display number it picks itself, and the X tools
// the tests drive it with (xdotool, xclip), each run with a time limit.
#pragma once

#include <sys/types.h>

#include <functional>
#include <string>
#include <vector>

namespace kestrix {

class XServer {
 public:
  // Starts Xvfb with a 24-bit screen; Running() tells whether it came up, Problem() why not.
  XServer(int width = 1024, int height = 768);
  ~XServer();
  XServer(const XServer&) = delete;
  XServer& operator=(const XServer&) = delete;

  bool Running() const { return pid_ > 0 && !name_.empty(); }
  const std::string& Problem() const { return problem_; }
  // The display name, ":N".
  const std::string& Name() const { return name_; }

 private:
  pid_t pid_ = -1;
  std::string name_;
  std::string problem_;
};

struct ToolResult {
  bool finished = false;  // false: it ran out of time (and was killed) or could not start
  int status = -1;        // exit status when finished
  std::string out;        // what it wrote to its standard output
};

// Runs a program on the display, feeding input from `in`, and calls `meanwhile` (the window's
// loop) until it ends or timeoutMs pass.
ToolResult RunTool(const std::string& display, const std::vector<std::string>& args,
                   const std::function<void()>& meanwhile, int timeoutMs = 10000,
                   const std::string& in = "");
// Whether a program is found on the PATH.
bool HaveProgram(const std::string& name);

}  // namespace kestrix
