#include "arabtext/ChunkedWords.h"

#include <algorithm>
#include <cstring>

#include "arabtext/LoadedFont.h"
#include "arabtext/SegmentShaper.h"

namespace arabtext {
namespace {

// How far past a position the decision whether to cut there looks.
constexpr size_t kReach = ChunkedWords::kWindow + ChunkedWords::kContext;

bool SamePlacement(const hb_glyph_info_t& a, const hb_glyph_position_t& pa,
                   const hb_glyph_info_t& b, const hb_glyph_position_t& pb) {
  return a.codepoint == b.codepoint && a.cluster == b.cluster && pa.x_advance == pb.x_advance &&
         pa.y_advance == pb.y_advance && pa.x_offset == pb.x_offset && pa.y_offset == pb.y_offset;
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

bool ChunkedWords::IsSafeCut(hb_font_t* font, const RunStyle& style, std::string_view word,
                             size_t at) {
  // One slice for the window and both sides, so clusters compare directly; each side still
  // sees the same context it has when shaped as a chunk.
  const size_t from = at - kReach;
  codePoints_.clear();
  AppendCodePoints(word.substr(from, 2 * kReach), codePoints_);
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
    CopyGlyphs(pieceInfos_, piecePositions_);
  }
  if (pieceInfos_.size() != windowInfos_.size()) return false;
  for (size_t i = 0; i < windowInfos_.size(); ++i)
    if (!SamePlacement(windowInfos_[i], windowPositions_[i], pieceInfos_[i], piecePositions_[i]))
      return false;
  return true;
}

ChunkedWords::Memo& ChunkedWords::Cut(const LoadedFont& font, FontSlot slot, std::string_view word,
                                      bool& known) {
  const auto slotByte = static_cast<uint8_t>(slot);
  Memo* memo = nullptr;
  size_t common = 0;
  for (Memo& m : memos_) {
    if (m.font != font.Serial() || m.slot != slotByte) continue;
    const size_t length = std::min(m.text.size(), word.size());
    // A growing or shrinking word is the usual case, and memcmp checks it fastest.
    const size_t same =
        std::memcmp(word.data(), m.text.data(), length) == 0
            ? length
            : static_cast<size_t>(std::mismatch(word.begin(),
                                                word.begin() + static_cast<std::ptrdiff_t>(length),
                                                m.text.begin())
                                      .first -
                                  word.begin());
    if (same > common) {
      common = same;
      memo = &m;
    }
  }
  if (!memo) {
    memo = &*std::min_element(memos_.begin(), memos_.end(),
                              [](const Memo& a, const Memo& b) { return a.lastUse < b.lastUse; });
    memo->font = font.Serial();
    memo->slot = slotByte;
    memo->text.clear();
    memo->cuts.clear();
    memo->widthBefore.clear();
    memo->scan = kGrid;
  }
  Memo& m = *memo;
  m.lastUse = ++clock_;
  known = common == word.size() && common == m.text.size() && m.measured;
  if (known) return m;
  m.measured = false;

  // Keep the decisions that looked at no byte past the common part.
  if (m.scan - 1 + kReach > common) {
    while (!m.cuts.empty() && m.cuts.back() + kReach > common) {
      m.cuts.pop_back();
      m.widthBefore.pop_back();
    }
    m.scan = m.cuts.empty() ? kGrid : (m.cuts.back() / kGrid + 1) * kGrid;
  }
  m.text.resize(common);
  m.text.append(word.substr(common));

  hb_font_t* const hb = font.HbFont();
  const RunStyle style = RunStyleOf(slot, word);
  size_t last = m.cuts.empty() ? 0 : m.cuts.back();
  int64_t before = m.widthBefore.empty() ? 0 : m.widthBefore.back();
  while (m.scan + kReach <= word.size()) {
    const size_t at = m.scan;
    const size_t grid = at / kGrid * kGrid;
    if (IsSafeCut(hb, style, word, at)) {
      ShapeChunk(hb, style, word, last, at);
      before += RoundedWidth(buffer_, 0, nullptr);
      m.cuts.push_back(static_cast<uint32_t>(at));
      m.widthBefore.push_back(before);
      last = at;
      m.scan = grid + kGrid;
    } else {
      m.scan = at + 1 < grid + kSearch ? at + 1 : grid + kGrid;
    }
  }
  return m;
}

int32_t ChunkedWords::Width(const LoadedFont& font, FontSlot slot, std::string_view word) {
  bool known = false;
  Memo& m = Cut(font, slot, word, known);
  if (known) return m.width;
  const size_t last = m.cuts.empty() ? 0 : m.cuts.back();
  ShapeChunk(font.HbFont(), RunStyleOf(slot, word), word, last, word.size());
  const int64_t width =
      (m.widthBefore.empty() ? 0 : m.widthBefore.back()) + RoundedWidth(buffer_, 0, nullptr);
  m.width = static_cast<int32_t>(std::clamp<int64_t>(width, INT32_MIN, INT32_MAX));
  m.measured = true;
  return m.width;
}

int32_t ChunkedWords::Shape(const LoadedFont& font, FontSlot slot, std::string_view word,
                            std::vector<PlacedGlyph>& glyphs) {
  bool known = false;
  Memo& m = Cut(font, slot, word, known);
  const RunStyle style = RunStyleOf(slot, word);
  const size_t chunks = m.cuts.size() + 1;
  auto bound = [&](size_t i) -> size_t {
    return i == 0 ? 0 : i == chunks ? word.size() : m.cuts[i - 1];
  };
  int32_t pen = 0;
  // Right-to-left chunks are placed from the logically last one on.
  const bool rtl = style.direction == HB_DIRECTION_RTL;
  for (size_t k = 0; k < chunks; ++k) {
    const size_t i = rtl ? chunks - 1 - k : k;
    ShapeChunk(font.HbFont(), style, word, bound(i), bound(i + 1));
    pen += RoundedWidth(buffer_, pen, &glyphs);
  }
  m.width = pen;
  m.measured = true;
  return pen;
}

}  // namespace arabtext
