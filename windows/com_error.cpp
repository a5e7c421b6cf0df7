#include "windows/com_error.h"

#include "windows/com_value.h"

namespace voziroz {

HRESULT SetSystemErrorInfo(const ErrorInfo& error) {
  ICreateErrorInfo* creator = nullptr;
  if (SUCCEEDED(CreateErrorInfo(&creator))) {
    BSTR source = NewBstr(error.Source);
    BSTR description = NewBstr(error.Description);
    creator->SetGUID(IID_IUnknown);
    creator->SetSource(source);
    creator->SetDescription(description);
    creator->SetHelpContext(error.HelpContext);
    SysFreeString(source);
    SysFreeString(description);
    IErrorInfo* info = nullptr;
    if (SUCCEEDED(creator->QueryInterface(IID_IErrorInfo, reinterpret_cast<void**>(&info)))) {
      SetErrorInfo(0, info);
      info->Release();
    }
    creator->Release();
  }
  return error.Number;
}

void FillExcepInfo(const ErrorInfo& error, EXCEPINFO& info) {
  info = EXCEPINFO{};
  info.bstrSource = NewBstr(error.Source);
  info.bstrDescription = NewBstr(error.Description);
  info.dwHelpContext = error.HelpContext;
  info.scode = error.Number;
}

}  // namespace voziroz
