#include "python/src/automation_errors.h"

#include "python/src/host_classes.h"
#include "python/src/python_refs.h"
#include "python/src/text_conversion.h"

namespace {

// The text of a BSTR that the caller owned, which is freed.
PyObject* TakeText(BSTR text) {
  PyObject* result = StrFromBstr(text);
  vz_bstr_free(text);
  return result;
}

}  // namespace

PyObject* RaiseAutomationError(PyObject* error_class, HRESULT hr, PyObject* source,
                               PyObject* description, Py_ssize_t argument) {
  PyRef number(PyLong_FromLong(hr));
  PyRef position(argument < 0 ? Py_NewRef(Py_None) : PyLong_FromSsize_t(argument));
  if (!number || !position) return nullptr;
  PyRef error(PyObject_CallFunction(error_class, "OOOO", number.get(), source ? source : Py_None,
                                    description ? description : Py_None, position.get()));
  if (error) PyErr_SetObject(error_class, error.get());
  return nullptr;
}

PyObject* RaiseFromErrorInfo(HRESULT hr) {
  IErrorInfo* info = nullptr;
  PyRef source, description;
  if (vz_get_error_info(0, &info) == S_OK && info) {
    BSTR text = nullptr;
    if (info->lpVtbl->GetSource(info, &text) == S_OK) source = PyRef(TakeText(text));
    text = nullptr;
    if (info->lpVtbl->GetDescription(info, &text) == S_OK) description = PyRef(TakeText(text));
    info->lpVtbl->Release(info);
  }
  if (PyErr_Occurred()) return nullptr;
  return RaiseAutomationError(g_host.automation_error, hr, source.get(), description.get(), -1);
}

PyObject* RaiseFromInvoke(HRESULT hr, EXCEPINFO& exception, UINT argument_error, UINT count) {
  if (hr != DISP_E_EXCEPTION) {
    const Py_ssize_t argument =
        argument_error < count ? static_cast<Py_ssize_t>(count - 1 - argument_error) : -1;
    return RaiseAutomationError(g_host.automation_error, hr, nullptr, nullptr, argument);
  }
  if (exception.pfnDeferredFillIn) exception.pfnDeferredFillIn(&exception);
  PyRef source(TakeText(exception.bstrSource));
  PyRef description(TakeText(exception.bstrDescription));
  vz_bstr_free(exception.bstrHelpFile);
  if (!source || !description) return nullptr;
  return RaiseAutomationError(g_host.automation_error, exception.scode ? exception.scode : hr,
                              source.get(), description.get(), -1);
}
