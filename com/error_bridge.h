// How an error raised inside a member reaches the caller: as the EXCEPINFO of IDispatch::Invoke,
// or as the thread's error information after a call through the function table. The texts are
// converted from the ANSI code page to UTF-16.
#pragma once

#include "automation/error.h"
#include "com/platform.h"

namespace voziroz {

// Fills `exception` (wCode 0, scode the number, source, description, help context). Throws
// std::bad_alloc (then `exception` holds nothing).
void FillExceptionInfo(const ErrorInfo& error, EXCEPINFO& exception);

// Makes the error the calling thread's error information. Never throws.
void SetErrorInfoOf(const ErrorInfo& error) noexcept;

}  // namespace voziroz
