// A real FTP server for tests: Debian's pyftpdlib on 127.0.0.1 (a ServerProcess) with a fresh
// temporary root and one user. Nothing listens anywhere but 127.0.0.1.
#pragma once

#include <cstdint>
#include <filesystem>
#include <memory>
#include <string>
#include <string_view>

#include "tests/ftp/server_process.h"
#include "tests/temp_dir.h"

namespace voziroz::testing {

class TestFtpServer {
 public:
  static constexpr char kUser[] = "tester";
  static constexpr char kPassword[] = "s3cret word";

  struct Options {
    std::uint16_t port = 0;  // 0: a free port
    bool offer_mlst = true;
  };

  TestFtpServer() : TestFtpServer(Options()) {}
  explicit TestFtpServer(const Options& options);
  TestFtpServer(const TestFtpServer&) = delete;
  TestFtpServer& operator=(const TestFtpServer&) = delete;

  // False when the server could not be started; error() says why.
  bool started() const { return port_ != 0; }
  const std::string& error() const { return error_; }
  std::uint16_t port() const { return port_; }
  // The folder the server shows as "/".
  const std::filesystem::path& root() const { return root_; }
  // A scratch folder outside the root, for the local side of transfers.
  const std::filesystem::path& local() const { return local_; }
  // Every command received so far, one a line.
  std::string CommandLog() const;
  // How many commands of the log are `verb` ("CWD", "EPSV", ...).
  int CountCommands(std::string_view verb) const;

 private:
  TempDir folder_;
  std::filesystem::path root_;
  std::filesystem::path local_;
  std::filesystem::path command_log_;
  std::unique_ptr<ServerProcess> process_;
  std::uint16_t port_ = 0;
  std::string error_;
};

// The port number that `text` starts with; 0 when there is none.
std::uint16_t PortIn(const std::string& text);

// Whole files as bytes, for comparing what was transferred.
std::string ReadBytes(const std::filesystem::path& path);
void WriteBytes(const std::filesystem::path& path, std::string_view bytes);

}  // namespace voziroz::testing
