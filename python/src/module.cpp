// voziroz._voziroz: the calls and conversions of the voziroz package, over the C interface
// (include/voziroz.h, libvozcom.so). The package's Python modules hold what reads better in
// Python: the error class, the Empty and ErrorValue values, Parser and Table conveniences.
#include <dlfcn.h>

#include "include/voziroz.h"
#include "python/src/automation_errors.h"
#include "python/src/bound_member.h"
#include "python/src/dispatch_object.h"
#include "python/src/host_classes.h"
#include "python/src/member_table.h"
#include "python/src/python_refs.h"
#include "python/src/variant_conversion.h"

HostClasses g_host;

namespace {

PyObject* Setup(PyObject*, PyObject* args) {
  PyObject *automation_error, *unknown_name_error, *empty, *error_value, *parser, *table;
  if (!PyArg_ParseTuple(args, "OOOO!O!O!", &automation_error, &unknown_name_error, &empty,
                        &PyType_Type, &error_value, &PyType_Type, &parser, &PyType_Type, &table)) {
    return nullptr;
  }
  g_host = {Py_NewRef(automation_error),
            Py_NewRef(unknown_name_error),
            Py_NewRef(empty),
            Py_NewRef(error_value),
            reinterpret_cast<PyTypeObject*>(Py_NewRef(parser)),
            reinterpret_cast<PyTypeObject*>(Py_NewRef(table))};
  Py_RETURN_NONE;
}

PyObject* CreateObject(PyObject*, PyObject* prog_id) {
  const char* name = PyUnicode_AsUTF8(prog_id);
  if (!name) return nullptr;
  IDispatch* object = nullptr;
  const HRESULT hr = vz_create_object(name, &object);
  if (FAILED(hr)) return RaiseFromErrorInfo(hr);
  PyObject* result = WrapDispatch(object);
  object->lpVtbl->Release(object);
  return result;
}

PyObject* Registration(PyObject* path, HRESULT (*change)(const char*)) {
  if (!PyBytes_Check(path)) return PyErr_Format(PyExc_TypeError, "the path must be bytes");
  const HRESULT hr = change(PyBytes_AS_STRING(path));
  if (FAILED(hr)) return RaiseFromErrorInfo(hr);
  Py_RETURN_NONE;
}

PyObject* RegisterServer(PyObject*, PyObject* path) {
  return Registration(path, vz_register_server);
}

PyObject* UnregisterServer(PyObject*, PyObject* path) {
  return Registration(path, vz_unregister_server);
}

PyObject* VozcomPath(PyObject*, PyObject*) {
  Dl_info info{};
  if (!dladdr(reinterpret_cast<void*>(&vz_create_object), &info) || !info.dli_fname) {
    Py_RETURN_NONE;
  }
  return PyUnicode_DecodeFSDefault(info.dli_fname);
}

PyObject* RegistryPath(PyObject*, PyObject*) {
  char* path = nullptr;
  const HRESULT hr = vz_registry_path(&path);
  if (FAILED(hr)) return RaiseFromErrorInfo(hr);
  PyObject* result = PyUnicode_DecodeFSDefault(path);
  vz_free(path);
  return result;
}

// For the tests: `value` into a VARIANT and back out, with the VARIANT's type: (vt, value).
PyObject* RoundTrip(PyObject*, PyObject* value) {
  VARIANT variant;
  vz_variant_init(&variant);
  if (!FillVariant(variant, value)) return nullptr;
  PyObject* back = PythonFromVariant(variant);
  const VARTYPE kind = variant.vt;
  vz_variant_clear(&variant);
  return back ? Py_BuildValue("(iN)", kind, back) : nullptr;
}

PyMethodDef kFunctions[] = {
    {"_setup", Setup, METH_VARARGS,
     "_setup(AutomationError, UnknownNameError, Empty, ErrorValue, Parser, Table): the\n"
     "package's classes, given once at import."},
    {"create_object", CreateObject, METH_O,
     "create_object(prog_id: str) -> Dispatch: a new object of the class registered as prog_id."},
    {"register_server", RegisterServer, METH_O,
     "register_server(path: bytes): registers the server library at path."},
    {"unregister_server", UnregisterServer, METH_O,
     "unregister_server(path: bytes): removes the server library's registration."},
    {"_round_trip", RoundTrip, METH_O,
     "_round_trip(value) -> (vt, value): a value through a VARIANT and back."},
    {"vozcom_path", VozcomPath, METH_NOARGS,
     "vozcom_path() -> str: the file of the libvozcom.so this module loaded."},
    {"registry_path", RegistryPath, METH_NOARGS,
     "registry_path() -> str: the user's registry file, where register_server writes."},
    {},
};

PyModuleDef kModule = {PyModuleDef_HEAD_INIT,
                       "voziroz._voziroz",
                       "Calls and value conversions of the voziroz package (see voziroz).",
                       -1,
                       kFunctions,
                       nullptr,
                       nullptr,
                       nullptr,
                       nullptr};

}  // namespace

PyMODINIT_FUNC PyInit__voziroz() {
  PyRef module(PyModule_Create(&kModule));
  if (!module || !MakeMemberType()) return nullptr;
  PyObject* dispatch = reinterpret_cast<PyObject*>(MakeDispatchType());
  PyObject* bound_member = reinterpret_cast<PyObject*>(MakeBoundMemberType());
  if (!dispatch || !bound_member || PyModule_AddObjectRef(module.get(), "Dispatch", dispatch) < 0 ||
      PyModule_AddObjectRef(module.get(), "BoundMember", bound_member) < 0) {
    return nullptr;
  }
  return module.release();
}
