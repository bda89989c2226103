// kestrix_key_to_paint: what a person meets in kestrix-edit, measured by the window's pixels on
// an Xvfb of its own. It writes mixed Arabic and English files of 1 and 16 MB, times how long
// kestrix-edit and mousepad take from their start until a first screen of text is painted, then
// sends keys to kestrix-edit through XTest (typing a letter, Backspace, Return; the caret put on
// line 3 with keys first) and times each key until the window's pixels change.
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <optional>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

#include "MixedWordsFile.h"
#include "ScreenReader.h"
#include "WindowPixels.h"
#include "XServer.h"

using namespace kestrix;

namespace {

using Clock = std::chrono::steady_clock;
namespace fs = std::filesystem;

double MsSince(Clock::time_point start) {
  return std::chrono::duration<double, std::milli>(Clock::now() - start).count();
}

void Nap() { std::this_thread::sleep_for(std::chrono::microseconds(500)); }

struct Options {
  std::string editor = KESTRIX_EDIT_PATH;
  std::vector<int> sizesMb{1, 16};
  int keys = 35;
  int runs = 3;
  bool mousepad = true;
  bool shots = false;
  fs::path workDir;
};

const char* const kUsage =
    "usage: kestrix_key_to_paint [--sizes MB,MB] [--keys N] [--runs N] [--no-mousepad]\n"
    "                            [--editor PATH] [--dir DIR] [--shots]\n"
    "  Starts Xvfb, writes mixed Arabic/English files of each size (default 1,16 MB) into DIR\n"
    "  (default a new temporary folder), prints the time to the first screen of text of\n"
    "  kestrix-edit and mousepad (median of --runs starts, default 3) and, for kestrix-edit,\n"
    "  the time from each key to the window's pixels changing (--keys of each kind, default 35).\n"
    "  --shots writes each editor's first screen of text as DIR/NAME-SIZE.ppm.\n";

// The window as a binary PPM, to see what was taken for a first screen of text.
void WritePpm(const bench::Pixels& p, const fs::path& path) {
  std::ofstream out(path, std::ios::binary);
  out << "P6\n" << p.width << " " << p.height << "\n255\n";
  for (uint32_t c : p.rgb) {
    const char rgb[3] = {static_cast<char>(c >> 16), static_cast<char>(c >> 8), static_cast<char>(c)};
    out.write(rgb, 3);
  }
}

// One program started on the benchmark's display, stopped when this goes.
class Program {
 public:
  Program(const std::string& display, const std::vector<std::string>& args, const fs::path& home)
      : start_(Clock::now()) {
    pid_ = fork();
    if (pid_ != 0) return;
    setenv("DISPLAY", display.c_str(), 1);
    if (!home.empty()) {
      // A GTK program with a home of its own: no saved session, no shared instance over D-Bus, no
      // accessibility bus to wait for.
      fs::create_directories(home);
      setenv("HOME", home.c_str(), 1);
      setenv("XDG_CONFIG_HOME", (home / "config").c_str(), 1);
      setenv("XDG_DATA_HOME", (home / "data").c_str(), 1);
      setenv("XDG_CACHE_HOME", (home / "cache").c_str(), 1);
      setenv("GSETTINGS_BACKEND", "memory", 1);
      setenv("NO_AT_BRIDGE", "1", 1);
      unsetenv("DBUS_SESSION_BUS_ADDRESS");
    }
    if (FILE* quiet = std::fopen("/dev/null", "w")) {
      dup2(fileno(quiet), 1);
      dup2(fileno(quiet), 2);
    }
    std::vector<char*> argv;
    for (const std::string& a : args) argv.push_back(const_cast<char*>(a.c_str()));
    argv.push_back(nullptr);
    execvp(argv[0], argv.data());
    _exit(127);
  }
  ~Program() {
    if (pid_ <= 0) return;
    kill(pid_, SIGTERM);
    int status = 0;
    for (int i = 0; i < 400 && waitpid(pid_, &status, WNOHANG) == 0; ++i) usleep(5000);
    if (waitpid(pid_, &status, WNOHANG) == 0) {
      kill(pid_, SIGKILL);
      waitpid(pid_, &status, 0);
    }
  }
  Program(const Program&) = delete;
  Program& operator=(const Program&) = delete;

  pid_t Pid() const { return pid_; }
  bool Alive() const {
    int status = 0;
    return pid_ > 0 && waitpid(pid_, &status, WNOHANG) == 0;
  }
  Clock::time_point Start() const { return start_; }

 private:
  pid_t pid_ = -1;
  Clock::time_point start_;
};

struct Editor {
  std::string name;
  std::vector<std::string> command;  // the file is appended
  bool ownHome = false;
  std::optional<bench::Pixels> empty;  // its window on an empty file, settled
};

// The program's window once it shows pixels, or nothing after timeoutMs.
std::optional<Window> WaitForWindow(bench::ScreenReader& screen, const Program& program, double timeoutMs) {
  while (MsSince(program.Start()) < timeoutMs && program.Alive()) {
    if (std::optional<Window> w = screen.TopLevelOf(program.Pid()))
      if (screen.Read(*w)) return w;
    Nap();
  }
  return std::nullopt;
}

// The processor time a process has used so far, in clock ticks, or 0 when it cannot be read.
long CpuTicks(pid_t pid) {
  std::ifstream stat("/proc/" + std::to_string(pid) + "/stat");
  std::string line;
  if (!pid || !std::getline(stat, line)) return 0;
  // Fields 14 and 15 (user and system time) follow the command name in parentheses.
  const size_t close = line.rfind(')');
  if (close == std::string::npos) return 0;
  std::istringstream fields(line.substr(close + 2));
  std::string field;
  long user = 0, system = 0;
  for (int n = 3; n <= 15 && fields >> field; ++n) {
    if (n == 14) user = std::atol(field.c_str());
    if (n == 15) system = std::atol(field.c_str());
  }
  return user + system;
}

// Reads the window until nothing but a caret's blink has changed for quietMs, and, given the
// program's pid, until the program has also stopped working (an editor may show the first lines
// while it still lays out the rest, and keys then wait); the last reading, and when the last
// change beyond a caret, or the last busy moment, was seen.
struct Settled {
  bench::Pixels pixels;
  Clock::time_point lastChange;
};
std::optional<Settled> Settle(bench::ScreenReader& screen, Window w, bench::Pixels from, double quietMs,
                              double timeoutMs, pid_t busyPid = 0) {
  const Clock::time_point start = Clock::now();
  Settled s{std::move(from), start};
  // Busy: more than a third of 100 ms of processor time used in the last 100 ms.
  const long ticksPerSecond = sysconf(_SC_CLK_TCK);
  Clock::time_point windowStart = start;
  long windowTicks = CpuTicks(busyPid);
  while (MsSince(start) < timeoutMs) {
    std::optional<bench::Pixels> now = screen.Read(w);
    if (!now) return std::nullopt;
    if (bench::ChangedBeyondCaret(s.pixels, *now)) s.lastChange = Clock::now();
    s.pixels = std::move(*now);
    if (busyPid && MsSince(windowStart) >= 100) {
      const long ticks = CpuTicks(busyPid);
      if (static_cast<double>(ticks - windowTicks) * 1000.0 / static_cast<double>(ticksPerSecond) > MsSince(windowStart) / 3)
        s.lastChange = Clock::now();
      windowStart = Clock::now();
      windowTicks = ticks;
    }
    if (MsSince(s.lastChange) >= quietMs) return s;
    Nap();
  }
  return std::nullopt;
}

std::optional<bench::Pixels> EmptyWindow(const std::string& display, bench::ScreenReader& screen, const Editor& editor,
                                         const fs::path& emptyFile, const fs::path& home) {
  std::vector<std::string> args = editor.command;
  args.push_back(emptyFile.string());
  Program program(display, args, editor.ownHome ? home : fs::path());
  std::optional<Window> w = WaitForWindow(screen, program, 30000);
  if (!w) return std::nullopt;
  std::optional<bench::Pixels> first = screen.Read(*w);
  if (!first) return std::nullopt;
  std::optional<Settled> s = Settle(screen, *w, std::move(*first), 1000, 15000);
  if (!s) return std::nullopt;
  return s->pixels;
}

// From the program's start: when text first shows, and when the window then rests (nothing but a
// caret changing, and the program not working, for 300 ms), since an editor may show the first
// lines before the rest of them.
struct Opening {
  double textMs = 0;
  double restMs = 0;
};
std::optional<Opening> TimeOpening(const std::string& display, bench::ScreenReader& screen, const Editor& editor,
                                   const fs::path& file, const fs::path& home, const fs::path& shot) {
  std::vector<std::string> args = editor.command;
  args.push_back(file.string());
  Program program(display, args, editor.ownHome ? home : fs::path());
  Window w = 0;  // none found yet
  while (MsSince(program.Start()) < 120000 && program.Alive()) {
    if (!w) w = screen.TopLevelOf(program.Pid()).value_or(0);
    if (w) {
      std::optional<bench::Pixels> now = screen.Read(w);
      if (now && bench::ShowsTextBeyond(*editor.empty, *now)) {
        Opening o{MsSince(program.Start()), 0};
        std::optional<Settled> s = Settle(screen, w, std::move(*now), 300, 60000, program.Pid());
        if (!s) return std::nullopt;
        o.restMs = std::chrono::duration<double, std::milli>(s->lastChange - program.Start()).count();
        o.restMs = std::max(o.restMs, o.textMs);
        if (!shot.empty()) WritePpm(s->pixels, shot);
        return o;
      }
      if (!now) w = 0;
    }
    Nap();
  }
  return std::nullopt;
}

double Median(std::vector<double> v) {
  if (v.empty()) return 0;
  std::sort(v.begin(), v.end());
  return v.size() % 2 ? v[v.size() / 2] : (v[v.size() / 2 - 1] + v[v.size() / 2]) / 2;
}
double Worst(const std::vector<double>& v) { return v.empty() ? 0 : *std::max_element(v.begin(), v.end()); }

struct KeyTimes {
  std::vector<double> firstChange;  // key sent to the first pixels changed beyond the caret
  std::vector<double> finished;     // key sent to the last change before the window rests
  int unchanged = 0;                // keys after which the window did not change within 10 s
};

// Waits for a change beyond the caret and then for the window to rest; whether both came.
bool PaintedAndRested(bench::ScreenReader& screen, Window w, bench::Pixels before) {
  const Clock::time_point sent = Clock::now();
  while (MsSince(sent) < 10000) {
    std::optional<bench::Pixels> now = screen.Read(w);
    if (!now) return false;
    if (bench::ChangedBeyondCaret(before, *now)) return Settle(screen, w, std::move(*now), 150, 20000).has_value();
    before = std::move(*now);
    Nap();
  }
  return false;
}

// Sends `count` presses of one key, each once the window has rested from the one before. An
// `undo` key, unmeasured, follows each: Return then Backspace splits the same line each time,
// where Returns alone would soon push every line of text out of the window.
KeyTimes TimeKeys(bench::ScreenReader& screen, Window w, const char* key, int count, const char* undo) {
  KeyTimes times;
  for (int i = 0; i < count; ++i) {
    std::optional<bench::Pixels> before = screen.Read(w);
    if (!before) break;
    screen.Press(key);
    const Clock::time_point sent = Clock::now();
    std::optional<double> first;
    while (!first && MsSince(sent) < 10000) {
      std::optional<bench::Pixels> now = screen.Read(w);
      if (!now) break;
      if (bench::ChangedBeyondCaret(*before, *now)) first = MsSince(sent);
      before = std::move(now);
      if (!first) Nap();
    }
    if (!first) {
      ++times.unchanged;
      continue;
    }
    // The paint is finished when nothing but the caret has changed for 150 ms.
    std::optional<Settled> s = Settle(screen, w, std::move(*before), 150, 20000);
    if (!s) break;
    times.firstChange.push_back(*first);
    times.finished.push_back(std::max(*first, std::chrono::duration<double, std::milli>(s->lastChange - sent).count()));
    if (undo) {
      screen.Press(undo);
      if (!PaintedAndRested(screen, w, std::move(s->pixels))) break;
    }
  }
  return times;
}

bool ParseOptions(int argc, char** argv, Options& o) {
  for (int i = 1; i < argc; ++i) {
    const std::string a = argv[i];
    const bool hasValue = i + 1 < argc;
    if (a == "--no-mousepad") {
      o.mousepad = false;
    } else if (a == "--shots") {
      o.shots = true;
    } else if (a == "--sizes" && hasValue) {
      o.sizesMb.clear();
      std::string list = argv[++i];
      for (size_t at = 0; at < list.size();) {
        size_t comma = list.find(',', at);
        if (comma == std::string::npos) comma = list.size();
        const int mb = std::atoi(list.substr(at, comma - at).c_str());
        if (mb < 1 || mb > 256) return false;
        o.sizesMb.push_back(mb);
        at = comma + 1;
      }
      if (o.sizesMb.empty()) return false;
    } else if ((a == "--keys" || a == "--runs") && hasValue) {
      const int n = std::atoi(argv[++i]);
      if (n < 1 || n > 1000) return false;
      (a == "--keys" ? o.keys : o.runs) = n;
    } else if (a == "--editor" && hasValue) {
      o.editor = argv[++i];
    } else if (a == "--dir" && hasValue) {
      o.workDir = argv[++i];
    } else {
      return false;
    }
  }
  return true;
}

}  // namespace

int main(int argc, char** argv) {
  // Each figure as soon as it is measured: a run takes minutes.
  std::setvbuf(stdout, nullptr, _IOLBF, 0);
  Options options;
  if (!ParseOptions(argc, argv, options)) {
    std::cerr << kUsage;
    return 2;
  }
  if (options.workDir.empty()) {
    char pattern[] = "/tmp/kestrix-key-to-paint-XXXXXX";
    if (!mkdtemp(pattern)) {
      std::cerr << "kestrix_key_to_paint: cannot make a temporary folder\n";
      return 1;
    }
    options.workDir = pattern;
  }
  fs::create_directories(options.workDir);

  XServer server(1280, 1024);
  if (!server.Running()) {
    std::cerr << "kestrix_key_to_paint: " << server.Problem() << "\n";
    return 1;
  }
  bench::ScreenReader screen(server.Name());
  if (!screen.Open() || !screen.HasXTest()) {
    std::cerr << "kestrix_key_to_paint: cannot open " << server.Name() << " with XTest\n";
    return 1;
  }

  std::vector<Editor> editors{{"kestrix-edit", {options.editor}, false, std::nullopt}};
  if (options.mousepad) {
    if (HaveProgram("mousepad"))
      editors.push_back({"mousepad", {"mousepad"}, true, std::nullopt});
    else
      std::cout << "mousepad is not installed (scripts/setup.sh installs it): kestrix-edit alone\n";
  }
  const fs::path emptyFile = options.workDir / "empty.txt";
  std::ofstream(emptyFile, std::ios::binary).flush();
  int launch = 0;
  auto home = [&] { return options.workDir / ("home-" + std::to_string(launch++)); };
  for (Editor& e : editors) {
    e.empty = EmptyWindow(server.Name(), screen, e, emptyFile, home());
    if (e.empty && options.shots) WritePpm(*e.empty, options.workDir / (e.name + "-empty.ppm"));
    if (!e.empty) {
      std::cerr << "kestrix_key_to_paint: " << e.name << " showed no window on an empty file\n";
      return 1;
    }
  }

  bool allChanged = true;
  for (int mb : options.sizesMb) {
    const fs::path file = options.workDir / ("mixed-" + std::to_string(mb) + "mb.txt");
    const std::string bytes = bench::MixedWordsFile(static_cast<size_t>(mb) << 20);
    std::ofstream(file, std::ios::binary).write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    std::printf("\n%s: %.1f MB of Arabic and English words, LF line ends\n", file.filename().c_str(),
                static_cast<double>(bytes.size()) / (1 << 20));

    // Opening, the editors taking turns so that both meet the same machine.
    std::vector<std::vector<double>> text(editors.size()), rest(editors.size());
    for (int run = 0; run < options.runs; ++run)
      for (size_t e = 0; e < editors.size(); ++e)
        if (std::optional<Opening> o = TimeOpening(
                server.Name(), screen, editors[e], file, home(),
                options.shots && run == 0 ? options.workDir / (editors[e].name + "-" + std::to_string(mb) + "mb.ppm")
                                          : fs::path())) {
          text[e].push_back(o->textMs);
          rest[e].push_back(o->restMs);
        }
    std::printf("  opening, ms          text shows: median  worst   screen rests: median  worst   starts\n");
    for (size_t e = 0; e < editors.size(); ++e)
      std::printf("    %-12s %26.0f %6.0f %22.0f %6.0f   %zu of %d\n", editors[e].name.c_str(), Median(text[e]),
                  Worst(text[e]), Median(rest[e]), Worst(rest[e]), text[e].size(), options.runs);
    if (editors.size() > 1 && !text[0].empty() && !text[1].empty())
      std::printf("    kestrix-edit / mousepad %15.2f %29.2f\n", Median(text[0]) / Median(text[1]),
                  Median(rest[0]) / Median(rest[1]));

    // Key to paint in kestrix-edit: the caret put on line 3 as a person puts it.
    Program editor(server.Name(), {options.editor, file.string()}, {});
    std::optional<Window> w = WaitForWindow(screen, editor, 60000);
    std::optional<bench::Pixels> shown;
    while (w && editor.Alive() && MsSince(editor.Start()) < 120000) {
      shown = screen.Read(*w);
      if (shown && bench::ShowsTextBeyond(*editors[0].empty, *shown)) break;
      Nap();
    }
    if (!w || !shown) {
      std::cerr << "kestrix_key_to_paint: kestrix-edit showed no text for " << file << "\n";
      return 1;
    }
    // Keys are sent once the editor has finished opening the file, not when its first lines show.
    if (!Settle(screen, *w, std::move(*shown), 300, 120000, editor.Pid())) {
      std::cerr << "kestrix_key_to_paint: kestrix-edit did not come to rest on " << file << "\n";
      return 1;
    }
    screen.Focus(*w);
    const std::pair<const char*, bool> placing[] = {{"Home", true}, {"Down", false}, {"Down", false}, {"End", false}};
    for (auto [key, control] : placing) {
      screen.Press(key, control);
      if (std::optional<bench::Pixels> now = screen.Read(*w)) Settle(screen, *w, std::move(*now), 300, 20000);
    }
    std::printf("  key to paint in kestrix-edit, ms   first change: median  worst   paint finished: median  worst\n");
    // The letters typed are the ones the Backspaces take away.
    struct Kind {
      const char* label;
      const char* key;
      const char* undo;
    };
    const Kind kinds[] = {{"typing", "a", nullptr}, {"Backspace", "BackSpace", nullptr}, {"Return", "Return", "BackSpace"}};
    for (auto [label, key, undo] : kinds) {
      KeyTimes t = TimeKeys(screen, *w, key, options.keys, undo);
      std::printf("    %-10s %3zu keys %25.1f %6.1f %23.1f %6.1f\n", label, t.firstChange.size(), Median(t.firstChange),
                  Worst(t.firstChange), Median(t.finished), Worst(t.finished));
      if (t.unchanged > 0 || static_cast<int>(t.firstChange.size()) != options.keys) {
        std::printf("    %-10s %d of %d keys left the window unchanged beyond the caret\n", label,
                    options.keys - static_cast<int>(t.firstChange.size()), options.keys);
        allChanged = false;
      }
    }
  }
  return allChanged ? 0 : 1;
}
