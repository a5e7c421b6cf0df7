#include "containers/held_values.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "containers/key_list.h"
#include "containers/queue.h"
#include "containers/stack.h"
#include "script_calls.h"

namespace voziroz {
namespace {

using testing::Text;

using Create = ObjectPtr<AutomationObject> (*)();

// How a script puts a value into each container and takes it out again.
struct Holder {
  const char* Name;
  Create Make;
  void (*Store)(AutomationObject& container, Variant value);
  Variant (*Take)(AutomationObject& container);
};

const Holder kHolders[] = {
    {"Queue", CreateQueue,
     [](AutomationObject& c, Variant v) { CallByName(c, "Put", {std::move(v)}); },
     [](AutomationObject& c) { return CallByName(c, "Get"); }},
    {"Stack", CreateStack,
     [](AutomationObject& c, Variant v) { CallByName(c, "Put", {std::move(v)}); },
     [](AutomationObject& c) { return CallByName(c, "Get"); }},
    {"KeyList", CreateKeyList,
     [](AutomationObject& c, Variant v) {
       CallByName(c, "Add", {Text("k"), std::move(v)});
     },
     [](AutomationObject& c) {
       Variant item = CallByName(c, "Item", {Text("k")});
       CallByName(c, "Delete", {Text("k")});
       return item;
     }},
};

// An object stored in a container lives until the script takes it out and lets it go.
TEST(HeldValues, AStoredObjectLivesUntilTakenOut) {
  for (const Holder& h : kHolders) {
    const ObjectPtr<AutomationObject> container = h.Make();
    const std::int32_t before = AutomationObject::LiveObjectCount();
    h.Store(*container, Variant::Object(CreateQueue()));
    EXPECT_EQ(AutomationObject::LiveObjectCount(), before + 1) << h.Name;
    {
      const Variant taken = h.Take(*container);
      ASSERT_EQ(taken.Kind(), VariantKind::Object) << h.Name;
      EXPECT_EQ(AutomationObject::LiveObjectCount(), before + 1) << h.Name;
    }
    EXPECT_EQ(AutomationObject::LiveObjectCount(), before) << h.Name;
  }
}

// Clear, Init and the container's own end release what it holds, also inside arrays.
TEST(HeldValues, ClearInitAndTheEndReleaseStoredObjects) {
  for (const Holder& h : kHolders) {
    for (const char* ending : {"Clear", "Init", "end"}) {
      const std::int32_t before = AutomationObject::LiveObjectCount();
      ObjectPtr<AutomationObject> container = h.Make();
      h.Store(*container, Variant::Array(VariantArray({Variant::Object(CreateStack())})));
      EXPECT_EQ(AutomationObject::LiveObjectCount(), before + 2) << h.Name << " " << ending;
      if (std::string_view(ending) == "end")
        container = {};
      else
        CallByName(*container, ending);
      EXPECT_EQ(AutomationObject::LiveObjectCount(), before + (container ? 1 : 0))
          << h.Name << " " << ending;
    }
  }
}

TEST(HeldValues, ReplacingAKeyListItemReleasesTheOldOne) {
  const ObjectPtr<AutomationObject> list = CreateKeyList();
  const std::int32_t before = AutomationObject::LiveObjectCount();
  PutByName(*list, "Item", {Text("k")}, Variant::Object(CreateQueue()));
  EXPECT_EQ(AutomationObject::LiveObjectCount(), before + 1);
  PutByName(*list, "Item", {Text("k")}, Variant::I4(1));
  EXPECT_EQ(AutomationObject::LiveObjectCount(), before);
}

// Containers nested far deeper than the call stack could unwind one inside the other (a plain
// release overflows the stack below half this depth): each holds
// the next (directly, or inside an array), and only the outermost is referenced.
TEST(HeldValues, DeeplyNestedContainersReleaseWithoutRecursion) {
  constexpr int kDepth = 60000;
  for (const Holder& h : kHolders) {
    for (const bool in_array : {false, true}) {
      const std::int32_t before = AutomationObject::LiveObjectCount();
      ObjectPtr<AutomationObject> outer = h.Make();
      for (int level = 1; level < kDepth; ++level) {
        ObjectPtr<AutomationObject> next = h.Make();
        Variant inner = Variant::Object(std::move(outer));
        if (in_array) inner = Variant::Array(VariantArray({std::move(inner)}));
        h.Store(*next, std::move(inner));
        outer = std::move(next);
      }
      EXPECT_EQ(AutomationObject::LiveObjectCount(), before + kDepth) << h.Name;
      CallByName(*outer, "Clear");  // releases all but the outermost
      EXPECT_EQ(AutomationObject::LiveObjectCount(), before + 1) << h.Name;
      outer = {};
      EXPECT_EQ(AutomationObject::LiveObjectCount(), before) << h.Name;
    }
  }
}

TEST(HeldValues, DeeplyNestedContainersReleaseAtTheirEnd) {
  constexpr int kDepth = 60000;
  const std::int32_t before = AutomationObject::LiveObjectCount();
  ObjectPtr<AutomationObject> outer = CreateStack();
  for (int level = 1; level < kDepth; ++level) {
    ObjectPtr<AutomationObject> next = level % 2 ? CreateKeyList() : CreateQueue();
    kHolders[level % 2 ? 2 : 0].Store(*next, Variant::Object(std::move(outer)));
    outer = std::move(next);
  }
  outer = {};
  EXPECT_EQ(AutomationObject::LiveObjectCount(), before);
}

// Filled with 100000 values of every kind and dropped: nothing stays behind (LeakSanitizer checks
// the memory in the sanitizer build; the object count checks the objects in every build).
TEST(HeldValues, FillingAndDroppingLeavesNothingBehind) {
  constexpr int kValues = 100000;
  const std::int32_t before = AutomationObject::LiveObjectCount();
  for (const Holder& h : kHolders) {
    ObjectPtr<AutomationObject> container = h.Make();
    for (int i = 0; i < kValues; ++i) {
      const std::string text = "value number " + std::to_string(i) + " with some length";
      Variant value = i % 3 == 0   ? Text(text)
                      : i % 3 == 1 ? Variant::Array(VariantArray({Text(text), Variant::I4(i)}))
                                   : Variant::Object(CreateQueue());
      if (std::string_view(h.Name) == "KeyList")
        CallByName(*container, "Add", {Text(text), std::move(value)});
      else
        h.Store(*container, std::move(value));
    }
    for (int i = 0; i < kValues / 2; ++i) h.Take(*container);  // take some out again
    container = {};
    EXPECT_EQ(AutomationObject::LiveObjectCount(), before) << h.Name;
  }
}

}  // namespace
}  // namespace voziroz
