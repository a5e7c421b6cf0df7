// voziroz: the command-line tool. `voziroz COMMAND ARGS...`; `voziroz --help` lists the
// commands, `voziroz help COMMAND` (or `voziroz COMMAND --help`) shows one. Exit status: 0
// success, 1 a failure (one line on standard error), 2 bad usage (the usage on standard error).
#include <cxxabi.h>

#include <CLI/CLI.hpp>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <new>
#include <string>
#include <typeinfo>
#include <vector>

#include "cli/argument_checks.h"
#include "cli/commands.h"
#include "engine/code_page.h"

namespace voziroz::cli {
namespace {

constexpr const char* kReadsFile = "FILE is a GEDCOM file; - reads standard input.";
constexpr const char* kExitStatus =
    "Exit status: 0 success, 1 failure (one line on standard error), 2 bad usage.";

struct Command {
  const char* name;
  const char* summary;
  const char* notes;  // shown above the exit status in the command's help; may be empty
  void (*define)(CLI::App&, Options&);
  int (*run)(const Options&);
  const char* exit_status = kExitStatus;
};

void AddFile(CLI::App& command, Options& options) {
  command.add_option("FILE", options.file, "the GEDCOM file (- for standard input)")->required();
}

void DefineTables(CLI::App& command, Options& options) {
  AddFile(command, options);
  command.add_option("NAME", options.table, "PERSON, FAMILY, EVENT, SOURCE or MULTIMEDIA")
      ->transform(TableNameCheck());
}

void DefineAncestors(CLI::App& command, Options& options) {
  AddFile(command, options);
  command.add_option("ID", options.id, "the person: 12, I12 or @I12@")
      ->required()
      ->transform(PersonIdCheck());
  command.add_option("GENERATIONS", options.generations, "how many generations (default 10)")
      ->check(CLI::NonNegativeNumber);
}

void DefineExport(CLI::App& command, Options& options) {
  AddFile(command, options);
  command.add_option("OUT", options.output, "the database file, or with --csv the folder")
      ->required();
  command.add_flag("--csv", options.csv, "one CSV file per table into the folder OUT");
}

void DefineRegistration(CLI::App& command, Options& options) {
  command.add_option("LIBRARY", options.library,
                     "the server library (default: the one installed beside this tool)");
  auto* system = command.add_flag("--system", options.system,
                                  "the system's registry (PREFIX/etc/voziroz/registry)");
  command.add_flag("--user")->description("the user's registry (the default)")->excludes(system);
}

const Command kCommands[] = {
    {"lines", "the pre-parsed lines and the five row estimates", kReadsFile, AddFile, RunLines},
    {"tables", "the five tables (or the one named), tab-separated, UTF-8", kReadsFile, DefineTables,
     RunTables},
    {"dump", "what a Parser shows of the file, as one JSON document", kReadsFile, AddFile, RunDump,
     "Exit status: 0 success; 1 the file cannot be opened (the document, with \"isOpen\": false,\n"
     "is still printed) or another failure, one line on standard error; 2 bad usage."},
    {"info", "the file's metadata: estimates, header, submitter, columns", kReadsFile, AddFile,
     RunInfo},
    {"ancestors", "a person's known ancestors, generation by generation, with their names",
     "FILE is a GEDCOM file; - reads standard input. A person without a PERSON record fails.",
     DefineAncestors, RunAncestors},
    {"export", "the tables, lines and metadata as a SQLite database (or CSV files)",
     "An existing OUT is replaced only once the export is complete.", DefineExport, RunExport},
    {"register", "register the server so that hosts create its objects by ProgID", "",
     DefineRegistration, RunRegister},
    {"unregister", "remove the server's registration", "", DefineRegistration, RunUnregister},
};

// The command's help footer: its notes, then its exit status.
std::string FooterOf(const Command& command) {
  const std::string notes = command.notes;
  return notes.empty() ? command.exit_status : notes + "\n" + command.exit_status;
}

// The name of the exception being handled, for the last-resort message.
std::string CurrentExceptionName() {
  const std::type_info* type = abi::__cxa_current_exception_type();
  if (!type) return "unknown exception";
  int status = 0;
  std::unique_ptr<char, decltype(&std::free)> name(
      abi::__cxa_demangle(type->name(), nullptr, nullptr, &status), &std::free);
  return status == 0 && name ? name.get() : type->name();
}

// Runs a command; failures it leaves uncaught end here with one line and exit status 1.
int RunReported(const Command& command, const Options& options) {
  const char* subject = options.file.empty() ? options.library.c_str() : options.file.c_str();
  try {
    return command.run(options);
  } catch (const std::bad_alloc&) {
    std::fprintf(stderr, "voziroz %s: out of memory (%s)\n", command.name,
                 options.file == "-" ? "standard input" : subject);
  } catch (const std::exception& e) {
    std::fprintf(stderr, "voziroz %s: %s\n", command.name, e.what());
  }
  return 1;
}

// Usage errors: the reason and the usage of the command concerned on standard error.
int ReportUsageError(const CLI::App& app, const CLI::ParseError& error) {
  const CLI::App* concerned = &app;
  for (const CLI::App* command = &app; !command->get_subcommands().empty();)
    concerned = command = command->get_subcommands().front();
  const std::string usage = concerned == &app ? app.help() : concerned->help("voziroz");
  std::fprintf(stderr, "voziroz: %s\n%s", error.what(), usage.c_str());
  return 2;
}

// --code-page sets the variable that the engine and the server read once, on first use: the
// option runs before any command touches text (CLI11 runs the tool's own options before its
// commands').
void DefineCodePage(CLI::App& app) {
  app.add_option("--code-page",
                 "the engine's code page: utf-8 or 1252 (default: $VOZIROZ_CODE_PAGE)")
      ->check(CLI::IsMember({"utf-8", "1252"}, CLI::ignore_case))
      ->each([](const std::string& page) { setenv(kCodePageVariable, page.c_str(), 1); });
}

// Said once, before a command runs: an unknown value of the variable gives Windows-1252.
void WarnOfInvalidCodePage() {
  const char* value = std::getenv(kCodePageVariable);
  if (ReadCodePageSetting(value) != CodePageSetting::Invalid) return;
  std::fprintf(stderr, "voziroz: %s=%s is not utf-8, 65001 or 1252: using Windows-1252\n",
               kCodePageVariable, value);
}

int Main(int argc, char** argv) {
  CLI::App app("voziroz: reads GEDCOM files and shows what scripts receive from them", "voziroz");
  app.set_version_flag("--version", "voziroz " VOZIROZ_VERSION);
  DefineCodePage(app);
  app.require_subcommand(1);
  app.footer("Run `voziroz help COMMAND` or `voziroz COMMAND --help` for a command's usage.");
  Options options;
  const Command* chosen = nullptr;
  for (const Command& command : kCommands) {
    CLI::App* sub = app.add_subcommand(command.name, command.summary);
    sub->footer(FooterOf(command));
    command.define(*sub, options);
    sub->final_callback([&chosen, &command] { chosen = &command; });
  }
  std::string topic;
  std::vector<std::string> names;
  for (const Command& command : kCommands) names.emplace_back(command.name);
  CLI::App* help = app.add_subcommand("help", "show the usage of a command (or of them all)");
  help->add_option("COMMAND", topic, "the command")->check(CLI::IsMember(names));
  try {
    app.parse(argc, argv);
  } catch (const CLI::ParseError& error) {
    return error.get_exit_code() == 0 ? app.exit(error) : ReportUsageError(app, error);
  }
  if (help->parsed()) {
    const std::string usage =
        topic.empty() ? app.help() : app.get_subcommand(topic)->help("voziroz");
    std::fputs(usage.c_str(), stdout);
    return 0;
  }
  WarnOfInvalidCodePage();
  return RunReported(*chosen, options);
}

}  // namespace
}  // namespace voziroz::cli

int main(int argc, char** argv) {
  try {
    return voziroz::cli::Main(argc, argv);
  } catch (const std::exception& e) {
    std::fprintf(stderr, "voziroz: unexpected %s: %s\n",
                 voziroz::cli::CurrentExceptionName().c_str(), e.what());
  } catch (...) {
    std::fprintf(stderr, "voziroz: unexpected %s\n", voziroz::cli::CurrentExceptionName().c_str());
  }
  return 1;
}
