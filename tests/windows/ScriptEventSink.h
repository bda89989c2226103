// The script's event log: a dispatch sink on the control's connection point that keeps each
// stock event in its printed form.
#pragma once

#include <ocidl.h>

#include <string>
#include <vector>

class ScriptEventSink final : public IDispatch {
 public:
  // Connects to control's events; Disconnect (or the destructor) ends it.
  void Connect(IUnknown* control);
  void Disconnect();
  ~ScriptEventSink() { Disconnect(); }
  std::vector<std::string> Take();
  void Clear() { events_.clear(); }

  HRESULT STDMETHODCALLTYPE QueryInterface(REFIID riid, void** object) override;
  ULONG STDMETHODCALLTYPE AddRef() override { return 2; }  // lives as long as its host
  ULONG STDMETHODCALLTYPE Release() override { return 1; }
  HRESULT STDMETHODCALLTYPE GetTypeInfoCount(UINT* count) override;
  HRESULT STDMETHODCALLTYPE GetTypeInfo(UINT, LCID, ITypeInfo**) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE GetIDsOfNames(REFIID, LPOLESTR*, UINT, LCID, DISPID*) override {
    return E_NOTIMPL;
  }
  HRESULT STDMETHODCALLTYPE Invoke(DISPID dispid, REFIID, LCID, WORD, DISPPARAMS* params,
                                   VARIANT*, EXCEPINFO*, UINT*) override;

 private:
  std::vector<std::string> events_;
  IConnectionPoint* point_ = nullptr;
  DWORD cookie_ = 0;
};
