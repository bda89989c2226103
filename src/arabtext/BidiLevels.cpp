#include "arabtext/BidiLevels.h"

#include <fribidi.h>

#include <algorithm>
#include <array>

#include "arabtext/Cp1256.h"

namespace kestrix::arabtext {

namespace {

BidiClass ClassOf(FriBidiCharType type) {
  switch (type) {
    case FRIBIDI_TYPE_LTR: return BidiClass::L;
    case FRIBIDI_TYPE_RTL: return BidiClass::R;
    case FRIBIDI_TYPE_AL: return BidiClass::AL;
    case FRIBIDI_TYPE_EN: return BidiClass::EN;
    case FRIBIDI_TYPE_AN: return BidiClass::AN;
    case FRIBIDI_TYPE_ES: return BidiClass::ES;
    case FRIBIDI_TYPE_ET: return BidiClass::ET;
    case FRIBIDI_TYPE_CS: return BidiClass::CS;
    case FRIBIDI_TYPE_NSM: return BidiClass::NSM;
    case FRIBIDI_TYPE_BS: return BidiClass::B;
    case FRIBIDI_TYPE_SS: return BidiClass::S;
    case FRIBIDI_TYPE_WS: return BidiClass::WS;
    case FRIBIDI_TYPE_ON: return BidiClass::ON;
    default: return BidiClass::Removed;  // embeddings, overrides, isolates, boundary neutrals
  }
}

// The direction a resolved class gives its neighbours: numbers count as right to left.
enum class Side : uint8_t { None, Left, Right };
Side SideOf(BidiClass c) {
  switch (c) {
    case BidiClass::L: return Side::Left;
    case BidiClass::R:
    case BidiClass::EN:
    case BidiClass::AN: return Side::Right;
    default: return Side::None;
  }
}

bool IsNeutral(BidiClass c) {
  return c == BidiClass::B || c == BidiClass::S || c == BidiClass::WS || c == BidiClass::ON;
}

}  // namespace

const BidiByte* BidiBytes() {
  static const std::array<BidiByte, 256> table = [] {
    std::array<BidiByte, 256> t{};
    for (int b = 0; b < 256; ++b) {
      const FriBidiChar code = UnicodeFromCp1256(static_cast<uint8_t>(b));
      FriBidiCharType type = 0;
      FriBidiBracketType bracket = FRIBIDI_NO_BRACKET;
      fribidi_get_bidi_types(&code, 1, &type);
      fribidi_get_bracket_types(&code, 1, &type, &bracket);
      t[static_cast<size_t>(b)] = {type, bracket, ClassOf(type)};
    }
    return t;
  }();
  return table.data();
}

bool BidiLevels::Resolve(const BidiByte* const* bytes, size_t n, bool& rightToLeft, int8_t* levels) {
  classes_.resize(n);
  BidiClass carrier = BidiClass::L;  // the last character that is not a mark
  for (size_t i = 0; i < n; ++i) {
    const BidiClass c = classes_[i] = bytes[i]->bidiClass;
    if (c == BidiClass::Removed || (c == BidiClass::B && i + 1 < n)) return false;
    // FriBidi merges a mark into the run of the neutral before it, and a bracket after the
    // mark then loses its pairing: such text is FriBidi's to resolve.
    if (c == BidiClass::NSM && i > 0 && IsNeutral(carrier)) return false;
    if (c != BidiClass::NSM) carrier = c;
  }
  BidiClass* t = classes_.data();

  // The paragraph's direction: its first strong character's.
  for (size_t i = 0; i < n; ++i) {
    if (t[i] == BidiClass::L) {
      rightToLeft = false;
      break;
    }
    if (t[i] == BidiClass::R || t[i] == BidiClass::AL) {
      rightToLeft = true;
      break;
    }
  }
  const BidiClass embedding = rightToLeft ? BidiClass::R : BidiClass::L;  // also the run's two ends

  // A mark takes its base's class; numbers after Arabic letters are Arabic numbers; Arabic
  // letters are right to left.
  BidiClass previous = embedding, strong = embedding;
  for (size_t i = 0; i < n; ++i) {
    if (t[i] == BidiClass::NSM) t[i] = previous;
    previous = t[i];
    if (t[i] == BidiClass::L || t[i] == BidiClass::R || t[i] == BidiClass::AL)
      strong = t[i];
    else if (t[i] == BidiClass::EN && strong == BidiClass::AL)
      t[i] = BidiClass::AN;
  }
  for (size_t i = 0; i < n; ++i)
    if (t[i] == BidiClass::AL) t[i] = BidiClass::R;
  // One separator between two numbers of its kind joins them.
  for (size_t i = 1; i + 1 < n; ++i) {
    const BidiClass before = t[i - 1];
    if (before != t[i + 1]) continue;
    if (t[i] == BidiClass::ES && before == BidiClass::EN) t[i] = BidiClass::EN;
    if (t[i] == BidiClass::CS && (before == BidiClass::EN || before == BidiClass::AN)) t[i] = before;
  }
  // Terminators next to a European number belong to it.
  for (size_t i = 0; i < n;) {
    if (t[i] != BidiClass::ET) {
      ++i;
      continue;
    }
    size_t end = i;
    while (end < n && t[end] == BidiClass::ET) ++end;
    if ((i > 0 && t[i - 1] == BidiClass::EN) || (end < n && t[end] == BidiClass::EN))
      std::fill(t + i, t + end, BidiClass::EN);
    i = end;
  }
  // Separators and terminators left over are neutral; European numbers in left-to-right
  // context are left to right.
  strong = embedding;
  for (size_t i = 0; i < n; ++i) {
    if (t[i] == BidiClass::ES || t[i] == BidiClass::ET || t[i] == BidiClass::CS) t[i] = BidiClass::ON;
    if (t[i] == BidiClass::L || t[i] == BidiClass::R)
      strong = t[i];
    else if (t[i] == BidiClass::EN && strong == BidiClass::L)
      t[i] = BidiClass::L;
  }

  ResolveBrackets(bytes, n, embedding);

  // Neutrals between two sides of one direction take it; the others the paragraph's.
  for (size_t i = 0; i < n;) {
    if (!IsNeutral(t[i])) {
      ++i;
      continue;
    }
    size_t end = i;
    while (end < n && IsNeutral(t[end])) ++end;
    const Side before = i == 0 ? SideOf(embedding) : SideOf(t[i - 1]);
    const Side after = end == n ? SideOf(embedding) : SideOf(t[end]);
    const BidiClass chosen = before == after ? (before == Side::Left ? BidiClass::L : BidiClass::R) : embedding;
    std::fill(t + i, t + end, chosen);
    i = end;
  }

  const int8_t base = rightToLeft ? 1 : 0;
  for (size_t i = 0; i < n; ++i) {
    if (!rightToLeft)
      levels[i] = static_cast<int8_t>(t[i] == BidiClass::R ? 1 : t[i] == BidiClass::L ? 0 : 2);
    else
      levels[i] = static_cast<int8_t>(t[i] == BidiClass::R ? 1 : 2);
  }
  // Separators, and the white space before them and at the paragraph's end, go back to the
  // paragraph's level.
  bool reset = true;
  for (size_t i = n; i-- > 0;) {
    const BidiClass original = bytes[i]->bidiClass;
    if (original == BidiClass::S || original == BidiClass::B) {
      levels[i] = base;
      reset = true;
    } else if (original == BidiClass::WS && reset) {
      levels[i] = base;
    } else {
      reset = false;
    }
  }
  return true;
}

// Paired brackets take the direction of what they enclose: the paragraph's when it holds
// any of it, the other when it holds only that and the text before agrees.
void BidiLevels::ResolveBrackets(const BidiByte* const* bytes, size_t n, BidiClass embedding) {
  BidiClass* t = classes_.data();
  constexpr size_t kDeepest = 63;  // the pairing stops where the standard's stack ends
  openings_.clear();
  pairs_.clear();
  for (size_t i = 0; i < n; ++i) {
    const uint32_t bracket = bytes[i]->bracket;
    if (bracket == FRIBIDI_NO_BRACKET || t[i] != BidiClass::ON) continue;
    const uint32_t id = FRIBIDI_BRACKET_ID(bracket);
    if (FRIBIDI_IS_BRACKET_OPEN(bracket)) {
      if (openings_.size() == kDeepest) break;
      openings_.push_back({id, i});
      continue;
    }
    for (size_t k = openings_.size(); k-- > 0;)
      if (openings_[k].id == id) {
        pairs_.emplace_back(openings_[k].at, i);
        openings_.resize(k);
        break;
      }
  }
  std::sort(pairs_.begin(), pairs_.end());

  const Side own = SideOf(embedding);
  for (const auto& [open, close] : pairs_) {
    bool ownInside = false, otherInside = false;
    for (size_t k = open + 1; k < close && !ownInside; ++k) {
      const Side side = SideOf(t[k]);
      ownInside = side == own;
      otherInside = otherInside || (side != Side::None && side != own);
    }
    BidiClass chosen;
    if (ownInside) {
      chosen = embedding;
    } else if (otherInside) {
      Side before = own;
      for (size_t k = open; k-- > 0;)
        if (const Side side = SideOf(t[k]); side != Side::None) {
          before = side;
          break;
        }
      chosen = before != own ? (own == Side::Left ? BidiClass::R : BidiClass::L) : embedding;
    } else {
      continue;
    }
    for (size_t at : {open, close}) {
      t[at] = chosen;
      // Marks on a bracket follow it.
      for (size_t k = at + 1; k < n && bytes[k]->bidiClass == BidiClass::NSM; ++k) t[k] = chosen;
    }
  }
}

}  // namespace kestrix::arabtext
