// Connect and Disconnect, the per-thread connection, and members without a connection.
#include <gtest/gtest.h>
#include <unistd.h>

#include <chrono>
#include <climits>
#include <filesystem>
#include <stdexcept>
#include <thread>

#include "ftp/ftp_client.h"
#include "tests/ftp/ftp_session_test.h"

namespace voziroz::testing {
namespace {

namespace fs = std::filesystem;
using Lines = std::vector<std::string>;

// Every member that needs a connection, called without one: none may reach a server.
void ExpectEveryMemberFails(const fs::path& local_folder) {
  const std::string local = (local_folder / "local.txt").string();
  WriteBytes(local, "local");
  EXPECT_FALSE(ftp::IsConnected());
  EXPECT_EQ(ftp::CurrentFolder(), "-?-");
  EXPECT_FALSE(ftp::CreateFolder("docs2"));
  EXPECT_FALSE(ftp::RemoveFolder("docs"));
  EXPECT_FALSE(ftp::ChangeFolder("docs"));
  EXPECT_FALSE(ftp::FileExists("a.txt"));
  EXPECT_FALSE(ftp::DeleteFile("a.txt"));
  EXPECT_FALSE(ftp::RenameFile("a.txt", "b.txt"));
  EXPECT_FALSE(ftp::PutFile(local, "put.txt", true));
  EXPECT_FALSE(ftp::GetFile("a.txt", local, true));
  EXPECT_EQ(ReadBytes(local), "local");
  EXPECT_EQ(ftp::ListFiles(""), Lines{});
  EXPECT_FALSE(ftp::PutText("text", "text.txt"));
  EXPECT_TRUE(ftp::Disconnect());
}

class FtpConnectionTest : public FtpServerTest {
 protected:
  void SetUp() override {
    FtpServerTest::SetUp();
    MakeDocsAndATxt();
  }
  bool ConnectAs(const std::string& user, const std::string& password) {
    return ftp::Connect("127.0.0.1", user, password, server_->port(), true);
  }
};

TEST_F(FtpConnectionTest, ConnectLogsInAndDisconnectClosesEveryTime) {
  ASSERT_TRUE(ConnectToServer(true));
  EXPECT_TRUE(ftp::IsConnected());
  EXPECT_EQ(ftp::CurrentFolder(), "/");
  EXPECT_NE(server_->CommandLog().find("USER tester\nPASS ******\n"), std::string::npos);
  EXPECT_TRUE(ftp::Disconnect());
  EXPECT_FALSE(ftp::IsConnected());
  EXPECT_EQ(server_->CountCommands("QUIT"), 1);
  EXPECT_TRUE(ftp::Disconnect());
}

TEST_F(FtpConnectionTest, RefusedLoginGivesFalse) {
  struct Case {
    const char* user;
    const char* password;
  };
  for (Case c : {Case{TestFtpServer::kUser, "wrong"}, Case{"nobody", TestFtpServer::kPassword},
                 Case{"", ""}, Case{TestFtpServer::kUser, ""}}) {
    EXPECT_FALSE(ConnectAs(c.user, c.password)) << c.user << " / " << c.password;
    EXPECT_FALSE(ftp::IsConnected());
  }
  EXPECT_FALSE(ConnectAs(TestFtpServer::kUser, std::string(TestFtpServer::kPassword) + "\r\n"))
      << "a line break in the password is refused before sending";
}

TEST_F(FtpConnectionTest, UnreachableHostsAndBadHostNamesGiveFalse) {
  int closed_port = server_->port();
  server_.reset();  // nothing listens there now
  auto start = std::chrono::steady_clock::now();
  EXPECT_FALSE(ftp::Connect("127.0.0.1", "u", "p", closed_port, true));
  EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(5));
  for (const char* host : {"", "bad host", "127.0.0.1/x", "u@127.0.0.1", "127.0.0.1\r\n"}) {
    EXPECT_FALSE(ftp::Connect(host, "u", "p", closed_port, true)) << host;
  }
  EXPECT_FALSE(ftp::IsConnected());
}

TEST_F(FtpConnectionTest, PortOutsideTheRangeIsARangeCheckError) {
  ASSERT_TRUE(ConnectToServer(true));
  ASSERT_TRUE(ftp::ChangeFolder("docs"));
  for (std::int32_t port : {65536, -1, INT_MAX, INT_MIN}) {
    try {
      ftp::Connect("127.0.0.1", "u", "p", port, true);
      ADD_FAILURE() << "no error for port " << port;
    } catch (const std::out_of_range& error) {
      EXPECT_STREQ(error.what(), "Range check error") << port;
    }
  }
  EXPECT_TRUE(ftp::IsConnected()) << "the error comes before anything is closed";
  EXPECT_EQ(ftp::CurrentFolder(), "/docs");
}

TEST_F(FtpConnectionTest, PortZeroMeansTwentyOne) {
  if (::geteuid() != 0) GTEST_SKIP() << "serving port 21 needs root";
  TestFtpServer on_21({.port = 21});
  if (!on_21.started()) GTEST_SKIP() << "port 21 is taken on this machine";
  ASSERT_TRUE(ftp::Connect("127.0.0.1", TestFtpServer::kUser, TestFtpServer::kPassword, 0, true));
  EXPECT_EQ(on_21.CountCommands("USER"), 1);
}

TEST_F(FtpConnectionTest, ConnectWhileConnectedClosesTheOldConnectionFirst) {
  ASSERT_TRUE(ConnectToServer(true));
  ASSERT_TRUE(ftp::ChangeFolder("docs"));
  ASSERT_TRUE(ConnectToServer(false));
  EXPECT_EQ(server_->CountCommands("QUIT"), 1);
  EXPECT_EQ(ftp::CurrentFolder(), "/") << "a new session";
  EXPECT_FALSE(ConnectAs(TestFtpServer::kUser, "wrong"));
  EXPECT_EQ(server_->CountCommands("QUIT"), 2);
  EXPECT_FALSE(ftp::IsConnected());
}

TEST_F(FtpConnectionTest, EveryMemberFailsBeforeConnect) {
  std::thread fresh([this] { ExpectEveryMemberFails(server_->local()); });
  fresh.join();
  EXPECT_EQ(server_->CommandLog(), "");
}

TEST_F(FtpConnectionTest, EveryMemberFailsAfterDisconnect) {
  ASSERT_TRUE(ConnectToServer(true));
  ASSERT_TRUE(ftp::Disconnect());
  std::string log = server_->CommandLog();
  ExpectEveryMemberFails(server_->local());
  EXPECT_EQ(server_->CommandLog(), log);
  EXPECT_FALSE(std::filesystem::exists(server_->root() / "put.txt"));
}

TEST_F(FtpConnectionTest, CallersOnOneThreadShareItsConnection) {
  auto first_caller_connects = [this] { return ConnectToServer(true); };
  auto second_caller_changes_folder = [] { return ftp::ChangeFolder("docs"); };
  ASSERT_TRUE(first_caller_connects());
  EXPECT_TRUE(ftp::IsConnected());
  EXPECT_TRUE(second_caller_changes_folder());
  EXPECT_EQ(ftp::CurrentFolder(), "/docs");
  EXPECT_TRUE(ftp::Disconnect());
  EXPECT_FALSE(ftp::IsConnected());
  EXPECT_EQ(server_->CountCommands("USER"), 1);
}

TEST_F(FtpConnectionTest, EachThreadHasItsOwnConnection) {
  ASSERT_TRUE(ConnectToServer(true));
  ASSERT_TRUE(ftp::ChangeFolder("docs"));
  std::thread other([this] {
    EXPECT_FALSE(ftp::IsConnected());
    ASSERT_TRUE(ConnectToServer(false));
    EXPECT_TRUE(ftp::CreateFolder("other"));
    EXPECT_TRUE(ftp::ChangeFolder("other"));
    EXPECT_EQ(ftp::CurrentFolder(), "/other");
    EXPECT_TRUE(ftp::Disconnect());
  });
  other.join();
  EXPECT_TRUE(ftp::IsConnected());
  EXPECT_EQ(ftp::CurrentFolder(), "/docs");
  EXPECT_EQ(server_->CountCommands("USER"), 2);
}

TEST_F(FtpConnectionTest, AThreadThatEndsClosesItsConnection) {
  std::thread other([this] { ASSERT_TRUE(ConnectToServer(true)); });
  other.join();
  EXPECT_EQ(server_->CountCommands("QUIT"), 1);
  EXPECT_FALSE(ftp::IsConnected());
}

TEST_F(FtpConnectionTest, ALostConnectionIsReportedAndNothingIsReplayed) {
  ASSERT_TRUE(ConnectToServer(true));
  ASSERT_TRUE(ftp::ChangeFolder("docs"));
  ASSERT_TRUE(ftp::CreateFolder("hang-up-soon"));
  std::this_thread::sleep_for(std::chrono::seconds(1));  // the server has hung up by now
  // A new connection would be in "/", so no command may run on one.
  EXPECT_FALSE(ftp::CreateFolder("made"));
  EXPECT_FALSE(ftp::IsConnected());
  EXPECT_EQ(server_->CountCommands("MKD"), 1);
  EXPECT_EQ(ftp::CurrentFolder(), "-?-");
}

TEST_F(FtpConnectionTest, ListingAndFileExistsWorkWithoutMlst) {
  StartServer({.offer_mlst = false});
  fs::create_directories(server_->root() / "docs" / "sub");
  WriteBytes(server_->root() / "a.txt", "twelve bytes");
  WriteBytes(server_->root() / "docs" / "docs", "same name as its folder");
  ASSERT_TRUE(ConnectToServer(true));
  EXPECT_EQ(ftp::ListFiles(""), (Lines{"/docs", "a.txt\t12"}));
  EXPECT_EQ(ftp::ListFiles("docs"), (Lines{"/sub", "docs\t23"}));
  ExpectFileExists({{"a.txt", true},
                    {"docs", false},
                    {"docs/docs", true},
                    {"/docs/docs", true},
                    {"docs/sub", false},
                    {"missing", false}});
  EXPECT_EQ(server_->CountCommands("MLSD") + server_->CountCommands("MLST"), 0);
}

}  // namespace
}  // namespace voziroz::testing
