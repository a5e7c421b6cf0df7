#include "engine/ancestors.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace voziroz {
namespace {

// EVENT and FAMILY tables laid out as the table builder makes them, sorted by their keys.
class Pedigree {
 public:
  Pedigree() {
    event_.Make({"FamRefID", "MainRefID", "Info", "SourId", "Eventcode", "Note", "Date", "Location",
                 "IsoDate"},
                1, 1);
    family_.Make({"FamilyID", "FamilyReleation", "IndiID"}, 0, 1);
  }
  // Person `child` is a child of family `fam` (a FAMC row); adds a BIRT row first so that the
  // FAMC row is not the person's only row.
  Pedigree& Famc(int child, int fam) {
    AddEvent(-1, child, "BIRT");
    AddEvent(fam, child, "FAMC");
    return *this;
  }
  Pedigree& Member(int fam, int relation, int person) {
    int r = NextRow(family_, family_rows_);
    family_.SetInt32(r, 0, fam);
    family_.SetUInt8(r, 1, static_cast<std::uint8_t>(relation));
    family_.SetInt32(r, 2, person);
    return *this;
  }
  Pedigree& Parents(int fam, int father, int mother) {
    return Member(fam, 0, father).Member(fam, 1, mother);
  }
  void Finish() {
    for (auto [table, rows] :
         {std::pair{&event_, event_rows_}, std::pair{&family_, family_rows_}}) {
      table->Finish(rows > 0 ? rows - 1 : 0);
      table->SortByKey();
    }
  }
  const tSimpleTable* event() const { return &event_; }
  const tSimpleTable* family() const { return &family_; }

 private:
  static int NextRow(tSimpleTable& t, int& rows) {
    if (rows == t.LastRow) t.AddRows(10);
    return rows++;
  }
  void AddEvent(int fam, int main, const char* code) {
    int r = NextRow(event_, event_rows_);
    if (fam == -1) {
      event_.SetInt8(r, 0, -1);
    } else {
      event_.SetInt32(r, 0, fam);
    }
    event_.SetInt32(r, 1, main);
    event_.SetText(r, 4, code);
  }
  tSimpleTable event_, family_;
  int event_rows_ = 0, family_rows_ = 0;
};

std::vector<int> SlotsOf(TAncestors& a, int g) {
  const std::vector<std::int32_t>* slots = a.Slots(g);
  return slots ? std::vector<int>(slots->begin(), slots->end()) : std::vector<int>{};
}

TEST(Ancestors, ParentsAndGrandparentsInPedigreeOrder) {
  Pedigree p;
  p.Famc(1, 500001).Parents(500001, 2, 3);
  p.Famc(2, 500002).Parents(500002, 4, 5);
  p.Famc(3, 500003).Parents(500003, 6, 7);
  p.Finish();
  TAncestors a = TAncestors::Build(p.event(), p.family(), 1);
  EXPECT_EQ(a.GenerationCount(), 3);
  EXPECT_EQ(SlotsOf(a, 0), std::vector<int>{1});
  EXPECT_EQ(SlotsOf(a, 1), (std::vector<int>{2, 3}));
  EXPECT_EQ(SlotsOf(a, 2), (std::vector<int>{4, 5, 6, 7}));
  EXPECT_EQ(a.Slots(3), nullptr);
}

TEST(Ancestors, UnknownParentsKeepTheirSlots) {
  Pedigree p;
  p.Famc(1, 500001).Member(500001, 1, 3);  // only the mother
  p.Famc(3, 500003).Member(500003, 0, 6);  // her father
  p.Famc(9, 500009);                       // a family without husband and wife rows
  p.Finish();
  TAncestors a = TAncestors::Build(p.event(), p.family(), 1);
  EXPECT_EQ(a.GenerationCount(), 3);
  EXPECT_EQ(SlotsOf(a, 1), (std::vector<int>{-1, 3}));
  EXPECT_EQ(SlotsOf(a, 2), (std::vector<int>{-1, -1, 6, -1}));
  for (int id : {9, 42, -1}) {  // no parents rows, no rows at all, the unknown marker
    EXPECT_EQ(TAncestors::Build(p.event(), p.family(), id).GenerationCount(), 1) << id;
  }
}

TEST(Ancestors, FirstHusbandRowsAreReplacedUntilAWifeIsSeen) {
  Pedigree p;
  p.Famc(1, 500001).Member(500001, 0, 2).Member(500001, 0, 4).Member(500001, 1, 3);
  p.Member(500001, 0, 8);  // after the wife: not read
  p.Finish();
  EXPECT_EQ(FindParents(p.event(), p.family(), 1), std::make_pair(4, 3));
}

TEST(Ancestors, OnlyTheFirstFamcRowInTableOrderCounts) {
  Pedigree p;
  p.Famc(1, 500001).Famc(1, 500002).Parents(500001, 2, 3).Parents(500002, 4, 5);
  p.Finish();
  EXPECT_EQ(FindParents(p.event(), p.family(), 1), std::make_pair(2, 3));
}

TEST(Ancestors, CollapsedPedigreeRepeatsTheSharedAncestor) {
  Pedigree p;
  p.Famc(1, 500001).Parents(500001, 2, 3);
  p.Famc(2, 500002).Parents(500002, 4, 5);
  p.Famc(3, 500003).Parents(500003, 4, 6);  // half-siblings: father and mother share a father
  p.Finish();
  TAncestors a = TAncestors::Build(p.event(), p.family(), 1);
  EXPECT_EQ(SlotsOf(a, 2), (std::vector<int>{4, 5, 4, 6}));
}

TEST(Ancestors, ACycleStopsAtTheGenerationLimitAndLargeGenerationsAreRefused) {
  Pedigree p;
  p.Famc(1, 500001).Parents(500001, 1, 2);  // his own father
  p.Finish();
  TAncestors a = TAncestors::Build(p.event(), p.family(), 1);
  EXPECT_EQ(a.GenerationCount(), kMaxGenerations);
  EXPECT_EQ(SlotsOf(a, 3), (std::vector<int>{1, 2, -1, -1, -1, -1, -1, -1}));
  ASSERT_NE(a.Slots(24), nullptr);  // 2^24 slots: the largest allowed
  EXPECT_EQ(a.Slots(24)->size(), std::size_t{1} << 24);
  EXPECT_EQ(a.Slots(25), nullptr);  // 2^25 slots: over the bound
  EXPECT_EQ(a.Slots(31), nullptr);
}

TEST(Ancestors, FindFirstRowFindsTheLowestRowAndFailsWithoutATable) {
  Pedigree p;
  for (int person : {5, 5, 5, 7, 9, 9}) p.Famc(person, 500000 + person);
  p.Finish();
  // Each person has two EVENT rows (BIRT, FAMC): person 5 starts at row 0, 7 at 6, 9 at 8.
  EXPECT_EQ(FindFirstRow(p.event(), 1, 5), 0);
  EXPECT_EQ(FindFirstRow(p.event(), 1, 7), 6);
  EXPECT_EQ(FindFirstRow(p.event(), 1, 9), 8);
  EXPECT_EQ(FindFirstRow(p.event(), 1, 6), -1);
  EXPECT_EQ(FindFirstRow(p.event(), 4, 6), -2);  // text cells cannot be compared
  EXPECT_EQ(FindFirstRow(nullptr, 1, 5), -2);
  EXPECT_EQ(TAncestors::Build(nullptr, nullptr, 5).GenerationCount(), 1);
}

// The straightforward computation: every slot of every generation, until one is all unknown.
std::vector<std::vector<int>> NaivePedigree(const Pedigree& p, int id) {
  std::vector<std::vector<int>> generations{{id}};
  while (generations.size() < static_cast<std::size_t>(kMaxGenerations)) {
    std::vector<int> next;
    bool any = false;
    for (int person : generations.back()) {
      auto [father, mother] = FindParents(p.event(), p.family(), person);
      next.push_back(father);
      next.push_back(mother);
      any = any || father != -1 || mother != -1;
    }
    if (!any) break;
    generations.push_back(std::move(next));
  }
  return generations;
}

TEST(Ancestors, AgreesWithTheSlotBySlotComputationOnRandomPedigrees) {
  // Persons in ten layers of eight; parents come from the next layer, chosen with repeats, so
  // pedigrees collapse often and stay shallow enough for the slot-by-slot computation.
  std::uint32_t seed = 12345;
  auto next_random = [&seed](int n) {
    seed = seed * 1103515245u + 12345u;
    return static_cast<int>((seed >> 16) % static_cast<std::uint32_t>(n));
  };
  for (int round = 0; round < 20; ++round) {
    Pedigree p;
    for (int person = 1; person <= 72; ++person) {
      if (next_random(4) == 0) continue;  // no known parents
      int fam = 500000 + person;
      p.Famc(person, fam);
      int layer = (person - 1) / 8 + 1;
      if (next_random(5)) p.Member(fam, 0, layer * 8 + 1 + next_random(8));
      if (next_random(5)) p.Member(fam, 1, layer * 8 + 1 + next_random(8));
    }
    p.Finish();
    for (int id = 1; id <= 8; ++id) {
      std::vector<std::vector<int>> expected = NaivePedigree(p, id);
      TAncestors a = TAncestors::Build(p.event(), p.family(), id);
      ASSERT_EQ(a.GenerationCount(), static_cast<int>(expected.size())) << round << ":" << id;
      for (int g = 0; g < a.GenerationCount(); ++g) {
        ASSERT_EQ(SlotsOf(a, g), expected[g]) << round << ":" << id << " generation " << g;
      }
    }
  }
}

}  // namespace
}  // namespace voziroz
