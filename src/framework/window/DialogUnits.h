// Dialog units to pixels: a dialog unit is a quarter of the dialog font's average character
// width across and an eighth of its height down.
#pragma once

#include "../WinTypes.h"
#include "../gdi/DialogFont.h"
#include "../resource/DialogTemplate.h"

namespace kestrix {

// number * numerator / denominator, rounded half away from zero; 0 when denominator is 0.
int MulDiv(int number, int numerator, int denominator);

// A template rectangle in pixels: its origin and its size are each converted, as a dialog's
// items are placed.
CRect DialogRectToPixels(const DialogUnitRect& rect, DialogBaseUnits base);

}  // namespace kestrix
