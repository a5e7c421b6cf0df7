// Calls through IDispatch::Invoke and through the function table, on an object whose members
// take keys, out-parameters and property puts (a KeyList made for the test).
#include <gtest/gtest.h>

#include "com/com_object.h"
#include "tests/com/com_test_helpers.h"
#include "tests/com/probe_keylist.h"

namespace voziroz::testing {
namespace {

class Bridge : public ::testing::Test {
 protected:
  void SetUp() override {
    IUnknown* inner = ComObject::Create(MakeObject<ProbeKeyList>(), nullptr);
    inner->lpVtbl->QueryInterface(inner, RefIid(IID_IDispatch), list_.out());
    inner->lpVtbl->Release(inner);
  }
  HRESULT Call(const char* name, WORD flags, std::vector<VARIANT> args, VARIANT* result = nullptr,
               EXCEPINFO* exception = nullptr, UINT* argument_error = nullptr) {
    return InvokeByName(list_.get(), name, flags, std::move(args), result, exception,
                        argument_error);
  }
  // The rgvarg index of the argument a call refuses with `status`.
  UINT RefusedArgument(const char* name, std::vector<VARIANT> args, HRESULT status) {
    UINT argument_error = ~0u;
    EXPECT_EQ(Call(name, DISPATCH_METHOD, std::move(args), nullptr, nullptr, &argument_error),
              status);
    return argument_error;
  }
  std::string ItemText(const char* key) {
    Value item;
    EXPECT_EQ(Call("Item", DISPATCH_PROPERTYGET, {Text(key)}, &item), S_OK);
    return item.vt == VT_BSTR ? Ansi(item.bstrVal) : "(kind " + std::to_string(item.vt) + ")";
  }

  ComPtr<IDispatch> list_;
};

TEST_F(Bridge, APropertyPutReachesThePutByValueAndByReference) {
  EXPECT_EQ(Call("Item", DISPATCH_PROPERTYPUT, {Text("a"), Text("five")}), S_OK);
  EXPECT_EQ(ItemText("a"), "five");
  EXPECT_EQ(Call("Item", DISPATCH_PROPERTYPUTREF, {Text("a"), Text("six")}), S_OK);
  EXPECT_EQ(ItemText("a"), "six");
}

TEST_F(Bridge, NamedArgumentsOtherThanThePutValueAreRefused) {
  const DISPID item = IdOf(list_.get(), "Item");
  auto put = [&](std::vector<VARIANT> reversed, std::vector<DISPID> named) {
    DISPPARAMS params{reversed.data(), named.data(), static_cast<UINT>(reversed.size()),
                      static_cast<UINT>(named.size())};
    const HRESULT hr =
        list_->lpVtbl->Invoke(list_.get(), item, RefIid(IID_NULL), 0, DISPATCH_PROPERTYPUT, &params,
                              nullptr, nullptr, nullptr);
    for (VARIANT& v : reversed) ClearVariant(v);
    return hr;
  };
  EXPECT_EQ(put({Text("value"), Text("key")}, {DISPID_PROPERTYPUT, 0}), DISP_E_NONAMEDARGS);
  // DISPID_THIS, which script engines may pass, is ignored.
  EXPECT_EQ(put({Text("value"), Text("this"), Text("key")}, {DISPID_PROPERTYPUT, DISPID_THIS}),
            S_OK);
  EXPECT_EQ(ItemText("key"), "value");
}

TEST_F(Bridge, OutParametersComeBackThroughReferences) {
  ASSERT_EQ(Call("Add", DISPATCH_METHOD, {Text("k"), Number(42)}), S_OK);
  BSTR key = NewText("old key, freed by the call");
  Value item;
  item.vt = VT_BSTR;
  item.bstrVal = NewText("old item, freed by the call");
  EXPECT_EQ(Call("ByIndex", DISPATCH_METHOD,
                 {Number(0), Reference(VT_BSTR, &key), Reference(VT_VARIANT, &item)}),
            S_OK);
  EXPECT_EQ(Ansi(key), "k");
  EXPECT_EQ(item.vt, VT_I4);
  EXPECT_EQ(item.lVal, 42);
  FreeBstr(key);
}

TEST_F(Bridge, ArgumentsByReferenceAreReadWhereTheyPoint) {
  SHORT number = 7;
  EXPECT_EQ(Call("Add", DISPATCH_METHOD, {Reference(VT_I2, &number), Text("seven")}), S_OK);
  EXPECT_EQ(ItemText("7"), "seven");
  VARIANT loop = Reference(VT_VARIANT, nullptr);
  loop.pvarVal = &loop;
  EXPECT_EQ(RefusedArgument("Add", {Text("x"), loop}, DISP_E_TYPEMISMATCH), 0u);
}

TEST_F(Bridge, AnErrorInsideAMemberFillsTheExceptionInformation) {
  EXCEPINFO exception{};
  Value result;
  EXPECT_EQ(Call("ByIndex", DISPATCH_METHOD, {Number(3), Value{}, Value{}}, &result, &exception),
            DISP_E_EXCEPTION);
  EXPECT_EQ(exception.scode, E_UNEXPECTED);
  EXPECT_EQ(exception.wCode, 0);
  EXPECT_EQ(Ansi(exception.bstrSource), "Voziroz.KeyList");
  EXPECT_EQ(Ansi(exception.bstrDescription), "Range check error");
  EXPECT_EQ(result.vt, VT_EMPTY);
  FreeBstr(exception.bstrSource);
  FreeBstr(exception.bstrDescription);
  // Without an EXCEPINFO the error stays with the thread.
  EXPECT_EQ(Call("ByIndex", DISPATCH_METHOD, {Number(-1), Value{}, Value{}}), DISP_E_EXCEPTION);
  EXPECT_EQ(TakeErrorInfo(),
            std::make_pair(std::string("Voziroz.KeyList"), std::string("Range check error")));
}

TEST_F(Bridge, SaysWhichArgumentCannotBeConvertedInReverseOrder) {
  // The first argument stands last in rgvarg.
  EXPECT_EQ(RefusedArgument("Add", {Of(VT_NULL), Text("item")}, DISP_E_TYPEMISMATCH), 1u);
}

// A foreign object: answers IUnknown and IDispatch, counts its references, is none of ours.
struct Foreign {
  IDispatch face;
  int references = 1;
};
HRESULT VZ_CALL ForeignQuery(IDispatch* self, REFIID, void** out) {
  ++reinterpret_cast<Foreign*>(self)->references;
  *out = self;
  return S_OK;
}
ULONG VZ_CALL ForeignAddRef(IDispatch* self) {
  return ++reinterpret_cast<Foreign*>(self)->references;
}
ULONG VZ_CALL ForeignRelease(IDispatch* self) {
  return --reinterpret_cast<Foreign*>(self)->references;
}
const IDispatchVtbl kForeignVtbl = {.QueryInterface = ForeignQuery,
                                    .AddRef = ForeignAddRef,
                                    .Release = ForeignRelease,
                                    .GetTypeInfoCount = nullptr,
                                    .GetTypeInfo = nullptr,
                                    .GetIDsOfNames = nullptr,
                                    .Invoke = nullptr};

TEST_F(Bridge, ObjectsKeepTheirIdentityOursAndForeignOnes) {
  list_->lpVtbl->AddRef(list_.get());  // for the argument, which the call clears
  EXPECT_EQ(Call("Add", DISPATCH_METHOD, {Text("me"), Borrowed(list_.get())}), S_OK);
  Value item;
  EXPECT_EQ(Call("Item", DISPATCH_PROPERTYGET, {Text("me")}, &item), S_OK);
  EXPECT_EQ(item.vt, VT_DISPATCH);
  EXPECT_EQ(item.pdispVal, list_.get());
  ClearVariant(item);
  EXPECT_EQ(Call("Item", DISPATCH_PROPERTYPUT, {Text("me"), Value{}}), S_OK);  // no cycle left

  Foreign foreign{{&kForeignVtbl}};
  foreign.face.lpVtbl->AddRef(&foreign.face);  // for the argument
  EXPECT_EQ(Call("Add", DISPATCH_METHOD, {Text("x"), Borrowed(&foreign.face)}), S_OK);
  EXPECT_EQ(foreign.references, 2);  // the list holds it
  EXPECT_EQ(Call("Item", DISPATCH_PROPERTYGET, {Text("x")}, &item), S_OK);
  EXPECT_EQ(item.vt, VT_DISPATCH);
  EXPECT_EQ(item.pdispVal, &foreign.face);
  ClearVariant(item);
  EXPECT_EQ(Call("Item", DISPATCH_PROPERTYPUT, {Text("x"), Value{}}), S_OK);
  EXPECT_EQ(foreign.references, 1);
}

TEST_F(Bridge, TheFunctionTableCallsTheSameMembersAndLeavesErrorsWithTheThread) {
  ComPtr<IKeyList> list = Query<IKeyList>(list_.get(), ToCGuid(kKeyListInterface.Iid));
  ASSERT_TRUE(list);
  BSTR key = NewText("k");
  VARIANT item = Number(5);
  EXPECT_EQ(list->lpVtbl->put_Item(list.get(), key, item), S_OK);
  LONG count = 0;
  EXPECT_EQ(list->lpVtbl->get_Count(list.get(), &count), S_OK);
  EXPECT_EQ(count, 1);
  BSTR found_key = nullptr;
  Value found_item;
  EXPECT_EQ(list->lpVtbl->ByIndex(list.get(), 0, &found_key, &found_item), S_OK);
  EXPECT_EQ(Ansi(found_key), "k");
  EXPECT_EQ(found_item.lVal, 5);
  FreeBstr(found_key);
  EXPECT_EQ(list->lpVtbl->ByIndex(list.get(), 1, &found_key, &found_item), E_UNEXPECTED);
  EXPECT_EQ(found_key, nullptr);
  EXPECT_EQ(found_item.vt, VT_EMPTY);
  EXPECT_EQ(TakeErrorInfo(),
            std::make_pair(std::string("Voziroz.KeyList"), std::string("Range check error")));
  EXPECT_EQ(list->lpVtbl->ByIndex(list.get(), 0, nullptr, &found_item), E_POINTER);
  EXPECT_EQ(list->lpVtbl->Init(list.get()), E_NOTIMPL);  // a member without a handler
  FreeBstr(key);
}

}  // namespace
}  // namespace voziroz::testing
