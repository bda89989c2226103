// Inputs the fuzz targets found faults with, and their seed corpora, replayed through the same
// harness in the ordinary builds: each must now keep every rule.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>

#include "Harness.h"

namespace kestrix {

namespace {

namespace fs = std::filesystem;

const char* const kTargets[] = {"fuzz_sequence", "fuzz_sequence_real", "fuzz_load", "fuzz_script",
                                "fuzz_textlib", "fuzz_registry"};

std::string ReadAll(const fs::path& path) {
  std::ifstream in(path, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), {});
}

// Replays every file under root/<target>/; returns how many there were. A folder named after
// no target (a misspelt one) would never be replayed: it fails.
int ReplayAll(const fs::path& root) {
  for (const fs::directory_entry& entry : fs::directory_iterator(root)) {
    if (!entry.is_directory()) continue;
    const std::string name = entry.path().filename().string();
    EXPECT_NE(std::find(std::begin(kTargets), std::end(kTargets), name), std::end(kTargets))
        << entry.path() << " is named after no fuzz target";
  }
  int replayed = 0;
  for (const char* target : kTargets) {
    fs::path dir = root / target;
    if (!fs::is_directory(dir)) continue;
    fuzzing::RunFunction run = fuzzing::RunnerOf(target);
    for (const fs::directory_entry& entry : fs::directory_iterator(dir)) {
      if (!entry.is_regular_file()) continue;
      const std::string bytes = ReadAll(entry.path());
      EXPECT_EQ(run(reinterpret_cast<const uint8_t*>(bytes.data()), bytes.size()), "")
          << entry.path();
      ++replayed;
    }
  }
  return replayed;
}

TEST(FuzzReplay, FoundInputsKeepEveryRule) { EXPECT_GT(ReplayAll(KESTRIX_REGRESSIONS_DIR), 0); }

TEST(FuzzReplay, SeedCorporaKeepEveryRule) { EXPECT_GT(ReplayAll(KESTRIX_CORPUS_DIR), 0); }

TEST(FuzzReplay, EveryTargetHasARunner) {
  for (const char* target : kTargets) EXPECT_NE(fuzzing::RunnerOf(target), nullptr) << target;
  EXPECT_EQ(fuzzing::RunnerOf("fuzz_nothing"), nullptr);
}

}  // namespace

}  // namespace kestrix
