// ComCall: one call through a dual interface's function table, handed to the shared dispatcher
// by member number. The forwarding function adds its arguments in order (values for [in]
// parameters, then pointers for the [out] parameters and the [out, retval] result) and runs it.
//
// Errors: a null pointer for an [out] parameter gives E_POINTER and an [in] value that cannot be
// carried DISP_E_TYPEMISMATCH, both before the member runs; a refusal of the dispatcher gives
// its code; an error raised by the member becomes the thread's error information and its number
// is returned. [out] parameters are written only when the call succeeds.
#pragma once

#include <oaidl.h>
#include <windows.h>

#include <cstddef>
#include <vector>

#include "automation/dispatch.h"

namespace voziroz {

class ComCall {
 public:
  ComCall(AutomationObject& object, std::size_t member);

  void Add(const VARIANT& value);
  void Add(LONG value);
  void Add(VARIANT_BOOL value);
  void Add(BSTR value);
  void Add(IUnknown* object);  // an interface reference such as IParser*; may be null

  void Add(VARIANT* out) { AddOut(VT_VARIANT, out); }
  void Add(LONG* out) { AddOut(VT_I4, out); }
  void Add(VARIANT_BOOL* out) { AddOut(VT_BOOL, out); }
  void Add(BSTR* out) { AddOut(VT_BSTR, out); }
  void Add(SAFEARRAY** out) { AddOut(VT_ARRAY, out); }

  HRESULT Run();

 private:
  struct OutSlot {
    VARTYPE Type;
    void* Target;
  };
  void AddOut(VARTYPE type, void* target) { outs_.push_back({type, target}); }

  AutomationObject& object_;
  const MemberInfo& member_;
  std::vector<Variant> ins_;
  std::vector<OutSlot> outs_;
  HRESULT status_ = S_OK;  // a failure found while the arguments were added
};

}  // namespace voziroz
