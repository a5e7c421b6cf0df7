#include "tests/ftp/test_ftp_server.h"

#include <cstdlib>
#include <fstream>
#include <sstream>
#include <vector>

namespace voziroz::testing {

TestFtpServer::TestFtpServer(const Options& options)
    : root_(folder_.path() / "root"),
      local_(folder_.path() / "local"),
      command_log_(folder_.path() / "commands.log") {
  std::filesystem::create_directory(root_);
  std::filesystem::create_directory(local_);
  std::vector<std::string> arguments = {root_.string(), kUser,
                                        kPassword,      command_log_.string(),
                                        "--port",       std::to_string(options.port)};
  if (!options.offer_mlst) arguments.push_back("--no-mlst");
  process_ = std::make_unique<ServerProcess>(VOZIROZ_FTP_TEST_SERVER, arguments);
  port_ = PortIn(process_->first_line());  // the first line the server writes is its port
  if (port_ == 0) error_ = "the server did not start (is python3-pyftpdlib installed?)";
}

std::uint16_t PortIn(const std::string& text) {
  int port = std::atoi(text.c_str());
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
