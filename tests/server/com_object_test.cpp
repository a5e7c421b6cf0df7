// An object of the server as a host sees it: its interfaces, type information and calls.
#include <gtest/gtest.h>

#include <atomic>
#include <cstring>
#include <string_view>

#include "tests/server/com_test_helpers.h"

namespace voziroz::testing {
namespace {

ComPtr<IDispatch> NewTable() {
  ComPtr<IClassFactory> factory;
  EXPECT_EQ(DllGetClassObject(&CLSID_Table, &IID_IClassFactory, factory.out()), S_OK);
  ComPtr<IDispatch> table;
  EXPECT_EQ(factory->lpVtbl->CreateInstance(factory.get(), nullptr, &IID_IDispatch, table.out()),
            S_OK);
  return table;
}

void* IdentityOf(IUnknown* any) {
  ComPtr<IUnknown> unknown = Query<IUnknown>(any, IID_IUnknown);
  return unknown.get();
}

TEST(ComObject, AnswersItsFiveInterfacesWithOneIdentity) {
  ComPtr<IDispatch> table = NewTable();
  void* identity = IdentityOf(reinterpret_cast<IUnknown*>(table.get()));
  for (const IID* iid : {&IID_IUnknown, &IID_IDispatch, &IID_ITable, &IID_ISupportErrorInfo,
                         &IID_IProvideClassInfo}) {
    ComPtr<IUnknown> face = Query<IUnknown>(table.get(), *iid);
    ASSERT_TRUE(face);
    EXPECT_EQ(IdentityOf(face.get()), identity);
  }
  EXPECT_EQ(Query<IUnknown>(table.get(), IID_ITable).get(),
            reinterpret_cast<IUnknown*>(table.get()));
  void* out = reinterpret_cast<void*>(1);
  EXPECT_EQ(table->lpVtbl->QueryInterface(table.get(), &IID_IParser, &out), E_NOINTERFACE);
  EXPECT_EQ(out, nullptr);
  EXPECT_EQ(table->lpVtbl->QueryInterface(table.get(), &IID_IUnknown, nullptr), E_POINTER);
}

TEST(ComObject, SupportsErrorInformationForItsOwnInterface) {
  ComPtr<IDispatch> table = NewTable();
  ComPtr<ISupportErrorInfo> support = Query<ISupportErrorInfo>(table.get(), IID_ISupportErrorInfo);
  auto supports = [&](const IID& iid) {
    return support->lpVtbl->InterfaceSupportsErrorInfo(support.get(), &iid);
  };
  EXPECT_EQ(supports(IID_ITable), S_OK);
  EXPECT_EQ(supports(IID_IDispatch), S_OK);
  EXPECT_EQ(supports(IID_IParser), S_FALSE);
}

std::string Documentation(ITypeInfo* info, MEMBERID id, std::string* name = nullptr) {
  BSTR found_name = nullptr;
  BSTR doc = nullptr;
  if (FAILED(info->lpVtbl->GetDocumentation(info, id, &found_name, &doc, nullptr, nullptr)))
    return "(none)";
  if (name) *name = Utf8(found_name);
  const std::string result = Utf8(doc);
  vz_bstr_free(found_name);
  vz_bstr_free(doc);
  return result;
}

struct TypeAttr {
  GUID guid;
  TYPEKIND kind;
  WORD functions, implemented, flags;
};

TypeAttr AttrOf(ITypeInfo* info) {
  TYPEATTR* attr = nullptr;
  EXPECT_EQ(info->lpVtbl->GetTypeAttr(info, &attr), S_OK);
  const TypeAttr result{attr->guid, attr->typekind, attr->cFuncs, attr->cImplTypes,
                        attr->wTypeFlags};
  info->lpVtbl->ReleaseTypeAttr(info, attr);
  return result;
}

bool operator==(const GUID& a, const GUID& b) {
  return std::memcmp(&a, &b, sizeof a) == 0;
}

TEST(ComObject, ProvidesItsClassTypeInformation) {
  ComPtr<IDispatch> table = NewTable();
  ComPtr<IProvideClassInfo> provide = Query<IProvideClassInfo>(table.get(), IID_IProvideClassInfo);
  ComPtr<ITypeInfo> coclass;
  ASSERT_EQ(provide->lpVtbl->GetClassInfo(provide.get(), coclass.put()), S_OK);
  const TypeAttr attr = AttrOf(coclass.get());
  EXPECT_TRUE(attr.guid == CLSID_Table);
  EXPECT_EQ(attr.kind, TKIND_COCLASS);
  EXPECT_EQ(attr.implemented, 1);
  EXPECT_EQ(attr.flags, TYPEFLAG_FCANCREATE);
  std::string name;
  EXPECT_EQ(Documentation(coclass.get(), MEMBERID_NIL, &name), "Fake Table Object");
  EXPECT_EQ(name, "Table");
  INT flags = 0;
  EXPECT_EQ(coclass->lpVtbl->GetImplTypeFlags(coclass.get(), 0, &flags), S_OK);
  EXPECT_EQ(flags, IMPLTYPEFLAG_FDEFAULT);
  HREFTYPE reference = 0;
  ASSERT_EQ(coclass->lpVtbl->GetRefTypeOfImplType(coclass.get(), 0, &reference), S_OK);
  ComPtr<ITypeInfo> iface;
  ASSERT_EQ(coclass->lpVtbl->GetRefTypeInfo(coclass.get(), reference, iface.put()), S_OK);
  EXPECT_TRUE(AttrOf(iface.get()).guid == IID_ITable);
  EXPECT_EQ(coclass->lpVtbl->GetRefTypeOfImplType(coclass.get(), 1, &reference),
            TYPE_E_ELEMENTNOTFOUND);
}

TEST(ComObject, HasOneTypeInformationForItsInterface) {
  ComPtr<IDispatch> table = NewTable();
  UINT count = 0;
  EXPECT_EQ(table->lpVtbl->GetTypeInfoCount(table.get(), &count), S_OK);
  EXPECT_EQ(count, 1u);
  ITypeInfo* none = reinterpret_cast<ITypeInfo*>(1);
  EXPECT_EQ(table->lpVtbl->GetTypeInfo(table.get(), 1, 0, &none), DISP_E_BADINDEX);
  EXPECT_EQ(none, nullptr);
  ComPtr<ITypeInfo> info;
  ASSERT_EQ(table->lpVtbl->GetTypeInfo(table.get(), 0, 0, info.put()), S_OK);
  const TypeAttr attr = AttrOf(info.get());
  EXPECT_TRUE(attr.guid == IID_ITable);
  EXPECT_EQ(attr.kind, TKIND_DISPATCH);
  EXPECT_EQ(attr.functions, 9);
  EXPECT_EQ(attr.flags, TYPEFLAG_FDUAL | TYPEFLAG_FOLEAUTOMATION | TYPEFLAG_FDISPATCHABLE);
  std::string name;
  EXPECT_EQ(Documentation(info.get(), MEMBERID_NIL, &name), "Dispatch interface for Table Object");
  EXPECT_EQ(name, "ITable");
  EXPECT_EQ(Documentation(info.get(), 204, &name), "Array of values for specified row");
  EXPECT_EQ(name, "Row");
  EXPECT_EQ(Documentation(info.get(), 999), "(none)");
}

// Reads what GetFuncDesc says of function `index`.
struct Function {
  MEMBERID id = 0;
  INVOKEKIND kind = INVOKE_FUNC;
  std::vector<std::pair<VARTYPE, USHORT>> params;  // type and flags
  VARTYPE result = VT_EMPTY;
  VARTYPE result_points_to = VT_EMPTY;
  bool hidden = false;
  SHORT slot_offset = 0;
};

Function FunctionOf(ITypeInfo* info, UINT index) {
  FUNCDESC* desc = nullptr;
  EXPECT_EQ(info->lpVtbl->GetFuncDesc(info, index, &desc), S_OK);
  Function f;
  f.id = desc->memid;
  f.kind = desc->invkind;
  for (SHORT i = 0; i < desc->cParams; ++i)
    f.params.emplace_back(desc->lprgelemdescParam[i].tdesc.vt,
                          desc->lprgelemdescParam[i].paramdesc.wParamFlags);
  f.result = desc->elemdescFunc.tdesc.vt;
  if (f.result == VT_SAFEARRAY) f.result_points_to = desc->elemdescFunc.tdesc.lptdesc->vt;
  f.hidden = desc->wFuncFlags & FUNCFLAG_FHIDDEN;
  f.slot_offset = desc->oVft;
  EXPECT_EQ(desc->funckind, FUNC_DISPATCH);
  info->lpVtbl->ReleaseFuncDesc(info, desc);
  return f;
}

TEST(TypeInformation, DescribesEveryFunctionOfTheInterface) {
  ComPtr<IDispatch> table = NewTable();
  ComPtr<ITypeInfo> info;
  ASSERT_EQ(table->lpVtbl->GetTypeInfo(table.get(), 0, 0, info.put()), S_OK);
  const Function row = FunctionOf(info.get(), 3);
  EXPECT_EQ(row.id, 204);
  EXPECT_EQ(row.kind, INVOKE_PROPERTYGET);
  ASSERT_EQ(row.params.size(), 1u);
  EXPECT_EQ(row.params[0], std::make_pair(VARTYPE{VT_I4}, USHORT{PARAMFLAG_FIN}));
  EXPECT_EQ(row.result, VT_SAFEARRAY);
  EXPECT_EQ(row.result_points_to, VT_VARIANT);
  EXPECT_EQ(row.slot_offset, 10 * static_cast<SHORT>(sizeof(void*)));
  const Function close = FunctionOf(info.get(), 7);
  EXPECT_EQ(close.id, 208);
  EXPECT_EQ(close.result, VT_VOID);
  FUNCDESC* none = nullptr;
  EXPECT_EQ(info->lpVtbl->GetFuncDesc(info.get(), 9, &none), TYPE_E_ELEMENTNOTFOUND);

  BSTR names[3] = {};
  UINT count = 0;
  ASSERT_EQ(info->lpVtbl->GetNames(info.get(), 206, names, 3, &count), S_OK);
  ASSERT_EQ(count, 3u);
  EXPECT_EQ(Utf8(names[0]) + " " + Utf8(names[1]) + " " + Utf8(names[2]), "Open TableName Parser");
  for (BSTR n : names) vz_bstr_free(n);
}

TEST(TypeInformation, LeadsFromTheTableToTheHiddenParserInterface) {
  ComPtr<IDispatch> table = NewTable();
  ComPtr<ITypeInfo> info;
  ASSERT_EQ(table->lpVtbl->GetTypeInfo(table.get(), 0, 0, info.put()), S_OK);
  FUNCDESC* open = nullptr;
  ASSERT_EQ(info->lpVtbl->GetFuncDesc(info.get(), 5, &open), S_OK);
  const TYPEDESC& parser_param = open->lprgelemdescParam[1].tdesc;
  ASSERT_EQ(parser_param.vt, VT_PTR);
  ASSERT_EQ(parser_param.lptdesc->vt, VT_USERDEFINED);
  ComPtr<ITypeInfo> parser;
  ASSERT_EQ(info->lpVtbl->GetRefTypeInfo(info.get(), parser_param.lptdesc->hreftype, parser.put()),
            S_OK);
  info->lpVtbl->ReleaseFuncDesc(info.get(), open);
  const TypeAttr attr = AttrOf(parser.get());
  EXPECT_TRUE(attr.guid == IID_IParser);
  EXPECT_TRUE(attr.flags & TYPEFLAG_FHIDDEN);
  struct Case {
    UINT index;
    MEMBERID id;
    bool hidden;
  };
  for (const Case& c : {Case{4, 206, true}, Case{5, 207, true}, Case{10, 211, true},
                        Case{0, 201, false}, Case{9, 203, false}}) {
    const Function f = FunctionOf(parser.get(), c.index);
    EXPECT_EQ(f.id, c.id);
    EXPECT_EQ(f.hidden, c.hidden) << c.id;
  }
  const Function get_table = FunctionOf(parser.get(), 5);
  ASSERT_EQ(get_table.params.size(), 2u);
  EXPECT_EQ(get_table.params[1],
            std::make_pair(VARTYPE{VT_VARIANT}, USHORT{PARAMFLAG_FIN | PARAMFLAG_FOPT}));
}

TEST(TypeInformation, MarksOutParametersAndPropertyPuts) {
  ComPtr<IDispatch> table = NewTable();
  ComPtr<ITypeInfo> info;
  ASSERT_EQ(table->lpVtbl->GetTypeInfo(table.get(), 0, 0, info.put()), S_OK);
  ComPtr<ITypeInfo> keylist;
  ASSERT_EQ(info->lpVtbl->GetRefTypeInfo(info.get(), 5, keylist.put()), S_OK);
  const Function by_index = FunctionOf(keylist.get(), 1);
  ASSERT_EQ(by_index.params.size(), 3u);
  EXPECT_EQ(by_index.params[1], std::make_pair(VARTYPE{VT_PTR}, USHORT{PARAMFLAG_FOUT}));
  EXPECT_EQ(by_index.params[2], std::make_pair(VARTYPE{VT_PTR}, USHORT{PARAMFLAG_FOUT}));
  EXPECT_EQ(FunctionOf(keylist.get(), 3).kind, INVOKE_PROPERTYPUT);
  EXPECT_EQ(info->lpVtbl->GetRefTypeInfo(info.get(), 6, keylist.put()), TYPE_E_ELEMENTNOTFOUND);
}

TEST(GetIDsOfNames, FindsMembersAndParametersWithoutRegardToCase) {
  ComPtr<IDispatch> table = NewTable();
  for (const char* name : {"RowCount", "rowcount", "ROWCOUNT"})
    EXPECT_EQ(IdOf(table.get(), name), 201) << name;
  BSTR names[2] = {vz_bstr_from_utf8("row"), vz_bstr_from_utf8("INDEX")};
  DISPID ids[2] = {};
  EXPECT_EQ(table->lpVtbl->GetIDsOfNames(table.get(), &IID_NULL, names, 2, 0, ids), S_OK);
  EXPECT_EQ(ids[0], 204);
  EXPECT_EQ(ids[1], 0);
  BSTR unknown = vz_bstr_from_utf8("RowCounter");
  EXPECT_EQ(table->lpVtbl->GetIDsOfNames(table.get(), &IID_NULL, &unknown, 1, 0, ids),
            DISP_E_UNKNOWNNAME);
  EXPECT_EQ(ids[0], DISPID_UNKNOWN);
  EXPECT_EQ(table->lpVtbl->GetIDsOfNames(table.get(), &IID_ITable, names, 1, 0, ids),
            DISP_E_UNKNOWNINTERFACE);
  for (BSTR n : {names[0], names[1], unknown}) vz_bstr_free(n);
}

TEST(Invoke, ReadsAClosedTable) {
  ComPtr<IDispatch> table = NewTable();
  Value rows, names, open, key;
  EXPECT_EQ(InvokeByName(table.get(), "RowCount", DISPATCH_PROPERTYGET, {}, &rows), S_OK);
  EXPECT_EQ(rows.vt, VT_I4);
  EXPECT_EQ(rows.lVal, -1);
  EXPECT_EQ(InvokeByName(table.get(), "ColNames", DISPATCH_PROPERTYGET, {}, &names), S_OK);
  EXPECT_EQ(names.vt, VT_ARRAY | VT_VARIANT);
  EXPECT_EQ(names.parray, nullptr);
  EXPECT_EQ(InvokeByName(table.get(), "IsOpen", DISPATCH_METHOD | DISPATCH_PROPERTYGET, {}, &open),
            S_OK);
  EXPECT_EQ(open.vt, VT_BOOL);
  EXPECT_EQ(open.boolVal, VARIANT_FALSE);
  EXPECT_EQ(InvokeByName(table.get(), "KeyColname", DISPATCH_PROPERTYGET, {}, &key), S_OK);
  EXPECT_EQ(key.vt, VT_BSTR);
  EXPECT_EQ(Utf8(key.bstrVal), "");
  EXPECT_EQ(InvokeByName(table.get(), "Close", DISPATCH_METHOD, {}, nullptr), S_OK);
}

TEST(Invoke, RefusesBadArgumentsBeforeTheMemberRunsAndSaysWhichOne) {
  ComPtr<IDispatch> table = NewTable();
  struct Case {
    const char* name;
    std::vector<VARIANT> args;
    HRESULT expected;
    UINT argument_error;  // rgvarg index, ~0u when none is named
  };
  VARIANT real;
  vz_variant_init(&real);
  real.vt = VT_R8;
  real.dblVal = 1.5;
  const VARIANT nothing = Borrowed(nullptr);
  const Case kCases[] = {
      {"Row", {Text("abc")}, DISP_E_TYPEMISMATCH, 0},
      {"Row", {real}, DISP_E_TYPEMISMATCH, 0},
      {"Row", {}, DISP_E_BADPARAMCOUNT, ~0u},
      {"Row", {Number(1), Number(2)}, DISP_E_BADPARAMCOUNT, ~0u},
      {"Open", {Text("PERSON"), nothing}, DISP_E_TYPEMISMATCH, 0},
      {"Open", {Text("PERSON"), Number(3)}, DISP_E_TYPEMISMATCH, 0},
      {"FindRow", {Text("99999999999")}, DISP_E_OVERFLOW, 0},
  };
  for (const Case& c : kCases) {
    Value result;
    UINT argument_error = ~0u;
    EXPECT_EQ(InvokeByName(table.get(), c.name, DISPATCH_METHOD | DISPATCH_PROPERTYGET, c.args,
                           &result, nullptr, &argument_error),
              c.expected)
        << c.name;
    EXPECT_EQ(argument_error, c.argument_error) << c.name;
    EXPECT_EQ(result.vt, VT_EMPTY);
  }
  Value result;
  EXPECT_EQ(table->lpVtbl->Invoke(table.get(), 999, &IID_NULL, 0, DISPATCH_METHOD, nullptr, &result,
                                  nullptr, nullptr),
            DISP_E_MEMBERNOTFOUND);
  EXPECT_EQ(table->lpVtbl->Invoke(table.get(), 201, &IID_ITable, 0, DISPATCH_PROPERTYGET, nullptr,
                                  &result, nullptr, nullptr),
            DISP_E_UNKNOWNINTERFACE);
}

TEST(Invoke, TakesOnlyAParserWhereAParserIsWanted) {
  ComPtr<IDispatch> table = NewTable();
  ComPtr<IDispatch> other = NewTable();
  other->lpVtbl->AddRef(other.get());  // for the argument, which the call clears
  UINT argument_error = ~0u;
  // An object of ours, but a Table where a Parser is wanted.
  EXPECT_EQ(
      InvokeByName(table.get(), "Open", DISPATCH_METHOD, {Text("PERSON"), Borrowed(other.get())},
                   nullptr, nullptr, &argument_error),
      DISP_E_TYPEMISMATCH);
  EXPECT_EQ(argument_error, 0u);
}

TEST(FunctionTable, CallsMembersWithTheirOwnTypes) {
  ComPtr<IDispatch> dispatch = NewTable();
  ComPtr<ITable> table = Query<ITable>(dispatch.get(), IID_ITable);
  LONG rows = 0;
  EXPECT_EQ(table->lpVtbl->get_RowCount(table.get(), &rows), S_OK);
  EXPECT_EQ(rows, -1);
  SAFEARRAY* names = reinterpret_cast<SAFEARRAY*>(1);
  EXPECT_EQ(table->lpVtbl->get_ColNames(table.get(), &names), S_OK);
  EXPECT_EQ(names, nullptr);
  EXPECT_EQ(table->lpVtbl->get_Row(table.get(), 0, nullptr), E_POINTER);
  VARIANT name = Text("PERSON");
  EXPECT_EQ(table->lpVtbl->Open(table.get(), name, nullptr), DISP_E_TYPEMISMATCH);
  vz_variant_clear(&name);
  Value key;
  EXPECT_EQ(table->lpVtbl->get_KeyColname(table.get(), &key), S_OK);
  EXPECT_EQ(key.vt, VT_BSTR);
  LONG found = 0;
  EXPECT_EQ(table->lpVtbl->FindRow(table.get(), 7, &found), S_OK);
  EXPECT_EQ(found, -1);
}

// An outer object that aggregates a Table and counts its own references.
struct Outer {
  IUnknown face;
  std::atomic<int> references{1};
  IUnknown* inner = nullptr;
};

Outer& OuterOf(IUnknown* face) {
  return *reinterpret_cast<Outer*>(face);
}

const IUnknownVtbl kOuterVtbl = {
    .QueryInterface = [](IUnknown* self, REFIID iid, void** out) -> HRESULT {
      if (std::memcmp(iid, &IID_IUnknown, sizeof(GUID)) == 0) {
        *out = self;
        ++OuterOf(self).references;
        return S_OK;
      }
      IUnknown* inner = OuterOf(self).inner;
      return inner->lpVtbl->QueryInterface(inner, iid, out);
    },
    .AddRef = [](IUnknown* self) -> ULONG { return ++OuterOf(self).references; },
    .Release = [](IUnknown* self) -> ULONG { return --OuterOf(self).references; },
};

TEST(ComObject, AggregatedHandsItsIdentityAndReferencesToTheOuterObject) {
  Outer outer;
  outer.face.lpVtbl = &kOuterVtbl;
  ComPtr<IClassFactory> factory;
  ASSERT_EQ(DllGetClassObject(&CLSID_Table, &IID_IClassFactory, factory.out()), S_OK);
  ASSERT_EQ(factory->lpVtbl->CreateInstance(factory.get(), &outer.face, &IID_IUnknown,
                                            reinterpret_cast<void**>(&outer.inner)),
            S_OK);
  IDispatch* dispatch = nullptr;
  ASSERT_EQ(outer.face.lpVtbl->QueryInterface(&outer.face, &IID_IDispatch, (void**)&dispatch),
            S_OK);
  EXPECT_EQ(outer.references, 2);  // the inner object's interface counted on the outer one
  EXPECT_EQ(IdentityOf(reinterpret_cast<IUnknown*>(dispatch)), &outer.face);
  EXPECT_EQ(outer.references, 2);
  EXPECT_EQ(IdOf(dispatch, "RowCount"), 201);
  dispatch->lpVtbl->Release(dispatch);
  EXPECT_EQ(outer.references, 1);
  factory.reset();
  EXPECT_EQ(DllCanUnloadNow(), S_FALSE);
  outer.inner->lpVtbl->Release(outer.inner);
  EXPECT_EQ(DllCanUnloadNow(), S_OK);
}

// A Parser with a small file open and its tables built; null when the server makes no Parser.
ComPtr<IDispatch> OpenParser(const TempDir& folder) {
  ComPtr<IClassFactory> factory;
  if (FAILED(DllGetClassObject(&CLSID_Parser, &IID_IClassFactory, factory.out()))) return {};
  ComPtr<IDispatch> parser;
  EXPECT_EQ(factory->lpVtbl->CreateInstance(factory.get(), nullptr, &IID_IDispatch, parser.out()),
            S_OK);
  const std::string file = folder.Write(
      "small.ged", "0 HEAD\r\n0 @I1@ INDI\r\n1 NAME Ann /Lee/\r\n0 @I2@ INDI\r\n0 TRLR\r\n");
  EXPECT_EQ(InvokeByName(parser.get(), "Open", DISPATCH_METHOD, {Text(file.c_str())}, nullptr),
            S_OK);
  Value built;
  EXPECT_EQ(InvokeByName(parser.get(), "Execute", DISPATCH_METHOD, {}, &built), S_OK);
  EXPECT_EQ(built.boolVal, VARIANT_TRUE);
  return parser;
}

TEST(ParserAndTable, HiddenMembersAreCalledByName) {
  TempDir folder;
  ComPtr<IDispatch> parser = OpenParser(folder);
  if (!parser) GTEST_SKIP() << "the server makes no Parser yet";
  for (const char* name : {"DataLink", "datalink", "GetTable", "GetAncestors"})
    EXPECT_NE(IdOf(parser.get(), name), DISPID_UNKNOWN) << name;
  Value handle, columns;
  EXPECT_EQ(InvokeByName(parser.get(), "DataLink", DISPATCH_PROPERTYGET, {Text("PERSON")}, &handle),
            S_OK);
  EXPECT_EQ(handle.vt, VT_I4);
  EXPECT_GT(handle.lVal, 0);
  EXPECT_EQ(InvokeByName(parser.get(), "gettable", DISPATCH_METHOD, {Text("person")}, &columns),
            S_OK);
  EXPECT_EQ(columns.vt, VT_ARRAY | VT_VARIANT);
}

TEST(ParserAndTable, RowOutsideTheTableRaisesTheRangeCheckErrorBothWays) {
  TempDir folder;
  ComPtr<IDispatch> parser = OpenParser(folder);
  if (!parser) GTEST_SKIP() << "the server makes no Parser yet";
  ComPtr<IDispatch> table = NewTable();
  parser->lpVtbl->AddRef(parser.get());  // for the argument, which the call clears
  ASSERT_EQ(InvokeByName(table.get(), "Open", DISPATCH_METHOD,
                         {Text("PERSON"), Borrowed(parser.get())}, nullptr),
            S_OK);
  EXCEPINFO exception{};
  Value row;
  EXPECT_EQ(InvokeByName(table.get(), "Row", DISPATCH_PROPERTYGET, {Number(-1)}, &row, &exception),
            DISP_E_EXCEPTION);
  EXPECT_EQ(static_cast<std::uint32_t>(exception.scode), 0x8000FFFFu);
  EXPECT_EQ(Utf8(exception.bstrSource), "Voziroz.Table");
  EXPECT_EQ(Utf8(exception.bstrDescription), "Range check error");
  vz_bstr_free(exception.bstrSource);
  vz_bstr_free(exception.bstrDescription);

  ComPtr<ITable> early = Query<ITable>(table.get(), IID_ITable);
  SAFEARRAY* cells = nullptr;
  EXPECT_EQ(early->lpVtbl->get_Row(early.get(), -1, &cells), E_UNEXPECTED);
  EXPECT_EQ(cells, nullptr);
  EXPECT_EQ(TakeErrorInfo(),
            std::make_pair(std::string("Voziroz.Table"), std::string("Range check error")));
  EXPECT_EQ(early->lpVtbl->get_Row(early.get(), 1, &cells), S_OK);
  LONG upper = 0;
  vz_safearray_get_ubound(cells, 1, &upper);
  EXPECT_EQ(upper, 8);  // the nine columns of PERSON
  vz_safearray_destroy(cells);
}

}  // namespace
}  // namespace voziroz::testing
