#include "vozcom/registry_file.h"

#include "tests/temp_dir.h"

#include <gtest/gtest.h>
#include <signal.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <map>
#include <optional>
#include <random>

namespace voziroz {
namespace {

namespace fs = std::filesystem;

class RegistryFile : public ::testing::Test {
 protected:
  void Commit(const std::vector<StoredValue>& values) {
    RegistryTransaction transaction(path_);
    for (const StoredValue& v : values) transaction.Contents().Set(v.Key, v.Name, v.Value);
    transaction.Commit();
  }

  testing::TempDir temp_;
  const fs::path& folder_ = temp_.path();
  std::string path_ = (folder_ / "registry").string();
};

// Sets or unsets an environment variable for the life of the object.
class ScopedEnvironment {
 public:
  ScopedEnvironment(const char* name, std::optional<std::string> value) : name_(name) {
    if (const char* old = std::getenv(name)) old_ = old;
    if (value)
      setenv(name, value->c_str(), 1);
    else
      unsetenv(name);
  }
  ~ScopedEnvironment() {
    if (old_)
      setenv(name_, old_->c_str(), 1);
    else
      unsetenv(name_);
  }

 private:
  const char* name_;
  std::optional<std::string> old_;
};

TEST(RegistryPathTest, ComesFromTheEnvironmentInOrder) {
  struct Case {
    std::optional<std::string> registry, config, home;
    std::string expected;
  };
  const Case kCases[] = {
      {"/r/file", "/c", "/h", "/r/file"},
      {"", "/c", "/h", "/c/voziroz/registry"},
      {std::nullopt, "/c", "/h", "/c/voziroz/registry"},
      {std::nullopt, "relative", "/h", "/h/.config/voziroz/registry"},
      {std::nullopt, "", "/h", "/h/.config/voziroz/registry"},
      {std::nullopt, std::nullopt, "/h", "/h/.config/voziroz/registry"},
  };
  for (const Case& c : kCases) {
    ScopedEnvironment registry("VOZIROZ_REGISTRY", c.registry);
    ScopedEnvironment config("XDG_CONFIG_HOME", c.config);
    ScopedEnvironment home("HOME", c.home);
    EXPECT_EQ(RegistryPath(), c.expected);
  }
}

TEST(RegistryPathTest, WithoutAnyVariableSaysWhatIsMissing) {
  ScopedEnvironment registry("VOZIROZ_REGISTRY", std::nullopt);
  ScopedEnvironment config("XDG_CONFIG_HOME", std::nullopt);
  ScopedEnvironment home("HOME", std::nullopt);
  try {
    RegistryPath();
    FAIL() << "no error";
  } catch (const RegistryFileError& e) {
    EXPECT_STREQ(e.what(), "no registry: neither VOZIROZ_REGISTRY nor HOME is set");
  }
}

// Lookups read the user's store first, then the system's; a program not installed has no system
// store unless the environment names one.
TEST_F(RegistryFile, LookupsReadTheUsersStoreFirstThenTheSystems) {
  const std::string system = (folder_ / "etc" / "registry").string();
  const ScopedEnvironment user_store("VOZIROZ_REGISTRY", path_);
  {
    const ScopedEnvironment no_system("VOZIROZ_SYSTEM_REGISTRY", std::nullopt);
    EXPECT_EQ(SystemRegistryPath(), "");
    EXPECT_THROW(RegistryPathOf(RegistryScope::System), RegistryFileError);
  }
  const ScopedEnvironment system_store("VOZIROZ_SYSTEM_REGISTRY", system);
  EXPECT_EQ(RegistryPathOf(RegistryScope::System), system);
  RegistryTransaction system_change(system, 0755);
  system_change.Contents().Set("A", "", "system");
  system_change.Contents().Set("B", "", "system");
  system_change.Commit();
  Commit({{"A", "", "user"}});
  EXPECT_EQ(LookUpRegistry("A", ""), "user");
  EXPECT_EQ(LookUpRegistry("B", ""), "system");
  EXPECT_EQ(LookUpRegistry("C", ""), std::nullopt);
  EXPECT_EQ(fs::status(folder_ / "etc").permissions() & fs::perms::others_read,
            fs::perms::others_read);
}

TEST_F(RegistryFile, AMissingFileIsEmptyAndACommitCreatesItsFolders) {
  path_ = (folder_ / "a" / "b" / "registry").string();
  EXPECT_TRUE(ReadRegistry(path_).Values().empty());
  Commit({{"Voziroz.Parser\\Clsid", "", "{C75F7A80-B719-4164-AFC1-56A316B44679}"}});
  std::ifstream file(path_);
  std::string line;
  std::getline(file, line);
  EXPECT_EQ(line, "Voziroz.Parser\\Clsid\t\t{C75F7A80-B719-4164-AFC1-56A316B44679}");
  EXPECT_FALSE(fs::exists(path_ + ".new"));
}

TEST_F(RegistryFile, ChangesNotCommittedAreNotWritten) {
  Commit({{"A", "", "1"}});
  {
    RegistryTransaction transaction(path_);
    transaction.Contents().Set("B", "", "2");
    transaction.Contents().DeleteKey("A");
  }
  const std::vector<StoredValue> expected = {{"A", "", "1"}};
  EXPECT_EQ(ReadRegistry(path_).Values(), expected);
}

TEST_F(RegistryFile, ALinkStaysAndItsTargetIsReplaced) {
  const fs::path target = folder_ / "real";
  fs::create_symlink(target, folder_ / "link");
  path_ = (folder_ / "link").string();
  Commit({{"A", "", "1"}});
  EXPECT_TRUE(fs::is_symlink(folder_ / "link"));
  EXPECT_EQ(ReadRegistry(target.string()).Values().size(), 1u);
}

TEST_F(RegistryFile, RefusesAFolderAndAnOversizedFile) {
  fs::create_directory(path_);
  EXPECT_THROW(
      {
        try {
          ReadRegistry(path_);
        } catch (const RegistryFileError& e) {
          EXPECT_EQ(e.what(), "the registry " + path_ + " is a folder");
          throw;
        }
      },
      RegistryFileError);
  fs::remove(path_);
  { std::ofstream create(path_); }
  fs::resize_file(path_, (std::uintmax_t{64} << 20) + 1);
  EXPECT_THROW(RegistryTransaction transaction(path_), RegistryFileError);
}

TEST_F(RegistryFile, AFifoIsRefusedWithoutWaitingAndStays) {
  ASSERT_EQ(mkfifo(path_.c_str(), 0600), 0);
  EXPECT_THROW(ReadRegistry(path_), RegistryFileError);
  try {
    RegistryTransaction transaction(path_);
    ADD_FAILURE() << "opened";
  } catch (const RegistryFileError& e) {
    EXPECT_EQ(e.what(), "cannot replace the registry " + path_ + ": not a regular file");
  }
  EXPECT_TRUE(fs::is_fifo(path_));
}

TEST_F(RegistryFile, AnUnwritableFolderFailsTheCommitAndLeavesTheFile) {
  if (geteuid() == 0) GTEST_SKIP() << "root writes into read-only folders";
  Commit({{"A", "", "1"}});
  RegistryTransaction transaction(path_);
  transaction.Contents().Set("B", "", "2");
  fs::permissions(folder_, fs::perms::owner_read | fs::perms::owner_exec);
  EXPECT_THROW(transaction.Commit(), RegistryFileError);
  fs::permissions(folder_, fs::perms::owner_all);
  EXPECT_EQ(ReadRegistry(path_).Values().size(), 1u);
}

// Runs `work` in a child process; returns its pid.
template <class Work>
pid_t Spawn(Work work) {
  const pid_t pid = fork();
  if (pid == 0) {
    work();
    _exit(0);
  }
  return pid;
}

int WaitFor(pid_t pid) {
  int status = 0;
  waitpid(pid, &status, 0);
  return status;
}

TEST_F(RegistryFile, ProcessesChangingItAtOnceLoseNothing) {
  constexpr int kProcesses = 6;
  constexpr int kCommitsEach = 25;
  std::vector<pid_t> children;
  for (int p = 0; p < kProcesses; ++p) {
    children.push_back(Spawn([&, p] {
      for (int i = 0; i < kCommitsEach; ++i)
        Commit({{"Process" + std::to_string(p), "n" + std::to_string(i), std::to_string(i)}});
    }));
  }
  for (pid_t child : children) EXPECT_EQ(WaitFor(child), 0);
  EXPECT_EQ(ReadRegistry(path_).Values().size(), std::size_t{kProcesses * kCommitsEach});
}

// Every value of one commit: `count` keys, all holding `round`.
std::vector<StoredValue> Round(int count, int round) {
  std::vector<StoredValue> values;
  for (int i = 0; i < count; ++i)
    values.push_back({"CLSID\\{" + std::to_string(i) + "}\\InprocServer32", "",
                      "/a/rather/long/path/to/make/the/file/large/round" + std::to_string(round)});
  return values;
}

TEST_F(RegistryFile, AKillAtAnyMomentLeavesTheOldOrTheNewFileComplete) {
  constexpr int kValues = 2000;
  Commit(Round(kValues, 0));
  std::mt19937 random(42);
  std::map<std::string, int> rounds_seen;
  for (int attempt = 0; attempt < 40; ++attempt) {
    const pid_t child = Spawn([&] {
      for (int round = 1;; ++round) Commit(Round(kValues, round));
    });
    usleep(std::uniform_int_distribution<useconds_t>(0, 150000)(random));
    kill(child, SIGKILL);
    WaitFor(child);
    const std::vector<StoredValue> values = ReadRegistry(path_).Values();
    ASSERT_EQ(values.size(), std::size_t{kValues}) << "attempt " << attempt;
    for (const StoredValue& v : values) ASSERT_EQ(v.Value, values.front().Value);
    ++rounds_seen[values.front().Value];
  }
  // The lock died with the child: a new transaction goes through.
  Commit(Round(kValues, -1));
  EXPECT_TRUE(ReadRegistry(path_).Values().front().Value.ends_with("round-1"));
  EXPECT_GT(rounds_seen.size(), 1u) << "the children never got to commit";
}

}  // namespace
}  // namespace voziroz
