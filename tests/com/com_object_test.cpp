// An object of the server as a host sees it: its interfaces, type information and calls.
#include <gtest/gtest.h>

#include <atomic>
#include <string_view>

#include "automation/server_lifetime.h"
#include "tests/com/com_test_helpers.h"
#include "tests/com/type_info_helpers.h"

namespace voziroz::testing {
namespace {

const GUID kTableIid = ToCGuid(kTableInterface.Iid);
const GUID kParserIid = ToCGuid(kParserInterface.Iid);

ComPtr<IDispatch> NewTable() {
  return NewObject(TableClass());
}

void* IdentityOf(IUnknown* any) {
  ComPtr<IUnknown> unknown = Query<IUnknown>(any, IID_IUnknown);
  return unknown.get();
}

TEST(ComObject, AnswersItsFiveInterfacesWithOneIdentity) {
  ComPtr<IDispatch> table = NewTable();
  void* identity = IdentityOf(reinterpret_cast<IUnknown*>(table.get()));
  for (const IID* iid : {&IID_IUnknown, &IID_IDispatch, &kTableIid, &IID_ISupportErrorInfo,
                         &IID_IProvideClassInfo}) {
    ComPtr<IUnknown> face = Query<IUnknown>(table.get(), *iid);
    ASSERT_TRUE(face);
    EXPECT_EQ(IdentityOf(face.get()), identity);
  }
  EXPECT_EQ(Query<IUnknown>(table.get(), kTableIid).get(),
            reinterpret_cast<IUnknown*>(table.get()));
  void* out = reinterpret_cast<void*>(1);
  EXPECT_EQ(table->lpVtbl->QueryInterface(table.get(), RefIid(kParserIid), &out), E_NOINTERFACE);
  EXPECT_EQ(out, nullptr);
  EXPECT_EQ(table->lpVtbl->QueryInterface(table.get(), RefIid(IID_IUnknown), nullptr), E_POINTER);
}

TEST(ComObject, SupportsErrorInformationForItsOwnInterface) {
  ComPtr<IDispatch> table = NewTable();
  ComPtr<ISupportErrorInfo> support = Query<ISupportErrorInfo>(table.get(), IID_ISupportErrorInfo);
  auto supports = [&](const IID& iid) {
    return support->lpVtbl->InterfaceSupportsErrorInfo(support.get(), RefIid(iid));
  };
  EXPECT_EQ(supports(kTableIid), S_OK);
  EXPECT_EQ(supports(IID_IDispatch), S_OK);
  EXPECT_EQ(supports(kParserIid), S_FALSE);
}

TEST(ComObject, ProvidesItsClassTypeInformation) {
  ComPtr<IDispatch> table = NewTable();
  ComPtr<IProvideClassInfo> provide = Query<IProvideClassInfo>(table.get(), IID_IProvideClassInfo);
  ComPtr<ITypeInfo> coclass;
  ASSERT_EQ(provide->lpVtbl->GetClassInfo(provide.get(), coclass.put()), S_OK);
  const TypeAttr attr = AttrOf(coclass.get());
  EXPECT_TRUE(Same(attr.guid, TableClass().Clsid));
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
  EXPECT_TRUE(Same(AttrOf(iface.get()).guid, kTableInterface.Iid));
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
  EXPECT_TRUE(Same(attr.guid, kTableInterface.Iid));
  EXPECT_EQ(attr.kind, TKIND_DISPATCH);
  EXPECT_EQ(attr.flags, TYPEFLAG_FDUAL | TYPEFLAG_FDISPATCHABLE);
  std::string name;
  EXPECT_EQ(Documentation(info.get(), MEMBERID_NIL, &name), "Dispatch interface for Table Object");
  EXPECT_EQ(name, "ITable");
  EXPECT_EQ(Documentation(info.get(), 204, &name), "Array of values for specified row");
  EXPECT_EQ(name, "Row");
  EXPECT_EQ(Documentation(info.get(), 999), "(none)");
}

TEST(GetIDsOfNames, FindsMembersAndParametersWithoutRegardToCase) {
  ComPtr<IDispatch> table = NewTable();
  for (const char* name : {"RowCount", "rowcount", "ROWCOUNT"})
    EXPECT_EQ(IdOf(table.get(), name), 201) << name;
  BSTR names[2] = {NewText("row"), NewText("INDEX")};
  DISPID ids[2] = {};
  EXPECT_EQ(table->lpVtbl->GetIDsOfNames(table.get(), RefIid(IID_NULL), names, 2, 0, ids), S_OK);
  EXPECT_EQ(ids[0], 204);
  EXPECT_EQ(ids[1], 0);
  BSTR unknown = NewText("RowCounter");
  EXPECT_EQ(table->lpVtbl->GetIDsOfNames(table.get(), RefIid(IID_NULL), &unknown, 1, 0, ids),
            DISP_E_UNKNOWNNAME);
  EXPECT_EQ(ids[0], DISPID_UNKNOWN);
  EXPECT_EQ(table->lpVtbl->GetIDsOfNames(table.get(), RefIid(kTableIid), names, 1, 0, ids),
            DISP_E_UNKNOWNINTERFACE);
  for (BSTR n : {names[0], names[1], unknown}) FreeBstr(n);
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
  EXPECT_EQ(Ansi(key.bstrVal), "");
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
  const VARIANT nothing = Borrowed(nullptr);
  const Case kCases[] = {
      {"Row", {Text("abc")}, DISP_E_TYPEMISMATCH, 0},
      {"Row", {Real(1e10)}, DISP_E_OVERFLOW, 0},
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
  DISPPARAMS none{nullptr, nullptr, 0, 0};
  EXPECT_EQ(table->lpVtbl->Invoke(table.get(), 999, RefIid(IID_NULL), 0, DISPATCH_METHOD, &none,
                                  &result, nullptr, nullptr),
            DISP_E_MEMBERNOTFOUND);
  EXPECT_EQ(table->lpVtbl->Invoke(table.get(), 201, RefIid(kTableIid), 0, DISPATCH_PROPERTYGET,
                                  &none, &result, nullptr, nullptr),
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
  ComPtr<ITable> table = Query<ITable>(dispatch.get(), kTableIid);
  LONG rows = 0;
  EXPECT_EQ(table->lpVtbl->get_RowCount(table.get(), &rows), S_OK);
  EXPECT_EQ(rows, -1);
  SAFEARRAY* names = reinterpret_cast<SAFEARRAY*>(1);
  EXPECT_EQ(table->lpVtbl->get_ColNames(table.get(), &names), S_OK);
  EXPECT_EQ(names, nullptr);
  EXPECT_EQ(table->lpVtbl->get_Row(table.get(), 0, nullptr), E_POINTER);
  VARIANT name = Text("PERSON");
  EXPECT_EQ(table->lpVtbl->Open(table.get(), name, nullptr), DISP_E_TYPEMISMATCH);
  ClearVariant(name);
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

HRESULT VZ_CALL OuterQuery(IUnknown* self, REFIID iid, void** out) {
  if (SameGuid(IidOf(iid), IID_IUnknown)) {
    *out = self;
    ++OuterOf(self).references;
    return S_OK;
  }
  IUnknown* inner = OuterOf(self).inner;
  return inner->lpVtbl->QueryInterface(inner, iid, out);
}
ULONG VZ_CALL OuterAddRef(IUnknown* self) {
  return ++OuterOf(self).references;
}
ULONG VZ_CALL OuterRelease(IUnknown* self) {
  return --OuterOf(self).references;
}
const IUnknownVtbl kOuterVtbl = {
    .QueryInterface = OuterQuery, .AddRef = OuterAddRef, .Release = OuterRelease};

TEST(ComObject, AggregatedHandsItsIdentityAndReferencesToTheOuterObject) {
  Outer outer;
  outer.face.lpVtbl = &kOuterVtbl;
  const GUID clsid = ToCGuid(TableClass().Clsid);
  ComPtr<IClassFactory> factory;
  ASSERT_EQ(GetClassFactory(&clsid, &IID_IClassFactory, factory.out()), S_OK);
  ASSERT_EQ(factory->lpVtbl->CreateInstance(factory.get(), &outer.face, RefIid(IID_IUnknown),
                                            reinterpret_cast<void**>(&outer.inner)),
            S_OK);
  IDispatch* dispatch = nullptr;
  ASSERT_EQ(outer.face.lpVtbl->QueryInterface(&outer.face, RefIid(IID_IDispatch),
                                              reinterpret_cast<void**>(&dispatch)),
            S_OK);
  EXPECT_EQ(outer.references, 2);  // the inner object's interface counted on the outer one
  EXPECT_EQ(IdentityOf(reinterpret_cast<IUnknown*>(dispatch)), &outer.face);
  EXPECT_EQ(outer.references, 2);
  EXPECT_EQ(IdOf(dispatch, "RowCount"), 201);
  dispatch->lpVtbl->Release(dispatch);
  EXPECT_EQ(outer.references, 1);
  factory.reset();
  EXPECT_FALSE(CanUnloadNow());
  outer.inner->lpVtbl->Release(outer.inner);
  EXPECT_TRUE(CanUnloadNow());
}

// A Parser with a small file open and its tables built.
ComPtr<IDispatch> OpenParser(const ScratchFile& file) {
  ComPtr<IDispatch> parser = NewObject(ParserClass());
  EXPECT_EQ(
      InvokeByName(parser.get(), "Open", DISPATCH_METHOD, {Text(file.path().c_str())}, nullptr),
      S_OK);
  Value built;
  EXPECT_EQ(InvokeByName(parser.get(), "Execute", DISPATCH_METHOD, {}, &built), S_OK);
  EXPECT_EQ(built.boolVal, VARIANT_TRUE);
  return parser;
}

constexpr const char* kSmallFile =
    "0 HEAD\r\n0 @I1@ INDI\r\n1 NAME Ann /Lee/\r\n0 @I2@ INDI\r\n0 TRLR\r\n";

TEST(ParserAndTable, HiddenMembersAreCalledByName) {
  ScratchFile file("hidden.ged", kSmallFile);
  ComPtr<IDispatch> parser = OpenParser(file);
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
  ScratchFile file("range.ged", kSmallFile);
  ComPtr<IDispatch> parser = OpenParser(file);
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
  EXPECT_EQ(Ansi(exception.bstrSource), "Voziroz.Table");
  EXPECT_EQ(Ansi(exception.bstrDescription), "Range check error");
  FreeBstr(exception.bstrSource);
  FreeBstr(exception.bstrDescription);

  ComPtr<ITable> early = Query<ITable>(table.get(), kTableIid);
  SAFEARRAY* cells = nullptr;
  EXPECT_EQ(early->lpVtbl->get_Row(early.get(), -1, &cells), E_UNEXPECTED);
  EXPECT_EQ(cells, nullptr);
  EXPECT_EQ(TakeErrorInfo(),
            std::make_pair(std::string("Voziroz.Table"), std::string("Range check error")));
  EXPECT_EQ(early->lpVtbl->get_Row(early.get(), 1, &cells), S_OK);
  EXPECT_EQ(cells->rgsabound[0].cElements, 9u);  // the nine columns of PERSON
  DestroyArray(cells);
}

}  // namespace
}  // namespace voziroz::testing
