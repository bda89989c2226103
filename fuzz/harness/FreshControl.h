// The screen of a control at the end of a run against a second control made afresh on a display
// of its own and given the same settings, text, size, selection and first line: what a control
// shows must not depend on the road it took there. Both are shown without the focus.
#pragma once

#include <string>

namespace kestrix {

class CKestrixCtrl;
class CWnd;
class TextLibrary;

namespace fuzzing {

// Empty when both show the same pixels (or the state cannot be set up alike: a gesture under
// way, a view the fresh control cannot take), else what differs. library: the fresh control's
// text library (null for the shipped one). Moves the focus to container.
std::string CompareWithFreshControl(CKestrixCtrl& c, CWnd& container, TextLibrary* library);

}  // namespace fuzzing

}  // namespace kestrix
