// Calls through IDispatch::Invoke and through the function table, on an object whose members
// take keys, out-parameters and property puts (a KeyList made for the test).
#include <gtest/gtest.h>

#include "server/com_object.h"
#include "tests/server/com_test_helpers.h"
#include "tests/server/probe_keylist.h"

namespace voziroz::testing {
namespace {

class Bridge : public ::testing::Test {
 protected:
  void SetUp() override {
    IUnknown* inner = ComObject::Create(MakeObject<ProbeKeyList>(), nullptr);
    inner->lpVtbl->QueryInterface(inner, &IID_IDispatch, list_.out());
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
    return item.vt == VT_BSTR ? Utf8(item.bstrVal) : "(kind " + std::to_string(item.vt) + ")";
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
    const HRESULT hr = list_->lpVtbl->Invoke(list_.get(), item, &IID_NULL, 0, DISPATCH_PROPERTYPUT,
                                             &params, nullptr, nullptr, nullptr);
    for (VARIANT& v : reversed) vz_variant_clear(&v);
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
  BSTR key = vz_bstr_from_utf8("old key, freed by the call");
  Value item;
  item.vt = VT_BSTR;
  item.bstrVal = vz_bstr_from_utf8("old item, freed by the call");
  EXPECT_EQ(Call("ByIndex", DISPATCH_METHOD,
                 {Number(0), Reference(VT_BSTR, &key), Reference(VT_VARIANT, &item)}),
            S_OK);
  EXPECT_EQ(Utf8(key), "k");
  EXPECT_EQ(item.vt, VT_I4);
  EXPECT_EQ(item.lVal, 42);
  vz_bstr_free(key);
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
  EXPECT_EQ(Utf8(exception.bstrSource), "Voziroz.KeyList");
  EXPECT_EQ(Utf8(exception.bstrDescription), "Range check error");
  EXPECT_EQ(result.vt, VT_EMPTY);
  vz_bstr_free(exception.bstrSource);
  vz_bstr_free(exception.bstrDescription);
  // Without an EXCEPINFO the error stays with the thread.
  EXPECT_EQ(Call("ByIndex", DISPATCH_METHOD, {Number(-1), Value{}, Value{}}), DISP_E_EXCEPTION);
  EXPECT_EQ(TakeErrorInfo(),
            std::make_pair(std::string("Voziroz.KeyList"), std::string("Range check error")));
}

TEST_F(Bridge, SaysWhichArgumentCannotBeConvertedInReverseOrder) {
  VARIANT null;
  vz_variant_init(&null);
  null.vt = VT_NULL;
  // The first argument stands last in rgvarg.
  EXPECT_EQ(RefusedArgument("Add", {null, Text("item")}, DISP_E_TYPEMISMATCH), 1u);
}

// A foreign object: answers IUnknown and IDispatch but is none of the server's.
HRESULT ForeignQuery(IDispatch* self, REFIID, void** out) {
  *out = self;
  return S_OK;
}
ULONG ForeignCount(IDispatch*) {
  return 1;
}
const IDispatchVtbl kForeignVtbl = {.QueryInterface = ForeignQuery,
                                    .AddRef = ForeignCount,
                                    .Release = ForeignCount,
                                    .GetTypeInfoCount = nullptr,
                                    .GetTypeInfo = nullptr,
                                    .GetIDsOfNames = nullptr,
                                    .Invoke = nullptr};

TEST_F(Bridge, KeepsTheIdentityOfOurObjectsAndRefusesForeignOnes) {
  list_->lpVtbl->AddRef(list_.get());  // for the argument, which the call clears
  EXPECT_EQ(Call("Add", DISPATCH_METHOD, {Text("me"), Borrowed(list_.get())}), S_OK);
  Value item;
  EXPECT_EQ(Call("Item", DISPATCH_PROPERTYGET, {Text("me")}, &item), S_OK);
  EXPECT_EQ(item.vt, VT_DISPATCH);
  EXPECT_EQ(item.pdispVal, list_.get());
  vz_variant_clear(&item);
  EXPECT_EQ(Call("Item", DISPATCH_PROPERTYPUT, {Text("me"), Value{}}), S_OK);  // no cycle left

  IDispatch foreign{&kForeignVtbl};
  EXPECT_EQ(RefusedArgument("Add", {Text("x"), Borrowed(&foreign)}, DISP_E_TYPEMISMATCH), 0u);
}

TEST_F(Bridge, TheFunctionTableCallsTheSameMembersAndLeavesErrorsWithTheThread) {
  ComPtr<IKeyList> list = Query<IKeyList>(list_.get(), IID_IKeyList);
  ASSERT_TRUE(list);
  BSTR key = vz_bstr_from_utf8("k");
  VARIANT item = Number(5);
  EXPECT_EQ(list->lpVtbl->put_Item(list.get(), key, item), S_OK);
  LONG count = 0;
  EXPECT_EQ(list->lpVtbl->get_Count(list.get(), &count), S_OK);
  EXPECT_EQ(count, 1);
  BSTR found_key = nullptr;
  Value found_item;
  EXPECT_EQ(list->lpVtbl->ByIndex(list.get(), 0, &found_key, &found_item), S_OK);
  EXPECT_EQ(Utf8(found_key), "k");
  EXPECT_EQ(found_item.lVal, 5);
  vz_bstr_free(found_key);
  EXPECT_EQ(list->lpVtbl->ByIndex(list.get(), 1, &found_key, &found_item), E_UNEXPECTED);
  EXPECT_EQ(found_key, nullptr);
  EXPECT_EQ(found_item.vt, VT_EMPTY);
  EXPECT_EQ(TakeErrorInfo(),
            std::make_pair(std::string("Voziroz.KeyList"), std::string("Range check error")));
  EXPECT_EQ(list->lpVtbl->ByIndex(list.get(), 0, nullptr, &found_item), E_POINTER);
  EXPECT_EQ(list->lpVtbl->Init(list.get()), E_NOTIMPL);  // a member without a handler
  vz_bstr_free(key);
}

}  // namespace
}  // namespace voziroz::testing
