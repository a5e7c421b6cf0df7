#include "containers/key_list.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <map>
#include <random>
#include <string>
#include <vector>

#include "containers/key_order.h"
#include "containers/queue.h"
#include "script_calls.h"
#include "tests/automation/call_helpers.h"

namespace voziroz {
namespace {

using testing::ElementsOf;
using testing::Text;
using testing::TextsOf;

// A fresh KeyList driven by name, as a script drives it.
class KeyListTest : public ::testing::Test {
 protected:
  Variant Call(std::string_view name, std::initializer_list<Variant> args = {}) {
    return CallByName(*list_, name, args);
  }
  void Add(std::string_view key, Variant item) { Call("Add", {Text(key), std::move(item)}); }
  void PutItem(Variant key, Variant item) { PutByName(*list_, "Item", {std::move(key)}, item); }
  void PutCapacity(std::int32_t capacity) {
    PutByName(*list_, "Capacity", {}, Variant::I4(capacity));
  }
  std::int32_t Count() { return Call("Count").AsI4(); }
  std::int32_t Capacity() { return Call("Capacity").AsI4(); }
  std::vector<std::string> Keys() { return TextsOf(Call("Keys")); }
  // ByIndex's two out-arguments.
  std::pair<Variant, Variant> ByIndex(std::int32_t index) {
    std::vector<Variant> args = {Variant::I4(index), Variant(), Variant()};
    CallByName(*list_, "ByIndex", args);
    return {args[1], args[2]};
  }
  void AddThree() {
    Add("b", Variant::I4(1));
    Add("a", Variant::I4(2));
    Add("C", Variant::I4(3));
  }

  ObjectPtr<AutomationObject> list_ = CreateKeyList();
};

TEST_F(KeyListTest, KeepsKeysInOrdinalOrder) {
  AddThree();
  EXPECT_EQ(Keys(), (std::vector<std::string>{"C", "a", "b"}));
  EXPECT_EQ(ElementsOf(Call("Items")),
            (std::vector<Variant>{Variant::I4(3), Variant::I4(2), Variant::I4(1)}));
  const auto [key, item] = ByIndex(0);
  EXPECT_EQ(key, Text("C"));
  EXPECT_EQ(item, Variant::I4(3));
}

TEST_F(KeyListTest, EmptyAndPrefixKeys) {
  Add("ab", Variant::I4(1));
  Add("", Variant::I4(2));
  Add("a", Variant::I4(3));
  Add("ABC", Variant::I4(4));
  Add("Abc", Variant::I4(5));
  Add("abc", Variant::I4(6));
  EXPECT_EQ(Keys(), (std::vector<std::string>{"", "ABC", "Abc", "a", "ab", "abc"}));
  EXPECT_EQ(Call("Item", {Text("")}), Variant::I4(2));
  EXPECT_EQ(Call("Exists", {Text("")}), Variant::Bool(true));
}

TEST_F(KeyListTest, AddOfAnExistingKeyChangesNothing) {
  Add("a", Variant::I4(1));
  Add("a", Variant::I4(2));
  EXPECT_EQ(Call("Item", {Text("a")}), Variant::I4(1));
  EXPECT_EQ(Count(), 1);
}

TEST_F(KeyListTest, ItemPutAddsThenReplaces) {
  PutItem(Text("a"), Variant::I4(5));
  EXPECT_EQ(Count(), 1);
  PutItem(Text("a"), Variant::I4(6));
  EXPECT_EQ(Count(), 1);
  EXPECT_EQ(Call("Item", {Text("a")}), Variant::I4(6));
  PutItem(Text("0"), Text("zero"));
  EXPECT_EQ(Keys(), (std::vector<std::string>{"0", "a"}));
}

// A key that is no text arrives converted: the number 5 and the text "5" are one key.
TEST_F(KeyListTest, NumberKeysAreTheirDecimalText) {
  Call("Add", {Variant::I4(5), Text("five")});
  EXPECT_EQ(Call("Item", {Text("5")}), Text("five"));
  PutItem(Variant::I4(-12), Text("minus twelve"));
  EXPECT_EQ(Keys(), (std::vector<std::string>{"-12", "5"}));
  try {
    Call("Add", {Variant::Null(), Variant::I4(1)});
    FAIL() << "a Null key was accepted";
  } catch (const CallFailure& failure) {
    EXPECT_EQ(failure.Outcome().Status, kDispTypeMismatch);
    EXPECT_EQ(failure.Outcome().ArgError, 0);
  }
  EXPECT_EQ(Count(), 2);
}

TEST_F(KeyListTest, MissingKeyGivesEmptyTextAndFalse) {
  AddThree();
  const Variant missing = Call("Item", {Text("x")});
  EXPECT_EQ(missing.Kind(), VariantKind::Text);
  EXPECT_EQ(missing, Text(""));
  EXPECT_EQ(Call("Exists", {Text("x")}), Variant::Bool(false));
  EXPECT_EQ(Call("Exists", {Text("a")}), Variant::Bool(true));
  EXPECT_EQ(Count(), 3);
}

TEST_F(KeyListTest, ByIndexOutOfRangeGivesEmptyTexts) {
  AddThree();
  for (std::int32_t index : {-1, 3, 4, INT32_MIN, INT32_MAX}) {
    const auto [key, item] = ByIndex(index);
    EXPECT_EQ(key, Text("")) << index;
    EXPECT_EQ(item, Text("")) << index;
  }
  EXPECT_EQ(ByIndex(2).first, Text("b"));
  EXPECT_EQ(ByIndex(2).second, Variant::I4(1));
}

TEST_F(KeyListTest, ItemsAndKeysOfAnEmptyListHaveNoElements) {
  for (int pass = 0; pass < 2; ++pass) {  // fresh, then emptied by Clear
    for (const char* member : {"Items", "Keys"}) {
      const Variant array = Call(member);
      ASSERT_EQ(array.Kind(), VariantKind::Array) << member;
      EXPECT_EQ(array.AsArray().Dimensions(), 1);
      EXPECT_EQ(array.AsArray().Length(), 0);
    }
    AddThree();
    Call("Clear");
  }
}

TEST_F(KeyListTest, WorksWithoutInit) {
  EXPECT_EQ(Count(), 0);
  EXPECT_EQ(Capacity(), 0);
  Add("k", Text("v"));
  EXPECT_EQ(Call("Item", {Text("k")}), Text("v"));
}

TEST_F(KeyListTest, CapacityGrowsByTheListRule) {
  std::vector<std::int32_t> grown;
  for (int i = 0; i < 120; ++i) {
    Add("k" + std::to_string(1000 + i), Variant::I4(i));
    if (grown.empty() || grown.back() != Capacity()) grown.push_back(Capacity());
  }
  EXPECT_EQ(grown, (std::vector<std::int32_t>{4, 8, 12, 28, 44, 60, 76, 95, 118, 147}));
  for (int i = 0; i < 120; ++i) Call("Delete", {Text("k" + std::to_string(1000 + i))});
  EXPECT_EQ(Count(), 0);
  EXPECT_EQ(Capacity(), 147);  // removing keeps the capacity
}

TEST_F(KeyListTest, CapacityBelowTheCountEmptiesTheList) {
  AddThree();
  PutCapacity(2);
  EXPECT_EQ(Count(), 0);
  EXPECT_EQ(Capacity(), 2);
}

TEST_F(KeyListTest, CapacityAtOrAboveTheCountKeepsTheEntries) {
  AddThree();
  for (std::int32_t capacity : {10, 3, 5, KeySlots::kMaxCapacity, 3}) {
    PutCapacity(capacity);
    EXPECT_EQ(Capacity(), capacity);
    EXPECT_EQ(Keys(), (std::vector<std::string>{"C", "a", "b"}));
  }
  Add("d", Variant::I4(4));  // full at 3: grows by 4
  EXPECT_EQ(Capacity(), 7);
}

TEST_F(KeyListTest, CapacityOutOfBoundsEmptiesAndReports) {
  for (std::int32_t capacity : {-1, INT32_MIN, KeySlots::kMaxCapacity + 1, INT32_MAX}) {
    AddThree();
    PutCapacity(5);
    const ErrorInfo error = ErrorOf([&] { PutCapacity(capacity); });
    EXPECT_EQ(error.Number, kUnexpected);
    EXPECT_EQ(error.Source, "Voziroz.KeyList");
    EXPECT_EQ(error.Description, "List capacity out of bounds (" + std::to_string(capacity) + ")");
    EXPECT_EQ(Count(), 0);
    EXPECT_EQ(Capacity(), 5);
  }
}

TEST_F(KeyListTest, DeleteRemovesExactlyThatKey) {
  struct DeleteCase {
    const char* Key;
    std::vector<std::string> Left;
  };
  const DeleteCase cases[] = {
      {"C", {"a", "b", "d"}},       // front
      {"a", {"C", "b", "d"}},       // middle
      {"d", {"C", "a", "b"}},       // end
      {"x", {"C", "a", "b", "d"}},  // missing
  };
  for (const DeleteCase& c : cases) {
    Call("Clear");
    AddThree();
    Add("d", Variant::I4(4));
    Call("Delete", {Text(c.Key)});
    EXPECT_EQ(Keys(), c.Left) << c.Key;
    EXPECT_EQ(Call("Exists", {Text(c.Key)}), Variant::Bool(false));
  }
}

TEST_F(KeyListTest, ClearAndInitKeepTheCapacity) {
  for (const char* member : {"Clear", "Init"}) {
    AddThree();
    PutCapacity(40);
    Call(member);
    EXPECT_EQ(Count(), 0) << member;
    EXPECT_EQ(Capacity(), 40) << member;
    EXPECT_EQ(Call("Item", {Text("a")}), Text(""));
  }
}

// Items keep their kind; an object item is the same object.
TEST_F(KeyListTest, ItemsKeepTheirValue) {
  const std::vector<Variant> values = {Variant(),
                                       Variant::Null(),
                                       Variant::I1(-5),
                                       Variant::UI1(200),
                                       Variant::I4(-7),
                                       Variant::Bool(true),
                                       Variant::Error(kParamNotFound),
                                       Text("text"),
                                       Variant::Array(VariantArray({Text("x"), Variant::I4(1)})),
                                       Variant::NullArray(),
                                       Variant::Object(CreateQueue())};
  for (std::size_t i = 0; i < values.size(); ++i) Add("k" + std::to_string(i), values[i]);
  for (std::size_t i = 0; i < values.size(); ++i)
    EXPECT_EQ(Call("Item", {Text("k" + std::to_string(i))}), values[i]) << i;
}

// Random adds, puts and deletes agree with a sorted map under the same order.
TEST_F(KeyListTest, AgreesWithASortedMap) {
  struct KeyLess {
    bool operator()(const std::string& a, const std::string& b) const {
      return CompareKeys(a, b) < 0;
    }
  };
  std::map<std::string, std::int32_t, KeyLess> model;
  std::mt19937 random(7);
  const auto random_key = [&] {
    std::string key(random() % 4, ' ');
    for (char& c : key) c = "aAbB\x80\xE9\x9F"[random() % 7];
    return key;
  };
  for (std::int32_t step = 0; step < 3000; ++step) {
    const std::string key = random_key();
    switch (random() % 3) {
      case 0:
        Add(key, Variant::I4(step));
        model.emplace(key, step);
        break;
      case 1:
        PutItem(Text(key), Variant::I4(step));
        model[key] = step;
        break;
      default:
        Call("Delete", {Text(key)});
        model.erase(key);
    }
  }
  std::vector<std::string> keys;
  std::vector<Variant> items;
  for (const auto& [key, item] : model) {
    keys.push_back(key);
    items.push_back(Variant::I4(item));
  }
  EXPECT_EQ(Keys(), keys);
  EXPECT_EQ(ElementsOf(Call("Items")), items);
  for (const auto& [key, item] : model) EXPECT_EQ(Call("Item", {Text(key)}), Variant::I4(item));
}

}  // namespace
}  // namespace voziroz
