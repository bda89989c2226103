#include "XServer.h"

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <cstring>

namespace kestrix {

namespace {

using Clock = std::chrono::steady_clock;

int MsLeft(Clock::time_point end) {
  auto left = std::chrono::duration_cast<std::chrono::milliseconds>(end - Clock::now()).count();
  return left > 0 ? static_cast<int>(left) : 0;
}

// Waits for the child to end, up to ms; whether it did (status set).
bool WaitChild(pid_t pid, int ms, int& status) {
  auto end = Clock::now() + std::chrono::milliseconds(ms);
  for (;;) {
    pid_t done = waitpid(pid, &status, WNOHANG);
    if (done == pid) return true;
    if (done < 0 || MsLeft(end) == 0) return false;
    usleep(2000);
  }
}

void Stop(pid_t pid) {
  int status = 0;
  kill(pid, SIGTERM);
  if (!WaitChild(pid, 2000, status)) {
    kill(pid, SIGKILL);
    WaitChild(pid, 2000, status);
  }
}

std::vector<char*> Argv(const std::vector<std::string>& args) {
  std::vector<char*> argv;
  for (const std::string& a : args) argv.push_back(const_cast<char*>(a.c_str()));
  argv.push_back(nullptr);
  return argv;
}

}  // namespace

bool HaveProgram(const std::string& name) {
  const char* path = std::getenv("PATH");
  std::string dirs = path ? path : "/usr/bin:/bin";
  size_t start = 0;
  while (start <= dirs.size()) {
    size_t end = dirs.find(':', start);
    if (end == std::string::npos) end = dirs.size();
    std::string candidate = dirs.substr(start, end - start) + "/" + name;
    if (access(candidate.c_str(), X_OK) == 0) return true;
    start = end + 1;
  }
  return false;
}

XServer::XServer(int width, int height) {
  if (!HaveProgram("Xvfb")) {
    problem_ = "Xvfb is not installed (scripts/setup.sh installs it)";
    return;
  }
  int fds[2];
  if (pipe(fds) != 0) {
    problem_ = "no pipe for Xvfb";
    return;
  }
  std::string screen = std::to_string(width) + "x" + std::to_string(height) + "x24";
  std::vector<std::string> args{"Xvfb", "-displayfd", std::to_string(fds[1]), "-screen", "0", screen,
                                "-nolisten", "tcp", "-noreset"};
  pid_ = fork();
  if (pid_ == 0) {
    close(fds[0]);
    int quiet = open("/dev/null", O_WRONLY);
    dup2(quiet, 1);
    dup2(quiet, 2);
    std::vector<char*> argv = Argv(args);
    execvp("Xvfb", argv.data());
    _exit(127);
  }
  close(fds[1]);
  // Xvfb writes its display number once it accepts connections.
  std::string number;
  auto end = Clock::now() + std::chrono::seconds(15);
  while (MsLeft(end) > 0) {
    pollfd p{fds[0], POLLIN, 0};
    if (poll(&p, 1, MsLeft(end)) <= 0) break;
    char buf[16];
    ssize_t n = read(fds[0], buf, sizeof buf);
    if (n <= 0) break;
    number.append(buf, static_cast<size_t>(n));
    if (number.find('\n') != std::string::npos) break;
  }
  close(fds[0]);
  while (!number.empty() && (number.back() == '\n' || number.back() == ' ')) number.pop_back();
  if (number.empty()) {
    problem_ = "Xvfb did not start within 15 s";
    if (pid_ > 0) Stop(pid_);
    pid_ = -1;
    return;
  }
  name_ = ":" + number;
}

XServer::~XServer() {
  if (pid_ > 0) Stop(pid_);
}

ToolResult RunTool(const std::string& display, const std::vector<std::string>& args,
                   const std::function<void()>& meanwhile, int timeoutMs, const std::string& in) {
  ToolResult result;
  int outPipe[2], inPipe[2];
  if (pipe(outPipe) != 0) return result;
  if (pipe(inPipe) != 0) {
    close(outPipe[0]);
    close(outPipe[1]);
    return result;
  }
  pid_t pid = fork();
  if (pid == 0) {
    dup2(inPipe[0], 0);
    dup2(outPipe[1], 1);
    close(inPipe[1]);
    close(outPipe[0]);
    setenv("DISPLAY", display.c_str(), 1);
    std::vector<char*> argv = Argv(args);
    execvp(argv[0], argv.data());
    _exit(127);
  }
  close(inPipe[0]);
  close(outPipe[1]);
  if (!in.empty()) {
    // Small texts fit the pipe; the tools read all their input before they serve it.
    ssize_t written = write(inPipe[1], in.data(), in.size());
    (void)written;
  }
  close(inPipe[1]);
  fcntl(outPipe[0], F_SETFL, O_NONBLOCK);
  auto end = Clock::now() + std::chrono::milliseconds(timeoutMs);
  bool outOpen = true;
  for (;;) {
    if (meanwhile) meanwhile();
    char buf[4096];
    while (outOpen) {
      ssize_t n = read(outPipe[0], buf, sizeof buf);
      if (n > 0) {
        result.out.append(buf, static_cast<size_t>(n));
        continue;
      }
      if (n == 0) outOpen = false;
      break;
    }
    int status = 0;
    if (waitpid(pid, &status, WNOHANG) == pid) {
      // Whatever it wrote last.
      ssize_t n;
      while ((n = read(outPipe[0], buf, sizeof buf)) > 0) result.out.append(buf, static_cast<size_t>(n));
      result.finished = true;
      result.status = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
      break;
    }
    if (MsLeft(end) == 0) {
      Stop(pid);
      break;
    }
    if (!meanwhile) usleep(2000);
  }
  close(outPipe[0]);
  return result;
}

}  // namespace kestrix
