#include "server/variant_bridge.h"

#include <gtest/gtest.h>

#include "tests/server/com_test_helpers.h"

namespace voziroz::testing {
namespace {

VARIANT Of(VARTYPE vt, LONGLONG bits) {
  VARIANT v;
  vz_variant_init(&v);
  v.vt = vt;
  v.llVal = bits;
  return v;
}

TEST(FromVariant, TakesEveryKindTheCoreHasAndRefusesTheRest) {
  struct Case {
    VARIANT in;
    HRESULT status;
    Variant expected;
  };
  const Case kCases[] = {
      {Of(VT_EMPTY, 0), S_OK, Variant()},
      {Of(VT_NULL, 0), S_OK, Variant::Null()},
      {Of(VT_I1, 0xFB), S_OK, Variant::I1(-5)},
      {Of(VT_UI1, 200), S_OK, Variant::UI1(200)},
      {Of(VT_I2, 0xFFF9), S_OK, Variant::I4(-7)},
      {Of(VT_UI2, 65535), S_OK, Variant::I4(65535)},
      {Of(VT_I4, -2147483647 - 1), S_OK, Variant::I4(-2147483647 - 1)},
      {Of(VT_INT, 12), S_OK, Variant::I4(12)},
      {Of(VT_UI4, 2147483647), S_OK, Variant::I4(2147483647)},
      {Of(VT_UI4, 2147483648), DISP_E_OVERFLOW, Variant()},
      {Of(VT_I8, -2147483648LL), S_OK, Variant::I4(-2147483647 - 1)},
      {Of(VT_I8, 2147483648LL), DISP_E_OVERFLOW, Variant()},
      {Of(VT_UI8, -1), DISP_E_OVERFLOW, Variant()},
      {Of(VT_BOOL, 1), S_OK, Variant::Bool(true)},
      {Of(VT_BOOL, 0), S_OK, Variant::Bool(false)},
      {Of(VT_ERROR, static_cast<LONG>(DISP_E_PARAMNOTFOUND)), S_OK,
       Variant::Error(DISP_E_PARAMNOTFOUND)},
      {Of(VT_BSTR, 0), S_OK, Variant::Text("")},
      {Of(VT_DISPATCH, 0), S_OK, Variant()},
      {Of(VT_UNKNOWN, 0), S_OK, Variant()},
      {Of(VT_ARRAY | VT_VARIANT, 0), S_OK, Variant::NullArray()},
      {Of(VT_ARRAY | VT_I4, 0), DISP_E_TYPEMISMATCH, Variant()},
      {Of(VT_R8, 0), DISP_E_TYPEMISMATCH, Variant()},
      {Of(7 /* VT_DATE */, 0), DISP_E_TYPEMISMATCH, Variant()},
      {Of(0x77, 0), DISP_E_BADVARTYPE, Variant()},
      {Of(VT_BYREF | VT_I4, 0), DISP_E_TYPEMISMATCH, Variant()},
  };
  for (const Case& c : kCases) {
    Variant out = Variant::Text("untouched");
    EXPECT_EQ(FromVariant(c.in, out), c.status) << "vt " << c.in.vt;
    if (c.status == S_OK) {
      EXPECT_EQ(out, c.expected) << "vt " << c.in.vt;
    }
  }
}

TEST(FromVariant, ConvertsTextToWindows1252) {
  VARIANT text = Text("caf\xC3\xA9 \xE2\x82\xAC \xE4\xB8\xAD");  // café € 中
  Variant out;
  EXPECT_EQ(FromVariant(text, out), S_OK);
  EXPECT_EQ(out, Variant::Text("caf\xE9 \x80 ?"));
  vz_variant_clear(&text);
}

TEST(FromVariant, FollowsReferencesButNotForever) {
  VARIANT inner = Number(9);
  Variant out;
  EXPECT_EQ(FromVariant(Reference(VT_VARIANT, &inner), out), S_OK);
  EXPECT_EQ(out, Variant::I4(9));
  VARIANT loop = Reference(VT_VARIANT, nullptr);
  loop.pvarVal = &loop;
  EXPECT_EQ(FromVariant(loop, out), DISP_E_TYPEMISMATCH);
}

Variant Grid() {
  VariantArray grid(2, 3);
  for (std::int32_t r = 0; r < 2; ++r)
    for (std::int32_t c = 0; c < 3; ++c) grid.At(r, c) = Variant::I4(r * 10 + c);
  grid.At(1, 2) = Variant::Array(VariantArray({Variant::Text("nested"), Variant::Null()}));
  return Variant::Array(std::move(grid));
}

TEST(ToVariant, LaysOutATwoDimensionalArrayAsTheStandardDoes) {
  Value out;
  ToVariant(Grid(), out);
  ASSERT_EQ(out.vt, VT_ARRAY | VT_VARIANT);
  SAFEARRAY* array = out.parray;
  ASSERT_EQ(vz_safearray_get_dim(array), 2u);
  EXPECT_EQ(array->rgsabound[1].cElements, 2u);  // rows: the first dimension, stored last
  EXPECT_EQ(array->rgsabound[0].cElements, 3u);
  LONG upper = 0;
  EXPECT_EQ(vz_safearray_get_ubound(array, 1, &upper), S_OK);
  EXPECT_EQ(upper, 1);
  EXPECT_EQ(vz_safearray_get_ubound(array, 2, &upper), S_OK);
  EXPECT_EQ(upper, 2);
  const LONG index[2] = {1, 0};
  Value element;
  EXPECT_EQ(vz_safearray_get_element(array, index, &element), S_OK);
  EXPECT_EQ(element.lVal, 10);
  // The first index varies fastest in memory.
  EXPECT_EQ(static_cast<VARIANT*>(array->pvData)[1].lVal, 10);
  EXPECT_EQ(static_cast<VARIANT*>(array->pvData)[2].lVal, 1);
}

TEST(ToVariant, EveryKindGoesOutAndComesBackTheSame) {
  const Variant kValues[] = {
      Variant(),
      Variant::Null(),
      Variant::I1(-3),
      Variant::UI1(250),
      Variant::I4(123456),
      Variant::Bool(true),
      Variant::Bool(false),
      Variant::Error(DISP_E_PARAMNOTFOUND),
      Variant::Text("Tr\xE4ger"),
      Variant::NullArray(),
      Grid(),
  };
  for (const Variant& value : kValues) {
    Value out;
    ToVariant(value, out);
    Variant back;
    EXPECT_EQ(FromVariant(out, back), S_OK);
    EXPECT_EQ(back, value) << "kind " << static_cast<int>(value.Kind());
  }
  Value boolean;
  ToVariant(Variant::Bool(true), boolean);
  EXPECT_EQ(boolean.boolVal, VARIANT_TRUE);
}

TEST(WriteByRef, ConvertsToTheKindReferredToAndFreesWhatWasThere) {
  Value target;
  target.vt = VT_BSTR;
  target.bstrVal = vz_bstr_from_utf8("old");
  EXPECT_TRUE(WriteByRef(Variant::I4(4), Reference(VT_VARIANT, &target)));
  EXPECT_EQ(target.vt, VT_I4);

  BSTR text = vz_bstr_from_utf8("old");
  EXPECT_TRUE(WriteByRef(Variant::I4(42), Reference(VT_BSTR, &text)));
  EXPECT_EQ(Utf8(text), "42");
  vz_bstr_free(text);

  LONG number = 5;
  EXPECT_FALSE(WriteByRef(Variant::Text("x"), Reference(VT_I4, &number)));
  EXPECT_EQ(number, 5);
  EXPECT_FALSE(WriteByRef(Variant::I4(1), Number(1)));
}

}  // namespace
}  // namespace voziroz::testing
