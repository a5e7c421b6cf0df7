#include "python/src/member_table.h"

#include <algorithm>
#include <cstring>
#include <new>
#include <string>
#include <vector>

#include "python/src/python_refs.h"
#include "python/src/text_conversion.h"

namespace {

constexpr int kMaxParameters = 32;  // out-parameters are kept as bits of a 32-bit mask

void MemberDealloc(PyObject* self) {
  auto* member = reinterpret_cast<MemberObject*>(self);
  PyTypeObject* type = Py_TYPE(self);
  Py_XDECREF(member->name);
  Py_XDECREF(member->doc);
  Py_XDECREF(member->text_signature);
  type->tp_free(self);
  Py_DECREF(type);
}

PyType_Slot kMemberSlots[] = {
    {Py_tp_dealloc, reinterpret_cast<void*>(MemberDealloc)},
    {},
};

PyType_Spec kMemberSpec = {"voziroz._voziroz.Member", sizeof(MemberObject), 0,
                           Py_TPFLAGS_DEFAULT | Py_TPFLAGS_DISALLOW_INSTANTIATION, kMemberSlots};

PyTypeObject* g_member_type = nullptr;

MemberObject* NewMember(PyRef name, DISPID dispid) {
  auto* member = PyObject_New(MemberObject, g_member_type);
  if (!member) return nullptr;
  member->doc = Py_NewRef(name.get());
  member->name = name.release();
  member->text_signature = Py_NewRef(Py_None);
  member->dispid = dispid;
  member->method = member->put = member->returns = false;
  member->get_params = -1;
  member->out_positions = 0;
  return member;
}

// The Python type a value of this declared type comes back as (or goes in as).
const char* TypeName(const TYPEDESC& type) {
  VARTYPE kind = type.vt;
  if (kind == VT_PTR && type.lptdesc) kind = type.lptdesc->vt;  // out-parameters, interfaces
  switch (kind) {
    case VT_I4:
    case VT_INT:
      return "int";
    case VT_BOOL:
      return "bool";
    case VT_BSTR:
      return "str";
    case VT_SAFEARRAY:
      return "list";
    case VT_VOID:
      return "None";
    case VT_USERDEFINED:
    case VT_DISPATCH:
      return "object";
    default:
      return "any";
  }
}

// The names GetNames gives: the member's, then its parameters'; freed on scope exit.
class FunctionNames {
 public:
  FunctionNames(ITypeInfo* info, const FUNCDESC& function) {
    const UINT wanted = 1 + std::min<int>(function.cParams, kMaxParameters);
    if (info->lpVtbl->GetNames(info, function.memid, names_, wanted, &count_) != S_OK) count_ = 0;
  }
  FunctionNames(const FunctionNames&) = delete;
  FunctionNames& operator=(const FunctionNames&) = delete;
  ~FunctionNames() {
    for (UINT i = 0; i < count_; ++i) vz_bstr_free(names_[i]);
  }

  BSTR member() const { return count_ > 0 ? names_[0] : nullptr; }
  std::string parameter(int index) const {
    if (static_cast<UINT>(index) + 1 >= count_) return "arg" + std::to_string(index + 1);
    char* text = vz_bstr_to_utf8(names_[index + 1]);
    std::string result = text ? text : "";
    vz_free(text);
    return result;
  }

 private:
  BSTR names_[kMaxParameters + 1] = {};
  UINT count_ = 0;
};

std::string Utf8(PyObject* text) {
  const char* bytes = PyUnicode_AsUTF8(text);
  if (bytes) return bytes;
  PyErr_Clear();
  return "?";
}

std::string HelpString(ITypeInfo* info, MEMBERID id) {
  BSTR help = nullptr;
  if (info->lpVtbl->GetDocumentation(info, id, nullptr, &help, nullptr, nullptr) != S_OK) return "";
  char* text = vz_bstr_to_utf8(help);
  std::string result = text ? text : "";
  vz_free(text);
  vz_bstr_free(help);
  return result;
}

// "GetTable(TableName: any[, Parameter: any]) -> list", then the help string; and the plain
// signature "(ID, Generation)" that inspect reads, when every parameter is required.
void Describe(ITypeInfo* info, const FUNCDESC& function, const FunctionNames& names,
              MemberObject* member) {
  std::string inputs, plain, results;
  bool optional_seen = false;
  if (function.elemdescFunc.tdesc.vt != VT_VOID) results = TypeName(function.elemdescFunc.tdesc);
  const int count = std::min<int>(function.cParams, kMaxParameters);
  int outs = 0;
  for (int i = 0; i < count; ++i) {
    const ELEMDESC& parameter = function.lprgelemdescParam[i];
    const std::string text = names.parameter(i) + ": " + TypeName(parameter.tdesc);
    if (parameter.paramdesc.wParamFlags & PARAMFLAG_FOUT) {
      results += (results.empty() ? "" : ", ") + text;
      ++outs;
      continue;
    }
    const bool optional = parameter.paramdesc.wParamFlags & PARAMFLAG_FOPT;
    optional_seen |= optional;
    const char* separator = inputs.empty() ? "" : ", ";
    inputs += optional ? "[" + std::string(separator) + text + "]" : separator + text;
    plain += (plain.empty() ? "" : ", ") + names.parameter(i);
  }
  if (outs > 0) results = "(" + results + ")";
  std::string doc =
      Utf8(member->name) + "(" + inputs + ") -> " + (results.empty() ? "None" : results);
  const std::string help = HelpString(info, function.memid);
  if (!help.empty()) doc += "\n\n" + help;
  PyObject* text = PyUnicode_FromString(doc.c_str());
  PyObject* signature =
      optional_seen ? Py_NewRef(Py_None) : PyUnicode_FromString(("(" + plain + ")").c_str());
  if (!text || !signature) {  // no memory: keep the plain name as the docstring
    PyErr_Clear();
    Py_XDECREF(text);
    Py_XDECREF(signature);
    return;
  }
  Py_SETREF(member->doc, text);
  Py_SETREF(member->text_signature, signature);
}

bool AddFunction(ITypeInfo* info, const FUNCDESC& function, PyObject* by_dispid) {
  PyRef key(PyLong_FromLong(function.memid));
  if (!key) return false;
  FunctionNames names(info, function);
  auto* member = reinterpret_cast<MemberObject*>(PyDict_GetItemWithError(by_dispid, key.get()));
  if (!member) {
    if (PyErr_Occurred()) return false;
    PyRef name(StrFromBstr(names.member()));
    if (!name) return false;
    PyRef made(reinterpret_cast<PyObject*>(NewMember(std::move(name), function.memid)));
    if (!made || PyDict_SetItem(by_dispid, key.get(), made.get()) < 0) return false;
    member = reinterpret_cast<MemberObject*>(made.get());
  }
  int required = 0;
  uint32_t outs = 0;
  for (int i = 0; i < std::min<int>(function.cParams, kMaxParameters); ++i) {
    const USHORT flags = function.lprgelemdescParam[i].paramdesc.wParamFlags;
    if (flags & PARAMFLAG_FOUT) outs |= 1u << i;
    if (!(flags & (PARAMFLAG_FOPT | PARAMFLAG_FOUT))) ++required;
  }
  if (function.invkind & (INVOKE_PROPERTYPUT | INVOKE_PROPERTYPUTREF)) {
    member->put = true;
    return true;
  }
  if (function.invkind == INVOKE_FUNC) {
    member->method = true;
  } else {
    member->get_params = static_cast<short>(required);
  }
  if (!member->out_positions) member->out_positions = outs;
  member->returns |= function.elemdescFunc.tdesc.vt != VT_VOID;
  Describe(info, function, names, member);
  return true;
}

// Assignable properties say how to assign them.
void AddAssignmentHints(PyObject* by_dispid) {
  PyObject* value;
  Py_ssize_t position = 0;
  while (PyDict_Next(by_dispid, &position, nullptr, &value)) {
    auto* member = reinterpret_cast<MemberObject*>(value);
    if (!member->put) continue;
    PyObject* hint =
        PyUnicode_FromFormat(member->get_params > 0 ? "%U\n\nAssign with obj.%U[...] = value."
                                                    : "%U\n\nAssign with obj.%U = value.",
                             member->doc, member->name);
    if (hint) {
      Py_SETREF(member->doc, hint);
    } else {
      PyErr_Clear();
    }
  }
}

MemberTable* ReadTable(ITypeInfo* info, const IID& iid, WORD function_count) {
  PyRef by_dispid(PyDict_New());
  if (!by_dispid) return nullptr;
  for (UINT index = 0; index < function_count; ++index) {
    FUNCDESC* function = nullptr;
    if (info->lpVtbl->GetFuncDesc(info, index, &function) != S_OK) continue;
    const bool added = AddFunction(info, *function, by_dispid.get());
    info->lpVtbl->ReleaseFuncDesc(info, function);
    if (!added) return nullptr;
  }
  AddAssignmentHints(by_dispid.get());
  return new MemberTable{iid, by_dispid.release()};
}

const MemberTable* Untyped() {
  static MemberTable table{IID_NULL, nullptr};
  if (!table.by_dispid) table.by_dispid = PyDict_New();
  return table.by_dispid ? &table : nullptr;
}

}  // namespace

const MemberTable* MemberTableOf(IDispatch* object) {
  // Interfaces seen so far; a process meets a handful, so a list is quickest.
  static std::vector<const MemberTable*> tables;
  ComRef<ITypeInfo> info;
  if (object->lpVtbl->GetTypeInfo(object, 0, 0, info.out()) != S_OK || !info.get()) {
    return Untyped();
  }
  TYPEATTR* attributes = nullptr;
  if (info->lpVtbl->GetTypeAttr(info.get(), &attributes) != S_OK) return Untyped();
  const IID iid = attributes->guid;
  const WORD function_count = attributes->cFuncs;
  info->lpVtbl->ReleaseTypeAttr(info.get(), attributes);
  for (const MemberTable* table : tables) {
    if (std::memcmp(&table->iid, &iid, sizeof iid) == 0) return table;
  }
  try {  // C++ allocations fail with bad_alloc, which must not reach Python
    MemberTable* table = ReadTable(info.get(), iid, function_count);
    if (table) tables.push_back(table);
    return table;
  } catch (const std::bad_alloc&) {
    PyErr_NoMemory();
    return nullptr;
  }
}

MemberObject* NewPlainMember(PyObject* name, DISPID dispid) {
  return NewMember(PyRef(Py_NewRef(name)), dispid);
}

bool MakeMemberType() {
  g_member_type = reinterpret_cast<PyTypeObject*>(PyType_FromSpec(&kMemberSpec));
  return g_member_type != nullptr;
}
