// The control made without a library of its own uses our Arabic text library.
#include "control/KestrixCtrl.h"
#include "layout/RealTextLibrary.h"

namespace {
TextLibrary& ShippedTextLibrary() {
  static RealTextLibrary library;
  return library;
}
}  // namespace

CKestrixCtrl::CKestrixCtrl() : CKestrixCtrl(ShippedTextLibrary()) {}
