// The script language apart from any host: what reaches a target for each command, how values
// compare and print, and how a script that cannot run stops.
#include <gtest/gtest.h>

#include <sstream>

#include "RecordingTarget.h"
#include "ScriptRunner.h"

namespace kestrix {

namespace {

struct ScriptRun {
  RecordingTarget target;
  std::ostringstream out, err;
  ScriptRunner runner{target, out};
  bool ran = false;

  explicit ScriptRun(const std::string& script, std::function<void(ScriptRun&)> prepare = {}) {
    if (prepare) prepare(*this);
    std::istringstream in(script);
    ran = runner.RunScript(in, "t.kss", err);
  }
  int Status() const { return !ran ? 2 : runner.AllHeld() ? 0 : 1; }
};

using Calls = std::vector<std::string>;

TEST(ScriptRunner, KeyStrokesGiveTheirCharactersWithTheModifiersHeld) {
  ScriptRun r("key ctrl+A\nkey shift+End\nkey alt+X\nkey ctrl+Backspace\nkey shift+1\n");
  EXPECT_EQ(r.Status(), 0) << r.err.str();
  EXPECT_EQ(r.target.calls, (Calls{
      "down 0x11", "down 0x41", "char 0x01", "up 0x41", "up 0x11",       // Control letters
      "down 0x10", "down 0x23", "up 0x23", "up 0x10",                    // moving keys type none
      "down 0x12", "down 0x58", "up 0x58", "up 0x12",                    // Alt alone types none
      "down 0x11", "down 0x08", "char 0x7F", "up 0x08", "up 0x11",
      "down 0x10", "down 0x31", "char 0x21", "up 0x31", "up 0x10"}));
}

// A held key sends nothing itself, yet the keystrokes that follow are typed with it down.
TEST(ScriptRunner, HeldKeysChangeTheKeyStateWithoutMessages) {
  ScriptRun r("hold ctrl\nkey A\nrelease CTRL\nkey A\nhold rshift\nrelease rshift\n");
  EXPECT_EQ(r.Status(), 0) << r.err.str();
  EXPECT_EQ(r.target.calls, (Calls{"hold 0x11", "down 0x41", "char 0x01", "up 0x41", "release 0x11",
                                   "down 0x41", "char 0x61", "up 0x41", "hold 0x10", "release 0x10"}));
}

TEST(ScriptRunner, TypingUsesTheUsOrArabicKeyOfEachCharacter) {
  // A capital with Shift around it; beh (0xC8) on the F key; a character no key types on the
  // packet key; Return for CR.
  ScriptRun r("type \"Aب€\\r\"\nchar 0x141\n");
  EXPECT_EQ(r.Status(), 0) << r.err.str();
  EXPECT_EQ(r.target.calls, (Calls{"down 0x10", "down 0x41", "char 0x41", "up 0x41", "up 0x10",
                                   "down 0x46", "char 0xC8", "up 0x46",
                                   "down 0xE7", "char 0x80", "up 0xE7",
                                   "down 0x0D", "char 0x0D", "up 0x0D",
                                   "char 0x141"}));
}

TEST(ScriptRunner, PointsFromLinePositionsShiftsAndTheTextEdges) {
  ScriptRun r("click @1:3 +5\nmouse down @1:0 shift\nmouse move @below\nmouse up @above\n",
        [](ScriptRun& run) { run.target.lines.resize(2); });
  EXPECT_EQ(r.Status(), 0) << r.err.str();
  EXPECT_EQ(r.target.calls, (Calls{"click 108,7", "mousedown 100,7 shift", "mousemove 100,60",
                                   "mouseup 100,-10"}));
  r.runner.Finish();
  EXPECT_EQ(r.target.calls.back(), "finish 100,-10");
}

TEST(ScriptRunner, ExpectComparesNumbersByValueNamesByTextAndStringsExactly) {
  ScriptRun r(
      "expect Size 0x10\n"          // 16
      "expect Size 16.0000\n"       // a font size's printed form
      "expect dir 1 RTL\n"          // names regardless of case
      "expect text \"ab\"\n"
      "expect text ab\n"            // a string compares only with a string
      "expect highlight 1 5..9\n"   // smaller x first
      "expect scrollbar left 3/9\n"
      "expect layout 00000401\n"
      "expect events Click KeyPress(97)\n"
      "expect menu \"Copy \\t\"=32768\n"
      "expect pixel 1 2 #abcdef\n"
      "expect Size 17\n",
      [](ScriptRun& run) {
        run.target.properties["size"] = NumberShown(16);
        run.target.lines[0].direction = 1;
        run.target.lines[0] = {"ab", 1, true, 9, 5};
        run.target.events = {"Click", "KeyPress(97)"};
      });
  EXPECT_EQ(r.Status(), 1);
  EXPECT_EQ(r.out.str(),
            "ok\nok\nok\nok\n"
            "FAIL t.kss:5: text: expected ab, got \"ab\"\n"
            "ok\nok\nok\nok\nok\nok\n"
            "FAIL t.kss:12: Size: expected 17, got 16\n");
}

TEST(ScriptRunner, PrintGetAndCallShowValuesInTheScriptsQuoting) {
  ScriptRun r("print line 1\nget Name\ncall Refresh\nprint result\nprint sel\nprint caret\n",
        [](ScriptRun& run) {
          run.target.lines[0].chars = "a\r\"\x01\xC7";
          run.target.properties["name"] = StringShown("\\");
        });
  EXPECT_EQ(r.Status(), 0) << r.err.str();
  EXPECT_EQ(r.out.str(),
            "line 1 = \"a\\r\\\"\\x01ا\"\nName = \"\\\\\"\nresult = none\nsel = 1+3\ncaret = 1:2\n");
}

TEST(ScriptRunner, ALineThatCannotRunStopsTheScriptAndNamesItsLine) {
  struct Case {
    const char* script;
    const char* message;
  };
  for (const Case& c : {
           Case{"window 10 10\nfrobnicate\nfocus\n", "t.kss:2: unknown command frobnicate\n"},
           Case{"reset\nmetrics fixed\nfocus\n", "t.kss:2: metrics comes before every other command\n"},
           Case{"click @2:0\n", "t.kss:1: no display line position @2:0\n"},
           Case{"window 101 5\n", "t.kss:1: a window from 0 to 100 pixels each way\n"},
           Case{"set Text \"Ж\"\n", "t.kss:1: a character the Arabic code page lacks: U+0416\n"},
           Case{"key hyper+A\n", "t.kss:1: unknown modifier hyper\n"},
           Case{"hold hyper\n", "t.kss:1: unknown key hyper\n"},
           Case{"expect lines\n", "t.kss:1: expect needs 2 argument(s)\n"},
           Case{"char 0x10000\n", "t.kss:1: a character code is 0 to 0xFFFF\n"},
           Case{"print Nothing\n", "t.kss:1: unknown member Nothing\n"},
       }) {
    ScriptRun r(c.script);
    EXPECT_EQ(r.Status(), 2) << c.script;
    EXPECT_EQ(r.err.str(), c.message);
    EXPECT_TRUE(r.target.calls.empty() || r.target.calls.back() != "focus") << c.script;
  }
  ScriptRun extra("extra\n");
  EXPECT_EQ(extra.Status(), 0);
  EXPECT_EQ(extra.target.calls, Calls{"extra"});
}

TEST(ScriptRunner, InsideTheControlsLoopLinesRunAndTicksPassTurnByTurn) {
  // The loop asks for input in turns of at most 50 ms, as a drag loop does, until the
  // button goes up.
  std::vector<int64_t> turns;
  ScriptRun r("mouse down 1 1\ntick 120\nmouse up 1 1\ntick 30\n", [&](ScriptRun& run) {
    run.target.loopOnMouseDown = [&] {
      for (;;) {
        int64_t passed = run.runner.FeedWaitingLoop(50);
        turns.push_back(passed);
        if (passed < 0 || run.target.calls.back().rfind("mouseup", 0) == 0) return;
      }
    };
  });
  EXPECT_EQ(r.Status(), 0) << r.err.str();
  EXPECT_EQ(turns, (std::vector<int64_t>{50, 50, 20, 0}));
  // The tick after the loop passes on the clock itself.
  EXPECT_EQ(r.target.calls, (Calls{"mousedown 1,1", "mouseup 1,1", "clock 30"}));
}

TEST(ScriptRunner, AnErrorInsideTheLoopEndsTheScriptOnceTheLoopHasUnwound) {
  int64_t last = 0;
  ScriptRun r("mouse down 1 1\nfrobnicate\nfocus\n", [&](ScriptRun& run) {
    run.target.loopOnMouseDown = [&] { last = run.runner.FeedWaitingLoop(50); };
  });
  EXPECT_EQ(last, -1);
  EXPECT_EQ(r.Status(), 2);
  EXPECT_EQ(r.err.str(), "t.kss:2: unknown command frobnicate\n");
  EXPECT_EQ(r.target.calls, Calls{"mousedown 1,1"});
}

}  // namespace

}  // namespace kestrix
