#include "arabtext/ArabTextLibrary.h"

#include <algorithm>
#include <climits>
#include <optional>
#include <string_view>
#include <unordered_map>

#include "arabtext/FontStore.h"
#include "arabtext/LineMeasurer.h"
#include "arabtext/LineRenderer.h"
#include "arabtext/SegmentShaper.h"
#include "arabtext/ShownPart.h"
#include "arabtext/VisualOrder.h"

namespace kestrix::arabtext {

// Contexts that are never released are forgotten past this many, so a careless caller
// cannot grow the table without limit.
constexpr size_t kMaxContexts = 1024;

class ArabTextLibrary::Impl {
 public:
  Impl() : measurer_(shaper_), renderer_(shaper_) {}

  void Select(HDC hdc, const LOGFONT* latin, const LOGFONT* arabic) {
    std::shared_ptr<FontPair> pair = store_.Pair(FontRequestFromLogFont(latin), FontRequestFromLogFont(arabic));
    lastSelected_ = pair;
    if (!hdc) return;
    if (contexts_.size() >= kMaxContexts && !contexts_.count(hdc)) contexts_.clear();
    contexts_[hdc] = pair;
    lastContext_ = nullptr;
    hdc->selectedFontMetrics = pair->TextMetrics();
  }

  void Release(HDC hdc) {
    contexts_.erase(hdc);
    lastContext_ = nullptr;
  }

  // The fonts of hdc; those selected last for an unknown or null context; else defaults.
  const FontPair& FontsFor(HDC hdc) {
    // Measuring asks for the same context many times in a row.
    if (hdc && hdc == lastContext_) return *lastContextFonts_;
    if (hdc)
      if (auto it = contexts_.find(hdc); it != contexts_.end()) {
        lastContext_ = hdc;
        lastContextFonts_ = it->second.get();
        return *it->second;
      }
    if (!lastSelected_) lastSelected_ = store_.Pair(FontRequest{}, FontRequest{});
    return *lastSelected_;
  }

  int32_t Width(const FontPair& fonts, std::string_view text) { return measurer_.Width(fonts, text); }

  bool Place(const FontPair& fonts, std::string_view text, bool rtl, int32_t* left, int32_t* right, bool* runsRtl) {
    const size_t n = text.size();
    std::fill(left, left + n, -1);
    std::fill(right, right + n, -1);
    std::fill(runsRtl, runsRtl + n, false);
    segments_.clear();
    SplitSegments(text, 0, false, fonts.Classes(), segments_);
    const std::vector<OrderedSegment>& order = order_.Order(text, segments_, rtl);
    const bool paragraphRtl = segments_.empty() ? rtl : order_.RightToLeft();
    int64_t pen = 0;
    for (const OrderedSegment& placed : order) {
      const Segment& s = segments_[placed.index];
      const bool odd = placed.level % 2 == 1;
      const std::string_view bytes = text.substr(s.begin, s.end - s.begin);
      const auto at = static_cast<int32_t>(pen);
      if (s.kind == SegmentKind::kInvisible) {
        for (uint32_t i = s.begin; i < s.end; ++i) left[i] = right[i] = at, runsRtl[i] = odd;
        continue;
      }
      const LoadedFont& font = fonts.Font(s.slot);
      const int32_t width = shaper_.Width(font, s.slot, bytes);
      if (s.kind == SegmentKind::kWord && bytes.size() > 1) {
        shaper_.ByteEdges(font, s.slot, bytes, edgeLeft_, edgeRight_);
        for (size_t i = 0; i < bytes.size(); ++i) {
          left[s.begin + i] = at + edgeLeft_[i];
          right[s.begin + i] = at + edgeRight_[i];
          runsRtl[s.begin + i] = odd;
        }
      } else {
        for (uint32_t i = s.begin; i < s.end; ++i) left[i] = at, right[i] = at + width, runsRtl[i] = odd;
      }
      pen += width;
    }
    // Controls belong to no segment: they stand at the paragraph's end.
    const auto end = static_cast<int32_t>(paragraphRtl ? 0 : pen);
    for (size_t i = 0; i < n; ++i)
      if (left[i] < 0) left[i] = right[i] = end, runsRtl[i] = paragraphRtl;
    return paragraphRtl;
  }

  void Draw(HDC hdc, int32_t x, int32_t y, const FontPair& fonts, std::string_view text, bool rtl) {
    if (text.size() > kShownPartBytes && !renderer_.KnownAsOneWord(fonts, text, rtl))
      if (std::optional<LinePart> part = ShownPartOf(*hdc, x, fonts, text, rtl)) {
        if (part->end > part->begin)
          renderer_.Draw(*hdc, static_cast<int32_t>(part->x), y, fonts,
                         text.substr(part->begin, part->end - part->begin), rtl);
        return;
      }
    renderer_.Draw(*hdc, x, y, fonts, text, rtl);
  }

 private:
  // Lines longer than this are drawn from the part the clip can show.
  static constexpr size_t kShownPartBytes = 4096;

  std::optional<LinePart> ShownPartOf(const DeviceContext& dc, int32_t x, const FontPair& fonts, std::string_view text,
                                      bool rtl) {
    const std::vector<RECT>& clip = dc.ClipRects();
    if (clip.empty()) return LinePart{};
    int64_t left = clip.front().left, right = clip.front().right;
    for (const RECT& r : clip) left = std::min<int64_t>(left, r.left), right = std::max<int64_t>(right, r.right);
    std::optional<LinePart> part =
        shown_.Find(left, right, x, fonts, text, rtl, [&] { return measurer_.Width(fonts, text); });
    if (part && (part->x < INT32_MIN || part->x > INT32_MAX)) return std::nullopt;
    return part;
  }

  FontStore store_;
  SegmentShaper shaper_;
  LineMeasurer measurer_;
  LineRenderer renderer_;
  ShownPart shown_{shaper_};
  VisualOrder order_;
  std::vector<Segment> segments_;
  std::vector<int32_t> edgeLeft_, edgeRight_;
  std::shared_ptr<FontPair> lastSelected_;
  std::unordered_map<HDC, std::shared_ptr<FontPair>> contexts_;
  HDC lastContext_ = nullptr;
  const FontPair* lastContextFonts_ = nullptr;
};

ArabTextLibrary::ArabTextLibrary() : impl_(std::make_unique<Impl>()) {}
ArabTextLibrary::~ArabTextLibrary() = default;

void ArabTextLibrary::SelectFonts(HDC hdc, const LOGFONT* latin, const LOGFONT* arabic) {
  impl_->Select(hdc, latin, arabic);
}

void ArabTextLibrary::ReleaseDC(HDC hdc) { impl_->Release(hdc); }

SIZE ArabTextLibrary::TextExtent(HDC hdc, const char* chars, int32_t count) {
  if (!chars || count < 1) return {0, 0};
  const FontPair& fonts = impl_->FontsFor(hdc);
  return {impl_->Width(fonts, std::string_view(chars, static_cast<size_t>(count))), fonts.LineHeight()};
}

void ArabTextLibrary::TextOut(HDC hdc, int32_t x, int32_t y, const char* chars, int32_t count) {
  TextOut(hdc, x, y, chars, count, readingOrder_ != 0);
}

void ArabTextLibrary::TextOut(HDC hdc, int32_t x, int32_t y, const char* chars, int32_t count, bool rightToLeft) {
  if (!hdc || !chars || count < 1) return;
  const FontPair& fonts = impl_->FontsFor(hdc);
  impl_->Draw(hdc, x, y, fonts, std::string_view(chars, static_cast<size_t>(count)), rightToLeft);
}

bool ArabTextLibrary::DrawnBytes(HDC hdc, const char* chars, int32_t count, bool rightToLeft, int32_t* left,
                                 int32_t* right, bool* runsRightToLeft) {
  if (!chars || count < 1) return rightToLeft;
  const FontPair& fonts = impl_->FontsFor(hdc);
  return impl_->Place(fonts, std::string_view(chars, static_cast<size_t>(count)), rightToLeft, left, right,
                      runsRightToLeft);
}

int ArabTextLibrary::LineHeight(HDC hdc) { return impl_->FontsFor(hdc).LineHeight(); }
int ArabTextLibrary::Ascent(HDC hdc) { return impl_->FontsFor(hdc).Ascent(); }

}  // namespace kestrix::arabtext
