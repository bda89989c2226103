#include "Harness.h"

namespace kestrix {

namespace fuzzing {

RunFunction RunnerOf(const std::string& target) {
  if (target == "fuzz_sequence")
    return [](const uint8_t* data, size_t size) { return RunSequence(data, size, false); };
  if (target == "fuzz_sequence_real")
    return [](const uint8_t* data, size_t size) { return RunSequence(data, size, true); };
  if (target == "fuzz_load") return RunLoad;
  if (target == "fuzz_script") return RunScript;
  if (target == "fuzz_textlib") return RunTextLibrary;
  if (target == "fuzz_registry") return RunRegistry;
  return nullptr;
}

}  // namespace fuzzing

}  // namespace kestrix
