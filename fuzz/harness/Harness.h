// What the fuzz targets run on one input, shared with the ordinary test build so that a saved
// input can be replayed without libFuzzer. Each returns an empty string when the run kept
// every rule, else what broke; a crash is left to the sanitizers.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

namespace kestrix {

namespace fuzzing {

// The bytes decoded into steps (keys, characters, mouse, menu, focus, clock, sizes,
// automation, clipboard, fonts) on one control; Verify after every step. realLibrary: the
// shipped Arabic text library instead of the fixed-metric one.
std::string RunSequence(const uint8_t* data, size_t size, bool realLibrary);

// The bytes read as a property file, loaded into a control, and saved and read back.
std::string RunLoad(const uint8_t* data, size_t size);

// The bytes run as a script by the scripted host (fixed metrics unless the script asks
// otherwise); its exit status must be 0, 1 or 2. Long scripts, long ticks, big windows and
// file names are tamed here, not in the host.
std::string RunScript(const uint8_t* data, size_t size);

// The real text library on the bytes as a line, with a reading order and fonts taken from
// the first bytes: the drawn advance must equal the measured one.
std::string RunTextLibrary(const uint8_t* data, size_t size);

// The bytes read as a registry file: what is read writes back to itself, and registering and
// unregistering the control's classes gives back what was there.
std::string RunRegistry(const uint8_t* data, size_t size);

// The run function of a target by its name (fuzz_sequence, ...), or null.
using RunFunction = std::string (*)(const uint8_t*, size_t);
RunFunction RunnerOf(const std::string& target);

}  // namespace fuzzing

}  // namespace kestrix
