#include "module/win32/InspectionObject.h"

#include <new>
#include <string>

#include "framework/ole/Unknown.h"
#include "module/win32/ActiveXControl.h"
#include "module/win32/KestrixInspection.h"

namespace win32host {

// This file speaks to the framework, whose names live in namespace kestrix.
using namespace kestrix;
namespace {

class Inspection final
    : public kestrix::com::Object<kestrix::com::Counted,
                         kestrix::com::Answer<IKestrixInspection, IID_IUnknown, IID_IKestrixInspection>> {
 public:
  explicit Inspection(ActiveXControl& control) : control_(control) { control_.AddRef(); }
  ~Inspection() override { control_.Release(); }

  HRESULT STDMETHODCALLTYPE LineCount(LONG* count) override {
    if (!count) return E_POINTER;
    *count = control_.Instance().Inspect().lineCount;
    return S_OK;
  }
  HRESULT STDMETHODCALLTYPE Line(LONG n, BSTR* chars, LONG* direction, BOOL* highlighted,
                                 LONG* highlightLeft, LONG* highlightRight) override {
    if (!chars || !direction || !highlighted || !highlightLeft || !highlightRight) return E_POINTER;
    *chars = nullptr;
    std::optional<ControlInstance::InspectedLine> line =
        control_.Instance().InspectLine(static_cast<int>(n));
    if (!line) return E_INVALIDARG;
    const std::wstring wide(line->chars.begin(), line->chars.end());
    *chars = SysAllocStringLen(wide.data(), static_cast<UINT>(wide.size()));
    *direction = line->direction;
    *highlighted = line->highlighted;
    *highlightLeft = line->highlightLeft;
    *highlightRight = line->highlightRight;
    return *chars ? S_OK : E_OUTOFMEMORY;
  }
  HRESULT STDMETHODCALLTYPE Caret(LONG* line, LONG* index, LONG* offset) override {
    if (!line || !index || !offset) return E_POINTER;
    const ControlInstance::InspectedState state = control_.Instance().Inspect();
    *line = state.caretLine;
    *index = state.caretIndex;
    *offset = state.caretOffset;
    return S_OK;
  }
  HRESULT STDMETHODCALLTYPE Visible(LONG* first, LONG* last) override {
    if (!first || !last) return E_POINTER;
    const ControlInstance::InspectedState state = control_.Instance().Inspect();
    *first = state.firstVisible;
    *last = state.lastVisible;
    return S_OK;
  }
  HRESULT STDMETHODCALLTYPE LinePoint(LONG line, LONG index, LONG* x, LONG* y) override {
    if (!x || !y) return E_POINTER;
    std::optional<std::pair<int, int>> at =
        control_.Instance().InspectPoint(static_cast<int>(line), static_cast<int>(index));
    if (!at) return E_INVALIDARG;
    *x = at->first;
    *y = at->second;
    return S_OK;
  }
  HRESULT STDMETHODCALLTYPE TextBottom(LONG* bottom) override {
    if (!bottom) return E_POINTER;
    *bottom = control_.Instance().Inspect().textBottom;
    return S_OK;
  }
  HRESULT STDMETHODCALLTYPE ScrollBar(BOOL* visible, BOOL* onLeft, LONG* position,
                                      LONG* maximum) override {
    if (!visible || !onLeft || !position || !maximum) return E_POINTER;
    const ControlInstance::InspectedState state = control_.Instance().Inspect();
    *visible = state.scrollBarVisible;
    *onLeft = state.scrollBarOnLeft;
    *position = state.scrollPosition;
    *maximum = state.scrollMaximum;
    return S_OK;
  }

 private:
  ActiveXControl& control_;
};

}  // namespace

bool TestMetricsAreFixed() {
  wchar_t value[16] = {};
  const DWORD length = GetEnvironmentVariableW(kKestrixTestMetricsVariable, value, 16);
  return length > 0 && length < 16 && lstrcmpiW(value, L"fixed") == 0;
}

HRESULT InspectionFor(ActiveXControl& control, void** object) {
  auto* made = new (std::nothrow) Inspection(control);
  if (!made) return E_OUTOFMEMORY;
  *object = static_cast<IKestrixInspection*>(made);
  return S_OK;
}

}  // namespace win32host
