// The control made without a library of its own uses our Arabic text library: the fonts,
// shaped text and glyphs of one library shared by the process, drawn in the control's own
// reading order.
#include "control/KestrixCtrl.h"
#include "layout/RealTextLibrary.h"

namespace kestrix {

namespace {
arabtext::ArabTextLibrary& SharedArabTextLibrary() {
  static arabtext::ArabTextLibrary library;
  return library;
}
}  // namespace

// The delegated constructor points the library at the control's reading order.
CKestrixCtrl::CKestrixCtrl() : CKestrixCtrl(std::make_unique<RealTextLibrary>(SharedArabTextLibrary())) {}

CKestrixCtrl::CKestrixCtrl(std::unique_ptr<TextLibrary> own) : CKestrixCtrl(*own) {
  m_OwnTextLib = std::move(own);
}

}  // namespace kestrix
