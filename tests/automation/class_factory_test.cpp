#include "automation/class_factory.h"

#include <gtest/gtest.h>

#include <new>

#include "automation/dispatch.h"

namespace voziroz {
namespace {

class Probe final : public AutomationObject {
 public:
  const MemberTable& Members() const override {
    static const MemberTable table(QueueClass());
    return table;
  }
};

ObjectPtr<AutomationObject> MakeProbe() {
  return MakeObject<Probe>();
}
ObjectPtr<AutomationObject> RunOutOfMemory() {
  throw std::bad_alloc();
}

const CreatableClass kProbeClass{&QueueClass(), &MakeProbe};
const CreatableClass kFailingClass{&StackClass(), &RunOutOfMemory};

TEST(ClassFactory, MakesAnObjectThatCountsAsLive) {
  ClassFactory factory(kProbeClass);
  const std::int32_t before = AutomationObject::LiveObjectCount();
  ObjectPtr<AutomationObject> object;
  EXPECT_EQ(factory.CreateObject(object), kOk);
  ASSERT_TRUE(object);
  EXPECT_EQ(&object->Class(), &QueueClass());
  EXPECT_EQ(AutomationObject::LiveObjectCount(), before + 1);
  object = {};
  EXPECT_EQ(AutomationObject::LiveObjectCount(), before);
}

TEST(ClassFactory, AFailedCreationSaysSoOnStandardErrorAndAnswersUnexpected) {
  ClassFactory factory(kFailingClass);
  ObjectPtr<AutomationObject> object = MakeProbe();
  testing::internal::CaptureStderr();
  EXPECT_EQ(factory.CreateObject(object), kUnexpected);
  EXPECT_EQ(testing::internal::GetCapturedStderr(), "VAZ Error: Out of memory\n");
  EXPECT_FALSE(object);
}

TEST(ServerLifetime, CannotUnloadWhileAnObjectLivesALockIsHeldOrAFactoryIsReferenced) {
  ASSERT_TRUE(CanUnloadNow());
  ObjectPtr<AutomationObject> object = MakeProbe();
  EXPECT_FALSE(CanUnloadNow());
  object = {};
  EXPECT_TRUE(CanUnloadNow());

  EXPECT_EQ(LockServer(true), kOk);
  EXPECT_EQ(LockServer(true), kOk);
  EXPECT_EQ(LockServer(false), kOk);
  EXPECT_FALSE(CanUnloadNow());
  EXPECT_EQ(LockServer(false), kOk);
  EXPECT_TRUE(CanUnloadNow());

  ClassFactory factory(kProbeClass);
  EXPECT_EQ(factory.References().AddRef(), 1u);
  EXPECT_FALSE(CanUnloadNow());
  EXPECT_EQ(factory.References().Release(), 0u);
  EXPECT_TRUE(CanUnloadNow());
}

TEST(ServerLifetime, UnmatchedUnlocksAndReleasesNeverGoBelowZero) {
  EXPECT_EQ(LockServer(false), kUnexpected);
  LibraryReference reference;
  EXPECT_EQ(reference.Release(), 0u);
  EXPECT_TRUE(CanUnloadNow());
  // The next lock is still honoured.
  EXPECT_EQ(LockServer(true), kOk);
  EXPECT_FALSE(CanUnloadNow());
  EXPECT_EQ(LockServer(false), kOk);
  EXPECT_TRUE(CanUnloadNow());
}

}  // namespace
}  // namespace voziroz
