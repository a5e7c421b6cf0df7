// IDispatch::GetIDsOfNames and IDispatch::Invoke of every object, over the automation core's
// dispatcher: DISPPARAMS in, VARIANT result, EXCEPINFO and argument position out.
#pragma once

#include "automation/automation_object.h"
#include "automation/interfaces.h"
#include "com/platform.h"

namespace voziroz {

// names[0] a member, the others its parameters (ids: their positions). Names compare without
// regard to case; unknown ones give DISP_E_UNKNOWNNAME with DISPID_UNKNOWN in their place.
HRESULT GetIDsOfNamesOf(const InterfaceInfo& iface, LPOLESTR* names, UINT count, DISPID* ids);

// `iid` must be IID_NULL (DISP_E_UNKNOWNINTERFACE) and `params` not null (E_INVALIDARG).
// Arguments: rgvarg in reverse order; named arguments only DISPID_PROPERTYPUT (the value of a
// put) and DISPID_THIS (ignored), else DISP_E_NONAMEDARGS. Each argument is converted to its
// parameter's declared type (value_bridge.h: FromArgument); VT_BYREF arguments are followed, and
// [out] parameters are written back through them, converted to the kind they refer to.
// Results: S_OK with *result (when not null); a refusal (DISP_E_TYPEMISMATCH, DISP_E_OVERFLOW,
// DISP_E_BADPARAMCOUNT, ...) with *argument_error the rgvarg index of the argument at fault;
// DISP_E_EXCEPTION with *exception filled (or, without one, the thread's error information).
HRESULT InvokeOf(AutomationObject& object, DISPID id, const IID* iid, WORD flags,
                 DISPPARAMS* params, VARIANT* result, EXCEPINFO* exception, UINT* argument_error);

}  // namespace voziroz
