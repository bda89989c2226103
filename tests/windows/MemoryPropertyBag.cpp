#include "MemoryPropertyBag.h"

namespace kestrix {

MemoryPropertyBag::~MemoryPropertyBag() {
  for (auto& [name, value] : values_) VariantClear(&value);
}

HRESULT MemoryPropertyBag::Read(LPCOLESTR name, VARIANT* value, IErrorLog*) {
  if (!name || !value) return E_POINTER;
  auto found = values_.find(name);
  if (found == values_.end()) return E_INVALIDARG;
  const VARTYPE wanted = value->vt;
  VariantInit(value);
  if (wanted == VT_EMPTY) return VariantCopy(value, &found->second);
  return VariantChangeType(value, &found->second, 0, wanted);
}

HRESULT MemoryPropertyBag::Write(LPCOLESTR name, VARIANT* value) {
  if (!name || !value) return E_POINTER;
  VARIANT copy;
  VariantInit(&copy);
  HRESULT hr = VariantCopy(&copy, value);
  if (FAILED(hr)) return hr;
  Set(name, copy);
  return S_OK;
}

const VARIANT* MemoryPropertyBag::Find(const std::wstring& name) const {
  auto found = values_.find(name);
  return found == values_.end() ? nullptr : &found->second;
}

void MemoryPropertyBag::Set(const std::wstring& name, VARIANT value) {
  auto [slot, added] = values_.try_emplace(name, value);
  if (!added) {
    VariantClear(&slot->second);
    slot->second = value;
  }
}

}  // namespace kestrix
