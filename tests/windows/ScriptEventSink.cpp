#include "ScriptEventSink.h"

#include "StockEventText.h"

namespace kestrix {

void ScriptEventSink::Connect(IUnknown* control) {
  Disconnect();
  IConnectionPointContainer* container = nullptr;
  if (FAILED(control->QueryInterface(IID_IConnectionPointContainer,
                                     reinterpret_cast<void**>(&container))))
    return;
  if (SUCCEEDED(container->FindConnectionPoint(DIID__DKestrixEvents, &point_)) &&
      FAILED(point_->Advise(static_cast<IDispatch*>(this), &cookie_))) {
    point_->Release();
    point_ = nullptr;
  }
  container->Release();
}

void ScriptEventSink::Disconnect() {
  if (!point_) return;
  point_->Unadvise(cookie_);
  point_->Release();
  point_ = nullptr;
}

std::vector<std::string> ScriptEventSink::Take() {
  std::vector<std::string> taken;
  taken.swap(events_);
  return taken;
}

HRESULT ScriptEventSink::GetTypeInfoCount(UINT* count) {
  *count = 0;
  return S_OK;
}

HRESULT ScriptEventSink::Invoke(DISPID dispid, REFIID, LCID, WORD, DISPPARAMS* params, VARIANT*,
                                EXCEPINFO*, UINT*) {
  std::vector<long> args;
  // The arguments come last first; by-reference ones (a key code the host may change) are read
  // through their reference.
  for (UINT i = params ? params->cArgs : 0; i-- > 0;) {
    VARIANT value;
    VariantInit(&value);
    long number = 0;
    if (SUCCEEDED(VariantCopyInd(&value, &params->rgvarg[i])) &&
        SUCCEEDED(VariantChangeType(&value, &value, 0, VT_I4)))
      number = value.lVal;
    VariantClear(&value);
    args.push_back(number);
  }
  events_.push_back(StockEventText(dispid, args));
  return S_OK;
}

}  // namespace kestrix
