// How an error raised inside a member reaches the caller at the C interface: as the EXCEPINFO of
// IDispatch::Invoke, or as the thread's error information after a call through the function
// table. The texts are converted from Windows-1252 to UTF-16.
#pragma once

#include "automation/error.h"
#include "include/voziroz.h"

namespace voziroz {

// Fills `exception` (wCode 0, scode the number, source, description, help context). Throws
// std::bad_alloc.
void FillExceptionInfo(const ErrorInfo& error, EXCEPINFO& exception);

// Makes the error the calling thread's error information (interface IUnknown's GUID). Never
// throws; when memory runs out the thread is left without error information.
void SetErrorInfoOf(const ErrorInfo& error) noexcept;

}  // namespace voziroz
