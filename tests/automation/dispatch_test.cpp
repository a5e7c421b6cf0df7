#include "automation/dispatch.h"

#include <gtest/gtest.h>

#include <new>
#include <stdexcept>
#include <string>
#include <vector>

#include "automation/call_by_name.h"

namespace voziroz {
namespace {

// An object over a real interface whose handlers record what they received.
class Probe final : public AutomationObject {
 public:
  explicit Probe(const MemberTable& table) : table_(table) {}
  const MemberTable& Members() const override { return table_; }

  std::vector<Variant> received;
  std::int32_t capacity = 4;

 private:
  const MemberTable& table_;
};

Variant Record(Probe& p, MemberArgs args) {
  p.received.assign(args.begin(), args.end());
  return Variant();
}

constexpr ClassInfo kListProbe = {"Probe", {}, "", &kKeyListInterface, "Voziroz.Probe", "TProbe"};
constexpr ClassInfo kParserProbe = {"Probe", {}, "", &kParserInterface, "Voziroz.Parser", "TProbe"};
constexpr ClassInfo kTableProbe = {"Probe", {}, "", &kTableInterface, "Voziroz.Table", "TProbe"};

// KeyList's interface: BSTR, I4 and out parameters, a get and a put under one DISPID. Delete
// has no handler.
const MemberTable& ListMembers() {
  static const MemberTable table =
      MemberTable(kListProbe)
          .Add<Probe>("Add", MemberKind::Method, Record)
          .Add<Probe>("ByIndex", MemberKind::Method,
                      [](Probe& p, MemberArgs a) {
                        if (a[0].AsI4() < 0) ThrowRangeError();
                        Record(p, a);
                        a[1] = Variant::Text("key" + std::to_string(a[0].AsI4()));
                        a[2] = Variant::I4(a[0].AsI4() * 10);
                        return Variant();
                      })
          .Add<Probe>("Item", MemberKind::PropertyGet,
                      [](Probe& p, MemberArgs a) {
                        Record(p, a);
                        return Variant::Text("item of " + a[0].AsText());
                      })
          .Add<Probe>("Item", MemberKind::PropertyPut, Record)
          .Add<Probe>("Capacity", MemberKind::PropertyGet,
                      [](Probe& p, MemberArgs) { return Variant::I4(p.capacity); })
          .Add<Probe>("Capacity", MemberKind::PropertyPut,
                      [](Probe& p, MemberArgs a) {
                        p.capacity = a[0].AsI4();
                        return Variant::I4(99);  // ignored: a put has no result
                      })
          .Add<Probe>("Exists", MemberKind::Method,
                      [](Probe&, MemberArgs a) { return Variant::Bool(a[0].AsText() == "k"); })
          .Add<Probe>("Clear", MemberKind::Method,
                      [](Probe&, MemberArgs) -> Variant { throw std::bad_alloc(); })
          .Add<Probe>("Init", MemberKind::Method, [](Probe&, MemberArgs) -> Variant {
            throw AutomationError("List capacity out of bounds (-1)");
          });
  return table;
}

const MemberTable& ParserMembers() {
  static const MemberTable table =
      MemberTable(kParserProbe).Add<Probe>("GetTable", MemberKind::Method, Record);
  return table;
}

const MemberTable& TableMembers() {
  static const MemberTable table = MemberTable(kTableProbe)
                                       .Add<Probe>("Open", MemberKind::Method, Record)
                                       .Add<Probe>("Row", MemberKind::PropertyGet, Record);
  return table;
}

class DispatchTest : public ::testing::Test {
 protected:
  ObjectPtr<Probe> list_ = MakeObject<Probe>(ListMembers());
  ObjectPtr<Probe> parser_ = MakeObject<Probe>(ParserMembers());
  ObjectPtr<Probe> table_ = MakeObject<Probe>(TableMembers());
};

InvokeOutcome Outcome(AutomationObject& object, DispId id, std::uint16_t flags,
                      std::vector<Variant> args) {
  Variant result;
  return Invoke(object, id, flags, args, result);
}

TEST(GetIDsOfNames, IgnoresCaseAndMapsParameterNames) {
  const std::string_view names[] = {"rowcount", "ROWCOUNT", "RowCount"};
  for (std::string_view name : names) {
    DispId id = 0;
    EXPECT_EQ(GetIDsOfNames(kTableInterface, std::span(&name, 1), std::span(&id, 1)), kOk);
    EXPECT_EQ(id, 201) << name;
  }
  const std::string_view with_params[] = {"gettable", "PARAMETER", "TableName", "Other"};
  DispId ids[4];
  EXPECT_EQ(GetIDsOfNames(kParserInterface, with_params, ids), kDispUnknownName);
  EXPECT_EQ(ids[0], 207);
  EXPECT_EQ(ids[1], 1);
  EXPECT_EQ(ids[2], 0);
  EXPECT_EQ(ids[3], kDispIdUnknown);
  const std::string_view unknown[] = {"NoSuchMember"};
  EXPECT_EQ(GetIDsOfNames(kParserInterface, unknown, ids), kDispUnknownName);
  EXPECT_EQ(ids[0], kDispIdUnknown);
  const std::string_view hidden[] = {"datalink"};
  EXPECT_EQ(GetIDsOfNames(kParserInterface, hidden, ids), kOk) << "hidden members have names";
  EXPECT_EQ(ids[0], 206);
}

TEST_F(DispatchTest, ArgumentsArriveConvertedToTheDeclaredTypes) {
  CallByName(*list_, "Add", {Variant::I4(12), Variant::Null()});
  EXPECT_EQ(list_->received, (std::vector<Variant>{Variant::Text("12"), Variant::Null()}))
      << "a number for a BSTR arrives as its text; a VARIANT arrives as passed";
  EXPECT_EQ(CallByName(*list_, "Item", {Variant::Bool(true)}), Variant::Text("item of True"));
  PutByName(*list_, "Capacity", {}, Variant::Text(" 17 "));
  EXPECT_EQ(list_->capacity, 17);
  EXPECT_EQ(CallByName(*list_, "Exists", {Variant::Text("k")}), Variant::Bool(true));
}

TEST_F(DispatchTest, RefusalsBeforeTheMemberRuns) {
  const struct {
    DispId id;
    std::uint16_t flags;
    std::vector<Variant> args;
    HResult status;
    std::int32_t arg_error;
  } cases[] = {
      {201, kInvokeMethod, {Variant::Null(), Variant()}, kDispTypeMismatch, 0},
      {201, kInvokeMethod, {Variant::Text("k")}, kDispBadParamCount, -1},
      {201, kInvokeMethod, {Variant(), Variant(), Variant()}, kDispBadParamCount, -1},
      {203, kInvokeMethod, {Variant::Text("x"), Variant(), Variant()}, kDispTypeMismatch, 0},
      {203, kInvokeMethod, {Variant::Text("99999999999"), Variant(), Variant()}, kDispOverflow, 0},
      {205, kInvokePropertyPut, {Variant::Error(kParamNotFound)}, kDispTypeMismatch, 0},
      {205, kInvokePropertyPut, {}, kDispBadParamCount, -1},
      {204, kInvokePropertyPut, {Variant::I4(1)}, kDispMemberNotFound, -1},
      {209, kInvokePropertyGet, {Variant::Text("k")}, kDispMemberNotFound, -1},
      {999, kInvokeMethod, {}, kDispMemberNotFound, -1},
  };
  for (const auto& c : cases) {
    list_->received.clear();
    const InvokeOutcome outcome = Outcome(*list_, c.id, c.flags, c.args);
    EXPECT_EQ(outcome.Status, c.status) << "DISPID " << c.id;
    EXPECT_EQ(outcome.ArgError, c.arg_error) << "DISPID " << c.id;
    EXPECT_TRUE(list_->received.empty()) << "the member must not run";
  }
}

TEST_F(DispatchTest, OmittedOptionalArgumentArrivesAsParamNotFound) {
  CallByName(*parser_, "GetTable", {Variant::Text("PERSON")});
  ASSERT_EQ(parser_->received.size(), 2u);
  EXPECT_TRUE(parser_->received[1].IsParamNotFound());
  CallByName(*parser_, "GetTable", {Variant::Text("PERSON"), Variant::Text("rows")});
  EXPECT_EQ(parser_->received[1], Variant::Text("rows"));
  EXPECT_EQ(Outcome(*parser_, 207, kInvokeMethod, {}).Status, kDispBadParamCount);
}

TEST_F(DispatchTest, PutByValueAndByReferenceBothReachThePut) {
  for (std::uint16_t flags : {kInvokePropertyPut, kInvokePropertyPutRef}) {
    list_->received.clear();
    std::vector<Variant> args = {Variant::Text("a"), Variant::I4(5)};
    Variant result;
    EXPECT_TRUE(Invoke(*list_, 202, flags, args, result).Succeeded());
    EXPECT_EQ(list_->received, args);
    EXPECT_EQ(result, Variant()) << "a put gives no result";
  }
}

TEST_F(DispatchTest, MethodCallOnAPropertyGetIsAGet) {
  const std::uint16_t flag_sets[] = {kInvokeMethod, kInvokePropertyGet,
                                     kInvokeMethod | kInvokePropertyGet};
  for (std::uint16_t flags : flag_sets) {
    Variant result;
    std::vector<Variant> args;
    EXPECT_TRUE(Invoke(*list_, 205, flags, args, result).Succeeded()) << flags;
    EXPECT_EQ(result, Variant::I4(4));
  }
}

TEST_F(DispatchTest, OutParametersAreWrittenBack) {
  std::vector<Variant> args = {Variant::Text("3"), Variant(), Variant()};
  CallByName(*list_, "ByIndex", args);
  EXPECT_EQ(args[0], Variant::Text("3")) << "in parameters stay as the caller passed them";
  EXPECT_EQ(args[1], Variant::Text("key3"));
  EXPECT_EQ(args[2], Variant::I4(30));
  EXPECT_EQ(list_->received[1], Variant::Text("")) << "an out BSTR starts as empty text";

  args = {Variant::I4(-1), Variant::Text("kept"), Variant()};
  EXPECT_THROW(CallByName(*list_, "ByIndex", args), CallFailure);
  EXPECT_EQ(args[1], Variant::Text("kept")) << "nothing is written back after an error";
}

TEST_F(DispatchTest, ErrorsInsideMembersCarrySourceAndDescription) {
  const struct {
    const char* member;
    HResult number;
    const char* description;
  } cases[] = {
      {"Init", kUnexpected, "List capacity out of bounds (-1)"},
      {"Clear", kUnexpected, "Out of memory"},
      {"Delete", kNotImplemented, "The member Delete is not implemented"},
  };
  for (const auto& c : cases) {
    try {
      std::vector<Variant> args = {Variant::Text("k")};
      if (std::string_view(c.member) != "Delete") args.clear();
      CallByName(*list_, c.member, args);
      ADD_FAILURE() << c.member << ": no error";
    } catch (const CallFailure& e) {
      EXPECT_EQ(e.Outcome().Status, kDispException);
      EXPECT_EQ(e.Outcome().Error.Number, c.number) << c.member;
      EXPECT_EQ(e.Outcome().Error.Source, "Voziroz.Probe");
      EXPECT_EQ(e.Outcome().Error.Description, c.description);
    }
  }
  EXPECT_EQ(CallByName(*list_, "Capacity"), Variant::I4(4)) << "the object stays usable";
}

TEST_F(DispatchTest, ParserParameterMustBeAParserObject) {
  const struct {
    Variant parser;
    HResult status;
  } cases[] = {
      {Variant::Object(parser_), kOk},
      {Variant::Object(list_), kDispTypeMismatch},
      {Variant(), kDispTypeMismatch},
      {Variant::Null(), kDispTypeMismatch},
  };
  for (const auto& c : cases)
    EXPECT_EQ(Outcome(*table_, 206, kInvokeMethod, {Variant::Text("PERSON"), c.parser}).Status,
              c.status);
}

TEST(MemberTable, MistakesInTheTableAreFoundWhenItIsBuilt) {
  EXPECT_THROW(MemberTable(kListProbe).Add<Probe>("Nothing", MemberKind::Method, Record),
               std::logic_error);
  EXPECT_THROW(MemberTable(kListProbe).Add<Probe>("Count", MemberKind::PropertyPut, Record),
               std::logic_error)
      << "Count has no put";
  EXPECT_THROW(MemberTable(kListProbe)
                   .Add<Probe>("Add", MemberKind::Method, Record)
                   .Add<Probe>("Add", MemberKind::Method, Record),
               std::logic_error);
}

TEST(AutomationObject, LiveObjectCountFollowsReferences) {
  const std::int32_t before = AutomationObject::LiveObjectCount();
  {
    ObjectPtr<Probe> a = MakeObject<Probe>(ListMembers());
    ObjectPtr<AutomationObject> b = a;
    EXPECT_EQ(AutomationObject::LiveObjectCount(), before + 1);
    Variant held = Variant::Object(b);
    a = ObjectPtr<Probe>();
    b = ObjectPtr<AutomationObject>();
    EXPECT_EQ(AutomationObject::LiveObjectCount(), before + 1) << "the Variant holds it";
    EXPECT_EQ(held.AsObject()->Class().ProgId, "Voziroz.Probe");
  }
  EXPECT_EQ(AutomationObject::LiveObjectCount(), before);
}

}  // namespace
}  // namespace voziroz
