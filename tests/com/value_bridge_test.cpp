#include "com/value_bridge.h"

#include <gtest/gtest.h>

#include "tests/com/com_test_helpers.h"

namespace voziroz::testing {
namespace {

VARIANT Bits(VARTYPE vt, LONGLONG bits) {
  VARIANT v = Of(vt);
  v.llVal = bits;
  return v;
}

TEST(FromVariant, TakesEveryKindNarrowsOtherNumbersAndRefusesTheRest) {
  struct Case {
    VARIANT in;
    HRESULT status;
    Variant expected;
  };
  const Case kCases[] = {
      {Bits(VT_EMPTY, 0), S_OK, Variant()},
      {Bits(VT_NULL, 0), S_OK, Variant::Null()},
      {Bits(VT_I1, 0xFB), S_OK, Variant::I1(-5)},
      {Bits(VT_UI1, 200), S_OK, Variant::UI1(200)},
      {Bits(VT_I2, 0xFFF9), S_OK, Variant::I4(-7)},
      {Bits(VT_UI2, 65535), S_OK, Variant::I4(65535)},
      {Bits(VT_I4, -2147483647 - 1), S_OK, Variant::I4(-2147483647 - 1)},
      {Bits(VT_INT, 12), S_OK, Variant::I4(12)},
      {Bits(VT_UI4, 2147483647), S_OK, Variant::I4(2147483647)},
      {Bits(VT_UI4, 2147483648), S_OK, Variant::Text("2147483648")},
      {Bits(VT_I8, -2147483648LL), S_OK, Variant::I4(-2147483647 - 1)},
      {Bits(VT_I8, 2147483648LL), S_OK, Variant::Text("2147483648")},
      {Bits(VT_UI8, -1), S_OK, Variant::Text("18446744073709551615")},
      {Real(4.0), S_OK, Variant::I4(4)},
      {Real(-2.5), S_OK, Variant::Text("-2.5")},
      {Real(1e10), S_OK, Variant::Text("10000000000")},
      {Bits(VT_BOOL, 1), S_OK, Variant::Bool(true)},
      {Bits(VT_BOOL, 0), S_OK, Variant::Bool(false)},
      {Bits(VT_ERROR, static_cast<LONG>(DISP_E_PARAMNOTFOUND)), S_OK,
       Variant::Error(DISP_E_PARAMNOTFOUND)},
      {Bits(VT_BSTR, 0), S_OK, Variant::Text("")},
      {Bits(VT_DISPATCH, 0), S_OK, Variant()},
      {Bits(VT_UNKNOWN, 0), S_OK, Variant()},
      {Bits(VT_ARRAY | VT_VARIANT, 0), S_OK, Variant::NullArray()},
      {Bits(36 /* VT_RECORD */, 0), DISP_E_TYPEMISMATCH, Variant()},
      {Bits(0x77, 0), DISP_E_BADVARTYPE, Variant()},
      {Bits(VT_BYREF | VT_I4, 0), DISP_E_TYPEMISMATCH, Variant()},
  };
  for (const Case& c : kCases) {
    Variant out = Variant::Text("untouched");
    EXPECT_EQ(FromVariant(c.in, out), c.status) << "vt " << c.in.vt;
    if (c.status == S_OK) {
      EXPECT_EQ(out, c.expected) << "vt " << c.in.vt;
    }
  }
}

// Where I4, BOOL or BSTR is declared, other numbers convert as VariantChangeType does.
TEST(FromArgument, CoercesOtherNumbersToTheDeclaredType) {
  struct Case {
    double number;
    TypeKind declared;
    HRESULT status;
    Variant expected;
  };
  const Case kCases[] = {
      {2.5, TypeKind::I4, S_OK, Variant::I4(2)},  // half to even
      {3.5, TypeKind::I4, S_OK, Variant::I4(4)},
      {-1.5, TypeKind::I4, S_OK, Variant::I4(-2)},
      {2147483647.4, TypeKind::I4, S_OK, Variant::I4(2147483647)},
      {2147483648.0, TypeKind::I4, DISP_E_OVERFLOW, Variant()},
      {0.0, TypeKind::Bool, S_OK, Variant::Bool(false)},
      {0.25, TypeKind::Bool, S_OK, Variant::Bool(true)},
      {1.5, TypeKind::Bstr, S_OK, Variant::Text("1.5")},
      {1.5, TypeKind::Variant, S_OK, Variant::Text("1.5")},
  };
  for (const Case& c : kCases) {
    Variant out;
    EXPECT_EQ(FromArgument(Real(c.number), c.declared, out), c.status) << c.number;
    if (c.status == S_OK) {
      EXPECT_EQ(out, c.expected) << c.number;
    }
  }
  double number = 7.5;
  Variant out;
  EXPECT_EQ(FromArgument(Reference(VT_R8, &number), TypeKind::I4, out), S_OK);
  EXPECT_EQ(out, Variant::I4(8));
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
  ASSERT_EQ(array->cDims, 2u);
  EXPECT_EQ(array->rgsabound[1].cElements, 2u);  // rows: the first dimension, stored last
  EXPECT_EQ(array->rgsabound[0].cElements, 3u);
  EXPECT_EQ(array->rgsabound[0].lLbound, 0);
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
  target.bstrVal = NewText("old");
  EXPECT_EQ(WriteByRef(Variant::I4(4), Reference(VT_VARIANT, &target)), S_OK);
  EXPECT_EQ(target.vt, VT_I4);

  BSTR text = NewText("old");
  EXPECT_EQ(WriteByRef(Variant::I4(42), Reference(VT_BSTR, &text)), S_OK);
  EXPECT_EQ(Ansi(text), "42");
  FreeBstr(text);

  LONG number = 5;
  EXPECT_EQ(WriteByRef(Variant::Text("12"), Reference(VT_I4, &number)), S_OK);
  EXPECT_EQ(number, 12);
  EXPECT_EQ(WriteByRef(Variant::Text("x"), Reference(VT_I4, &number)), DISP_E_TYPEMISMATCH);
  EXPECT_EQ(number, 12);
  SHORT small = 1;
  EXPECT_EQ(WriteByRef(Variant::I4(70000), Reference(VT_I2, &small)), DISP_E_OVERFLOW);
  EXPECT_EQ(small, 1);
  VARIANT_BOOL flag = VARIANT_FALSE;
  EXPECT_EQ(WriteByRef(Variant::I4(3), Reference(VT_BOOL, &flag)), S_OK);
  EXPECT_EQ(flag, VARIANT_TRUE);
  double real = 0;
  EXPECT_EQ(WriteByRef(Variant::I4(-8), Reference(VT_R8, &real)), S_OK);
  EXPECT_EQ(real, -8.0);
  EXPECT_EQ(WriteByRef(Variant::I4(1), Number(1)), DISP_E_TYPEMISMATCH);
}

}  // namespace
}  // namespace voziroz::testing
