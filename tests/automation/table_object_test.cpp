#include "automation/table_object.h"

#include <gtest/gtest.h>

#include <map>
#include <string>
#include <vector>

#include "automation/call_by_name.h"
#include "engine/ansi_case.h"
#include "tests/automation/call_helpers.h"

namespace voziroz {
namespace {

// A finished table of (key, text) rows, sorted as given; `last_row` overrides LastRow (the lines
// table keeps the number of rows there).
SharedTable KeyTable(const std::vector<int>& keys, int last_row = -2) {
  auto t = std::make_shared<tSimpleTable>();
  t->Make({"Key", "Name"}, 0, static_cast<int>(keys.size()));
  for (int r = 0; r < static_cast<int>(keys.size()); ++r) {
    t->SetInt32(r, 0, keys[r]);
    t->SetText(r, 1, "row" + std::to_string(r));
  }
  t->Finish(keys.empty() ? 0 : static_cast<int>(keys.size()) - 1);
  if (last_row != -2) t->LastRow = last_row;
  return t;
}

// Stands in for a Parser: DataLink hands out the handles of its named tables.
class FakeParser final : public AutomationObject {
 public:
  const MemberTable& Members() const override {
    static const MemberTable table =
        MemberTable(kFakeParserClass)
            .Add<FakeParser>("DataLink", MemberKind::PropertyGet,
                             [](FakeParser& p, MemberArgs a) { return Variant::I4(p.Link(a[0])); });
    return table;
  }
  std::int32_t Link(const Variant& name) {
    const std::string key = AnsiUpperCase(ToText(name));
    if (key == "BOOM") throw AutomationError("DataLink failed");
    if (key == "STALE") return TableHandleOf(KeyTable({1}));  // dropped at once
    if (key == "FORGED") return 123456789;
    return TableHandleOf(tables[key]);
  }

  std::map<std::string, SharedTable> tables;

 private:
  static constexpr ClassInfo kFakeParserClass = {
      "Parser", {}, "", &kParserInterface, "Voziroz.Parser", "TFakeParser"};
};

class TableTest : public ::testing::Test {
 protected:
  TableTest() {
    parser_->tables["PERSON"] = KeyTable({1, 3, 3, 3, 7, 9});
    parser_->tables["EMPTY"] = KeyTable({});
    parser_->tables["GEDCOM"] = KeyTable({0, 1, 2}, 3);
  }

  Variant Call(std::string_view name, std::initializer_list<Variant> args = {}) {
    return CallByName(*table_, name, args);
  }
  void OpenTable(const char* name) {
    Call("Open", {Variant::Text(name), Variant::Object(parser_)});
  }

  ObjectPtr<FakeParser> parser_ = MakeObject<FakeParser>();
  ObjectPtr<TTable> table_ = MakeObject<TTable>();
};

TEST_F(TableTest, NewTableIsClosed) {
  EXPECT_EQ(Call("IsOpen"), Variant::Bool(false));
  EXPECT_EQ(Call("RowCount"), Variant::I4(-1));
  EXPECT_EQ(Call("ColCount"), Variant::I4(-1));
  EXPECT_EQ(Call("FindRow", {Variant::I4(1)}), Variant::I4(-1));
  EXPECT_EQ(Call("KeyColname"), Variant::Text(""));
  EXPECT_EQ(Call("ColNames"), Variant::NullArray());
  EXPECT_EQ(Call("Row", {Variant::I4(0)}), Variant::NullArray());
  EXPECT_EQ(Call("Close"), Variant());
  EXPECT_EQ(Call("IsOpen"), Variant::Bool(false));
}

TEST_F(TableTest, OpensByNameInAnyCase) {
  OpenTable("person");
  EXPECT_EQ(Call("IsOpen"), Variant::Bool(true));
  EXPECT_EQ(Call("RowCount"), Variant::I4(5));
  EXPECT_EQ(Call("ColCount"), Variant::I4(2));
  EXPECT_EQ(Call("KeyColname"), Variant::Text("Key"));
  EXPECT_EQ(Call("ColNames"),
            Variant::Array(VariantArray({Variant::Text("Key"), Variant::Text("Name")})));
  EXPECT_EQ(Call("Close"), Variant());
  EXPECT_EQ(Call("IsOpen"), Variant::Bool(false));
}

TEST_F(TableTest, OpenFailuresLeaveItClosedWithoutError) {
  for (const char* name : {"NOSUCH", "BOOM", "STALE", "FORGED", ""}) {
    OpenTable("PERSON");
    OpenTable(name);
    EXPECT_EQ(Call("IsOpen"), Variant::Bool(false)) << name;
  }
}

TEST_F(TableTest, OpenRefusesAMissingParserOrAnUnconvertibleName) {
  OpenTable("PERSON");
  const ErrorInfo null_name = ErrorOf([&] {
    Call("Open", {Variant::Null(), Variant::Object(parser_)});
  });
  EXPECT_EQ(null_name.Number, kUnexpected);
  EXPECT_EQ(null_name.Source, "Voziroz.Table");
  EXPECT_EQ(null_name.Description, "Could not convert variant of type (Null) into type (String)");
  EXPECT_EQ(Call("IsOpen"), Variant::Bool(false)) << "Open closes first";
  try {
    Call("Open", {Variant::Text("PERSON"), Variant()});
    ADD_FAILURE() << "no error";
  } catch (const CallFailure& e) {
    EXPECT_EQ(e.Outcome().Status, kDispTypeMismatch);
    EXPECT_EQ(e.Outcome().ArgError, 1);
  }
}

TEST_F(TableTest, RowIndexesAreChecked) {
  OpenTable("PERSON");
  EXPECT_EQ(Call("Row", {Variant::I4(5)}),
            Variant::Array(VariantArray({Variant::I4(9), Variant::Text("row5")})))
      << "Row(RowCount) is the last row";
  for (int bad : {-1, 6, 2147483647}) {
    const ErrorInfo error = ErrorOf([&] { Call("Row", {Variant::I4(bad)}); });
    EXPECT_EQ(error.Number, static_cast<HResult>(0x8000FFFF)) << bad;
    EXPECT_EQ(error.Source, "Voziroz.Table");
    EXPECT_EQ(error.Description, "Range check error");
  }
  EXPECT_EQ(Call("IsOpen"), Variant::Bool(true)) << "the object stays open";
}

TEST_F(TableTest, RowsAreNewArraysEachCall) {
  OpenTable("PERSON");
  const Variant a = Call("Row", {Variant::I4(0)});
  const Variant b = Call("Row", {Variant::I4(0)});
  EXPECT_EQ(a, b);
  EXPECT_NE(a.SharedArray(), b.SharedArray());
}

TEST_F(TableTest, LinesTableReportsOneRowMoreThanItReturns) {
  OpenTable("gedcom");
  EXPECT_EQ(Call("RowCount"), Variant::I4(3));
  EXPECT_EQ(Call("Row", {Variant::I4(2)}).AsArray()[0], Variant::I4(2));
  EXPECT_EQ(ErrorOf([&] { Call("Row", {Variant::I4(3)}); }).Description, "Range check error");
  EXPECT_EQ(Call("FindRow", {Variant::I4(2)}), Variant::I4(2));
  EXPECT_EQ(Call("FindRow", {Variant::I4(5)}), Variant::I4(-1))
      << "the probe past the last row ends the search";
}

TEST_F(TableTest, FindRowGivesTheFirstRowOfAKey) {
  OpenTable("PERSON");
  const struct {
    int key;
    int row;
  } cases[] = {{1, 0}, {3, 1}, {7, 4}, {9, 5}, {0, -1}, {4, -1}, {10, -1}, {-1, -1}};
  for (const auto& c : cases)
    EXPECT_EQ(Call("FindRow", {Variant::I4(c.key)}), Variant::I4(c.row)) << c.key;
  EXPECT_EQ(Call("FindRow", {Variant::Text("3")}), Variant::I4(1)) << "the key arrives as I4";
}

TEST_F(TableTest, FindRowOverCellsThatAreNoNumbers) {
  auto t = std::make_shared<tSimpleTable>();
  t->Make({"Key"}, 0, 3);
  t->SetText(0, 0, "2");
  t->SetText(1, 0, "x");
  t->SetInt32(2, 0, 8);
  t->Finish(2);
  parser_->tables["MIXED"] = t;
  OpenTable("MIXED");
  EXPECT_EQ(Call("FindRow", {Variant::I4(8)}), Variant::I4(-1)) << "row 1 cannot be compared";
  EXPECT_EQ(Call("FindRow", {Variant::I4(2)}), Variant::I4(-1));
}

TEST_F(TableTest, EmptyTableHasOneRowOfEmptyCells) {
  OpenTable("EMPTY");
  EXPECT_EQ(Call("RowCount"), Variant::I4(0));
  EXPECT_EQ(Call("Row", {Variant::I4(0)}), Variant::Array(VariantArray({Variant(), Variant()})));
  EXPECT_EQ(Call("FindRow", {Variant::I4(0)}), Variant::I4(0)) << "Empty compares as 0";
}

TEST_F(TableTest, KeepsItsTableWhenTheParserLetsGo) {
  OpenTable("PERSON");
  parser_->tables.clear();
  parser_ = ObjectPtr<FakeParser>();
  EXPECT_EQ(Call("RowCount"), Variant::I4(5));
  EXPECT_EQ(Call("Row", {Variant::I4(4)}).AsArray()[1], Variant::Text("row4"));
}

TEST(TableHandles, ResolveOnlyWhileTheTableLives) {
  EXPECT_EQ(TableHandleOf(nullptr), 0);
  EXPECT_EQ(ResolveTableHandle(0), nullptr);
  EXPECT_EQ(ResolveTableHandle(-5), nullptr);
  SharedTable table = KeyTable({1});
  const std::int32_t handle = TableHandleOf(table);
  EXPECT_GT(handle, 0);
  EXPECT_EQ(TableHandleOf(table), handle) << "one handle per table";
  EXPECT_EQ(ResolveTableHandle(handle), table);
  SharedTable other = KeyTable({2});
  EXPECT_NE(TableHandleOf(other), handle);
  table.reset();
  EXPECT_EQ(ResolveTableHandle(handle), nullptr) << "stale";
}

TEST(TableHandles, ManyShortLivedTablesDoNotBreakLiveHandles) {
  SharedTable kept = KeyTable({1});
  const std::int32_t handle = TableHandleOf(kept);
  for (int i = 0; i < 1000; ++i) EXPECT_GT(TableHandleOf(KeyTable({i})), 0);
  EXPECT_EQ(ResolveTableHandle(handle), kept);
}

}  // namespace
}  // namespace voziroz
