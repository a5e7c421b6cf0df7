#include "com/error_bridge.h"

#include <string>

#include "com/runtime.h"
#include "engine/windows1252.h"

namespace voziroz {

void FillExceptionInfo(const ErrorInfo& error, EXCEPINFO& exception) {
  exception = EXCEPINFO{};
  exception.bstrSource = NewBstr(AnsiToUtf16(error.Source));
  try {
    exception.bstrDescription = NewBstr(AnsiToUtf16(error.Description));
  } catch (...) {
    FreeBstr(exception.bstrSource);
    exception.bstrSource = nullptr;
    throw;
  }
  exception.dwHelpContext = error.HelpContext;
  exception.scode = error.Number;
}

void SetErrorInfoOf(const ErrorInfo& error) noexcept {
  try {
    SetThreadErrorInfo(AnsiToUtf16(error.Source), AnsiToUtf16(error.Description),
                       error.HelpContext);
  } catch (...) {
    ClearThreadErrorInfo();
  }
}

}  // namespace voziroz
