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

int ArabTextLibrary::LineHeight(HDC hdc) { return impl_->FontsFor(hdc).LineHeight(); }
int ArabTextLibrary::Ascent(HDC hdc) { return impl_->FontsFor(hdc).Ascent(); }

}  // namespace kestrix::arabtext
