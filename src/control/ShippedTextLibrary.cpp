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

CKestrixCtrl::CKestrixCtrl() : CKestrixCtrl(std::make_unique<RealTextLibrary>(SharedArabTextLibrary())) {
  // The control's own reading order is pointed at once the control exists: naming a member
  // while the delegated constructor's arguments are worked out reaches into an object not yet
  // made.
  static_cast<RealTextLibrary&>(*m_OwnTextLib).FollowOrder(&m_ReadingOrder);
}

CKestrixCtrl::CKestrixCtrl(std::unique_ptr<TextLibrary> own) : CKestrixCtrl(*own) {
  m_OwnTextLib = std::move(own);
}

}  // namespace kestrix
