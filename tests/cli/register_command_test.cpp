#include <gtest/gtest.h>

#include <stdlib.h>

#include <filesystem>
#include <fstream>
#include <sstream>

#include "tests/cli/run_tool.h"
#include "tests/temp_dir.h"

namespace voziroz::testing {
namespace {

std::string FileText(const std::string& path) {
  std::ifstream file(path);
  std::stringstream text;
  text << file.rdbuf();
  return text.str();
}

class RegisterCommand : public ::testing::Test {
 protected:
  ToolRun Run(const std::string& arguments) {
    setenv("VOZIROZ_REGISTRY", registry_.c_str(), 1);
    ToolRun run = RunTool(arguments);
    unsetenv("VOZIROZ_REGISTRY");
    return run;
  }
  TempDir folder_;
  std::string registry_ = (folder_.path() / "registry").string();
};

TEST_F(RegisterCommand, RegistersTheServerBuiltWithTheToolAndRemovesItAgain) {
  const ToolRun registered = Run("register");
  EXPECT_EQ(registered.exit_code, 0) << registered.out;
  EXPECT_EQ(registered.out,
            "registered " + std::string(VOZIROZ_SERVER) + " in " + registry_ + "\n");
  const std::string text = FileText(registry_);
  EXPECT_NE(text.find("Voziroz.Parser\\Clsid\t\t{C75F7A80-B719-4164-AFC1-56A316B44679}\n"),
            std::string::npos);
  EXPECT_NE(text.find("\\InprocServer32\t\t" + std::string(VOZIROZ_SERVER) + "\n"),
            std::string::npos);
  const ToolRun unregistered = Run("unregister " + std::string(VOZIROZ_SERVER));
  EXPECT_EQ(unregistered.exit_code, 0) << unregistered.out;
  EXPECT_EQ(unregistered.out,
            "unregistered " + std::string(VOZIROZ_SERVER) + " from " + registry_ + "\n");
  EXPECT_EQ(FileText(registry_), "");
}

TEST_F(RegisterCommand, SystemWritesTheSystemsRegistryOnly) {
  const std::string system = (folder_.path() / "etc" / "registry").string();
  setenv("VOZIROZ_SYSTEM_REGISTRY", system.c_str(), 1);
  const ToolRun registered = Run("register --system");
  const ToolRun unregistered = Run("unregister --system");
  unsetenv("VOZIROZ_SYSTEM_REGISTRY");
  EXPECT_EQ(registered.out, "registered " + std::string(VOZIROZ_SERVER) + " in " + system + "\n");
  EXPECT_EQ(unregistered.exit_code, 0) << unregistered.out;
  EXPECT_FALSE(std::filesystem::exists(registry_));
  EXPECT_EQ(FileText(system), "");
}

TEST_F(RegisterCommand, SaysWhyALibraryCannotBeRegistered) {
  struct Case {
    std::string arguments;
    int exit_code;
    std::string out;
  };
  const std::string not_a_library = folder_.Write("text.so", "not a library");
  const Case kCases[] = {
      {"register /no/such/lib.so", 1,
       "voziroz register: cannot register /no/such/lib.so: cannot find /no/such/lib.so "
       "(0x800401F8)\n"},
      {"unregister " + not_a_library, 1,
       "voziroz unregister: cannot unregister " + not_a_library + ": cannot load " + not_a_library +
           ": file too short (0x800401F8)\n"},
      {"register a b", 2, "Usage: voziroz register [OPTIONS] [LIBRARY]"},
      {"register --user --system", 2, "excludes"},
  };
  for (const Case& c : kCases) {
    const ToolRun run = Run(c.arguments);
    EXPECT_EQ(run.exit_code, c.exit_code) << c.arguments;
    if (c.exit_code == 1) {
      EXPECT_EQ(run.out, c.out);
    }
    EXPECT_NE(run.out.find(c.out), std::string::npos) << run.out;
  }
}

TEST_F(RegisterCommand, AStoreThatCannotBeWrittenFailsTheRegistration) {
  const std::string blocker = folder_.Write("file", "");
  registry_ = blocker + "/registry";
  const ToolRun run = Run("register");
  EXPECT_EQ(run.exit_code, 1);
  EXPECT_NE(run.out.find(": Error creating system registry entry: cannot create the folder "),
            std::string::npos)
      << run.out;
}

}  // namespace
}  // namespace voziroz::testing
