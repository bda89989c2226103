// Dispatch driven by a type description: names to DISPIDs, and Invoke's checks of flags,
// argument counts and types before the object's own handler runs. An object describes its
// members once (TypeDesc) and implements DispatchTarget.
#pragma once

#include "TypeLib.h"

namespace kestrix {

class DispatchTarget {
 public:
  // value is already of the property's type.
  virtual HRESULT GetProperty(DISPID dispid, VARIANT* result) = 0;
  virtual HRESULT PutProperty(DISPID dispid, const VARIANT& value) = 0;
  // args are in declared order, each converted to its parameter's type; by-reference ones
  // point at the caller's storage.
  virtual HRESULT CallMethod(DISPID dispid, VARIANT* args, VARIANT* result) = 0;

 protected:
  ~DispatchTarget() = default;
};

HRESULT DispatchGetIDsOfNames(const TypeDesc& type, REFIID riid, LPOLESTR* names, UINT count,
                              DISPID* dispids);
// Property get: DISPATCH_PROPERTYGET (with or without DISPATCH_METHOD), no arguments.
// Property put: DISPATCH_PROPERTYPUT, or PUTREF for object properties, with one argument named
// DISPID_PROPERTYPUT. Method: DISPATCH_METHOD with exactly its parameters, none named.
HRESULT DispatchInvoke(const TypeDesc& type, DispatchTarget& target, DISPID member, REFIID riid,
                       WORD flags, DISPPARAMS* params, VARIANT* result, UINT* argErr);

}  // namespace kestrix
