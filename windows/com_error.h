// Handing an automation error (automation/error.h) to the system: as the thread's error
// information (what a call through the function table leaves for the caller to fetch with
// GetErrorInfo), or in the EXCEPINFO of IDispatch::Invoke.
#pragma once

#include <oaidl.h>
#include <windows.h>

#include "automation/error.h"

namespace voziroz {

// Sets the thread's error information (interface IUnknown's IID, the error's source,
// description and help context, no help file) and returns the error's number.
HRESULT SetSystemErrorInfo(const ErrorInfo& error);

// Fills `info` (taken as holding nothing) with the error; scode is the error's number.
void FillExcepInfo(const ErrorInfo& error, EXCEPINFO& info);

}  // namespace voziroz
