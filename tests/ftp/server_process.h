// A test server written in Python, run by /usr/bin/python3 as a child of the test process. It
// stops when the object is destroyed, and also when the test process ends in any other way (its
// input pipe closes; the kernel kills it when this thread dies).
#pragma once

#include <sys/types.h>

#include <string>
#include <vector>

namespace voziroz::testing {

class ServerProcess {
 public:
  // Runs `script` with `arguments` and waits (15 s at most) for the first line it writes, which
  // first_line() then holds; empty when the server did not start.
  ServerProcess(const std::string& script, const std::vector<std::string>& arguments);
  ServerProcess(const ServerProcess&) = delete;
  ServerProcess& operator=(const ServerProcess&) = delete;
  ~ServerProcess();

  const std::string& first_line() const { return first_line_; }

 private:
  void ReadFirstLine(int output);

  pid_t pid_ = -1;
  int input_ = -1;  // the server's standard input; closing it stops the server
  std::string first_line_;
};

}  // namespace voziroz::testing
