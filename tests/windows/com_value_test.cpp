// VARIANT <-> Variant at the Windows edge.
#include "windows/com_value.h"

#include <gtest/gtest.h>

#include <cmath>

#include "com_test_support.h"

namespace voziroz::testing {
namespace {

class ComValueTest : public ComTest {};

Variant FromCom(const VARIANT& in) {
  Variant out;
  EXPECT_EQ(FromComVariant(in, out), S_OK);
  return out;
}

// Every kind of the shared value goes out as its VARIANT and comes back unchanged.
TEST_F(ComValueTest, EveryKindRoundTrips) {
  const struct {
    Variant value;
    VARTYPE type;
  } cases[] = {
      {Variant(), VT_EMPTY},
      {Variant::Null(), VT_NULL},
      {Variant::I1(-5), VT_I1},
      {Variant::UI1(200), VT_UI1},
      {Variant::I4(-2147483647 - 1), VT_I4},
      {Variant::Bool(true), VT_BOOL},
      {Variant::Bool(false), VT_BOOL},
      {Variant::Error(kParamNotFound), VT_ERROR},
      {Variant::Text("Caf\xE9 \x80 5"), VT_BSTR},
      {Variant::Text(std::string("a\0b", 3)), VT_BSTR},
      {Variant::Array(VariantArray({Variant::I4(1), Variant::Text("x"), Variant::Null()})),
       VT_ARRAY | VT_VARIANT},
      {Variant::NullArray(), VT_ARRAY | VT_VARIANT},
  };
  for (const auto& c : cases) {
    OwnedVariant com;
    ASSERT_EQ(ToComVariant(c.value, com.v), S_OK);
    EXPECT_EQ(V_VT(&com.v), c.type);
    EXPECT_EQ(FromCom(com.v), c.value) << static_cast<int>(c.value.Kind());
  }
}

TEST_F(ComValueTest, TextLeavesAsUtf16AndBooleansAsMinusOne) {
  OwnedVariant text, yes;
  ASSERT_EQ(ToComVariant(Variant::Text("Caf\xE9 \x80"), text.v), S_OK);
  EXPECT_EQ(std::wstring(V_BSTR(&text.v), SysStringLen(V_BSTR(&text.v))), L"Caf\u00E9 \u20AC");
  ASSERT_EQ(ToComVariant(Variant::Bool(true), yes.v), S_OK);
  EXPECT_EQ(V_BOOL(&yes.v), VARIANT_TRUE);
  EXPECT_EQ(V_BOOL(&yes.v), -1);
}

// A two-dimensional array is indexed (row, column) on both sides, lower bounds 0.
TEST_F(ComValueTest, TwoDimensionalArrayKeepsRowsAndColumns) {
  VariantArray grid(3, 2);
  for (std::int32_t r = 0; r < 3; ++r)
    for (std::int32_t c = 0; c < 2; ++c) grid.At(r, c) = Variant::I4(10 * r + c);
  OwnedVariant com;
  ASSERT_EQ(ToComVariant(Variant::Array(grid), com.v), S_OK);
  SAFEARRAY* array = V_ARRAY(&com.v);
  ASSERT_EQ(SafeArrayGetDim(array), 2u);
  LONG lower = -1, upper = -1;
  SafeArrayGetLBound(array, 1, &lower);
  SafeArrayGetUBound(array, 1, &upper);
  EXPECT_EQ(lower, 0);
  EXPECT_EQ(upper, 2);
  SafeArrayGetUBound(array, 2, &upper);
  EXPECT_EQ(upper, 1);
  LONG at[2] = {2, 1};
  OwnedVariant cell;
  ASSERT_EQ(SafeArrayGetElement(array, at, &cell.v), S_OK);
  EXPECT_EQ(V_I4(&cell.v), 21);
  EXPECT_EQ(FromCom(com.v), Variant::Array(grid));
}

// Kinds the shared value has no room for are narrowed: whole numbers that fit to I4, the rest
// to their text.
TEST_F(ComValueTest, OtherNumbersNarrowToI4OrText) {
  VARIANT v;
  VariantInit(&v);
  V_VT(&v) = VT_I2;
  V_I2(&v) = -7;
  EXPECT_EQ(FromCom(v), Variant::I4(-7));
  V_VT(&v) = VT_R8;
  V_R8(&v) = 3.0;
  EXPECT_EQ(FromCom(v), Variant::I4(3));
  V_R8(&v) = 3.5;
  EXPECT_EQ(FromCom(v), Variant::Text("3.5"));
  V_VT(&v) = VT_I8;
  V_I8(&v) = 1LL << 40;
  EXPECT_EQ(FromCom(v), Variant::Text("1099511627776"));
  V_VT(&v) = VT_UI4;
  V_UI4(&v) = 4000000000u;
  EXPECT_EQ(FromCom(v), Variant::Text("4000000000"));
  V_VT(&v) = VT_DATE;  // 2 January 2000, midnight: text, never the serial number 36527
  V_DATE(&v) = 36527.0;
  const Variant date = FromCom(v);
  ASSERT_EQ(date.Kind(), VariantKind::Text);
  EXPECT_NE(date.AsText().find("2000"), std::string::npos) << date.AsText();
}

TEST_F(ComValueTest, ReferencesAreFollowed) {
  LONG number = 42;
  VARIANT by_ref;
  VariantInit(&by_ref);
  V_VT(&by_ref) = VT_BYREF | VT_I4;
  V_I4REF(&by_ref) = &number;
  EXPECT_EQ(FromCom(by_ref), Variant::I4(42));

  OwnedVariant inner;
  V_VT(&inner.v) = VT_BSTR;
  V_BSTR(&inner.v) = SysAllocString(L"in");
  V_VT(&by_ref) = VT_BYREF | VT_VARIANT;
  V_VARIANTREF(&by_ref) = &inner.v;
  EXPECT_EQ(FromCom(by_ref), Variant::Text("in"));

  VARIANT nothing;  // a script's Nothing
  VariantInit(&nothing);
  V_VT(&nothing) = VT_DISPATCH;
  V_DISPATCH(&nothing) = nullptr;
  EXPECT_EQ(FromCom(nothing), Variant());
}

// A typed array with lower bound 1 (as some hosts make) comes in rebased to 0.
TEST_F(ComValueTest, TypedArraysAreRebased) {
  SAFEARRAYBOUND bound = {3, 1};
  SAFEARRAY* array = SafeArrayCreate(VT_I4, 1, &bound);
  for (LONG i = 1; i <= 3; ++i) {
    LONG value = i * 100;
    SafeArrayPutElement(array, &i, &value);
  }
  OwnedVariant com;
  V_VT(&com.v) = VT_ARRAY | VT_I4;
  V_ARRAY(&com.v) = array;
  EXPECT_EQ(FromCom(com.v),
            Variant::Array(VariantArray({Variant::I4(100), Variant::I4(200), Variant::I4(300)})));
}

TEST_F(ComValueTest, WhatCannotBeCarriedIsATypeMismatch) {
  SAFEARRAYBOUND bounds[3] = {{1, 0}, {1, 0}, {1, 0}};
  OwnedVariant cube;
  V_VT(&cube.v) = VT_ARRAY | VT_VARIANT;
  V_ARRAY(&cube.v) = SafeArrayCreate(VT_VARIANT, 3, bounds);
  VARIANT record;
  VariantInit(&record);
  V_VT(&record) = VT_RECORD;
  VARIANT bad_ref;
  VariantInit(&bad_ref);
  V_VT(&bad_ref) = VT_BYREF | VT_VARIANT;
  V_VARIANTREF(&bad_ref) = nullptr;
  for (const VARIANT* in : {&cube.v, &record, &bad_ref}) {
    Variant out = Variant::I4(1);
    EXPECT_EQ(FromComVariant(*in, out), DISP_E_TYPEMISMATCH) << V_VT(in);
  }
}

}  // namespace
}  // namespace voziroz::testing
