// The server's four entry points, called directly as the platform library calls them.
#include <dlfcn.h>
#include <gtest/gtest.h>
#include <limits.h>

#include <fstream>
#include <sstream>

#include "tests/com/com_test_helpers.h"
#include "tests/temp_dir.h"

namespace voziroz::testing {
namespace {

// The registry of a test: a store in a fresh folder, named by VOZIROZ_REGISTRY meanwhile.
class ScopedRegistry {
 public:
  ScopedRegistry() : path_((folder_.path() / "registry").string()) {
    setenv("VOZIROZ_REGISTRY", path_.c_str(), 1);
  }
  ~ScopedRegistry() { unsetenv("VOZIROZ_REGISTRY"); }
  const std::string& path() const { return path_; }

 private:
  TempDir folder_;
  std::string path_;
};

constexpr GUID kUnknownClass = {0x12345678, 0x1234, 0x1234, {1, 2, 3, 4, 5, 6, 7, 8}};
void* const kGarbage = reinterpret_cast<void*>(0x1);

TEST(DllGetClassObject, AnUnknownClassClearsTheOutputAndIsNotAvailable) {
  for (const GUID* clsid : {&kUnknownClass, &IID_ITable}) {
    void* out = kGarbage;
    EXPECT_EQ(DllGetClassObject(clsid, &IID_IClassFactory, &out), CLASS_E_CLASSNOTAVAILABLE);
    EXPECT_EQ(out, nullptr);
  }
  EXPECT_EQ(DllGetClassObject(&kUnknownClass, &IID_IClassFactory, nullptr), E_POINTER);
}

TEST(DllGetClassObject, GivesTheFactoryAsIUnknownOrIClassFactoryOnly) {
  ComPtr<IClassFactory> factory;
  EXPECT_EQ(DllGetClassObject(&CLSID_Table, &IID_IClassFactory, factory.out()), S_OK);
  ComPtr<IUnknown> unknown;
  EXPECT_EQ(DllGetClassObject(&CLSID_Table, &IID_IUnknown, unknown.out()), S_OK);
  EXPECT_EQ(static_cast<void*>(unknown.get()), static_cast<void*>(factory.get()));
  void* out = kGarbage;
  EXPECT_EQ(DllGetClassObject(&CLSID_Table, &IID_IDispatch, &out), E_NOINTERFACE);
  EXPECT_EQ(out, nullptr);
}

class Factory : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_EQ(DllGetClassObject(&CLSID_Table, &IID_IClassFactory, factory_.out()), S_OK);
  }
  HRESULT Create(IUnknown* outer, const IID& iid, void** out) {
    return factory_->lpVtbl->CreateInstance(factory_.get(), outer, &iid, out);
  }
  ComPtr<IClassFactory> factory_;
};

TEST_F(Factory, CreateInstanceChecksItsOutputAndAggregation) {
  EXPECT_EQ(Create(nullptr, IID_IDispatch, nullptr), E_POINTER);
  ComPtr<IUnknown> outer;
  ASSERT_EQ(Create(nullptr, IID_IUnknown, outer.out()), S_OK);
  void* out = kGarbage;
  EXPECT_EQ(Create(outer.get(), IID_IDispatch, &out), CLASS_E_NOAGGREGATION);
  EXPECT_EQ(out, nullptr);
}

TEST_F(Factory, AnInterfaceTheObjectLacksDestroysItAgain) {
  void* out = kGarbage;
  EXPECT_EQ(Create(nullptr, IID_IClassFactory, &out), E_NOINTERFACE);
  EXPECT_EQ(out, nullptr);
  factory_.reset();
  EXPECT_EQ(DllCanUnloadNow(), S_OK);
}

TEST_F(Factory, DllCanUnloadNowWaitsForObjectsLocksAndFactoryReferences) {
  EXPECT_EQ(DllCanUnloadNow(), S_FALSE);  // the factory is referenced
  ComPtr<IDispatch> table;
  ASSERT_EQ(Create(nullptr, IID_IDispatch, table.out()), S_OK);
  EXPECT_EQ(factory_->lpVtbl->LockServer(factory_.get(), 1), S_OK);
  factory_.reset();
  EXPECT_EQ(DllCanUnloadNow(), S_FALSE);  // an object lives and the server is locked
  table.reset();
  EXPECT_EQ(DllCanUnloadNow(), S_FALSE);  // still locked
  ASSERT_EQ(DllGetClassObject(&CLSID_Table, &IID_IClassFactory, factory_.out()), S_OK);
  EXPECT_EQ(factory_->lpVtbl->LockServer(factory_.get(), 0), S_OK);
  EXPECT_EQ(factory_->lpVtbl->LockServer(factory_.get(), 0), E_UNEXPECTED);
  factory_.reset();
  EXPECT_EQ(DllCanUnloadNow(), S_OK);
}

TEST_F(Factory, ATypeInformationReferenceAlsoKeepsTheLibraryLoaded) {
  ComPtr<IDispatch> table;
  ASSERT_EQ(Create(nullptr, IID_IDispatch, table.out()), S_OK);
  factory_.reset();
  ComPtr<ITypeInfo> info;
  ASSERT_EQ(table->lpVtbl->GetTypeInfo(table.get(), 0, 0, info.put()), S_OK);
  table.reset();
  EXPECT_EQ(DllCanUnloadNow(), S_FALSE);
  info.reset();
  EXPECT_EQ(DllCanUnloadNow(), S_OK);
}

std::string LibraryPath() {
  Dl_info info{};
  dladdr(reinterpret_cast<void*>(&DllRegisterServer), &info);
  char path[PATH_MAX];
  return realpath(info.dli_fname, path) ? path : "";
}

std::string Registered(const char* key, const char* name = "") {
  char* value = nullptr;
  if (FAILED(vz_registry_get_value(key, name, &value))) return "(none)";
  std::string result = value;
  vz_free(value);
  return result;
}

std::string FileText(const std::string& path) {
  std::ifstream file(path);
  std::stringstream text;
  text << file.rdbuf();
  return text.str();
}

TEST(ServerRegistration, WritesThePathsOfThisLibraryAndUnregisteringLeavesTheStoreAsItWas) {
  ScopedRegistry registry;
  {
    vz_registry* change = nullptr;
    ASSERT_EQ(vz_registry_open(&change), S_OK);
    vz_registry_set_value(change, "txtfile", "", "Text Document");
    vz_registry_commit(change);
    vz_registry_close(change);
  }
  const std::string before = FileText(registry.path());
  ASSERT_EQ(DllRegisterServer(), S_OK);
  const std::string library = LibraryPath();
  const std::string folder = library.substr(0, library.rfind('/'));
  struct Case {
    const char* key;
    const char* name;
    std::string value;
  };
  const Case kCases[] = {
      {"Voziroz.Parser\\Clsid", "", "{C75F7A80-B719-4164-AFC1-56A316B44679}"},
      {"CLSID\\{FA374253-E02E-461A-85FC-9370260773F1}\\InprocServer32", "", library},
      {"CLSID\\{FA374253-E02E-461A-85FC-9370260773F1}\\InprocServer32", "ThreadingModel",
       "Apartment"},
      {"TypeLib\\{BA382B7F-C27B-4CBD-A67B-6B8856E804EE}\\1.0\\409\\win64", "", library},
      {"TypeLib\\{BA382B7F-C27B-4CBD-A67B-6B8856E804EE}\\1.0\\HELPDIR", "", folder},
      {"txtfile", "", "Text Document"},
  };
  for (const Case& c : kCases) EXPECT_EQ(Registered(c.key, c.name), c.value) << c.key;
  const std::string once = FileText(registry.path());
  ASSERT_EQ(DllRegisterServer(), S_OK);
  EXPECT_EQ(FileText(registry.path()), once);

  ASSERT_EQ(DllUnregisterServer(), S_OK);
  EXPECT_EQ(FileText(registry.path()), before);
  EXPECT_EQ(DllUnregisterServer(), S_OK);  // nothing left to remove is no failure
}

TEST(ServerRegistration, AStoreThatCannotBeWrittenFailsWithTheMessage) {
  TempDir folder;
  const std::string blocker = folder.Write("not-a-folder", "");
  setenv("VOZIROZ_REGISTRY", (blocker + "/registry").c_str(), 1);
  EXPECT_EQ(DllRegisterServer(), E_FAIL);
  const auto [source, description] = TakeErrorInfo();
  unsetenv("VOZIROZ_REGISTRY");
  EXPECT_EQ(source, "Voziroz");
  EXPECT_EQ(description.rfind("Error creating system registry entry: ", 0), 0u) << description;
}

}  // namespace
}  // namespace voziroz::testing
