// The conventions every command follows: its own usage on --help and `help COMMAND`, exit
// status 2 with the usage for bad usage, `-` for standard input, and out of memory reported as
// such (exit status 1, the file's name).
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <string>

#include "tests/cli/run_tool.h"
#include "tests/temp_dir.h"

namespace voziroz::testing {
namespace {

const std::string kSample = std::string(VOZIROZ_SOURCE_DIR) + "/samples/family.ged";
const std::string kTool = VOZIROZ_CLI;

// The commands that read a GEDCOM file, with the arguments after FILE.
const struct {
  const char* command;
  const char* after_file;
} kFileCommands[] = {
    {"lines", ""}, {"tables", " person"},  {"dump", ""},
    {"info", ""},  {"ancestors", " @I6@"}, {"export", " OUT"},
};

bool Contains(const std::string& text, const std::string& part) {
  return text.find(part) != std::string::npos;
}

TEST(CommandLine, EveryCommandShowsItsOwnUsage) {
  for (const char* command :
       {"lines", "tables", "dump", "info", "ancestors", "export", "register", "unregister"}) {
    const std::string usage = std::string("Usage: voziroz ") + command + " [OPTIONS]";
    const ToolRun help = RunTool(std::string(command) + " --help");
    EXPECT_EQ(help.exit_code, 0) << command;
    EXPECT_TRUE(Contains(help.out, usage) && Contains(help.out, "Exit status")) << help.out;
    EXPECT_EQ(RunTool(std::string("help ") + command).out, help.out) << command;
  }
  const ToolRun version = RunTool("--version");
  EXPECT_EQ(version.exit_code, 0);
  EXPECT_TRUE(version.out.starts_with("voziroz ") && version.out.ends_with("\n") &&
              version.out.find('\n') == version.out.size() - 1)
      << version.out;
  EXPECT_TRUE(Contains(RunTool("--help").out, "Subcommands:"));
}

TEST(CommandLine, BadUsageExitsWithStatus2AndTheUsage) {
  const struct {
    std::string arguments;
    std::string usage;
  } cases[] = {
      {"", "Usage: voziroz [OPTIONS] SUBCOMMAND"},
      {"frobnicate", "Usage: voziroz [OPTIONS] SUBCOMMAND"},
      {"help frobnicate", "Usage: voziroz help"},
      {"dump", "Usage: voziroz dump [OPTIONS] FILE"},
      {"dump " + kSample + " --verbose", "Usage: voziroz dump"},
      {"export " + kSample, "Usage: voziroz export [OPTIONS] FILE OUT"},
      {"ancestors " + kSample + " 1 2 3", "Usage: voziroz ancestors"},
      {"--code-page 1250 lines " + kSample, "--code-page: 1250 not in {utf-8,1252}"},
  };
  for (const auto& c : cases) {
    const ToolRun run = RunShell(kTool + " " + c.arguments + " 2>&1 >/dev/null");
    EXPECT_EQ(run.exit_code, 2) << c.arguments;
    EXPECT_TRUE(Contains(run.out, c.usage)) << c.arguments << ": " << run.out;
  }
}

// The same output for FILE named plainly, in UTF-8 with non-ASCII letters, as - from a pipe and
// as - from a redirection.
TEST(CommandLine, ADashReadsStandardInputAndNamesMayBeUtf8) {
  TempDir dir;
  const std::string utf8_name = dir.Write("\xC3\x86r\xC3\xB8 family.ged", "");
  std::filesystem::copy_file(kSample, utf8_name, std::filesystem::copy_options::overwrite_existing);
  for (const auto& c : kFileCommands) {
    const std::string rest = std::string(c.after_file) == " OUT"
                                 ? " " + (dir.path() / "out.db").string()
                                 : std::string(c.after_file);
    const ToolRun named = RunTool(std::string(c.command) + " " + kSample + rest);
    const ToolRun piped =
        RunShell("cat " + kSample + " | " + kTool + " " + c.command + " -" + rest);
    const ToolRun redirected = RunTool(std::string(c.command) + " -" + rest + " < " + kSample);
    const ToolRun utf8 = RunTool(std::string(c.command) + " '" + utf8_name + "'" + rest);
    EXPECT_EQ(named.exit_code, 0) << c.command << ": " << named.out;
    EXPECT_EQ(piped.exit_code, 0) << c.command << ": " << piped.out;
    EXPECT_EQ(redirected.exit_code, 0) << c.command << ": " << redirected.out;
    EXPECT_EQ(piped.out, named.out) << c.command;
    EXPECT_EQ(redirected.out, named.out) << c.command;
    EXPECT_EQ(utf8.out, named.out) << c.command;
  }
  const ToolRun empty = RunShell("printf '' | " + kTool + " lines -");
  EXPECT_EQ(empty.exit_code, 0);
}

// --code-page wins over VOZIROZ_CODE_PAGE; an unknown value of the variable is said once and
// gives Windows-1252.
TEST(CommandLine, TheCodePageComesFromTheOptionOrTheVariable) {
  TempDir dir;
  const std::string file =
      dir.Write("pl.ged", "0 HEAD\n0 @I1@ INDI\n1 NAME Michał /Wójcik/\n0 TRLR\n");
  const std::string tables = " tables " + file + " person";
  const std::string warning =
      "voziroz: VOZIROZ_CODE_PAGE=x is not utf-8, 65001 or 1252: using "
      "Windows-1252\n";
  const std::string utf8 = RunTool("--code-page utf-8" + tables).out;
  const std::string windows1252 = RunTool("--code-page 1252" + tables).out;
  EXPECT_TRUE(Contains(utf8, "\tWójcik\tMichał\t")) << utf8;
  EXPECT_TRUE(Contains(windows1252, "\tWÃ³jcik\tMichaÅ\u201a\t")) << windows1252;
  const std::pair<std::string, std::string> cases[] = {
      {"VOZIROZ_CODE_PAGE=UTF-8 " + kTool + tables, utf8},
      {"VOZIROZ_CODE_PAGE=65001 " + kTool + tables, utf8},
      {"VOZIROZ_CODE_PAGE=utf-8 " + kTool + " --code-page 1252" + tables, windows1252},
      {"VOZIROZ_CODE_PAGE=x " + kTool + " --code-page UTF-8" + tables, utf8},
      {"VOZIROZ_CODE_PAGE=x " + kTool + tables, warning + windows1252},
  };
  for (const auto& [command, out] : cases) EXPECT_EQ(RunShell(command).out, out) << command;
}

// Under a small address-space limit a large one-line file cannot be read: every command says so
// and names the file, instead of aborting or calling it unreadable.
TEST(CommandLine, OutOfMemoryIsReportedWithTheFileName) {
#if VOZIROZ_SANITIZED
  GTEST_SKIP() << "the sanitizers reserve more address space than the limit allows";
#endif
  TempDir dir;
  const std::string big = (dir.path() / "one-line.ged").string();
  {
    std::ofstream out(big, std::ios::binary);
    out << "0 HEAD\r\n1 NOTE ";
    const std::string block(1 << 20, 'x');
    for (int i = 0; i < 160; ++i) out << block;
    out << "\r\n0 TRLR\r\n";
  }
  for (const auto& c : kFileCommands) {
    const std::string rest = std::string(c.after_file) == " OUT"
                                 ? " " + (dir.path() / "out.db").string()
                                 : std::string(c.after_file);
    const ToolRun run = RunShell("ulimit -v 240000; " + kTool + " " + c.command + " " + big + rest +
                                 " > /dev/null");
    EXPECT_EQ(run.exit_code, 1) << c.command << ": " << run.out;
    EXPECT_TRUE(Contains(run.out, "out of memory") && Contains(run.out, big))
        << c.command << ": " << run.out;
  }
}

}  // namespace
}  // namespace voziroz::testing
