// Checks that the screen shows what the control's fields describe.
#pragma once

#include <string>

#include "ControlHost.h"

namespace kestrix {

// The pixels of the client area that differ from a full repaint from the fields (lines, the
// highlight of the selection, the caret), counted over the rows the view describes; where is
// set to the first of them. The repaint is left on the screen.
int StalePixels(ControlHost& host, std::string* where = nullptr);

// StalePixels is 0, the scroll offset is that of the first visible line, and the caret is
// drawn on its line; pictures of both screens are written when they differ.
void ExpectScreenMatchesFields(ControlHost& host);

// Pixels of the client area whose colour differs between two captures.
int DifferingPixels(const Surface& a, const Surface& b);

}  // namespace kestrix
