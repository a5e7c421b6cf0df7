#include "server/error_bridge.h"

#include "engine/windows1252.h"
#include "vozcom/c_boundary.h"

namespace voziroz {

void FillExceptionInfo(const ErrorInfo& error, EXCEPINFO& exception) {
  exception = EXCEPINFO{};
  exception.bstrSource = NewBstr(AnsiToUtf16(error.Source));
  try {
    exception.bstrDescription = NewBstr(AnsiToUtf16(error.Description));
  } catch (...) {
    vz_bstr_free(exception.bstrSource);
    exception.bstrSource = nullptr;
    throw;
  }
  exception.dwHelpContext = error.HelpContext;
  exception.scode = error.Number;
}

void SetErrorInfoOf(const ErrorInfo& error) noexcept {
  IErrorInfo* info = nullptr;
  try {
    const std::u16string source = AnsiToUtf16(error.Source);
    const std::u16string description = AnsiToUtf16(error.Description);
    vz_create_error_info(&IID_IUnknown, reinterpret_cast<const OLECHAR*>(source.c_str()),
                         reinterpret_cast<const OLECHAR*>(description.c_str()), error.HelpContext,
                         &info);
  } catch (...) {
    info = nullptr;
  }
  vz_set_error_info(0, info);
  if (info) info->lpVtbl->Release(info);
}

}  // namespace voziroz
