// The control's resources, which the module carries: strings, the right-button menu, the about
// box and property page dialogs, the version information, the toolbox bitmap and the icon.
#pragma once

#include "framework/resource/ResourceTable.h"
#include "resources/ResourceIds.h"

namespace kestrix {

// Built once, on first use, and kept for the life of the process.
const ResourceTable& KestrixResources();

// The parts the table is built from, each defined in its own file.
DialogTemplate KestrixAboutBoxTemplate();
DialogTemplate KestrixPropPageTemplate();
ImageResource KestrixToolboxBitmap();
ImageResource KestrixIcon();

}  // namespace kestrix
