// The calls on which script hosts have seen servers differ, decided once for every platform: a
// script gets what an automation server whose dispatch follows its type library gives.
#include <gtest/gtest.h>

#include "com/com_object.h"
#include "tests/com/com_test_helpers.h"
#include "tests/com/probe_keylist.h"

namespace voziroz::testing {
namespace {

// An argument of another kind than the declared I4 is coerced as VariantChangeType does, and a
// refusal names the argument.
TEST(Boundary, AnArgumentIsCoercedToTheDeclaredTypeOrRefusedByPosition) {
  ComPtr<IDispatch> list = NewObject(KeyListClass());
  VARIANT huge = Of(VT_I8);
  huge.llVal = 1LL << 32;
  struct Case {
    VARIANT capacity;
    HRESULT status;
    LONG expected;
  };
  const Case kCases[] = {
      {Real(2.5), S_OK, 2},  // rounded half to even
      {Real(3.5), S_OK, 4},
      {Text(" 12 "), S_OK, 12},
      {Real(1e10), DISP_E_OVERFLOW, 0},
      {huge, DISP_E_OVERFLOW, 0},
      {Text("x"), DISP_E_TYPEMISMATCH, 0},
  };
  for (const Case& c : kCases) {
    UINT argument_error = ~0u;
    EXPECT_EQ(InvokeByName(list.get(), "Capacity", DISPATCH_PROPERTYPUT, {c.capacity}, nullptr,
                           nullptr, &argument_error),
              c.status);
    if (FAILED(c.status)) {
      EXPECT_EQ(argument_error, 0u);
      continue;
    }
    Value capacity;
    EXPECT_EQ(InvokeByName(list.get(), "Capacity", DISPATCH_PROPERTYGET, {}, &capacity), S_OK);
    EXPECT_EQ(capacity.lVal, c.expected);
  }
}

// [out] arguments come back into the caller's variables, whatever their kind; a variable that
// cannot hold the value is refused by position.
TEST(Boundary, OutArgumentsAreWrittenBackIntoVariablesOfAnyKind) {
  ComPtr<IDispatch> list = NewObject(KeyListClass());
  ASSERT_EQ(InvokeByName(list.get(), "Add", DISPATCH_METHOD, {Text("7"), Number(42)}, nullptr),
            S_OK);
  ASSERT_EQ(InvokeByName(list.get(), "Add", DISPATCH_METHOD, {Text("k"), Number(0)}, nullptr),
            S_OK);
  LONG key = 0;
  VARIANT_BOOL item = VARIANT_FALSE;
  EXPECT_EQ(InvokeByName(list.get(), "ByIndex", DISPATCH_METHOD,
                         {Number(0), Reference(VT_I4, &key), Reference(VT_BOOL, &item)}, nullptr),
            S_OK);
  EXPECT_EQ(key, 7);
  EXPECT_EQ(item, VARIANT_TRUE);
  double real_key = 0;
  SHORT small_item = 0;
  EXPECT_EQ(InvokeByName(list.get(), "ByIndex", DISPATCH_METHOD,
                         {Number(0), Reference(VT_R8, &real_key), Reference(VT_I2, &small_item)},
                         nullptr),
            S_OK);
  EXPECT_EQ(real_key, 7.0);
  EXPECT_EQ(small_item, 42);
  UINT argument_error = ~0u;
  EXPECT_EQ(InvokeByName(list.get(), "ByIndex", DISPATCH_METHOD,
                         {Number(1), Reference(VT_I4, &key), Reference(VT_BOOL, &item)}, nullptr,
                         nullptr, &argument_error),
            DISP_E_TYPEMISMATCH);  // the key "k" is no number
  EXPECT_EQ(argument_error, 1u);
  IDispatch* object = nullptr;
  EXPECT_EQ(InvokeByName(list.get(), "ByIndex", DISPATCH_METHOD,
                         {Number(0), Reference(VT_I4, &key), Reference(VT_DISPATCH, &object)},
                         nullptr, nullptr, &argument_error),
            DISP_E_TYPEMISMATCH);  // refused before the member runs
  EXPECT_EQ(argument_error, 0u);
}

TEST(Boundary, OurObjectIsRecognisedThroughAnyOfItsInterfaces) {
  ComPtr<IDispatch> queue = NewObject(QueueClass());
  ComPtr<IDispatch> table = NewObject(TableClass());
  ComPtr<IUnknown> identity = Query<IUnknown>(table.get(), IID_IUnknown);
  VARIANT unknown = Of(VT_UNKNOWN);
  unknown.punkVal = identity.get();
  identity->lpVtbl->AddRef(identity.get());  // for the argument, which the call clears
  ASSERT_EQ(InvokeByName(queue.get(), "Put", DISPATCH_METHOD, {unknown}, nullptr), S_OK);
  Value got;
  ASSERT_EQ(InvokeByName(queue.get(), "Get", DISPATCH_METHOD, {}, &got), S_OK);
  EXPECT_EQ(got.vt, VT_DISPATCH);
  EXPECT_EQ(got.pdispVal, table.get());
}

TEST(Boundary, InvokeWithoutItsParametersIsRefused) {
  ComPtr<IDispatch> queue = NewObject(QueueClass());
  Value result;
  EXPECT_EQ(queue->lpVtbl->Invoke(queue.get(), IdOf(queue.get(), "Length"), RefIid(IID_NULL), 0,
                                  DISPATCH_PROPERTYGET, nullptr, &result, nullptr, nullptr),
            E_INVALIDARG);
}

TEST(Boundary, ANewObjectHoldsTheOneReferenceItsCreatorReceives) {
  ComPtr<IDispatch> queue = NewObject(QueueClass());
  EXPECT_EQ(queue->lpVtbl->AddRef(queue.get()), 2u);
  EXPECT_EQ(queue->lpVtbl->Release(queue.get()), 1u);
}

// A member that throws what is no exception class still ends in an HRESULT, both ways.
TEST(Boundary, NothingButAnHresultLeavesTheLibrary) {
  IUnknown* inner = ComObject::Create(MakeObject<ProbeKeyList>(), nullptr);
  ComPtr<IDispatch> probe;
  inner->lpVtbl->QueryInterface(inner, RefIid(IID_IDispatch), probe.out());
  inner->lpVtbl->Release(inner);
  EXCEPINFO exception{};
  EXPECT_EQ(InvokeByName(probe.get(), "Clear", DISPATCH_METHOD, {}, nullptr, &exception),
            DISP_E_EXCEPTION);
  EXPECT_EQ(exception.scode, E_UNEXPECTED);
  EXPECT_EQ(Ansi(exception.bstrSource), "Voziroz.KeyList");
  FreeBstr(exception.bstrSource);
  FreeBstr(exception.bstrDescription);
  ComPtr<IKeyList> list = Query<IKeyList>(probe.get(), ToCGuid(kKeyListInterface.Iid));
  EXPECT_EQ(list->lpVtbl->Clear(list.get()), E_UNEXPECTED);
  EXPECT_EQ(TakeErrorInfo().first, "Voziroz.KeyList");
}

}  // namespace
}  // namespace voziroz::testing
