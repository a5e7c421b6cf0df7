// Running the voziroz tool (the VOZIROZ_CLI program) as a test's child process.
#pragma once

#include <sys/wait.h>

#include <cstdio>
#include <string>

namespace voziroz::testing {

struct ToolRun {
  int exit_code;
  std::string out;  // standard output, then standard error
};

// Runs a shell command line and collects what it prints.
inline ToolRun RunShell(const std::string& command_line) {
  const std::string command = "{ " + command_line + "; } 2>&1";
  FILE* pipe = popen(command.c_str(), "r");
  ToolRun run{-1, {}};
  if (!pipe) return run;
  char buffer[4096];
  for (std::size_t n; (n = std::fread(buffer, 1, sizeof buffer, pipe)) > 0;)
    run.out.append(buffer, n);
  int status = pclose(pipe);
  run.exit_code = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
  return run;
}

// Runs `voziroz ARGUMENTS` through the shell and collects what it prints.
inline ToolRun RunTool(const std::string& arguments) {
  return RunShell(std::string(VOZIROZ_CLI) + " " + arguments);
}

}  // namespace voziroz::testing
