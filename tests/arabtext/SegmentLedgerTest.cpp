// Lines measured as the control measures them, long ones edited at random places and short
// ones laid out a byte at a time: every width equals splitting and measuring the whole line
// afresh, whichever fonts and lines were measured before.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "InkHelpers.h"
#include "arabtext/FontStore.h"
#include "arabtext/LineMeasurer.h"

namespace kestrix::arabtext {
namespace {

using testing::Cp;
using testing::MakeFont;

class Random {
 public:
  explicit Random(uint32_t seed) : state_(seed) {}
  uint32_t Below(uint32_t n) {
    state_ = state_ * 1664525u + 1013904223u;
    return (state_ >> 8) % n;
  }

 private:
  uint32_t state_;
};

// Words, numbers, spaces, punctuation, marks, direction marks and a tab: the bytes whose
// neighbours decide how a line splits and which font its neutrals take.
const std::vector<std::string>& Pieces() {
  static const std::vector<std::string> pieces{
      "word", "Fig", Cp("كتاب"), Cp("مَدْرَسَة"), "2024", " ", " ", "  ", ".", "(", ")", Cp("،"), Cp("؟"),
      "\xFD", "\xFE", "\t", "%", Cp("ـ"), "e", Cp("ب"), "-", "1"};
  return pieces;
}

int64_t WholeWidth(SegmentShaper& shaper, const FontPair& fonts, std::string_view text) {
  std::vector<Segment> segments;
  SplitSegments(text, 0, false, fonts.Classes(), segments);
  int64_t width = 0;
  for (const Segment& s : segments)
    if (s.kind != SegmentKind::kInvisible)
      width += shaper.Width(fonts.Font(s.slot), s.slot, text.substr(s.begin, s.end - s.begin));
  return width;
}

// Two font pairs, a measurer, and a shaper of its own for measuring lines split whole.
struct Measuring {
  Measuring() {
    const LOGFONT latin = MakeFont("Times New Roman"), arabic = MakeFont("Fonta");
    const LOGFONT latin2 = MakeFont("Arial", 21), arabic2 = MakeFont("Tahoma", 21);
    fonts = store.Pair(FontRequestFromLogFont(&latin), FontRequestFromLogFont(&arabic));
    others = store.Pair(FontRequestFromLogFont(&latin2), FontRequestFromLogFont(&arabic2));
  }
  FontStore store;
  std::shared_ptr<FontPair> fonts, others;
  SegmentShaper shaper, reference;
  LineMeasurer measurer{shaper};
};

TEST(SegmentLedgerTest, EditedLongLinesMeasureAsSplitWhole) {
  Measuring m;
  auto& [store, fonts, others, shaper, reference, measurer] = m;
  Random random(5);
  std::string line;
  while (line.size() < 9000) line += Pieces()[random.Below(static_cast<uint32_t>(Pieces().size()))];

  for (int step = 0; step < 400; ++step) {
    const std::string& piece = Pieces()[random.Below(static_cast<uint32_t>(Pieces().size()))];
    const size_t at = random.Below(static_cast<uint32_t>(line.size()));
    switch (random.Below(5)) {
      case 0:
      case 1:
        line.insert(at, piece);
        break;
      case 2:
        line.erase(at, 1 + random.Below(40));
        break;
      case 3:
        line[at] = piece[0];
        break;
      default:
        line.insert(line.size() - random.Below(3), piece);  // at or near the end
        break;
    }
    const FontPair& used = step % 50 == 49 ? *others : *fonts;
    ASSERT_EQ(measurer.Width(used, line), WholeWidth(reference, used, line)) << "step " << step;
    // The caret's measure: a start of the line, with a tatweel after it now and then.
    std::string start = line.substr(0, random.Below(static_cast<uint32_t>(line.size())) + 1);
    if (step % 3 == 0) start += Cp("ـ");
    ASSERT_EQ(measurer.Width(used, start), WholeWidth(reference, used, start)) << "step " << step;
  }
}

TEST(SegmentLedgerTest, EditsThatChangeTheFontOfNeutralsOrRunPastTheFirstWindow) {
  FontStore store;
  const LOGFONT latin = MakeFont("Times New Roman"), arabic = MakeFont("Fonta");
  auto fonts = store.Pair(FontRequestFromLogFont(&latin), FontRequestFromLogFont(&arabic));
  SegmentShaper shaper, reference;
  LineMeasurer measurer(shaper);
  std::string filler;
  while (filler.size() < 5000) filler += "some words " + Cp("كتاب ");
  auto check = [&](const std::string& before, const std::string& after) {
    ASSERT_EQ(measurer.Width(*fonts, before), WholeWidth(reference, *fonts, before));
    ASSERT_EQ(measurer.Width(*fonts, after), WholeWidth(reference, *fonts, after));
  };
  // Spaces between Arabic words take the Arabic font; between Arabic and Latin, the Latin one.
  ASSERT_NE(WholeWidth(reference, *fonts, Cp("ب   ب")) - WholeWidth(reference, *fonts, Cp("بب")),
            WholeWidth(reference, *fonts, "b   b") - WholeWidth(reference, *fonts, "bb"));
  check(filler + Cp("كتاب") + "     x" + filler, filler + Cp("كتاب") + "     " + Cp("ب") + filler);
  check(filler + Cp("كتاب") + "     " + Cp("ب") + filler, filler + Cp("كتاب") + "     x" + filler);
  // A word and a run of spaces far longer than the first window split after the change.
  std::string longWord;
  while (longWord.size() < 700) longWord += Cp("بسم");  // joined letters: cut, their forms change
  const std::string longSpaces(700, ' ');
  check(filler + Cp("ك") + longWord + filler, filler + Cp("ك ") + longWord + filler);
  check(filler + Cp("ب") + longSpaces + Cp("ب") + filler, filler + Cp("ب") + longSpaces + "x" + filler);
  // A window of the changed line that ends just after Arabic punctuation: the spaces after it
  // take the Arabic font, as the state the punctuation leaves says. The change inside a long
  // word puts the window's end (256 bytes past it) right after the comma.
  const std::string word(265, '\xE3');
  const std::string after = Cp("،") + "   " + Cp("بب ") + filler;
  check(filler + "end " + word + after, filler + "end " + word.substr(0, 10) + "\xC8" + word.substr(10) + after);
}

// Short lines as the control lays them out: a byte at a time, cut back to a space when the
// line is full, its starts up to each space measured to find the cut, the rest begun on a
// new line, and now and then another line or the other fonts measured in between.
TEST(LineMeasurerTest, LinesLaidOutAByteAtATimeMeasureAsSplitWhole) {
  Measuring m;
  auto& [store, fonts, others, shaper, reference, measurer] = m;
  Random random(17);
  std::string source;
  while (source.size() < 6000) source += Pieces()[random.Below(static_cast<uint32_t>(Pieces().size()))];
  auto expectSame = [&](const FontPair& used, std::string_view text) {
    ASSERT_EQ(measurer.Width(used, text), WholeWidth(reference, used, text)) << Utf8FromCp1256(std::string(text));
  };
  std::string line;
  for (char c : source) {
    line.push_back(c);
    ASSERT_NO_FATAL_FAILURE(expectSame(*fonts, line));
    if (random.Below(40) == 0) {
      ASSERT_NO_FATAL_FAILURE(expectSame(*others, line));
    }
    if (random.Below(25) == 0) {
      ASSERT_NO_FATAL_FAILURE(expectSame(*fonts, source.substr(random.Below(100), 30)));
    }
    if (line.size() < 40 + random.Below(40)) continue;
    // Full: the starts up to each space, then the line cut after the last space that fits.
    size_t cut = 0;
    for (size_t space = line.find(' '); space != std::string::npos; space = line.find(' ', space + 1)) {
      ASSERT_NO_FATAL_FAILURE(expectSame(*fonts, std::string_view(line).substr(0, space)));
      if (random.Below(3) != 0) cut = space + 1;
    }
    if (cut == 0) continue;
    ASSERT_NO_FATAL_FAILURE(expectSame(*fonts, std::string_view(line).substr(0, cut)));
    line.erase(0, cut);
    ASSERT_NO_FATAL_FAILURE(expectSame(*fonts, line));
  }
}

}  // namespace
}  // namespace kestrix::arabtext
