// The runtime seam on Windows: oleaut32's strings, variants, arrays, error information and
// VariantChangeType.
#include <new>

#include "com/runtime.h"

namespace voziroz {

BSTR NewBstr(std::u16string_view text) {
  BSTR bstr = SysAllocStringLen(reinterpret_cast<const OLECHAR*>(text.data()),
                                static_cast<UINT>(text.size()));
  if (!bstr) throw std::bad_alloc();
  return bstr;
}

std::u16string_view BstrView(BSTR text) {
  return {reinterpret_cast<const char16_t*>(text), text ? SysStringLen(text) : 0};
}

void FreeBstr(BSTR text) {
  SysFreeString(text);
}

void InitVariant(VARIANT& value) {
  VariantInit(&value);
}

void ClearVariant(VARIANT& value) {
  VariantClear(&value);
}

SAFEARRAY* NewVariantArray(UINT dimensions, const SAFEARRAYBOUND* bounds) {
  SAFEARRAYBOUND copy[2] = {bounds[0], dimensions > 1 ? bounds[1] : bounds[0]};
  SAFEARRAY* made = SafeArrayCreate(VT_VARIANT, dimensions, copy);
  if (!made) throw std::bad_alloc();
  return made;
}

void DestroyArray(SAFEARRAY* array) {
  if (array) SafeArrayDestroy(array);
}

VARTYPE ArrayElementType(SAFEARRAY* array) {
  VARTYPE type = VT_EMPTY;
  return SUCCEEDED(SafeArrayGetVartype(array, &type)) ? type : static_cast<VARTYPE>(VT_EMPTY);
}

void SetThreadErrorInfo(std::u16string_view source, std::u16string_view description,
                        DWORD help_context) noexcept {
  ICreateErrorInfo* creator = nullptr;
  IErrorInfo* info = nullptr;
  if (SUCCEEDED(CreateErrorInfo(&creator))) {
    BSTR source_text = SysAllocStringLen(reinterpret_cast<const OLECHAR*>(source.data()),
                                         static_cast<UINT>(source.size()));
    BSTR description_text = SysAllocStringLen(reinterpret_cast<const OLECHAR*>(description.data()),
                                              static_cast<UINT>(description.size()));
    creator->lpVtbl->SetGUID(creator, IID_IUnknown);
    creator->lpVtbl->SetSource(creator, source_text);
    creator->lpVtbl->SetDescription(creator, description_text);
    creator->lpVtbl->SetHelpContext(creator, help_context);
    SysFreeString(source_text);
    SysFreeString(description_text);
    creator->lpVtbl->QueryInterface(creator, IID_IErrorInfo, reinterpret_cast<void**>(&info));
    creator->lpVtbl->Release(creator);
  }
  SetErrorInfo(0, info);
  if (info) info->lpVtbl->Release(info);
}

void ClearThreadErrorInfo() noexcept {
  SetErrorInfo(0, nullptr);
}

HRESULT ChangeType(VARIANT& out, const VARIANT& in, VARTYPE type) {
  VariantInit(&out);
  const HRESULT status = VariantChangeType(&out, const_cast<VARIANT*>(&in), 0, type);
  if (status == E_OUTOFMEMORY) throw std::bad_alloc();
  return status;
}

}  // namespace voziroz
