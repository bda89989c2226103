// The script's event log: a dispatch sink on the control's connection point that keeps each
// stock event in its printed form.
#pragma once

#include <ocidl.h>

#include <string>
#include <vector>

#include "KestrixIdl.h"
#include "framework/ole/Unknown.h"

namespace kestrix {

// It lives as long as its host: its references are not counted.
class ScriptEventSink final
    : public kestrix::com::Object<kestrix::com::Uncounted, kestrix::com::Answer<IDispatch, IID_IUnknown, IID_IDispatch,
                                                     DIID__DKestrixEvents>> {
 public:
  // Connects to control's events; Disconnect (or the destructor) ends it.
  void Connect(IUnknown* control);
  void Disconnect();
  ~ScriptEventSink() { Disconnect(); }
  std::vector<std::string> Take();
  void Clear() { events_.clear(); }

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

}  // namespace kestrix
