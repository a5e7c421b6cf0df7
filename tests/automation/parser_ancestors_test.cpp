// Parser.GetAncestors, called by name as a script calls it, on small files written for each case
// and on a deep royal pedigree from the corpus.
#include <gtest/gtest.h>

#include <filesystem>
#include <map>
#include <string>
#include <vector>

#include "automation/call_by_name.h"
#include "automation/parser_object.h"
#include "tests/automation/call_helpers.h"
#include "tests/temp_dir.h"

namespace voziroz {
namespace {

constexpr int kFamilyOffset = 500000;
constexpr int kNone = -1;

// A person record @I<id>@, a child of the families listed.
std::string Indi(int id, std::initializer_list<int> child_of = {}) {
  std::string text = "0 @I" + std::to_string(id) + "@ INDI\n1 NAME Person /" + std::to_string(id) +
                     "/\n1 BIRT\n2 DATE 1 JAN 1800\n";
  for (int family : child_of) text += "1 FAMC @F" + std::to_string(family) + "@\n";
  return text;
}

// A family record @F<id>@ with its members in order: {"HUSB", 2}, {"WIFE", 3}...
std::string Fam(int id, std::initializer_list<std::pair<const char*, int>> members) {
  std::string text = "0 @F" + std::to_string(id) + "@ FAM\n";
  for (auto [tag, person] : members)
    text += "1 " + std::string(tag) + " @I" + std::to_string(person) + "@\n";
  return text;
}

std::string Couple(int id, int husband, int wife) {
  return Fam(id, {{"HUSB", husband}, {"WIFE", wife}});
}

Variant Ids(std::initializer_list<int> ids) {
  std::vector<Variant> elements;
  for (int id : ids) elements.push_back(Variant::I4(id));
  return Variant::Array(VariantArray(std::move(elements)));
}

Variant Range(int deepest) {
  return Variant::Array(VariantArray({Variant::UI1(1), Variant::I4(deepest)}));
}

// A parser on files written for the test.
class ParserOnFiles {
 public:
  // Opens and executes a file holding `records` between a header and a trailer.
  void Load(const std::string& records) {
    const std::string file = dir_.Write("f" + std::to_string(++files_) + ".ged",
                                        "0 HEAD\n1 CHAR ANSI\n" + records + "0 TRLR\n");
    LoadPath(file);
  }
  void LoadPath(const std::string& path) {
    CallByName(*parser_, "Open", {Variant::Text(path)});
    ASSERT_TRUE(CallByName(*parser_, "IsOpen").AsBool());
    ASSERT_TRUE(CallByName(*parser_, "Execute").AsBool());
  }
  Variant Ancestors(int id, int generation) {
    return CallByName(*parser_, "GetAncestors", {Variant::I4(id), Variant::I4(generation)});
  }
  // The range pair's second element.
  int Deepest(int id) { return Ancestors(id, 0).AsArray()[1].AsI4(); }

  ObjectPtr<TParser> parser_ = MakeObject<TParser>();

 private:
  testing::TempDir dir_;
  int files_ = 0;
};

class AncestorsTest : public ::testing::Test, protected ParserOnFiles {};

// Person 1; parents 2 and 3; grandparents 4, 5 (father's side) and 6, 7 (mother's side).
const std::string kThreeGenerations = Indi(1, {1}) + Indi(2, {2}) + Indi(3, {3}) + Indi(4) +
                                      Indi(5) + Indi(6) + Indi(7) + Couple(1, 2, 3) +
                                      Couple(2, 4, 5) + Couple(3, 6, 7);

TEST_F(AncestorsTest, ParentsThenGrandparentsInPedigreeOrder) {
  Load(kThreeGenerations);
  EXPECT_EQ(Ancestors(1, 1), Ids({2, 3}));
  EXPECT_EQ(Ancestors(1, 2), Ids({4, 5, 6, 7}));
  for (int outside : {0, 3, 4, -1, -2147483647 - 1, 2147483647})
    EXPECT_EQ(Ancestors(1, outside), Range(2)) << outside;
  EXPECT_EQ(Ancestors(2, 1), Ids({4, 5}));
  EXPECT_EQ(Ancestors(2, 2), Range(1));
}

TEST_F(AncestorsTest, AnUnknownParentKeepsItsSlot) {
  Load(Indi(1, {1}) + Indi(3, {3}) + Indi(6) + Fam(1, {{"WIFE", 3}, {"CHIL", 1}}) +
       Fam(3, {{"HUSB", 6}}));
  EXPECT_EQ(Ancestors(1, 1), Ids({kNone, 3}));
  EXPECT_EQ(Ancestors(1, 2), Ids({kNone, kNone, 6, kNone}));
}

TEST_F(AncestorsTest, NoKnownParentsGiveTheEmptyRange) {
  // 1 has no FAMC row, 2 is a child of a family without spouses, 3 of a family that does not
  // exist, 99 is nobody.
  Load(Indi(1) + Indi(2, {2}) + Indi(3, {7}) + Fam(2, {{"CHIL", 2}}));
  for (int id : {1, 2, 3, 99, -1, 0})
    for (int generation : {-5, 0, 1, 2, 40}) EXPECT_EQ(Ancestors(id, generation), Range(0)) << id;
}

TEST_F(AncestorsTest, WithoutTablesNobodyHasKnownParents) {
  EXPECT_EQ(Ancestors(1, 1), Range(0));  // a new parser
  Load(kThreeGenerations);
  CallByName(*parser_, "Close");
  EXPECT_EQ(Ancestors(2, 1), Range(0));  // Close dropped the tables
}

TEST_F(AncestorsTest, TheSamePersonIsAnsweredFromTheHeldPedigree) {
  Load(kThreeGenerations);
  EXPECT_EQ(Ancestors(1, 1), Ids({2, 3}));
  // Other parents for 1 and 8 in a new file: asking for 1 again still answers from the pedigree
  // held, also after Close.
  Load(Indi(1, {1}) + Indi(8, {1}) + Couple(1, 10, 11) + Indi(10) + Indi(11));
  EXPECT_EQ(Ancestors(1, 1), Ids({2, 3}));
  EXPECT_EQ(Ancestors(1, 2), Ids({4, 5, 6, 7}));
  // Another person replaces it; then 1 is computed from the new tables.
  EXPECT_EQ(Ancestors(8, 1), Ids({10, 11}));
  EXPECT_EQ(Ancestors(1, 1), Ids({10, 11}));
  EXPECT_EQ(Ancestors(1, 2), Range(1));
  CallByName(*parser_, "Close");
  EXPECT_EQ(Ancestors(1, 1), Ids({10, 11}));
}

TEST_F(AncestorsTest, FamilyRowsAndFamcRowsInTableOrder) {
  // Family 1: two husbands before the wife, a third after her; 4 is a child of 2, then of 3.
  Load(Indi(1, {1}) + Indi(4, {2, 3}) + Fam(1, {{"HUSB", 2}, {"HUSB", 5}, {"WIFE", 3}}) +
       Fam(1, {{"HUSB", 6}}) + Couple(2, 7, 8) + Couple(3, 9, 10));
  EXPECT_EQ(Ancestors(1, 1), Ids({5, 3}));
  EXPECT_EQ(Ancestors(4, 1), Ids({7, 8}));
}

TEST_F(AncestorsTest, ASharedAncestorFillsEverySlotThatLeadsToIt) {
  // 1's parents 2 and 3 are first cousins: 2's father 4 and 3's mother 7 are the children of
  // 8 and 9, who appear twice among 1's great-grandparents.
  Load(Indi(1, {1}) + Couple(1, 2, 3) + Indi(2, {2}) + Couple(2, 4, 5) + Indi(3, {3}) +
       Couple(3, 6, 7) + Indi(4, {4}) + Indi(7, {4}) + Couple(4, 8, 9));
  EXPECT_EQ(Ancestors(1, 2), Ids({4, 5, 6, 7}));
  EXPECT_EQ(Ancestors(1, 3), Ids({8, 9, kNone, kNone, kNone, kNone, 8, 9}));
  EXPECT_EQ(Deepest(1), 3);
}

TEST_F(AncestorsTest, ACycleIsBoundedAndATooLargeGenerationFailsCleanly) {
  // 1 is recorded as his own father.
  Load(Indi(1, {1}) + Indi(2) + Couple(1, 1, 2) + Indi(3, {3}) + Couple(3, 2, 1));
  EXPECT_EQ(Deepest(1), kMaxGenerations - 1);
  EXPECT_EQ(Ancestors(1, 2), Ids({1, 2, kNone, kNone}));
  const struct {
    int generation;
    const char* message;
  } kTooLarge[] = {{25, "Generation 25 is too large: 33554432 ancestors"},
                   {31, "Generation 31 is too large: 2147483648 ancestors"}};
  for (const auto& c : kTooLarge) {
    const ErrorInfo error = ErrorOf([&] { Ancestors(1, c.generation); });
    EXPECT_EQ(error.Number, kUnexpected);
    EXPECT_EQ(error.Source, "Voziroz.Parser");
    EXPECT_EQ(error.Description, c.message);
  }
  // The pedigree held and the parser are as before.
  EXPECT_EQ(Ancestors(1, 3), Ids({1, 2, kNone, kNone, kNone, kNone, kNone, kNone}));
  EXPECT_EQ(Ancestors(3, 1), Ids({2, 1}));
  EXPECT_EQ(Deepest(3), kMaxGenerations - 1);
}

// Generations 21 to 24 are allowed but take seconds each in a debug build (a sanitizer build even
// more); the benchmark asks for them in an optimised one.
constexpr int kDeepestCheckedInTests = 20;

TEST_F(AncestorsTest, ARoyalLineIsAnsweredForEveryGeneration) {
  const std::filesystem::path royal =
      std::filesystem::path(VOZIROZ_SHARED_DIR) / "corpus" / "royal92.ged";
  if (!std::filesystem::exists(royal)) GTEST_SKIP() << "no corpus at " << royal;
  LoadPath(royal.string());
  int id = 0, deepest = 0;
  for (int person = 1; person <= 3100; ++person) {
    const int depth = Deepest(person);
    if (depth > deepest) deepest = depth, id = person;
  }
  ASSERT_GT(deepest, 24) << "the file should reach past the bound";

  // Each slot's parents, asked of a second parser one person at a time.
  ParserOnFiles other;
  other.LoadPath(royal.string());
  std::map<int, std::pair<int, int>> parents{{kNone, {kNone, kNone}}};
  auto parents_of = [&](int person) {
    auto [it, fresh] = parents.try_emplace(person);
    if (fresh) {
      const Variant answer = other.Ancestors(person, 1);
      it->second = answer.AsArray().Length() == 2 && answer.AsArray()[0].Kind() == VariantKind::I4
                       ? std::pair(answer.AsArray()[0].AsI4(), answer.AsArray()[1].AsI4())
                       : std::pair(kNone, kNone);
    }
    return it->second;
  };
  std::vector<int> previous{id};
  for (int g = 1; g <= kDeepestCheckedInTests; ++g) {
    const Variant answer = Ancestors(id, g);
    const VariantArray& slots = answer.AsArray();
    ASSERT_EQ(slots.Length(), 1 << g);
    std::vector<int> current(slots.Length());
    for (std::int32_t k = 0; k < slots.Length(); ++k) current[k] = slots[k].AsI4();
    for (std::size_t k = 0; k < previous.size(); ++k) {
      ASSERT_EQ(std::pair(current[2 * k], current[2 * k + 1]), parents_of(previous[k]))
          << "generation " << g << " slot " << 2 * k;
    }
    previous = std::move(current);
  }
  for (int g = 25; g <= deepest; ++g) {
    EXPECT_EQ(ErrorOf([&] { Ancestors(id, g); }).Description,
              "Generation " + std::to_string(g) +
                  " is too large: " + std::to_string(std::int64_t{1} << g) + " ancestors");
  }
  EXPECT_EQ(Ancestors(id, 1).AsArray().Length(), 2);
  EXPECT_EQ(Ancestors(id, deepest + 1), Range(deepest));
}

}  // namespace
}  // namespace voziroz
