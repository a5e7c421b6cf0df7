// The FTP client over WinInet against a real server: scripts/windows-test.sh starts the Linux
// FTP tests' pyftpdlib server and hands its port and root folder over in VOZIROZ_FTP_PORT and
// VOZIROZ_FTP_ROOT (a Windows path). Without them the tests are skipped.
#include <windows.h>
#undef DeleteFile  // windows.h maps it to DeleteFileA; here it is the FTP member

#include <gtest/gtest.h>

#include <chrono>
#include <cstdlib>
#include <string>
#include <vector>

#include "com_test_support.h"
#include "ftp/ftp_client.h"
#include "ftp/ftp_limits.h"

namespace voziroz::testing {
namespace {

using Lines = std::vector<std::string>;

constexpr char kUser[] = "tester";
constexpr char kPassword[] = "s3cret word";

std::string Environment(const char* name) {
  const char* value = std::getenv(name);
  return value ? value : "";
}

std::string ReadFileBytes(const std::string& path) {
  std::FILE* file = std::fopen(path.c_str(), "rb");
  if (!file) return "<missing>";
  std::string bytes;
  char buffer[4096];
  for (std::size_t got; (got = std::fread(buffer, 1, sizeof buffer, file)) > 0;)
    bytes.append(buffer, got);
  std::fclose(file);
  return bytes;
}

std::string AllByteValues() {
  std::string bytes;
  for (int round = 0; round < 300; ++round)
    for (int value = 0; value < 256; ++value) bytes.push_back(static_cast<char>(value));
  return bytes;
}

// Connected before each test, passive when the parameter is true; the server's root holds a
// folder "docs" and a 12-byte file "a.txt".
class FtpWinInetTest : public ::testing::TestWithParam<bool> {
 protected:
  void SetUp() override {
    port_ = std::atoi(Environment("VOZIROZ_FTP_PORT").c_str());
    root_ = Environment("VOZIROZ_FTP_ROOT");
    if (port_ == 0 || root_.empty()) GTEST_SKIP() << "no FTP server (VOZIROZ_FTP_PORT)";
    CreateDirectoryA(Remote("docs").c_str(), nullptr);
    local_.Write("seed", "");
    std::FILE* file = std::fopen(Remote("a.txt").c_str(), "wb");
    std::fputs("twelve bytes", file);
    std::fclose(file);
    ASSERT_TRUE(ftp::Connect("127.0.0.1", kUser, kPassword, port_, GetParam()));
  }
  void TearDown() override {
    ftp::Disconnect();
    for (const char* name : {"a.txt", "b.txt", "t.txt", "all.bin", "docs\\moved.txt"})
      ::DeleteFileA(Remote(name).c_str());
    RemoveDirectoryA(Remote("docs").c_str());
  }
  std::string Remote(const std::string& name) const { return root_ + "\\" + name; }

  int port_ = 0;
  std::string root_;
  ScratchFolder local_{"voziroz ftp local"};
};

TEST_P(FtpWinInetTest, LoginIsCheckedAndTheConnectionEnds) {
  EXPECT_TRUE(ftp::IsConnected());
  EXPECT_FALSE(ftp::Connect("127.0.0.1", kUser, "wrong", port_, GetParam()));
  EXPECT_FALSE(ftp::IsConnected()) << "a refused login leaves no connection";
  ASSERT_TRUE(ftp::Connect("127.0.0.1", kUser, kPassword, port_, GetParam()));
  EXPECT_TRUE(ftp::Disconnect());
  EXPECT_FALSE(ftp::IsConnected());
  EXPECT_EQ(ftp::CurrentFolder(), "-?-");
  EXPECT_FALSE(ftp::CreateFolder("never"));
}

// The test server closes the connection 0.2 s after making a folder of this name.
TEST_P(FtpWinInetTest, ALostConnectionIsReported) {
  EXPECT_TRUE(ftp::CreateFolder("hang-up-soon"));
  Sleep(600);
  EXPECT_EQ(ftp::CurrentFolder(), "-?-");
  EXPECT_FALSE(ftp::IsConnected());
  RemoveDirectoryA(Remote("hang-up-soon").c_str());
}

TEST_P(FtpWinInetTest, FoldersAreMadeChangedIntoAndRemoved) {
  EXPECT_EQ(ftp::CurrentFolder(), "/");
  EXPECT_TRUE(ftp::CreateFolder("new"));
  EXPECT_FALSE(ftp::CreateFolder("new")) << "already there";
  EXPECT_TRUE(ftp::ChangeFolder("new"));
  EXPECT_EQ(ftp::CurrentFolder(), "/new");
  EXPECT_FALSE(ftp::ChangeFolder("missing"));
  EXPECT_TRUE(ftp::ChangeFolder(".."));
  EXPECT_TRUE(ftp::RemoveFolder("new"));
  EXPECT_FALSE(ftp::RemoveFolder("new"));
}

TEST_P(FtpWinInetTest, ListingsShowFoldersAndFileSizes) {
  EXPECT_EQ(ftp::ListFiles(""), (Lines{"/docs", "a.txt\t12"}));
  EXPECT_TRUE(ftp::ListFiles("docs").empty());
  EXPECT_TRUE(ftp::PutText("x", "docs/inner.txt"));
  EXPECT_EQ(ftp::ListFiles("docs"), Lines{"inner.txt\t1"});
  EXPECT_EQ(ftp::CurrentFolder(), "/") << "listing another folder leaves the current one";
  EXPECT_EQ(ftp::ListFiles("a.txt"), Lines{"a.txt\t12"}) << "a file name lists that file";
  EXPECT_TRUE(ftp::DeleteFile("docs/inner.txt"));
  EXPECT_TRUE(ftp::FileExists("a.txt"));
  EXPECT_FALSE(ftp::FileExists("docs")) << "a folder is no file";
  EXPECT_FALSE(ftp::FileExists("missing.txt"));
}

TEST_P(FtpWinInetTest, FilesTravelUnchangedBothWays) {
  const std::string bytes = AllByteValues();
  const std::string local_source = local_.Write("all \xE9.bin", bytes);
  EXPECT_TRUE(ftp::PutFile(local_source, "all.bin", true));
  EXPECT_EQ(ReadFileBytes(Remote("all.bin")), bytes);
  const std::string copy = local_.Write("copy.bin", "to be replaced");
  EXPECT_TRUE(ftp::GetFile("all.bin", copy, true));
  EXPECT_EQ(ReadFileBytes(copy), bytes) << "an existing local file is replaced";
  EXPECT_FALSE(ftp::GetFile("missing.bin", copy, true));
  EXPECT_EQ(ReadFileBytes(copy), bytes) << "a failed download leaves the file as it was";
  EXPECT_TRUE(ftp::PutText("line\r\n", "t.txt"));
  EXPECT_TRUE(ftp::FileExists("t.txt"));
}

TEST_P(FtpWinInetTest, FilesAreRenamedAndDeleted) {
  EXPECT_TRUE(ftp::RenameFile("a.txt", "docs/moved.txt"));
  EXPECT_FALSE(ftp::FileExists("a.txt"));
  EXPECT_TRUE(ftp::FileExists("docs/moved.txt"));
  EXPECT_FALSE(ftp::RenameFile("a.txt", "b.txt")) << "nothing to rename";
  EXPECT_TRUE(ftp::DeleteFile("docs/moved.txt"));
  EXPECT_FALSE(ftp::DeleteFile("docs/moved.txt"));
}

// The Linux deadline tests' faulty server (its port in VOZIROZ_FTP_FAULTY_PORT): a download that
// trickles fails by the low-speed rule, here checked between chunks. Wine's WinInet ends a
// connection, a reply or a listing on its own terms only, so those deadlines are not tested here.
TEST(FtpWinInetDeadlineTest, ATricklingDownloadFails) {
  const int port = std::atoi(Environment("VOZIROZ_FTP_FAULTY_PORT").c_str());
  if (port == 0) GTEST_SKIP() << "no faulty FTP server (VOZIROZ_FTP_FAULTY_PORT)";
  ftpx::Deadlines deadlines;
  deadlines.low_speed_window = std::chrono::seconds(1);
  const ftpx::Deadlines replaced = ftpx::SetDeadlinesForTesting(deadlines);
  ScratchFolder local{"voziroz ftp deadline"};
  const std::string kept = local.Write("kept.txt", "kept");
  ASSERT_TRUE(ftp::Connect("127.0.0.1", "drip-data", "any", port, true));
  const ULONGLONG start = GetTickCount64();
  EXPECT_FALSE(ftp::GetFile("a.txt", kept, true));
  EXPECT_LT(GetTickCount64() - start, 3000u) << "one window of 1 s, and leeway";
  EXPECT_EQ(ReadFileBytes(kept), "kept");
  EXPECT_FALSE(ftp::IsConnected());
  ftpx::SetDeadlinesForTesting(replaced);
}

INSTANTIATE_TEST_SUITE_P(PassiveAndActive, FtpWinInetTest, ::testing::Bool(),
                         [](const ::testing::TestParamInfo<bool>& mode) {
                           return mode.param ? "Passive" : "Active";
                         });

}  // namespace
}  // namespace voziroz::testing
