// The shipped module has no test hooks: its control answers no inspection interface, and
// KESTRIX_TEST_METRICS changes nothing. The test build of the module links InspectionObject.cpp
// and ControlInspection.cpp in place of this file.
#include "module/win32/ControlInstance.h"
#include "module/win32/InspectionObject.h"

namespace win32host {

bool TestMetricsAreFixed() { return false; }

bool ControlInstance::UseFixedMetrics() { return false; }

HRESULT InspectionFor(ActiveXControl&, void** object) {
  *object = nullptr;
  return E_NOINTERFACE;
}

}  // namespace win32host
