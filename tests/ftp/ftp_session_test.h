// A fixture for tests that need a running server and, when asked, a connection to it.
#pragma once

#include <gtest/gtest.h>

#include <filesystem>
#include <initializer_list>
#include <memory>

#include "ftp/ftp_client.h"
#include "tests/ftp/test_ftp_server.h"

namespace voziroz::testing {

// Starts a server before each test and stops it after; Disconnect runs whatever happened.
class FtpServerTest : public ::testing::Test {
 protected:
  void SetUp() override { StartServer(TestFtpServer::Options()); }
  void TearDown() override {
    ftp::Disconnect();
    server_.reset();
  }
  void StartServer(const TestFtpServer::Options& options) {
    server_ = std::make_unique<TestFtpServer>(options);
    ASSERT_TRUE(server_->started()) << server_->error();
  }
  // The tree most tests start from: a folder "docs" and the 12-byte file "a.txt" in the root.
  void MakeDocsAndATxt() {
    std::filesystem::create_directory(server_->root() / "docs");
    WriteBytes(server_->root() / "a.txt", "twelve bytes");
  }
  bool ConnectToServer(bool passive) {
    return ftp::Connect("127.0.0.1", TestFtpServer::kUser, TestFtpServer::kPassword,
                        server_->port(), passive);
  }

  std::unique_ptr<TestFtpServer> server_;
};

// A name and whether FileExists must report a file by that name.
struct ExistsCase {
  const char* name;
  bool exists;
};

inline void ExpectFileExists(std::initializer_list<ExistsCase> cases) {
  for (const ExistsCase& c : cases) EXPECT_EQ(ftp::FileExists(c.name), c.exists) << c.name;
}

}  // namespace voziroz::testing
