#include "automation/registration.h"

#include <gtest/gtest.h>

#include <map>
#include <stdexcept>
#include <utility>

#include "automation/interfaces.h"
#include "engine/ansi_case.h"

namespace voziroz {
namespace {

// A registry in memory: keys and value names compare without regard to case, as the system's.
class MapRegistry : public RegistryWriter {
 public:
  using Values = std::map<std::pair<std::string, std::string>, std::string>;

  void SetValue(std::string_view key, std::string_view name, std::string_view value) override {
    if (writes_left_ == 0) throw std::runtime_error("disk full");
    if (writes_left_ > 0) --writes_left_;
    values_[{AnsiUpperCase(key), AnsiUpperCase(name)}] = value;
  }
  void DeleteKey(std::string_view key) override {
    if (AnsiUpperCase(key) == failing_delete_) throw std::runtime_error("access denied");
    std::erase_if(values_, [&](const auto& v) { return v.first.first == AnsiUpperCase(key); });
  }

  const Values& values() const { return values_; }
  const std::string* Find(std::string_view key, std::string_view name) const {
    const auto it = values_.find({AnsiUpperCase(key), AnsiUpperCase(name)});
    return it == values_.end() ? nullptr : &it->second;
  }
  void FailAfter(int writes) { writes_left_ = writes; }
  void FailDeleting(std::string_view key) { failing_delete_ = AnsiUpperCase(key); }

 private:
  Values values_;
  int writes_left_ = -1;
  std::string failing_delete_;
};

const ServerLocation kLocation{"/opt/voziroz/lib/libvoziroz.so", "/opt/voziroz/lib", "win64"};

TEST(Registration, WritesEveryKeyOfTheClassesAndTheTypeLibrary) {
  MapRegistry registry;
  RegisterServer(registry, kLocation);
  struct Expected {
    const char* key;
    const char* name;
    const char* value;
  };
  const Expected kExpected[] = {
      {"Voziroz.Parser\\Clsid", "", "{C75F7A80-B719-4164-AFC1-56A316B44679}"},
      {"CLSID\\{FA374253-E02E-461A-85FC-9370260773F1}\\InprocServer32", "ThreadingModel",
       "Apartment"},
      {"CLSID\\{FA374253-E02E-461A-85FC-9370260773F1}", "", "Fake Table Object"},
      {"CLSID\\{FA374253-E02E-461A-85FC-9370260773F1}\\InprocServer32", "",
       "/opt/voziroz/lib/libvoziroz.so"},
      {"CLSID\\{FA374253-E02E-461A-85FC-9370260773F1}\\ProgID", "", "Voziroz.Table"},
      {"CLSID\\{FA374253-E02E-461A-85FC-9370260773F1}\\Version", "", "1.0"},
      {"CLSID\\{FA374253-E02E-461A-85FC-9370260773F1}\\TypeLib", "",
       "{BA382B7F-C27B-4CBD-A67B-6B8856E804EE}"},
      {"Voziroz.Table", "", "Fake Table Object"},
      {"Voziroz.Table\\Clsid", "", "{FA374253-E02E-461A-85FC-9370260773F1}"},
      {"Voziroz.KeyList", "", "KeyList is a sorted list of key/item pairs."},
      {"CLSID\\{074EE418-23A9-4807-84CB-D98D86F237C2}\\ProgID", "", "Voziroz.FTP"},
      {"TypeLib\\{BA382B7F-C27B-4CBD-A67B-6B8856E804EE}\\1.0", "", "Project1 Library"},
      {"TypeLib\\{BA382B7F-C27B-4CBD-A67B-6B8856E804EE}\\1.0\\409\\win64", "",
       "/opt/voziroz/lib/libvoziroz.so"},
      {"TypeLib\\{BA382B7F-C27B-4CBD-A67B-6B8856E804EE}\\1.0\\FLAGS", "", "0"},
      {"TypeLib\\{BA382B7F-C27B-4CBD-A67B-6B8856E804EE}\\1.0\\HELPDIR", "", "/opt/voziroz/lib"},
      {"Interface\\{56D9E158-074E-464A-BF01-640D099AFD32}", "", "IParser"},
      {"Interface\\{56D9E158-074E-464A-BF01-640D099AFD32}\\ProxyStubClsid", "",
       "{00020424-0000-0000-C000-000000000046}"},
      {"Interface\\{56D9E158-074E-464A-BF01-640D099AFD32}\\ProxyStubClsid32", "",
       "{00020424-0000-0000-C000-000000000046}"},
      {"Interface\\{56D9E158-074E-464A-BF01-640D099AFD32}\\TypeLib", "",
       "{BA382B7F-C27B-4CBD-A67B-6B8856E804EE}"},
      {"Interface\\{56D9E158-074E-464A-BF01-640D099AFD32}\\TypeLib", "Version", "1.0"},
      {"Interface\\{9C695540-F43B-4E2C-AE08-30D8ED4C7A38}", "", "IKeyList"},
  };
  for (const Expected& e : kExpected) {
    const std::string* value = registry.Find(e.key, e.name);
    ASSERT_NE(value, nullptr) << e.key << " " << e.name;
    EXPECT_EQ(*value, e.value) << e.key << " " << e.name;
  }
  // Four type-library values, five per interface and eight per class: nothing else.
  EXPECT_EQ(registry.values().size(), 4u + 6 * 5 + 6 * 8);
}

TEST(Registration, EveryClassKeyCarriesItsOwnIdentity) {
  MapRegistry registry;
  RegisterServer(registry, kLocation);
  for (const ClassInfo& cls : kTypeLibrary.Classes) {
    const std::string key = "CLSID\\" + GuidToString(cls.Clsid);
    EXPECT_EQ(*registry.Find(key, ""), cls.HelpString);
    EXPECT_EQ(*registry.Find(key + "\\ProgID", ""), cls.ProgId);
    EXPECT_EQ(*registry.Find(std::string(cls.ProgId) + "\\Clsid", ""), GuidToString(cls.Clsid));
    EXPECT_EQ(*registry.Find(std::string(cls.ProgId), ""), cls.HelpString);
  }
}

TEST(Registration, RegisteringTwiceChangesNothing) {
  MapRegistry once;
  RegisterServer(once, kLocation);
  MapRegistry twice;
  RegisterServer(twice, kLocation);
  RegisterServer(twice, kLocation);
  EXPECT_EQ(once.values(), twice.values());
}

TEST(Registration, UnregisteringRemovesExactlyWhatRegisteringWrote) {
  MapRegistry registry;
  registry.SetValue("CLSID\\{00000000-1111-2222-3333-444444444444}", "", "another class");
  registry.SetValue("Interface\\{00020400-0000-0000-C000-000000000046}", "", "IDispatch");
  registry.SetValue("TypeLib\\{BA382B7F-C27B-4CBD-A67B-6B8856E804EE}\\1.0\\409\\win32", "",
                    "C:\\Voziroz.dll");
  const MapRegistry::Values before = registry.values();
  RegisterServer(registry, kLocation);
  UnregisterServer(registry, kLocation);
  EXPECT_EQ(registry.values(), before);
}

TEST(Registration, AFailedWriteStopsWithTheMessageAndKeepsWhatWasWritten) {
  MapRegistry registry;
  registry.FailAfter(10);
  try {
    RegisterServer(registry, kLocation);
    FAIL() << "no error";
  } catch (const AutomationError& e) {
    EXPECT_STREQ(e.what(), "Error creating system registry entry: disk full");
    EXPECT_EQ(e.Code(), kFail);
  }
  EXPECT_EQ(registry.values().size(), 10u);
}

TEST(Registration, AKeyThatCannotBeDeletedIsSkipped) {
  MapRegistry registry;
  RegisterServer(registry, kLocation);
  registry.FailDeleting("Voziroz.Parser");
  UnregisterServer(registry, kLocation);
  ASSERT_EQ(registry.values().size(), 1u);
  EXPECT_NE(registry.Find("Voziroz.Parser", ""), nullptr);
}

TEST(Registration, DeletesSubkeysBeforeTheirParents) {
  const std::vector<std::string> keys = UnregistrationKeys(kLocation);
  for (std::size_t i = 0; i < keys.size(); ++i)
    for (std::size_t j = i + 1; j < keys.size(); ++j)
      EXPECT_FALSE(AnsiUpperCase(keys[j]).starts_with(AnsiUpperCase(keys[i]) + "\\"))
          << keys[j] << " deleted after its parent " << keys[i];
}

}  // namespace
}  // namespace voziroz
