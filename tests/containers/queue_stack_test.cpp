#include <gtest/gtest.h>

#include <algorithm>
#include <ostream>
#include <string>
#include <vector>

#include "containers/key_list.h"
#include "containers/queue.h"
#include "containers/stack.h"
#include "script_calls.h"

namespace voziroz {
namespace {

using testing::Text;

// Queue and Stack have the same members; they differ in the order Get returns values and in the
// name of the count property.
struct ChainKind {
  const char* ProgId;
  ObjectPtr<AutomationObject> (*Create)();
  const char* CountName;
  bool FirstInFirstOut;
};

void PrintTo(const ChainKind& kind, std::ostream* out) {
  *out << kind.ProgId;
}

const ChainKind kQueue = {"Voziroz.Queue", CreateQueue, "Length", true};
const ChainKind kStack = {"Voziroz.Stack", CreateStack, "Height", false};

class ValueChainTest : public ::testing::TestWithParam<ChainKind> {
 protected:
  Variant Call(std::string_view name, std::initializer_list<Variant> args = {}) {
    return CallByName(*chain_, name, args);
  }
  void Put(Variant value) { Call("Put", {std::move(value)}); }
  Variant Get() { return Call("Get"); }
  std::int32_t Count() { return Call(GetParam().CountName).AsI4(); }
  // `values` in the order Get returns them after they were put in the given order.
  std::vector<Variant> InGetOrder(std::vector<Variant> values) {
    if (!GetParam().FirstInFirstOut) std::reverse(values.begin(), values.end());
    return values;
  }

  ObjectPtr<AutomationObject> chain_ = GetParam().Create();
};

INSTANTIATE_TEST_SUITE_P(Containers, ValueChainTest, ::testing::Values(kQueue, kStack),
                         [](const auto& test) { return std::string(test.param.CountName); });

TEST_P(ValueChainTest, IsTheClassOfItsProgId) {
  EXPECT_EQ(chain_->Class().ProgId, GetParam().ProgId);
}

TEST_P(ValueChainTest, GetsInOrderThenNull) {
  const std::vector<Variant> values = {Variant::I4(1), Variant::I4(2), Variant::I4(3)};
  for (const Variant& v : values) Put(v);
  EXPECT_EQ(Count(), 3);
  std::vector<Variant> got;
  for (int i = 0; i < 3; ++i) got.push_back(Get());
  EXPECT_EQ(got, InGetOrder(values));
  const Variant after = Get();
  EXPECT_EQ(after.Kind(), VariantKind::Null);
  EXPECT_EQ(Count(), 0);
}

TEST_P(ValueChainTest, GetOnANewObjectIsNull) {
  EXPECT_EQ(Get().Kind(), VariantKind::Null);
  EXPECT_EQ(Count(), 0);
}

TEST_P(ValueChainTest, PutAfterDrainingStartsAgain) {
  Put(Variant::I4(1));
  Get();
  Get();
  Put(Text("again"));
  Put(Text("more"));
  EXPECT_EQ(Count(), 2);
  EXPECT_EQ(Get(), GetParam().FirstInFirstOut ? Text("again") : Text("more"));
  EXPECT_EQ(Count(), 1);
}

TEST_P(ValueChainTest, ClearAndInitEmpty) {
  for (const char* member : {"Clear", "Init"}) {
    for (int i = 0; i < 5; ++i) Put(Variant::I4(i));
    Call(member);
    EXPECT_EQ(Count(), 0) << member;
    EXPECT_EQ(Get().Kind(), VariantKind::Null) << member;
    Put(Variant::I4(9));
    EXPECT_EQ(Get(), Variant::I4(9)) << member;
  }
}

// Every kind of value comes back as it went in.
TEST_P(ValueChainTest, ValuesKeepTheirKind) {
  const std::vector<Variant> values = {Variant(),
                                       Variant::Null(),
                                       Variant::I1(-5),
                                       Variant::UI1(200),
                                       Variant::I4(-7),
                                       Variant::Bool(false),
                                       Variant::Error(kDispParamNotFound),
                                       Text(""),
                                       Text("a\x80\xFF"),
                                       Variant::Array(VariantArray({Text("x")})),
                                       Variant::NullArray(),
                                       Variant::Object(CreateKeyList())};
  for (const Variant& v : values) Put(v);
  std::vector<Variant> got;
  for (std::size_t i = 0; i < values.size(); ++i) got.push_back(Get());
  EXPECT_EQ(got, InGetOrder(values));
}

// The container holds its own copy: what the caller does with its variable afterwards does not
// reach the stored value.
TEST_P(ValueChainTest, StoresCopies) {
  std::vector<Variant> args = {Text("before")};
  CallByName(*chain_, "Put", args);
  args[0] = Text("after");
  EXPECT_EQ(Get(), Text("before"));
}

TEST_P(ValueChainTest, PutNeedsExactlyOneValue) {
  for (std::vector<Variant> args : {std::vector<Variant>{}, {Variant::I4(1), Variant::I4(2)}}) {
    try {
      CallByName(*chain_, "Put", args);
      ADD_FAILURE() << "Put took " << args.size() << " arguments";
    } catch (const CallFailure& failure) {
      EXPECT_EQ(failure.Outcome().Status, kDispBadParamCount);
    }
  }
  EXPECT_EQ(Count(), 0);
}

}  // namespace
}  // namespace voziroz
