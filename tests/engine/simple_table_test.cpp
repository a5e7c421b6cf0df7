#include "engine/simple_table.h"

#include <gtest/gtest.h>

#include <random>
#include <string>
#include <utility>
#include <vector>

namespace voziroz {
namespace {

// A finished two-column table (key, tag) whose rows hold the given keys in order.
tSimpleTable TableOf(const std::vector<int>& keys) {
  tSimpleTable t;
  t.Make({"Key", "Tag"}, 0, static_cast<int>(keys.size()));
  for (int r = 0; r < static_cast<int>(keys.size()); ++r) {
    t.SetInt32(r, 0, keys[r]);
    t.SetText(r, 1, std::to_string(r));
  }
  t.Finish(keys.empty() ? 0 : static_cast<int>(keys.size()) - 1);
  return t;
}

std::vector<std::string> Tags(const tSimpleTable& t) {
  std::vector<std::string> tags;
  for (int r = 0; r <= t.LastRow; ++r) tags.emplace_back(t.TextOf(t.At(r, 1)));
  return tags;
}

TEST(SimpleTable, EmptyTableHoldsOneRowOfEmptyCells) {
  tSimpleTable t;
  t.Make({"A", "B", "C"}, 0, 5);
  EXPECT_EQ(t.LastRow, 5);
  t.Finish(0);
  t.SortByKey();
  EXPECT_EQ(t.LastRow, 0);
  EXPECT_EQ(t.RowsAllocated(), 1);
  for (int c = 0; c < 3; ++c) EXPECT_EQ(t.At(0, c).Kind, CellKind::Empty);
}

TEST(SimpleTable, AddRowsKeepsExistingCells) {
  tSimpleTable t;
  t.Make({"A"}, 0, 10);
  t.SetText(3, 0, "kept");
  t.AddRows(200);
  EXPECT_EQ(t.LastRow, 210);
  EXPECT_EQ(t.RowsAllocated(), 210);
  EXPECT_EQ(t.TextOf(t.At(3, 0)), "kept");
  EXPECT_EQ(t.At(209, 0).Kind, CellKind::Empty);
}

TEST(SimpleTable, SortOrdersByKeyIncludingTheLastRow) {
  struct Case {
    std::vector<int> keys;
    std::vector<std::string> tags;  // the original row of each sorted row
  };
  const Case cases[] = {
      {{7, 3}, {"1", "0"}},
      {{5, 1, 4, 1}, {"3", "1", "2", "0"}},
      {{2, 2}, {"0", "1"}},  // equal keys are never exchanged
      {{1, 2, 3, 4}, {"0", "1", "2", "3"}},
  };
  for (const Case& c : cases) {
    tSimpleTable t = TableOf(c.keys);
    t.SortByKey();
    EXPECT_EQ(Tags(t), c.tags);
  }
}

TEST(SimpleTable, EqualKeysFollowTheQuicksortSteps) {
  // Worked by hand through the partition steps: rows 1 and 3 are exchanged (keys 3 and 1), then
  // the left part (rows 0 and 1) is exchanged again; the rows keyed 3 end as 0, 2, 1, 4.
  tSimpleTable t = TableOf({3, 3, 3, 1, 3});
  t.SortByKey();
  EXPECT_EQ(Tags(t), (std::vector<std::string>{"3", "0", "2", "1", "4"}));
}

TEST(SimpleTable, LargeReverseOrderSortsWithoutDeepRecursion) {
  std::vector<int> keys;
  for (int k = 200000; k > 0; --k) keys.push_back(k % 1000);
  tSimpleTable t = TableOf(keys);
  t.SortByKey();
  for (int r = 1; r <= t.LastRow; ++r) ASSERT_LE(t.KeyOf(r - 1), t.KeyOf(r));
}

// The sort as described, exchanging (key, tag) pairs directly and recursing on the left part.
void ReferenceSort(std::vector<std::pair<int, std::string>>& rows, int l, int r) {
  int i = l;
  do {
    i = l;
    int j = r;
    const int pivot = rows[(l + r) / 2].first;
    do {
      while (rows[i].first < pivot) ++i;
      while (pivot < rows[j].first) --j;
      if (i <= j) {
        if (rows[i].first != rows[j].first) std::swap(rows[i], rows[j]);
        ++i;
        --j;
      }
    } while (i <= j);
    if (l < j) ReferenceSort(rows, l, j);
    l = i;
  } while (i < r);
}

// Random keys with many repeats, and keys mostly in order (runs in order, a few keys out of
// place, as tables come from files) whose parts the sort finds already in order.
std::vector<int> RandomKeys(std::mt19937& random, bool mostly_in_order) {
  std::vector<int> keys(1 + random() % 300);
  int run_key = 0;
  for (int& k : keys) {
    if (!mostly_in_order) {
      k = static_cast<int>(random() % 12);
    } else {
      run_key += static_cast<int>(random() % 3 == 0);
      k = random() % 10 == 0 ? static_cast<int>(random() % 40) : run_key;
    }
  }
  return keys;
}

TEST(SimpleTable, EqualKeysEndAsTheRowExchangingSortLeavesThem) {
  std::mt19937 random(7);
  for (int round = 0; round < 200; ++round) {
    const std::vector<int> keys = RandomKeys(random, round % 2 == 1);
    std::vector<std::pair<int, std::string>> expected;
    for (std::size_t r = 0; r < keys.size(); ++r) expected.emplace_back(keys[r], std::to_string(r));
    ReferenceSort(expected, 0, static_cast<int>(keys.size()) - 1);
    tSimpleTable t = TableOf(keys);
    t.SortByKey();
    std::vector<std::string> expected_tags;
    for (const auto& row : expected) expected_tags.push_back(row.second);
    ASSERT_EQ(Tags(t), expected_tags) << "round " << round;
  }
}

TEST(SimpleTable, TextsOfEveryLengthReadBackAsSet) {
  const std::string long_text = std::string((std::size_t{1} << 24) + 5, 'L') + "end";
  const std::string texts[] = {"",
                               "U",
                               "00000000",
                               std::string(300, 'n'),
                               std::string((std::size_t{1} << 24) - 2, 's'),
                               long_text};
  tSimpleTable t;
  t.Make({"A", "B"}, 0, 1);
  for (int round = 0; round < 2; ++round) {  // the second round stores each text again
    for (const std::string& text : texts) {
      t.SetText(0, 1, text);
      ASSERT_EQ(t.At(0, 1).Kind, CellKind::Text);
      ASSERT_EQ(t.TextOf(t.At(0, 1)), text) << text.size();
    }
  }
  for (const std::string& text : texts) {
    t.SetSharedText(0, 0, text);
    ASSERT_EQ(t.TextOf(t.At(0, 0)), text) << text.size();
  }
  t.SetInt32(0, 1, 42);
  EXPECT_EQ(t.At(0, 1).Kind, CellKind::Int32);
  EXPECT_EQ(t.At(0, 1).Number, 42);
  EXPECT_EQ(t.TextOf(t.At(0, 1)), "");
}

TEST(SimpleTable, SortedTableCutsGrowsAndSortsAgain) {
  tSimpleTable t = TableOf({5, 1, 4});
  t.SortByKey();
  ASSERT_EQ(Tags(t), (std::vector<std::string>{"1", "2", "0"}));
  t.Finish(1);   // cuts the row keyed 5
  t.AddRows(2);  // LastRow 1 + 2: rows 0 to 2; row 2 is new and empty, not the row cut off
  EXPECT_EQ(t.RowsAllocated(), 3);
  EXPECT_EQ(t.At(2, 0).Kind, CellKind::Empty);
  EXPECT_EQ(t.At(2, 1).Kind, CellKind::Empty);
  t.SetInt32(2, 0, 0);
  t.SetText(2, 1, "3");
  t.Finish(2);
  EXPECT_EQ(Tags(t), (std::vector<std::string>{"1", "2", "3"}));
  t.SortByKey();
  EXPECT_EQ(Tags(t), (std::vector<std::string>{"3", "1", "2"}));
  t.SetText(0, 1, "changed");
  EXPECT_EQ(t.TextOf(t.At(0, 1)), "changed");
  EXPECT_EQ(t.KeyOf(0), 0);
}

TEST(SimpleTable, CopyIsEqualAndIndependent) {
  tSimpleTable t = TableOf({9, 2, 7, 2});
  t.SortByKey();
  const std::vector<std::string> sorted = Tags(t);
  tSimpleTable copy = t;
  t.SetText(0, 1, "changed");
  EXPECT_EQ(Tags(copy), sorted);
  EXPECT_EQ(copy.KeyOf(3), 9);
}

TEST(SimpleTable, MakeAgainStartsAnEmptyTable) {
  tSimpleTable t = TableOf({3, 1});
  t.SortByKey();
  t.Make({"X", "Y", "Z"}, 1, 2);
  EXPECT_EQ(t.LastRow, 2);
  EXPECT_EQ(t.RowsAllocated(), 2);
  for (int r = 0; r < 2; ++r)
    for (int c = 0; c < 3; ++c) EXPECT_EQ(t.At(r, c).Kind, CellKind::Empty);
}

}  // namespace
}  // namespace voziroz
