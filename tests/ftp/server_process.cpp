#include "tests/ftp/server_process.h"

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <sys/prctl.h>
#include <sys/wait.h>
#include <unistd.h>

namespace voziroz::testing {
namespace {

constexpr char kPython[] = "/usr/bin/python3";
constexpr int kStartTimeoutMs = 15000;

}  // namespace

ServerProcess::ServerProcess(const std::string& script, const std::vector<std::string>& arguments) {
  std::vector<std::string> command = {kPython, script};
  command.insert(command.end(), arguments.begin(), arguments.end());
  std::vector<char*> argv;
  for (std::string& argument : command) argv.push_back(argument.data());
  argv.push_back(nullptr);

  int input[2];
  int output[2];
  if (::pipe2(input, O_CLOEXEC) != 0) return;
  if (::pipe2(output, O_CLOEXEC) != 0) {
    ::close(input[0]);
    ::close(input[1]);
    return;
  }
  pid_t parent = ::getpid();
  pid_ = ::fork();
  if (pid_ == 0) {
    ::prctl(PR_SET_PDEATHSIG, SIGKILL);
    if (::getppid() != parent) ::_exit(1);
    ::dup2(input[0], STDIN_FILENO);
    ::dup2(output[1], STDOUT_FILENO);
    ::execv(kPython, argv.data());
    ::_exit(127);
  }
  ::close(input[0]);
  ::close(output[1]);
  input_ = input[1];
  if (pid_ > 0) ReadFirstLine(output[0]);
  ::close(output[0]);
}

ServerProcess::~ServerProcess() {
  if (input_ >= 0) ::close(input_);
  if (pid_ > 0) {
    ::kill(pid_, SIGKILL);
    ::waitpid(pid_, nullptr, 0);
  }
}

void ServerProcess::ReadFirstLine(int output) {
  std::string text;
  pollfd ready{output, POLLIN, 0};
  while (text.find('\n') == std::string::npos && ::poll(&ready, 1, kStartTimeoutMs) == 1) {
    char buffer[64];
    ssize_t count = ::read(output, buffer, sizeof buffer);
    if (count <= 0) break;
    text.append(buffer, static_cast<std::size_t>(count));
  }
  if (std::size_t end = text.find('\n'); end != std::string::npos)
    first_line_ = text.substr(0, end);
}

}  // namespace voziroz::testing
