#include "arabtext/ChunkedWords.h"

#include <algorithm>
#include <climits>
#include <cstring>

#include "framework/text/CommonEnds.h"
#include "arabtext/LoadedFont.h"
#include "arabtext/SegmentShaper.h"

namespace kestrix::arabtext {
namespace {

static_assert(ChunkedWords::kGrid == 64, "the hash below hits once in 64");
static_assert(ChunkedWords::kMinChunk >= ChunkedWords::kHashBytes);

// A word edited in place keeps its memo when the edit replaced at most this many bytes and
// an eighth of the word: a start of a word measured for a caret must not displace the word.
constexpr size_t kEditBytes = 4096;

bool SamePlacement(const hb_glyph_info_t& a, const hb_glyph_position_t& pa,
                   const hb_glyph_info_t& b, const hb_glyph_position_t& pb) {
  return a.codepoint == b.codepoint && a.cluster == b.cluster && pa.x_advance == pb.x_advance &&
         pa.y_advance == pb.y_advance && pa.x_offset == pb.x_offset && pa.y_offset == pb.y_offset;
}

bool SameStyle(const RunStyle& a, const RunStyle& b) {
  return a.direction == b.direction && a.script == b.script && a.arabicLanguage == b.arabicLanguage;
}

}  // namespace

ChunkedWords::ChunkedWords() : buffer_(hb_buffer_create()) {}

ChunkedWords::~ChunkedWords() { hb_buffer_destroy(buffer_); }

void ChunkedWords::ShapeChunk(hb_font_t* font, const RunStyle& style, std::string_view word,
                              size_t begin, size_t end) {
  const size_t from = begin >= kContext ? begin - kContext : 0;
  const size_t to = std::min(word.size(), end + kContext);
  codePoints_.clear();
  AppendCodePoints(word.substr(from, to - from), codePoints_);
  shapedCodePoints_ += codePoints_.size();
  ShapeRange(buffer_, font, style, codePoints_, begin - from, end - from, begin == 0,
             end == word.size());
}

void ChunkedWords::CopyGlyphs(std::vector<hb_glyph_info_t>& infos,
                              std::vector<hb_glyph_position_t>& positions) {
  unsigned count = 0;
  const hb_glyph_info_t* i = hb_buffer_get_glyph_infos(buffer_, &count);
  const hb_glyph_position_t* p = hb_buffer_get_glyph_positions(buffer_, &count);
  infos.insert(infos.end(), i, i + count);
  positions.insert(positions.end(), p, p + count);
}

bool ChunkedWords::IsTried(std::string_view word, size_t at, size_t lastCut) const {
  const size_t distance = at - lastCut;
  if (distance < kMinChunk) return false;
  if (distance >= kMaxChunk) return true;
  uint32_t before = 0;
  std::memcpy(&before, word.data() + at - kHashBytes, kHashBytes);
  return (before * 0x9E3779B1u) >> 26 == 0;
}

bool ChunkedWords::IsSafeCut(hb_font_t* font, const RunStyle& style, std::string_view word,
                             size_t at) {
  // One slice for the window and both sides, so clusters compare directly; each side still
  // sees the same context it has when shaped as a chunk.
  const size_t from = at - kReach;
  codePoints_.clear();
  AppendCodePoints(word.substr(from, 2 * kReach), codePoints_);
  shapedCodePoints_ += codePoints_.size();
  const size_t cut = kReach;
  ShapeRange(buffer_, font, style, codePoints_, kContext, cut + kWindow, false, false);
  windowInfos_.clear();
  windowPositions_.clear();
  CopyGlyphs(windowInfos_, windowPositions_);
  const auto start = std::find_if(windowInfos_.begin(), windowInfos_.end(),
                                  [&](const hb_glyph_info_t& g) { return g.cluster == cut; });
  if (start == windowInfos_.end()) return false;  // inside a cluster
  if (!(hb_glyph_info_get_glyph_flags(&*start) & HB_GLYPH_FLAG_UNSAFE_TO_BREAK)) return true;

  // Shaped apart, the two sides must give the window's glyphs exactly, in visual order.
  pieceInfos_.clear();
  piecePositions_.clear();
  const bool rtl = style.direction == HB_DIRECTION_RTL;
  for (int side = 0; side < 2; ++side) {
    const bool left = (side == 0) != rtl;  // logically first
    ShapeRange(buffer_, font, style, codePoints_, left ? kContext : cut, left ? cut : cut + kWindow,
               false, false);
    shapedCodePoints_ += codePoints_.size();
    CopyGlyphs(pieceInfos_, piecePositions_);
  }
  if (pieceInfos_.size() != windowInfos_.size()) return false;
  for (size_t i = 0; i < windowInfos_.size(); ++i)
    if (!SamePlacement(windowInfos_[i], windowPositions_[i], pieceInfos_[i], piecePositions_[i]))
      return false;
  return true;
}

void ChunkedWords::Resolve(hb_font_t* font, const RunStyle& style, std::string_view word,
                           const Memo* from, size_t prefix, size_t suffix, Memo& out) {
  std::vector<uint32_t>& cuts = out.cuts;
  std::vector<int64_t>& widthBefore = out.widthBefore;
  cuts.clear();
  widthBefore.clear();
  size_t last = 0;
  int64_t before = 0;
  size_t at = 0;
  if (from && prefix >= kReach) {
    // Whether to cut at a position up to prefix - kReach was decided on bytes both words
    // share, after the same earlier cuts; so were the widths of the chunks before it.
    const auto kept = std::upper_bound(from->cuts.begin(), from->cuts.end(), prefix - kReach);
    cuts.assign(from->cuts.begin(), kept);
    widthBefore.assign(from->widthBefore.begin(), from->widthBefore.begin() + (kept - from->cuts.begin()));
    if (!cuts.empty()) {
      last = cuts.back();
      before = widthBefore.back();
    }
    at = prefix - kReach + 1;
  }
  at = std::max({at, last + kMinChunk, kReach});

  const size_t n = word.size();
  // From a cut whose decision read only the common suffix on, the two words are cut alike.
  const size_t alikeFrom = from ? n - suffix + kReach : SIZE_MAX;
  const std::ptrdiff_t shift = from ? static_cast<std::ptrdiff_t>(n) - static_cast<std::ptrdiff_t>(from->text.size()) : 0;
  size_t next = 0;  // the first cut of `from` not yet passed
  while (at + kReach <= n) {
    if (!IsTried(word, at, last) || !IsSafeCut(font, style, word, at)) {
      ++at;
      continue;
    }
    ShapeChunk(font, style, word, last, at);
    before += RoundedWidth(buffer_, 0, nullptr);
    cuts.push_back(static_cast<uint32_t>(at));
    widthBefore.push_back(before);
    last = at;
    if (at >= alikeFrom) {
      const auto old = static_cast<uint32_t>(static_cast<std::ptrdiff_t>(at) - shift);
      next = static_cast<size_t>(std::lower_bound(from->cuts.begin() + static_cast<std::ptrdiff_t>(next), from->cuts.end(), old) -
                                 from->cuts.begin());
      if (next < from->cuts.size() && from->cuts[next] == old) {
        const int64_t moved = before - from->widthBefore[next];
        for (size_t i = next + 1; i < from->cuts.size(); ++i) {
          cuts.push_back(static_cast<uint32_t>(static_cast<std::ptrdiff_t>(from->cuts[i]) + shift));
          widthBefore.push_back(from->widthBefore[i] + moved);
        }
        out.lastWidth = from->lastWidth;
        return;
      }
    }
    at += kMinChunk;
  }
  ShapeChunk(font, style, word, last, n);
  out.lastWidth = RoundedWidth(buffer_, 0, nullptr);
}

const ChunkedWords::Memo& ChunkedWords::Layout(const LoadedFont& font, FontSlot slot, std::string_view word) {
  const auto slotByte = static_cast<uint8_t>(slot);
  const RunStyle style = RunStyleOf(slot, word);
  Memo* best = nullptr;
  size_t bestPrefix = 0, bestSuffix = 0;
  for (Memo& m : memos_) {
    if (m.lastUse == 0 || m.font != font.Serial() || m.slot != slotByte || !SameStyle(m.style, style)) continue;
    const size_t prefix = CommonPrefix(word, m.text);
    if (prefix == word.size() && prefix == m.text.size()) {
      m.lastUse = ++clock_;
      return m;
    }
    const size_t suffix = CommonSuffix(word, m.text, std::min(word.size(), m.text.size()) - prefix);
    if (!best || prefix + suffix > bestPrefix + bestSuffix) {
      best = &m;
      bestPrefix = prefix;
      bestSuffix = suffix;
    }
  }
  const size_t shared = bestPrefix + bestSuffix;
  Memo* out = &aside_;
  if (!best || shared < word.size() / 2) {
    best = nullptr;
    out = &*std::min_element(memos_.begin(), memos_.end(),
                             [](const Memo& a, const Memo& b) { return a.lastUse < b.lastUse; });
  } else {
    const size_t longer = std::max(word.size(), best->text.size());
    if (longer - shared <= std::min(kEditBytes, longer / 8)) out = best;
  }
  Resolve(font.HbFont(), style, word, best, bestPrefix, bestSuffix, next_);
  std::swap(out->cuts, next_.cuts);
  std::swap(out->widthBefore, next_.widthBefore);
  out->lastWidth = next_.lastWidth;
  if (out == best)
    out->text.replace(bestPrefix, out->text.size() - shared, word.substr(bestPrefix, word.size() - shared));
  else
    out->text.assign(word);
  out->font = font.Serial();
  out->slot = slotByte;
  out->style = style;
  out->lastUse = out == &aside_ ? 0 : ++clock_;
  return *out;
}

int32_t ChunkedWords::Width(const LoadedFont& font, FontSlot slot, std::string_view word) {
  return static_cast<int32_t>(std::clamp<int64_t>(Layout(font, slot, word).Width(), INT32_MIN, INT32_MAX));
}

int32_t ChunkedWords::Shape(const LoadedFont& font, FontSlot slot, std::string_view word,
                            std::vector<PlacedGlyph>& glyphs) {
  return ShapeSpan(font, slot, word, INT64_MIN, INT64_MAX, glyphs);
}

int32_t ChunkedWords::ShapeSpan(const LoadedFont& font, FontSlot slot, std::string_view word, int64_t left,
                                int64_t right, std::vector<PlacedGlyph>& glyphs) {
  const Memo& m = Layout(font, slot, word);
  const int64_t width = m.Width();
  const size_t chunks = m.cuts.size() + 1;
  auto bound = [&](size_t i) -> size_t { return i == 0 ? 0 : i == chunks ? word.size() : m.cuts[i - 1]; };
  auto widthThrough = [&](size_t i) -> int64_t { return i < m.cuts.size() ? m.widthBefore[i] : width; };
  // Right-to-left chunks are placed from the logically last one on.
  const bool rtl = m.style.direction == HB_DIRECTION_RTL;
  for (size_t k = 0; k < chunks; ++k) {
    const size_t i = rtl ? chunks - 1 - k : k;
    const int64_t through = widthThrough(i);
    const int64_t start = i == 0 ? 0 : m.widthBefore[i - 1];
    const int64_t chunkLeft = rtl ? width - through : start;
    const int64_t chunkRight = chunkLeft + (through - start);
    if (chunkRight < left || chunkLeft >= right) continue;
    ShapeChunk(font.HbFont(), m.style, word, bound(i), bound(i + 1));
    RoundedWidth(buffer_, static_cast<int32_t>(std::clamp<int64_t>(chunkLeft, INT32_MIN, INT32_MAX)), &glyphs);
  }
  return static_cast<int32_t>(std::clamp<int64_t>(width, INT32_MIN, INT32_MAX));
}

}  // namespace kestrix::arabtext
