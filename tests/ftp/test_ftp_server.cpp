#include "tests/ftp/test_ftp_server.h"

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <sys/prctl.h>
#include <sys/wait.h>
#include <unistd.h>

#include <fstream>
#include <sstream>
#include <vector>

namespace voziroz::testing {
namespace {

constexpr char kPython[] = "/usr/bin/python3";
constexpr int kStartTimeoutMs = 15000;

}  // namespace

TestFtpServer::TestFtpServer(const Options& options)
    : root_(folder_.path() / "root"),
      local_(folder_.path() / "local"),
      command_log_(folder_.path() / "commands.log") {
  std::filesystem::create_directory(root_);
  std::filesystem::create_directory(local_);
  Start(options);
}

TestFtpServer::~TestFtpServer() {
  if (input_ >= 0) ::close(input_);
  if (pid_ > 0) {
    ::kill(pid_, SIGKILL);
    ::waitpid(pid_, nullptr, 0);
  }
}

void TestFtpServer::Start(const Options& options) {
  std::vector<std::string> arguments = {
      kPython,   VOZIROZ_FTP_TEST_SERVER, root_.string(), kUser,
      kPassword, command_log_.string(),   "--port",       std::to_string(options.port)};
  if (!options.offer_mlst) arguments.push_back("--no-mlst");
  std::vector<char*> argv;
  for (std::string& argument : arguments) argv.push_back(argument.data());
  argv.push_back(nullptr);

  int input[2];
  int output[2];
  if (::pipe2(input, O_CLOEXEC) != 0 || ::pipe2(output, O_CLOEXEC) != 0) {
    error_ = "cannot make pipes";
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
  port_ = pid_ > 0 ? ReadPort(output[0]) : 0;
  ::close(output[0]);
  if (port_ == 0 && error_.empty())
    error_ = "the server did not start (is python3-pyftpdlib installed?)";
}

// The first line the server writes is its port.
std::uint16_t TestFtpServer::ReadPort(int output) {
  std::string line;
  pollfd ready{output, POLLIN, 0};
  while (line.find('\n') == std::string::npos && ::poll(&ready, 1, kStartTimeoutMs) == 1) {
    char buffer[64];
    ssize_t count = ::read(output, buffer, sizeof buffer);
    if (count <= 0) break;
    line.append(buffer, static_cast<std::size_t>(count));
  }
  int port = std::atoi(line.c_str());
  return port > 0 && port <= 65535 ? static_cast<std::uint16_t>(port) : 0;
}

std::string TestFtpServer::CommandLog() const {
  return ReadBytes(command_log_);
}

int TestFtpServer::CountCommands(std::string_view verb) const {
  std::istringstream log(CommandLog());
  int count = 0;
  for (std::string line; std::getline(log, line);) {
    count += line.compare(0, verb.size(), verb) == 0 &&
             (line.size() == verb.size() || line[verb.size()] == ' ');
  }
  return count;
}

std::string ReadBytes(const std::filesystem::path& path) {
  std::ifstream file(path, std::ios::binary);
  std::ostringstream bytes;
  bytes << file.rdbuf();
  return bytes.str();
}

void WriteBytes(const std::filesystem::path& path, std::string_view bytes) {
  std::ofstream file(path, std::ios::binary | std::ios::trunc);
  file.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
}

}  // namespace voziroz::testing
