#include "automation/variant.h"
#include "automation/script_text.h"
#include "automation/table_values.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace voziroz {
namespace {

std::string MessageOf(void (*convert)(const Variant&), const Variant& value) {
  try {
    convert(value);
  } catch (const AutomationError& e) {
    EXPECT_EQ(e.Code(), 0) << "conversion errors carry no code of their own";
    return e.what();
  }
  return "no error";
}

void AsText(const Variant& v) {
  ToText(v);
}
void AsInt(const Variant& v) {
  ToInt32(v);
}
void AsBool(const Variant& v) {
  ToBool(v);
}

TEST(VariantConversion, ToTextOfEveryKindThatConverts) {
  const struct {
    Variant value;
    std::string text;
  } cases[] = {
      {Variant(), ""},
      {Variant::I4(12), "12"},
      {Variant::I4(-2147483647 - 1), "-2147483648"},
      {Variant::I1(-5), "-5"},
      {Variant::UI1(200), "200"},
      {Variant::Bool(true), "True"},
      {Variant::Bool(false), "False"},
      {Variant::Text("caf\xE9"), "caf\xE9"},
  };
  for (const auto& c : cases) EXPECT_EQ(ToText(c.value), c.text);
}

TEST(VariantConversion, FailuresNameBothTypes) {
  const struct {
    void (*convert)(const Variant&);
    Variant value;
    std::string message;
  } cases[] = {
      {AsText, Variant::Null(), "Could not convert variant of type (Null) into type (String)"},
      {AsText, Variant::Error(kParamNotFound),
       "Could not convert variant of type (Error) into type (String)"},
      {AsText, Variant::NullArray(),
       "Could not convert variant of type (Array Variant) into type (String)"},
      {AsText, Variant::Array(VariantArray(std::vector<Variant>{})),
       "Could not convert variant of type (Array Variant) into type (String)"},
      {AsInt, Variant::Null(), "Could not convert variant of type (Null) into type (Integer)"},
      {AsInt, Variant::Text("abc"),
       "Could not convert variant of type (OleStr) into type (Integer)"},
      {AsInt, Variant::Text("2147483648"),
       "Overflow while converting variant of type (OleStr) into type (Integer)"},
      {AsBool, Variant::Text("yes"),
       "Could not convert variant of type (OleStr) into type (Boolean)"},
      {AsBool, Variant::Null(), "Could not convert variant of type (Null) into type (Boolean)"},
  };
  for (const auto& c : cases) EXPECT_EQ(MessageOf(c.convert, c.value), c.message);
}

TEST(VariantConversion, TextToInt32) {
  const struct {
    const char* text;
    Conversion result;
    std::int32_t number;
  } cases[] = {
      {"12", Conversion::Ok, 12},
      {"  -7 ", Conversion::Ok, -7},
      {"+3", Conversion::Ok, 3},
      {"2147483647", Conversion::Ok, 2147483647},
      {"-2147483648", Conversion::Ok, -2147483647 - 1},
      {"2147483648", Conversion::Overflow, 0},
      {"-99999999999999999999", Conversion::Overflow, 0},
      {"", Conversion::TypeMismatch, 0},
      {"-", Conversion::TypeMismatch, 0},
      {"+-1", Conversion::TypeMismatch, 0},
      {"1 2", Conversion::TypeMismatch, 0},
      {"0x10", Conversion::TypeMismatch, 0},
  };
  for (const auto& c : cases) {
    std::int32_t number = 0;
    EXPECT_EQ(TryToInt32(Variant::Text(c.text), number), c.result) << c.text;
    if (c.result == Conversion::Ok) {
      EXPECT_EQ(number, c.number) << c.text;
    }
  }
}

TEST(VariantConversion, ToBoolAndInt32OfNonText) {
  EXPECT_EQ(ToInt32(Variant()), 0);
  EXPECT_EQ(ToInt32(Variant::Bool(true)), -1);
  EXPECT_EQ(ToInt32(Variant::UI1(255)), 255);
  EXPECT_FALSE(ToBool(Variant()));
  EXPECT_TRUE(ToBool(Variant::I4(2)));
  EXPECT_FALSE(ToBool(Variant::I1(0)));
  EXPECT_TRUE(ToBool(Variant::Text(" TRUE ")));
  EXPECT_FALSE(ToBool(Variant::Text("false")));
  EXPECT_TRUE(ToBool(Variant::Text("-1")));
  EXPECT_TRUE(ToBool(Variant::Text("99999999999")));
  EXPECT_FALSE(ToBool(Variant::Text("0")));
}

TEST(VariantValue, KindsAndEquality) {
  EXPECT_EQ(Variant().Kind(), VariantKind::Empty);
  EXPECT_EQ(Variant::NullArray().Kind(), VariantKind::NullArray);
  EXPECT_TRUE(Variant::Error(kParamNotFound).IsParamNotFound());
  EXPECT_FALSE(Variant::Error(kUnexpected).IsParamNotFound());
  EXPECT_FALSE(Variant::I4(0) == Variant::UI1(0)) << "kinds differ";
  EXPECT_FALSE(Variant() == Variant::Null());
  const Variant a = Variant::Array(VariantArray({Variant::I4(1), Variant::Text("x")}));
  const Variant b = Variant::Array(VariantArray({Variant::I4(1), Variant::Text("x")}));
  EXPECT_EQ(a, b) << "arrays compare by content";
  const Variant copy = a;
  EXPECT_EQ(copy.SharedArray(), a.SharedArray()) << "copies share the immutable array";
}

// A script's string is the code page's text everywhere but in file names, which keep it whole.
TEST(ScriptText, FileNamesKeepWhatTheCodePageLoses) {
  const struct {
    std::u16string script;
    std::string text, file_name;
    bool kept;
  } cases[] = {
      {u"plain.ged", "plain.ged", "plain.ged", false},
      {u"caf\u00E9 \u20AC.ged", "caf\xE9 \x80.ged", "caf\u00E9 \u20AC.ged", false},
      {u"\u0141\u00F3d\u017A M\u00FCller.ged", "?\xF3\x64? M\xFCller.ged",
       "\u0141\u00F3d\u017A M\u00FCller.ged", true},
      {u"\U0001F333 tree", "? tree", "\U0001F333 tree", true},
      {std::u16string{u'a', 0xD800, u'b'}, "a?b", "a\uFFFDb", true},
      {std::u16string(u"a\0b", 3), std::string("a\0b", 3), std::string("a\0b", 3), false},
  };
  for (const auto& c : cases) {
    const Variant value = ScriptText(c.script);
    const Variant copy = value;
    EXPECT_EQ(copy.Kind(), VariantKind::Text) << c.text;
    EXPECT_EQ(copy.AsText(), c.text);
    EXPECT_EQ(ToText(copy), c.text);
    EXPECT_EQ(copy.ExactUtf8() != nullptr, c.kept) << c.text;
    EXPECT_EQ(ToFileName(copy), c.file_name) << c.text;
    EXPECT_EQ(copy, ScriptText(c.script)) << c.text;
  }
  EXPECT_FALSE(ScriptText(u"\u0141") == Variant::Text("?")) << "another string";
  std::string name;
  EXPECT_EQ(TryToFileName(Variant::I4(12), name), Conversion::Ok);
  EXPECT_EQ(name, "12");
  EXPECT_EQ(TryToFileName(Variant::Null(), name), Conversion::TypeMismatch);
  EXPECT_EQ(MessageOf([](const Variant& v) { ToFileName(v); }, Variant::Null()),
            "Could not convert variant of type (Null) into type (String)");
}

TEST(VariantArrayBounds, IndexOutsideIsARangeError) {
  VariantArray grid(21, 3);
  EXPECT_EQ(grid.Dimensions(), 2);
  EXPECT_EQ(grid.Length(), 21);
  EXPECT_EQ(grid.Columns(), 3);
  grid.At(20, 2) = Variant::I4(5);
  EXPECT_EQ(grid.Elements().back(), Variant::I4(5)) << "rows are stored one after the other";
  const VariantArray list({Variant::I4(1)});
  EXPECT_EQ(list.Dimensions(), 1);
  const struct {
    std::int32_t row, column;  // column -1: index the list
  } bad[] = {{21, 0}, {0, 3}, {-1, 0}, {1, -1}, {-1, -1}};
  for (const auto& b : bad) {
    try {
      (void)(b.column < 0 ? list[b.row] : grid.At(b.row, b.column));
      ADD_FAILURE() << b.row << "," << b.column << ": no error";
    } catch (const AutomationError& e) {
      EXPECT_STREQ(e.what(), "Range check error");
    }
  }
}

TEST(VariantCells, CellsKeepTheirKind) {
  tSimpleTable t;
  t.Make({"A", "B", "C", "D", "E"}, 0, 1);
  t.SetText(0, 1, "Smith");
  t.SetInt32(0, 2, 500001);
  t.SetInt8(0, 3, -3);
  t.SetUInt8(0, 4, 7);
  EXPECT_EQ(CellValue(t, 0, 0), Variant());
  EXPECT_EQ(CellValue(t, 0, 1), Variant::Text("Smith"));
  EXPECT_EQ(CellValue(t, 0, 2), Variant::I4(500001));
  EXPECT_EQ(CellValue(t, 0, 3), Variant::I1(-3));
  EXPECT_EQ(CellValue(t, 0, 4), Variant::UI1(7));
}

TEST(ErrorInfo, ExceptionsBecomeNumberSourceAndDescription) {
  const auto info_of = [](auto thrown) {
    return ErrorInfoFrom(std::make_exception_ptr(thrown), "Voziroz.Table");
  };
  const ErrorInfo range = info_of(AutomationError("Range check error"));
  EXPECT_EQ(range.Number, kUnexpected);
  EXPECT_EQ(range.Source, "Voziroz.Table");
  EXPECT_EQ(range.Description, "Range check error");
  const ErrorInfo own = info_of(AutomationError("not here", kNotImplemented, 42));
  EXPECT_EQ(own.Number, kNotImplemented);
  EXPECT_EQ(own.HelpContext, 42u);
  EXPECT_EQ(info_of(AutomationError("positive code", 1)).Number, kUnexpected)
      << "only failure codes replace E_UNEXPECTED";
  EXPECT_EQ(info_of(std::out_of_range("vector")).Description, "Range check error");
  EXPECT_EQ(info_of(std::bad_alloc()).Description, "Out of memory");
  EXPECT_EQ(info_of(42).Description, "Unexpected error");
}

}  // namespace
}  // namespace voziroz
