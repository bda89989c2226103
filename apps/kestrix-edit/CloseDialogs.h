// The dialogs the editor shows when the window is closed with unsaved changes: the question
// (save, discard or stay), and the reason a save failed.
#pragma once

#include <string>

#include "framework/window/CWnd.h"

namespace kestrix {

enum class CloseChoice { Save, Discard, Cancel };

// Asks whether the changes to the file named go to the file first. Return saves, Escape stays;
// S, D and C press the buttons.
CloseChoice AskAboutUnsavedChanges(CWnd* owner, const std::string& fileName);
// Says that the file was not saved, and why; the window stays open.
void TellSaveFailed(CWnd* owner, const std::string& why);

}  // namespace kestrix
