// A container's property bag held in memory: named values as the container keeps them, for
// the tests to read, change and hand back.
#pragma once

#include <ocidl.h>

#include <map>
#include <string>

class MemoryPropertyBag final : public IPropertyBag {
 public:
  MemoryPropertyBag() = default;
  ~MemoryPropertyBag();
  MemoryPropertyBag(const MemoryPropertyBag&) = delete;
  MemoryPropertyBag& operator=(const MemoryPropertyBag&) = delete;

  HRESULT STDMETHODCALLTYPE QueryInterface(REFIID riid, void** object) override;
  // Lives on the test's stack.
  ULONG STDMETHODCALLTYPE AddRef() override { return 2; }
  ULONG STDMETHODCALLTYPE Release() override { return 1; }
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
