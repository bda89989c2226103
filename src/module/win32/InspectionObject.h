// The control's inspection interface for test hosts (KestrixInspection.h), as a tear-off that
// keeps the control alive while a host holds it. Only the test build of the module has it
// (InspectionObject.cpp); the shipped module's NoTestHooks.cpp answers neither hook.
#pragma once

#include <windows.h>

namespace win32host {

class ActiveXControl;

// Whether a test host asked for the fixed-metric text library (KESTRIX_TEST_METRICS=fixed),
// read as each control is created.
bool TestMetricsAreFixed();

// Answers QueryInterface for IID_IKestrixInspection on control.
HRESULT InspectionFor(ActiveXControl& control, void** object);

}  // namespace win32host
