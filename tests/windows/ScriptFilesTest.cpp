// The files the container's script mode writes: a save or a picture that cannot be written is
// reported with its reason, leaves nothing behind and keeps the control's changes unsaved; one
// that can be written replaces the file whole.
#include <gtest/gtest.h>

#include <windows.h>

#include <filesystem>
#include <sstream>
#include <string>

#include "ContainerScriptTarget.h"

namespace kestrix {

namespace {

struct ScriptRun {
  bool ran = false;
  bool held = false;
  std::string out;
  std::string err;
};

ScriptRun RunScript(const std::string& script) {
  ContainerScriptTarget target;
  std::ostringstream out, err;
  ScriptRunner runner(target, out);
  target.AttachRunner(&runner);
  target.ChooseMetrics(true);
  std::istringstream in(script);
  ScriptRun run;
  run.ran = runner.RunScript(in, "files.kss", err);
  runner.Finish();
  run.held = runner.AllHeld();
  run.out = out.str();
  run.err = err.str();
  return run;
}

// An empty folder of this test's own. Scripts name its files with forward slashes, which the
// system takes as separators and a script's string does not read as escapes.
std::filesystem::path FreshFolder() {
  wchar_t temp[MAX_PATH] = {};
  GetTempPathW(MAX_PATH, temp);
  std::filesystem::path folder =
      std::filesystem::path(temp) / ("kestrix-files-" + std::to_string(GetCurrentProcessId()));
  std::filesystem::remove_all(folder);
  std::filesystem::create_directories(folder);
  return folder;
}

TEST(ScriptFiles, WritesIntoAMissingFolderFailWithTheirReasonAndKeepTheChanges) {
  const std::filesystem::path folder = FreshFolder();
  const std::string missing = (folder / "no-such-folder").generic_string();
  const ScriptRun run = RunScript("window 300 100\n"
                            "set Text \"abc\"\n"
                            "save \"" + missing + "/doc.kestrix\"\n"
                            "expect dirty true\n");
  EXPECT_TRUE(run.ran) << run.err;
  EXPECT_FALSE(run.held) << "a failed save must fail the script";
  const std::string printed = run.out + run.err;
  EXPECT_NE(printed.find("save: cannot save " + missing + "/doc.kestrix: "), std::string::npos) << printed;
  EXPECT_EQ(printed.find("FAIL"), std::string::npos) << "the control must still have changes: " << printed;

  const ScriptRun picture = RunScript("window 300 100\npng \"" + missing + "/shot.png\"\n");
  EXPECT_FALSE(picture.ran);
  EXPECT_NE(picture.err.find(missing + "/shot.png"), std::string::npos) << picture.err;
  EXPECT_FALSE(std::filesystem::exists(missing));
  std::filesystem::remove_all(folder);
}

TEST(ScriptFiles, ASaveAndAPictureReplaceTheirFilesWholeAndLeaveNothingElse) {
  const std::filesystem::path folder = FreshFolder();
  const std::string saved = (folder / "doc.kestrix").generic_string();
  const std::string shot = (folder / "shot.png").generic_string();
  const ScriptRun run = RunScript("window 300 100\n"
                            "set Text \"abc\"\n"
                            "save \"" + saved + "\"\n"
                            "expect dirty false\n"
                            "png \"" + shot + "\"\n"
                            "load \"" + saved + "\"\n"
                            "expect text \"abc\"\n");
  EXPECT_TRUE(run.ran) << run.err;
  EXPECT_TRUE(run.held) << run.out;
  size_t files = 0;
  for (const auto& entry : std::filesystem::directory_iterator(folder)) {
    ++files;
    EXPECT_GT(entry.file_size(), 0u) << entry.path();
  }
  EXPECT_EQ(files, 2u) << "only the two files, no temporary";
  std::filesystem::remove_all(folder);
}

}  // namespace

}  // namespace kestrix
