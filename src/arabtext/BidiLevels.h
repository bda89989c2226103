// Embedding levels of one paragraph of 8-bit Arabic text, resolved without FriBidi's run
// lists. The code page has no embedding, override or isolate character, so a paragraph is
// one run at its own level and the algorithm reduces to its weak, bracket, neutral and
// implicit rules, resolved here over plain arrays. Text holding a character the algorithm
// removes (a boundary neutral such as the joiners or a control), or a paragraph separator
// before its end, is left to FriBidi.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

namespace kestrix::arabtext {

enum class BidiClass : uint8_t { L, R, AL, EN, AN, ES, ET, CS, NSM, B, S, WS, ON, Removed };

// What the bidirectional algorithm knows of one byte of the code page.
struct BidiByte {
  uint32_t type = 0;     // FriBidi's character type
  uint32_t bracket = 0;  // FriBidi's bracket type: 0, or the pair's identity with the opening flag
  BidiClass bidiClass = BidiClass::ON;
};

// The table for all 256 bytes, read from FriBidi once.
const BidiByte* BidiBytes();

class BidiLevels {
 public:
  // Levels of the n bytes, each given by its table entry; the paragraph takes the direction
  // of its first strong character, or rightToLeft's when it has none, and rightToLeft is
  // set to the direction taken. False, with nothing resolved, when a byte is one the
  // algorithm removes or a paragraph separator stands before the end.
  bool Resolve(const BidiByte* const* bytes, size_t n, bool& rightToLeft, int8_t* levels);

 private:
  void ResolveBrackets(const BidiByte* const* bytes, size_t n, BidiClass embedding);

  std::vector<BidiClass> classes_;
  struct Opening {
    uint32_t id;
    size_t at;
  };
  std::vector<Opening> openings_;
  std::vector<std::pair<size_t, size_t>> pairs_;
};

}  // namespace kestrix::arabtext
