// Stand-ins for the library's objects, small enough to check the COM edge by itself: they take
// the identity of real classes (so the edge serves their dual interfaces) and answer with
// values that a test can predict.
#pragma once

#include <string>
#include <utility>
#include <vector>

#include "automation/dispatch.h"

namespace voziroz::testing {

// A KeyList in insertion order. ByIndex and Delete raise "Range check error" for a missing
// index or key; a negative Capacity raises "Capacity must not be negative" with E_INVALIDARG;
// Item of a missing key is Empty.
class FakeKeyList final : public AutomationObject {
 public:
  const MemberTable& Members() const override;

  std::vector<std::pair<std::string, Variant>> Entries;
  std::int32_t Capacity = 0;
};

// A Parser whose members have no handlers (they answer "not implemented").
class FakeParser final : public AutomationObject {
 public:
  const MemberTable& Members() const override;
};

// A Table whose Open remembers the parser it was given.
class FakeTable final : public AutomationObject {
 public:
  const MemberTable& Members() const override;

  std::string OpenedName;
  ObjectPtr<AutomationObject> OpenedParser;
};

}  // namespace voziroz::testing
