// Replacing a file durably: the whole new file or the old one, its mode and links kept, every
// failing step reported with nothing left behind, and a killed save's temporary removed by the
// next save of the same file.
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <set>
#include <sstream>

#include "framework/file/DurableWrite.h"

namespace kestrix {

namespace {

namespace fs = std::filesystem;

class DurableWriteTest : public ::testing::Test {
 protected:
  void SetUp() override {
    std::string pattern = (fs::temp_directory_path() / "kestrix-durable-XXXXXX").string();
    ASSERT_NE(mkdtemp(pattern.data()), nullptr);
    dir_ = pattern;
    file_ = dir_ + "/doc.txt";
  }
  void TearDown() override {
    SetDurableWriteFault({});
    std::error_code ignored;
    fs::remove_all(dir_, ignored);
  }
  std::set<std::string> Names() const {
    std::set<std::string> names;
    for (const auto& entry : fs::directory_iterator(dir_))
      names.insert(entry.path().filename().string());
    return names;
  }
  static std::string Read(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream all;
    all << in.rdbuf();
    return all.str();
  }
  static void Write(const std::string& path, const std::string& text) {
    std::ofstream(path, std::ios::binary) << text;
  }

  std::string dir_;
  std::string file_;
};

TEST_F(DurableWriteTest, ReplacesTheWholeFileKeepingItsModeAndItsLink) {
  Write(file_, "old contents, longer than the new");
  ASSERT_EQ(chmod(file_.c_str(), 0640), 0);
  ASSERT_EQ(symlink("doc.txt", (dir_ + "/link.txt").c_str()), 0);
  std::string message = "stale";
  EXPECT_EQ(WriteFileDurably(dir_ + "/link.txt", "new", &message), 0);
  EXPECT_EQ(message, "");
  EXPECT_EQ(Read(file_), "new");
  EXPECT_TRUE(fs::is_symlink(dir_ + "/link.txt"));
  struct stat st {};
  ASSERT_EQ(stat(file_.c_str(), &st), 0);
  EXPECT_EQ(st.st_mode & 07777, 0640u);
  EXPECT_EQ(Names(), (std::set<std::string>{"doc.txt", "link.txt"}));
}

TEST_F(DurableWriteTest, EveryFailingStepIsReportedAndLeavesTheOldFileAlone) {
  const struct {
    DurableWriteStep step;
    int error;
    const char* says;
  } cases[] = {
      {DurableWriteStep::CreateTemporary, EACCES, "cannot create a temporary file for"},
      {DurableWriteStep::Write, ENOSPC, "cannot write"},
      {DurableWriteStep::Flush, EIO, "cannot flush"},
      {DurableWriteStep::Rename, EXDEV, "cannot replace"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.says);
    Write(file_, "good");
    SetDurableWriteFault([&](DurableWriteStep step) { return step == c.step ? c.error : 0; });
    std::string message;
    EXPECT_EQ(WriteFileDurably(file_, "replacement", &message), c.error);
    EXPECT_EQ(message.rfind(std::string(c.says) + " " + file_ + ": ", 0), 0u) << message;
    EXPECT_EQ(Read(file_), "good");
    EXPECT_EQ(Names(), std::set<std::string>{"doc.txt"});
  }
  // A folder that cannot be flushed is reported too, though the new file is in place.
  SetDurableWriteFault(
      [](DurableWriteStep step) { return step == DurableWriteStep::FlushFolder ? EIO : 0; });
  EXPECT_EQ(WriteFileDurably(file_, "replacement"), EIO);
  EXPECT_EQ(Names(), std::set<std::string>{"doc.txt"});
}

TEST_F(DurableWriteTest, OnlyARegularFileIsReplaced) {
  fs::create_directory(file_);
  Write(file_ + "/inside", "x");
  const std::string pipe = dir_ + "/pipe";
  ASSERT_EQ(mkfifo(pipe.c_str(), 0600), 0);
  for (const std::string& target : {file_, pipe}) {
    std::string message;
    EXPECT_NE(WriteFileDurably(target, "bytes", &message), 0);
    EXPECT_EQ(message, "cannot replace " + target + ": not a regular file");
  }
  EXPECT_EQ(Names(), (std::set<std::string>{"doc.txt", "pipe"}));
  EXPECT_EQ(Read(file_ + "/inside"), "x");
  EXPECT_TRUE(fs::is_fifo(pipe));
}

TEST_F(DurableWriteTest, AKilledSavesTemporaryGoesWithTheNextSave) {
  Write(file_, "good");
  // A child starts a save and is killed while it flushes.
  int ready[2];
  ASSERT_EQ(pipe(ready), 0);
  pid_t child = fork();
  ASSERT_GE(child, 0);
  if (child == 0) {
    SetDurableWriteFault([&](DurableWriteStep step) {
      if (step == DurableWriteStep::Flush) {
        (void)!write(ready[1], "k", 1);
        pause();
      }
      return 0;
    });
    WriteFileDurably(file_, std::string(1 << 20, 'x'));
    _exit(0);
  }
  char byte = 0;
  ASSERT_EQ(read(ready[0], &byte, 1), 1);
  kill(child, SIGKILL);
  waitpid(child, nullptr, 0);
  close(ready[0]);
  close(ready[1]);
  std::set<std::string> names = Names();
  ASSERT_EQ(names.size(), 2u);
  const std::string leftover = *names.rbegin();
  EXPECT_EQ(leftover.rfind("doc.txt.tmp-" + std::to_string(child) + "-", 0), 0u) << leftover;
  EXPECT_EQ(Read(file_), "good");

  // Temporaries of a live process, of another file or of another naming stay.
  const std::string live = "doc.txt.tmp-" + std::to_string(getppid()) + "-7";
  for (const std::string& name :
       {live, std::string("doc.txt.tmp-x"), std::string("other.txt.tmp-1-1")})
    Write(dir_ + "/" + name, "keep");
  EXPECT_EQ(WriteFileDurably(file_, "saved again"), 0);
  EXPECT_EQ(Read(file_), "saved again");
  EXPECT_EQ(Names(),
            (std::set<std::string>{"doc.txt", live, "doc.txt.tmp-x", "other.txt.tmp-1-1"}));
}

}  // namespace

}  // namespace kestrix
