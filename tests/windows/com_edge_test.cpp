// The COM face of the shared objects: IDispatch, the dual function table, errors, out-arguments,
// object arguments, identity and aggregation, over stand-in objects.
#include <gtest/gtest.h>

#include <vector>

#include "com_test_support.h"
#include "fake_objects.h"
#include "windows/com_object.h"
#include "windows/voziroz.h"

namespace voziroz::testing {
namespace {

constexpr HRESULT kRangeError = static_cast<HRESULT>(0x8000FFFF);

// A new COM object for a new shared object of type T; `shared` receives the shared object.
template <class T>
IUnknown* NewCom(ObjectPtr<T>* shared = nullptr) {
  ObjectPtr<T> object = MakeObject<T>();
  if (shared) *shared = object;
  return NewComObject(object, nullptr);
}

template <class I>
I* Query(IUnknown* unknown, REFIID iid) {
  I* out = nullptr;
  EXPECT_EQ(unknown->QueryInterface(iid, reinterpret_cast<void**>(&out)), S_OK);
  return out;
}

DISPID IdOf(IDispatch* object, const wchar_t* name) {
  DISPID id = 0;
  LPOLESTR names[] = {const_cast<LPOLESTR>(name)};
  EXPECT_EQ(object->GetIDsOfNames(IID_NULL, names, 1, 0, &id), S_OK) << name;
  return id;
}

// IDispatch::Invoke by name with arguments in the caller's order.
struct Call {
  HRESULT Status = S_OK;
  OwnedVariant Result;
  EXCEPINFO Exception{};
  UINT ArgError = 0xFFFF;
  ~Call() {
    SysFreeString(Exception.bstrSource);
    SysFreeString(Exception.bstrDescription);
  }
};

void Invoke(IDispatch* object, const wchar_t* name, WORD flags, std::vector<VARIANT> args,
            Call& call, bool named_put = false) {
  std::vector<VARIANT> reversed(args.rbegin(), args.rend());
  DISPID put = DISPID_PROPERTYPUT;
  DISPPARAMS params = {reversed.data(), named_put ? &put : nullptr,
                       static_cast<UINT>(reversed.size()), named_put ? 1u : 0u};
  call.Status = object->Invoke(IdOf(object, name), IID_NULL, 0, flags, &params, &call.Result.v,
                               &call.Exception, &call.ArgError);
  for (VARIANT& arg : args) VariantClear(&arg);
}

class ComEdgeTest : public ComTest {
 protected:
  void SetUp() override {
    ComTest::SetUp();
    live_before_ = AutomationObject::LiveObjectCount();
    unknown_ = NewCom<FakeKeyList>(&list_);
    dispatch_ = Query<IDispatch>(unknown_, IID_IDispatch);
  }
  void TearDown() override {
    dispatch_->Release();
    unknown_->Release();
    list_ = {};
    EXPECT_EQ(AutomationObject::LiveObjectCount(), live_before_) << "an object was not freed";
    ComTest::TearDown();
  }

  std::int32_t live_before_ = 0;
  ObjectPtr<FakeKeyList> list_;
  IUnknown* unknown_ = nullptr;
  IDispatch* dispatch_ = nullptr;
};

TEST_F(ComEdgeTest, NamesIgnoreCaseAndUnknownNamesAreRefused) {
  EXPECT_EQ(IdOf(dispatch_, L"count"), 204);
  EXPECT_EQ(IdOf(dispatch_, L"BYINDEX"), 203);
  LPOLESTR names[] = {const_cast<LPOLESTR>(L"ByIndex"), const_cast<LPOLESTR>(L"item"),
                      const_cast<LPOLESTR>(L"Nope")};
  DISPID ids[3] = {};
  EXPECT_EQ(dispatch_->GetIDsOfNames(IID_NULL, names, 3, 0, ids), DISP_E_UNKNOWNNAME);
  EXPECT_EQ(ids[0], 203);
  EXPECT_EQ(ids[1], 2);  // a parameter's position
  EXPECT_EQ(ids[2], DISPID_UNKNOWN);
  EXPECT_EQ(dispatch_->GetIDsOfNames(IID_IUnknown, names, 1, 0, ids), DISP_E_UNKNOWNINTERFACE);
}

TEST_F(ComEdgeTest, MethodsPropertiesAndPuts) {
  Call add, count_as_method, item, put, get_after_put;
  Invoke(dispatch_, L"Add", DISPATCH_METHOD, {TextArg(L"k\u00E9y"), I4Arg(5)}, add);
  EXPECT_EQ(add.Status, S_OK);
  EXPECT_EQ(V_VT(&add.Result.v), VT_EMPTY);
  EXPECT_EQ(list_->Entries.at(0).first, "k\xE9y");
  // A script engine that discards the result calls a property get as a method.
  Invoke(dispatch_, L"Count", DISPATCH_METHOD, {}, count_as_method);
  EXPECT_EQ(count_as_method.Status, S_OK);
  EXPECT_EQ(V_I4(&count_as_method.Result.v), 1);
  Invoke(dispatch_, L"Item", DISPATCH_METHOD | DISPATCH_PROPERTYGET, {TextArg(L"k\u00E9y")}, item);
  EXPECT_EQ(V_VT(&item.Result.v), VT_I4);
  EXPECT_EQ(V_I4(&item.Result.v), 5);
  Invoke(dispatch_, L"Item", DISPATCH_PROPERTYPUT, {TextArg(L"k\u00E9y"), TextArg(L"six")}, put,
         true);
  EXPECT_EQ(put.Status, S_OK);
  Invoke(dispatch_, L"Item", DISPATCH_PROPERTYGET, {TextArg(L"k\u00E9y")}, get_after_put);
  EXPECT_EQ(std::wstring(V_BSTR(&get_after_put.Result.v)), L"six");
}

TEST_F(ComEdgeTest, RefusalsBeforeTheMemberRuns) {
  Call few, many, mismatch, named;
  Invoke(dispatch_, L"Add", DISPATCH_METHOD, {TextArg(L"k")}, few);
  EXPECT_EQ(few.Status, DISP_E_BADPARAMCOUNT);
  Invoke(dispatch_, L"Count", DISPATCH_PROPERTYGET, {I4Arg(1)}, many);
  EXPECT_EQ(many.Status, DISP_E_BADPARAMCOUNT);
  // ByIndex's Index is I4: a word is refused, and the argument is named in DISPPARAMS order.
  Invoke(dispatch_, L"ByIndex", DISPATCH_METHOD, {TextArg(L"one"), I4Arg(0), I4Arg(0)}, mismatch);
  EXPECT_EQ(mismatch.Status, DISP_E_TYPEMISMATCH);
  EXPECT_EQ(mismatch.ArgError, 2u);
  Invoke(dispatch_, L"Count", DISPATCH_PROPERTYGET, {I4Arg(1)}, named, true);
  EXPECT_EQ(named.Status, DISP_E_NONAMEDARGS);
  EXPECT_TRUE(list_->Entries.empty());
}

TEST_F(ComEdgeTest, ErrorsReachTheCallerWithNumberSourceAndDescription) {
  Call missing, own_code;
  Invoke(dispatch_, L"Delete", DISPATCH_METHOD, {TextArg(L"none")}, missing);
  EXPECT_EQ(missing.Status, DISP_E_EXCEPTION);
  EXPECT_EQ(missing.Exception.scode, kRangeError);
  EXPECT_EQ(std::wstring(missing.Exception.bstrSource), L"Voziroz.KeyList");
  EXPECT_EQ(std::wstring(missing.Exception.bstrDescription), L"Range check error");
  Invoke(dispatch_, L"Capacity", DISPATCH_PROPERTYPUT, {I4Arg(-1)}, own_code, true);
  EXPECT_EQ(own_code.Status, DISP_E_EXCEPTION);
  EXPECT_EQ(own_code.Exception.scode, E_INVALIDARG);
  EXPECT_EQ(std::wstring(own_code.Exception.bstrDescription), L"Capacity must not be negative");

  // Without an EXCEPINFO the error waits as the thread's error information.
  VARIANT arg = TextArg(L"none");
  DISPPARAMS params = {&arg, nullptr, 1, 0};
  EXPECT_EQ(
      dispatch_->Invoke(207, IID_NULL, 0, DISPATCH_METHOD, &params, nullptr, nullptr, nullptr),
      DISP_E_EXCEPTION);
  VariantClear(&arg);
  Ref<IErrorInfo> info;
  ASSERT_EQ(GetErrorInfo(0, &info.p), S_OK);
  OwnedBstr source, description;
  info->GetSource(&source.b);
  info->GetDescription(&description.b);
  EXPECT_EQ(source.Text(), L"Voziroz.KeyList");
  EXPECT_EQ(description.Text(), L"Range check error");
}

// VBScript passes variables by reference: [out] parameters are written back into them, [in]
// ones never are; JScript passes values, which are left alone.
TEST_F(ComEdgeTest, OutArgumentsAreWrittenBack) {
  list_->Entries.emplace_back("first", Variant::I4(1));
  OwnedVariant key, item, index;
  V_VT(&key.v) = VT_BSTR;
  V_BSTR(&key.v) = SysAllocString(L"old");
  V_VT(&index.v) = VT_BSTR;
  V_BSTR(&index.v) = SysAllocString(L"0");
  VARIANT args[3];  // last first
  V_VT(&args[0]) = VT_BYREF | VT_VARIANT;
  V_VARIANTREF(&args[0]) = &item.v;
  V_VT(&args[1]) = VT_BYREF | VT_VARIANT;
  V_VARIANTREF(&args[1]) = &key.v;
  V_VT(&args[2]) = VT_BYREF | VT_VARIANT;
  V_VARIANTREF(&args[2]) = &index.v;
  DISPPARAMS params = {args, nullptr, 3, 0};
  ASSERT_EQ(
      dispatch_->Invoke(203, IID_NULL, 0, DISPATCH_METHOD, &params, nullptr, nullptr, nullptr),
      S_OK);
  EXPECT_EQ(std::wstring(V_BSTR(&key.v)), L"first");
  EXPECT_EQ(V_VT(&item.v), VT_I4);
  EXPECT_EQ(V_I4(&item.v), 1);
  EXPECT_EQ(V_VT(&index.v), VT_BSTR) << "an [in] argument must not change";

  BSTR typed_key = SysAllocString(L"old");
  V_VT(&args[1]) = VT_BYREF | VT_BSTR;
  V_BSTRREF(&args[1]) = &typed_key;
  V_VT(&args[0]) = VT_I4;  // by value: nothing to write into
  V_I4(&args[0]) = 9;
  ASSERT_EQ(
      dispatch_->Invoke(203, IID_NULL, 0, DISPATCH_METHOD, &params, nullptr, nullptr, nullptr),
      S_OK);
  EXPECT_EQ(std::wstring(typed_key), L"first");
  EXPECT_EQ(V_I4(&args[0]), 9);
  SysFreeString(typed_key);
}

TEST_F(ComEdgeTest, ArraysLeaveAsNewArrays) {
  list_->Entries.emplace_back("a", Variant::I4(1));
  list_->Entries.emplace_back("b", Variant::Text("two"));
  Call keys;
  Invoke(dispatch_, L"Keys", DISPATCH_METHOD, {}, keys);
  ASSERT_EQ(V_VT(&keys.Result.v), VT_ARRAY | VT_VARIANT);
  LONG upper = -1;
  SafeArrayGetUBound(V_ARRAY(&keys.Result.v), 1, &upper);
  EXPECT_EQ(upper, 1);
}

// The dual interface's function table reaches the same members.
TEST_F(ComEdgeTest, FunctionTableCallsTheSameMembers) {
  Ref<IKeyList> list(Query<IKeyList>(unknown_, __uuidof(IKeyList)));
  OwnedBstr key(L"k");
  VARIANT item = I4Arg(7);
  EXPECT_EQ(list->Add(key.b, item), S_OK);
  LONG count = 0;
  EXPECT_EQ(list->get_Count(&count), S_OK);
  EXPECT_EQ(count, 1);
  OwnedBstr out_key;
  OwnedVariant out_item;
  EXPECT_EQ(list->ByIndex(0, &out_key.b, &out_item.v), S_OK);
  EXPECT_EQ(out_key.Text(), L"k");
  EXPECT_EQ(V_I4(&out_item.v), 7);
  VARIANT_BOOL exists = VARIANT_FALSE;
  EXPECT_EQ(list->Exists(key.b, &exists), S_OK);
  EXPECT_EQ(exists, VARIANT_TRUE);
  SAFEARRAY* items = nullptr;
  EXPECT_EQ(list->Items(&items), S_OK);
  ASSERT_NE(items, nullptr);
  SafeArrayDestroy(items);
  EXPECT_EQ(list->get_Count(nullptr), E_POINTER);

  // An error: its number is returned and the rest waits as the thread's error information.
  EXPECT_EQ(list->ByIndex(5, &out_key.b, &out_item.v), kRangeError);
  EXPECT_EQ(out_key.b, nullptr) << "[out] parameters are cleared on failure";
  Ref<IErrorInfo> info;
  ASSERT_EQ(GetErrorInfo(0, &info.p), S_OK);
  OwnedBstr description;
  info->GetDescription(&description.b);
  EXPECT_EQ(description.Text(), L"Range check error");
}

TEST_F(ComEdgeTest, InterfacesAndTypeInformation) {
  Ref<IUnknown> identity(Query<IUnknown>(dispatch_, IID_IUnknown));
  EXPECT_EQ(identity.p, unknown_);
  Ref<IKeyList> dual(Query<IKeyList>(unknown_, __uuidof(IKeyList)));
  EXPECT_EQ(static_cast<IDispatch*>(dual.p), dispatch_);
  Ref<ISupportErrorInfo> errors(Query<ISupportErrorInfo>(unknown_, IID_ISupportErrorInfo));
  EXPECT_EQ(errors->InterfaceSupportsErrorInfo(__uuidof(IKeyList)), S_OK);
  EXPECT_EQ(errors->InterfaceSupportsErrorInfo(IID_IDispatch), S_OK);
  EXPECT_EQ(errors->InterfaceSupportsErrorInfo(__uuidof(IParser)), S_FALSE);
  void* none = &none;
  EXPECT_EQ(unknown_->QueryInterface(__uuidof(IParser), &none), E_NOINTERFACE);
  EXPECT_EQ(none, nullptr);

  UINT count = 0;
  EXPECT_EQ(dispatch_->GetTypeInfoCount(&count), S_OK);
  EXPECT_EQ(count, 1u);
  Ref<ITypeInfo> info;
  ASSERT_EQ(dispatch_->GetTypeInfo(0, 0, &info.p), S_OK);
  OwnedBstr name;
  info->GetDocumentation(MEMBERID_NIL, &name.b, nullptr, nullptr, nullptr);
  EXPECT_EQ(name.Text(), L"IKeyList");
  ITypeInfo* missing = nullptr;
  EXPECT_EQ(dispatch_->GetTypeInfo(1, 0, &missing), DISP_E_BADINDEX);

  Ref<IProvideClassInfo> provider(Query<IProvideClassInfo>(unknown_, IID_IProvideClassInfo));
  Ref<ITypeInfo> coclass;
  ASSERT_EQ(provider->GetClassInfo(&coclass.p), S_OK);
  OwnedBstr coclass_name;
  coclass->GetDocumentation(MEMBERID_NIL, &coclass_name.b, nullptr, nullptr, nullptr);
  EXPECT_EQ(coclass_name.Text(), L"KeyList");
}

// An object put in and taken out again is the same reference, ours or another component's.
TEST_F(ComEdgeTest, ObjectsKeepTheirIdentity) {
  Ref<IUnknown> parser(NewCom<FakeParser>());
  Ref<IDispatch> parser_dispatch(Query<IDispatch>(parser.p, IID_IDispatch));
  Ref<ICreateErrorInfo> foreign;
  ASSERT_EQ(CreateErrorInfo(&foreign.p), S_OK);  // an object without IDispatch
  VARIANT ours, theirs;
  V_VT(&ours) = VT_DISPATCH;
  V_DISPATCH(&ours) = parser_dispatch.p;
  parser_dispatch->AddRef();
  V_VT(&theirs) = VT_UNKNOWN;
  V_UNKNOWN(&theirs) = foreign.p;
  foreign->AddRef();
  Call add_ours, add_theirs, get_ours, get_theirs;
  Invoke(dispatch_, L"Add", DISPATCH_METHOD, {TextArg(L"ours"), ours}, add_ours);
  Invoke(dispatch_, L"Add", DISPATCH_METHOD, {TextArg(L"theirs"), theirs}, add_theirs);
  Invoke(dispatch_, L"Item", DISPATCH_PROPERTYGET, {TextArg(L"ours")}, get_ours);
  Invoke(dispatch_, L"Item", DISPATCH_PROPERTYGET, {TextArg(L"theirs")}, get_theirs);
  ASSERT_EQ(V_VT(&get_ours.Result.v), VT_DISPATCH);
  EXPECT_EQ(V_DISPATCH(&get_ours.Result.v), parser_dispatch.p);
  ASSERT_EQ(V_VT(&get_theirs.Result.v), VT_UNKNOWN);
  EXPECT_EQ(V_UNKNOWN(&get_theirs.Result.v), static_cast<IUnknown*>(foreign.p));
}

// ITable.Open receives an IParser: our parser arrives as the shared parser, anything else is
// refused before Open runs.
TEST_F(ComEdgeTest, ParserArgumentIsUnwrapped) {
  ObjectPtr<FakeParser> parser;
  ObjectPtr<FakeTable> table;
  Ref<IUnknown> parser_com(NewCom<FakeParser>(&parser));
  Ref<IUnknown> table_com(NewCom<FakeTable>(&table));
  Ref<IDispatch> table_dispatch(Query<IDispatch>(table_com.p, IID_IDispatch));
  VARIANT parser_arg, list_arg;
  V_VT(&parser_arg) = VT_DISPATCH;
  V_DISPATCH(&parser_arg) = Query<IDispatch>(parser_com.p, IID_IDispatch);
  V_VT(&list_arg) = VT_DISPATCH;
  V_DISPATCH(&list_arg) = Query<IDispatch>(unknown_, IID_IDispatch);
  Call good, bad;
  Invoke(table_dispatch.p, L"Open", DISPATCH_METHOD, {TextArg(L"PERSON"), parser_arg}, good);
  EXPECT_EQ(good.Status, S_OK);
  EXPECT_EQ(table->OpenedName, "PERSON");
  EXPECT_EQ(table->OpenedParser.get(), parser.get());
  Invoke(table_dispatch.p, L"Open", DISPATCH_METHOD, {TextArg(L"EVENT"), list_arg}, bad);
  EXPECT_EQ(bad.Status, DISP_E_TYPEMISMATCH);
  EXPECT_EQ(bad.ArgError, 0u);
  EXPECT_EQ(table->OpenedName, "PERSON");

  Ref<ITable> early(Query<ITable>(table_com.p, __uuidof(ITable)));
  Ref<IParser> early_parser(Query<IParser>(parser_com.p, __uuidof(IParser)));
  VARIANT name = TextArg(L"FAMILY");
  EXPECT_EQ(early->Open(name, early_parser.p), S_OK);
  VariantClear(&name);
  EXPECT_EQ(table->OpenedName, "FAMILY");
  table->OpenedParser = {};
}

TEST_F(ComEdgeTest, MembersWithoutCodeAnswerNotImplemented) {
  Ref<IUnknown> parser(NewCom<FakeParser>());
  Ref<IDispatch> dispatch(Query<IDispatch>(parser.p, IID_IDispatch));
  Call call;
  Invoke(dispatch.p, L"LineCount", DISPATCH_PROPERTYGET, {}, call);
  EXPECT_EQ(call.Status, DISP_E_EXCEPTION);
  EXPECT_EQ(call.Exception.scode, E_NOTIMPL);
  EXPECT_EQ(std::wstring(call.Exception.bstrSource), L"Voziroz.Parser");
}

// An outer object that counts what the aggregated object delegates to it.
struct Outer final : IUnknown {
  IUnknown* inner = nullptr;
  ULONG references = 1;
  int queries = 0;
  STDMETHODIMP QueryInterface(REFIID iid, void** out) override {
    ++queries;
    return IsEqualIID(iid, IID_IUnknown) ? (*out = this, AddRef(), S_OK)
                                         : inner->QueryInterface(iid, out);
  }
  STDMETHODIMP_(ULONG) AddRef() override { return ++references; }
  STDMETHODIMP_(ULONG) Release() override { return --references; }
};

TEST_F(ComEdgeTest, AggregatedObjectsDelegateToTheirOuterObject) {
  Outer outer;
  outer.inner = NewComObject(MakeObject<FakeKeyList>(), &outer);
  IDispatch* dispatch = nullptr;
  ASSERT_EQ(outer.QueryInterface(IID_IDispatch, reinterpret_cast<void**>(&dispatch)), S_OK);
  EXPECT_EQ(outer.references, 2u) << "the inner object's interfaces count on the outer object";
  IUnknown* identity = nullptr;
  ASSERT_EQ(dispatch->QueryInterface(IID_IUnknown, reinterpret_cast<void**>(&identity)), S_OK);
  EXPECT_EQ(identity, &outer);
  EXPECT_EQ(outer.queries, 2);
  identity->Release();
  dispatch->Release();
  EXPECT_EQ(outer.references, 1u);
  EXPECT_EQ(outer.inner->Release(), 0u);
}

}  // namespace
}  // namespace voziroz::testing
