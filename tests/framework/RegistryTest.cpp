// The registry file: its exact text, round trips of awkward names and values, damaged and
// newer files read only as far as they are valid and never written, failed writes that leave
// the file as it was, and writers running at once.
#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <sstream>
#include <thread>
#include <vector>

#include "framework/registry/RegistryFile.h"

namespace kestrix {

namespace {

namespace fs = std::filesystem;

class TempDir {
 public:
  TempDir() {
    std::string pattern = (fs::temp_directory_path() / "kestrix-registry-XXXXXX").string();
    path_ = mkdtemp(pattern.data()) ? pattern : std::string();
  }
  ~TempDir() {
    std::error_code ignored;
    fs::remove_all(path_, ignored);
  }
  std::string File(const std::string& name) const { return path_ + "/" + name; }
  size_t Entries() const {
    return static_cast<size_t>(std::distance(fs::directory_iterator(path_), {}));
  }

 private:
  std::string path_;
};

std::string ReadFile(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  std::ostringstream text;
  text << in.rdbuf();
  return text.str();
}

void WriteFile(const std::string& path, const std::string& text) {
  std::ofstream(path, std::ios::binary) << text;
}

TEST(RegistryTreeTest, NamesIgnoreCaseAndEmptiedKeysArePruned) {
  RegistryTree tree;
  ASSERT_TRUE(tree.SetString("CLSID\\{A}\\InprocServer32", "", "/lib/x.so"));
  ASSERT_TRUE(tree.SetString("clsid\\{a}\\INPROCSERVER32", "ThreadingModel", "Apartment"));
  ASSERT_TRUE(tree.SetString("CLSID\\{B}", "", "other"));
  EXPECT_EQ(*tree.FindString("Clsid\\{A}\\inprocserver32", "threadingmodel"), "Apartment");
  EXPECT_EQ(tree.SubKeys("CLSID").size(), 2u);

  tree.DeleteValue("CLSID\\{A}\\InprocServer32", "");
  tree.PruneEmpty("CLSID\\{A}\\InprocServer32");
  EXPECT_TRUE(tree.HasKey("CLSID\\{A}\\InprocServer32"));  // still holds ThreadingModel
  tree.DeleteValue("CLSID\\{A}\\InprocServer32", "ThreadingModel");
  tree.PruneEmpty("CLSID\\{A}\\InprocServer32");
  EXPECT_FALSE(tree.HasKey("CLSID\\{A}"));
  EXPECT_TRUE(tree.HasKey("CLSID\\{B}"));  // the sibling keeps the parent

  for (const char* bad : {"", "a\\\\b", "\\a", "a\\", "a\nb"})
    EXPECT_FALSE(tree.CreateKey(bad)) << bad;
  std::string deep = "k";
  for (size_t i = 0; i < RegistryTree::kMaxDepth; ++i) deep += "\\k";
  EXPECT_FALSE(tree.CreateKey(deep));
}

TEST(RegistryFormatTest, ExactTextAndRoundTripOfAwkwardValues) {
  RegistryTree tree;
  tree.SetString("CLSID\\{A}", "", "Velor Control");
  tree.SetDword("CLSID\\{A}", "Count", 42);
  tree.CreateKey("CLSID\\{A}\\Control");
  EXPECT_EQ(FormatRegistry(tree),
            "KESTRIX REGISTRY 1\n"
            "\n[CLSID]\n"
            "\n[CLSID\\{A}]\n@=\"Velor Control\"\n\"Count\"=dword:0000002A\n"
            "\n[CLSID\\{A}\\Control]\n");

  std::string everyByte;
  for (int b = 1; b < 256; ++b) everyByte += static_cast<char>(b);
  tree.SetString("Odd\\\"quoted\" [key]", "name with \"quotes\" and \\", everyByte);
  tree.SetString("Odd\\\"quoted\" [key]", "", std::string("nul\0inside", 10));
  tree.SetDword("Odd", "max", 0xFFFFFFFFu);
  RegistryRead back = ParseRegistry(FormatRegistry(tree));
  EXPECT_EQ(back.status, ERROR_SUCCESS);
  EXPECT_TRUE(back.tree == tree);
}

TEST(RegistryFormatTest, DamagedTextReadsAsFarAsItIsValid) {
  std::string good =
      "KESTRIX REGISTRY 1\n[A]\n@=\"one\"\n[B]\n\"x\"=dword:00000001\n";
  // Every cut of the file: the part before the cut line is kept, nothing after it.
  for (size_t cut = 0; cut < good.size(); ++cut) {
    RegistryRead read = ParseRegistry(good.substr(0, cut));
    if (cut == 0) {
      EXPECT_EQ(read.status, ERROR_SUCCESS);
      continue;
    }
    bool atLineEnd = good[cut - 1] == '\n';
    EXPECT_EQ(read.status == ERROR_SUCCESS, atLineEnd) << cut;
    if (read.tree.HasKey("B")) {
      EXPECT_NE(read.tree.Find("A", ""), nullptr);
    }
  }

  struct Case {
    const char* text;
    size_t badLine;
  };
  const Case hostile[] = {
      {"KESTRIX REGISTRY 1\n@=\"before any key\"\n", 2},
      {"KESTRIX REGISTRY 1\n[A]\n@=\"bad escape \\q\"\n", 3},
      {"KESTRIX REGISTRY 1\n[A]\n@=\"unterminated\n", 3},
      {"KESTRIX REGISTRY 1\n[A\n", 2},
      {"KESTRIX REGISTRY 1\n[A\\\\B]\n", 2},
      {"KESTRIX REGISTRY 1\n[A]\n\"n\"=dword:123\n", 3},
      {"KESTRIX REGISTRY 1\n[A]\n\"n\"=\"1\"\n\"N\"=\"2\"\n", 4},
      {"KESTRIX REGISTRY 1\n[A]\n\"\"=\"empty name\"\n", 3},
      {"KESTRIX REGISTRY 1\n[A]\n@=\"x\" trailing\n", 3},
      {"not a registry\n", 1},
  };
  for (const Case& c : hostile) {
    RegistryRead read = ParseRegistry(c.text);
    EXPECT_EQ(read.status, ERROR_BADDB) << c.text;
    EXPECT_EQ(read.badLine, c.badLine) << c.text;
  }
  RegistryRead newer = ParseRegistry("KESTRIX REGISTRY 2\n[A]\n");
  EXPECT_EQ(newer.status, ERROR_NOT_SUPPORTED);
  EXPECT_FALSE(newer.tree.HasKey("A"));
}

TEST(RegistryFileTest, UpdatesWriteOnlyChangesAndNeverTouchDamagedFiles) {
  TempDir dir;
  RegistryFile file(dir.File("sub/folder/registry"));
  EXPECT_FALSE(file.Read().tree.HasKey("A"));  // missing reads as empty

  ASSERT_EQ(file.Update([](RegistryTree& t) { return t.SetString("A", "", "1") ? 0 : 1; }),
            ERROR_SUCCESS);
  EXPECT_EQ(*file.Read().tree.FindString("A", ""), "1");
  // An edit that reports failure writes nothing.
  EXPECT_EQ(file.Update([](RegistryTree& t) {
              t.SetString("A", "", "2");
              return ERROR_ACCESS_DENIED;
            }),
            ERROR_ACCESS_DENIED);
  EXPECT_EQ(*file.Read().tree.FindString("A", ""), "1");

  for (std::string damaged : {std::string("KESTRIX REGISTRY 1\n[A]\n@=\"1\"\n[B]\n@=\"cut"),
                              std::string("KESTRIX REGISTRY 9\n[A]\n@=\"newer\"\n")}) {
    WriteFile(file.Path(), damaged);
    LONG code = file.Update([](RegistryTree& t) { return t.SetString("C", "", "3") ? 0 : 1; });
    EXPECT_NE(code, ERROR_SUCCESS);
    EXPECT_EQ(ReadFile(file.Path()), damaged) << "a damaged or newer file must not be written";
  }
}

TEST(RegistryFileTest, FailedWritesLeaveTheOldFileAndNoLeftovers) {
  TempDir dir;
  RegistryFile file(dir.File("registry"));
  ASSERT_EQ(file.Update([](RegistryTree& t) { return t.SetString("A", "", "old") ? 0 : 1; }),
            ERROR_SUCCESS);
  std::string before = ReadFile(file.Path());
  size_t entries = dir.Entries();

  SetRegistryWriteFault([](const RegistryTree&, const RegistryTree&) { return ERROR_DISK_FULL; });
  EXPECT_EQ(file.Update([](RegistryTree& t) { return t.SetString("A", "", "new") ? 0 : 1; }),
            ERROR_DISK_FULL);
  SetRegistryWriteFault({});
  EXPECT_EQ(ReadFile(file.Path()), before);
  EXPECT_EQ(dir.Entries(), entries);

  // A registry whose folder cannot exist (its parent is a file) cannot be written.
  WriteFile(dir.File("plain-file"), "x");
  RegistryFile blocked(dir.File("plain-file/registry"));
  EXPECT_EQ(blocked.Update([](RegistryTree& t) { return t.SetString("A", "", "1") ? 0 : 1; }),
            ERROR_PATH_NOT_FOUND);
}

TEST(RegistryFileTest, WritersAtOnceLoseNothing) {
  TempDir dir;
  const std::string path = dir.File("registry");
  constexpr int kWriters = 4;
  constexpr int kValuesEach = 25;
  std::vector<std::thread> writers;
  for (int w = 0; w < kWriters; ++w) {
    writers.emplace_back([&path, w] {
      RegistryFile file(path);  // each writer opens the file on its own, as a process would
      for (int v = 0; v < kValuesEach; ++v)
        file.Update([&](RegistryTree& t) {
          return t.SetDword("Writers\\" + std::to_string(w), std::to_string(v),
                            static_cast<uint32_t>(v))
                     ? 0
                     : 1;
        });
    });
  }
  for (std::thread& t : writers) t.join();
  RegistryRead read = RegistryFile(path).Read();
  ASSERT_EQ(read.status, ERROR_SUCCESS);
  for (int w = 0; w < kWriters; ++w)
    for (int v = 0; v < kValuesEach; ++v)
      EXPECT_NE(read.tree.Find("Writers\\" + std::to_string(w), std::to_string(v)), nullptr);
}

}  // namespace

}  // namespace kestrix
