// A container's property bag held in memory: named values as the container keeps them, for
// the tests to read, change and hand back.
#pragma once

#include <ocidl.h>

#include <map>
#include <string>

#include "framework/ole/Unknown.h"

namespace kestrix {

// It lives on the test's stack: its references are not counted.
class MemoryPropertyBag final
    : public kestrix::com::Object<kestrix::com::Uncounted,
                         kestrix::com::Answer<IPropertyBag, IID_IUnknown, IID_IPropertyBag>> {
 public:
  MemoryPropertyBag() = default;
  ~MemoryPropertyBag();
  MemoryPropertyBag(const MemoryPropertyBag&) = delete;
  MemoryPropertyBag& operator=(const MemoryPropertyBag&) = delete;

  // A value asked for as VT_EMPTY comes as it is kept, else converted to the type asked for.
  HRESULT STDMETHODCALLTYPE Read(LPCOLESTR name, VARIANT* value, IErrorLog* log) override;
  HRESULT STDMETHODCALLTYPE Write(LPCOLESTR name, VARIANT* value) override;

  // The kept value, or null.
  const VARIANT* Find(const std::wstring& name) const;
  // Replaces a value (the bag takes it).
  void Set(const std::wstring& name, VARIANT value);
  size_t Size() const { return values_.size(); }

 private:
  std::map<std::wstring, VARIANT> values_;
};

}  // namespace kestrix
