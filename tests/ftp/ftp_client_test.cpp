// Every folder and file member against a real server, in passive and in active mode.
#include "ftp/ftp_client.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <algorithm>
#include <filesystem>
#include <string>
#include <vector>

#include "tests/ftp/ftp_session_test.h"

namespace voziroz::testing {
namespace {

namespace fs = std::filesystem;
using Lines = std::vector<std::string>;
using namespace std::string_literals;

std::string AllByteValues() {
  std::string bytes;
  for (int round = 0; round < 300; ++round) {
    for (int value = 0; value < 256; ++value) bytes.push_back(static_cast<char>(value));
  }
  return bytes;
}

// Connected before each test, passive when the parameter is true.
class FtpMemberTest : public FtpServerTest, public ::testing::WithParamInterface<bool> {
 protected:
  void SetUp() override {
    FtpServerTest::SetUp();
    MakeDocsAndATxt();
    ASSERT_TRUE(ConnectToServer(GetParam()));
  }
  fs::path Remote(const std::string& name) const { return server_->root() / name; }
  fs::path Local(const std::string& name) const { return server_->local() / name; }
};

TEST_P(FtpMemberTest, DataConnectionsFollowTheModeAsked) {
  ASSERT_EQ(ftp::ListFiles("").size(), 2u);
  EXPECT_EQ(server_->CountCommands("EPSV") > 0, GetParam()) << server_->CommandLog();
  EXPECT_EQ(server_->CountCommands("EPRT") > 0, !GetParam()) << server_->CommandLog();
}

TEST_P(FtpMemberTest, FoldersAreMadeChangedIntoAndRemoved) {
  EXPECT_EQ(ftp::CurrentFolder(), "/");
  EXPECT_TRUE(ftp::CreateFolder("new"));
  EXPECT_FALSE(ftp::CreateFolder("new")) << "already there";
  EXPECT_TRUE(ftp::ChangeFolder("new"));
  EXPECT_EQ(ftp::CurrentFolder(), "/new");
  EXPECT_TRUE(ftp::CreateFolder("inner"));
  EXPECT_TRUE(fs::is_directory(Remote("new/inner"))) << "made in the server's current folder";
  EXPECT_FALSE(ftp::ChangeFolder("missing"));
  EXPECT_EQ(ftp::CurrentFolder(), "/new");
  EXPECT_TRUE(ftp::ChangeFolder(".."));
  EXPECT_EQ(ftp::CurrentFolder(), "/");
  EXPECT_FALSE(ftp::RemoveFolder("new")) << "not empty";
  EXPECT_TRUE(ftp::RemoveFolder("new/inner"));
  EXPECT_TRUE(ftp::RemoveFolder("new"));
  EXPECT_FALSE(fs::exists(Remote("new")));
  EXPECT_FALSE(ftp::RemoveFolder("new"));
  EXPECT_TRUE(ftp::ChangeFolder("/docs"));
  EXPECT_EQ(ftp::CurrentFolder(), "/docs");
}

TEST_P(FtpMemberTest, CurrentFolderReportsUpToTheLongestLength) {
  const std::string first(250, 'f');
  struct Case {
    std::size_t second_length;
    bool reported;
  };
  for (Case c : {Case{246, true}, Case{247, false}}) {  // "/" first "/" second: 498 or 499
    const std::string second(c.second_length, 's');
    fs::create_directories(Remote(first + "/" + second));
    ASSERT_TRUE(ftp::ChangeFolder("/" + first + "/" + second));
    EXPECT_EQ(ftp::CurrentFolder(), c.reported ? "/" + first + "/" + second : "-?-");
  }
}

TEST_P(FtpMemberTest, ListFilesGivesFoldersAndSizesSortedIgnoringCase) {
  WriteBytes(Remote("B.txt"), "abc");
  WriteBytes(Remote("c.TXT"), "");
  fs::create_directory(Remote("Zeta"));
  WriteBytes(Remote("docs/inside.bin"), "1234567");
  EXPECT_EQ(ftp::ListFiles(""), (Lines{"/docs", "/Zeta", "a.txt\t12", "B.txt\t3", "c.TXT\t0"}));
  EXPECT_EQ(ftp::ListFiles("docs"), (Lines{"inside.bin\t7"}));
  EXPECT_EQ(ftp::ListFiles("Zeta"), Lines{}) << "empty folder";
  EXPECT_EQ(ftp::ListFiles("missing"), Lines{});
  EXPECT_EQ(ftp::ListFiles("a.txt"), (Lines{"a.txt\t12"})) << "a file name lists that file";
  ASSERT_TRUE(ftp::ChangeFolder("docs"));
  EXPECT_EQ(ftp::ListFiles(""), (Lines{"inside.bin\t7"})) << "the server's current folder";
  EXPECT_EQ(ftp::ListFiles("/"), (Lines{"/docs", "/Zeta", "a.txt\t12", "B.txt\t3", "c.TXT\t0"}));
}

TEST_P(FtpMemberTest, FileExistsOnlyForFiles) {
  WriteBytes(Remote("docs/inner.txt"), "x");
  ExpectFileExists({{"a.txt", true},
                    {"docs", false},
                    {"missing.txt", false},
                    {"docs/inner.txt", true},
                    {"/docs/inner.txt", true},
                    {"", false}});
  ASSERT_TRUE(ftp::ChangeFolder("docs"));
  EXPECT_TRUE(ftp::FileExists("inner.txt"));
  EXPECT_FALSE(ftp::FileExists("a.txt"));
}

TEST_P(FtpMemberTest, BinaryTransfersKeepEveryByte) {
  const std::string bytes = AllByteValues();
  WriteBytes(Local("up.bin"), bytes);
  ASSERT_TRUE(ftp::PutFile(Local("up.bin").string(), "up.bin", true));
  EXPECT_EQ(ReadBytes(Remote("up.bin")), bytes);
  ASSERT_TRUE(ftp::GetFile("up.bin", Local("down.bin").string(), true));
  EXPECT_EQ(ReadBytes(Local("down.bin")), bytes);
}

TEST_P(FtpMemberTest, AsciiTransfersLetTheServerConvertLineEnds) {
  WriteBytes(Remote("unix.txt"), "one\ntwo\n");
  ASSERT_TRUE(ftp::GetFile("unix.txt", Local("got.txt").string(), false));
  EXPECT_EQ(ReadBytes(Local("got.txt")), "one\r\ntwo\r\n");
  WriteBytes(Local("dos.txt"), "three\r\nfour\r\n");
  ASSERT_TRUE(ftp::PutFile(Local("dos.txt").string(), "stored.txt", false));
  EXPECT_EQ(ReadBytes(Remote("stored.txt")), "three\nfour\n");
  ASSERT_TRUE(ftp::GetFile("stored.txt", Local("binary.txt").string(), true));
  EXPECT_EQ(ReadBytes(Local("binary.txt")), "three\nfour\n");
}

TEST_P(FtpMemberTest, GetFileReplacesALocalFileOnlyWhenItSucceeds) {
  WriteBytes(Local("target.txt"), "old content that is longer");
  ASSERT_TRUE(ftp::GetFile("a.txt", Local("target.txt").string(), true));
  EXPECT_EQ(ReadBytes(Local("target.txt")), "twelve bytes");
  EXPECT_FALSE(ftp::GetFile("missing.txt", Local("target.txt").string(), true));
  EXPECT_EQ(ReadBytes(Local("target.txt")), "twelve bytes");
  EXPECT_FALSE(ftp::GetFile("docs", Local("target.txt").string(), true)) << "a folder";
  EXPECT_FALSE(ftp::GetFile("a.txt", Local("no/such/folder.txt").string(), true));
  EXPECT_FALSE(ftp::GetFile("a.txt", "", true));
  EXPECT_EQ(std::distance(fs::directory_iterator(server_->local()), fs::directory_iterator()), 1)
      << "no temporary file left behind";
  EXPECT_TRUE(ftp::IsConnected()) << "failed transfers keep the connection";
  EXPECT_EQ(ftp::CurrentFolder(), "/");
}

TEST_P(FtpMemberTest, GetFileRefusesWhatIsNoRegularFileAndFollowsALink) {
  ASSERT_EQ(mkfifo(Local("fifo").c_str(), 0600), 0);
  EXPECT_FALSE(ftp::GetFile("a.txt", Local("fifo").string(), true));
  EXPECT_TRUE(fs::is_fifo(Local("fifo")));
  WriteBytes(Local("real.txt"), "old");
  fs::create_symlink("real.txt", Local("link.txt"));
  // A NUL would end the name for the system, so the link's file would be written.
  EXPECT_FALSE(ftp::GetFile("a.txt", Local("link.txt").string() + "\0x"s, true));
  EXPECT_EQ(ReadBytes(Local("real.txt")), "old");
  ASSERT_TRUE(ftp::GetFile("a.txt", Local("link.txt").string(), true));
  EXPECT_TRUE(fs::is_symlink(Local("link.txt")));
  EXPECT_EQ(ReadBytes(Local("real.txt")), "twelve bytes");
}

TEST_P(FtpMemberTest, PutFileReplacesARemoteFileAndNeedsARegularLocalFile) {
  WriteBytes(Local("new.txt"), "new");
  ASSERT_TRUE(ftp::PutFile(Local("new.txt").string(), "a.txt", true));
  EXPECT_EQ(ReadBytes(Remote("a.txt")), "new");
  EXPECT_FALSE(ftp::PutFile(Local("missing.txt").string(), "b.txt", true));
  EXPECT_FALSE(ftp::PutFile(Local("new.txt").string() + "\0x"s, "b.txt", true));
  EXPECT_FALSE(ftp::PutFile(server_->local().string(), "b.txt", true)) << "a folder";
  EXPECT_FALSE(ftp::PutFile(Local("new.txt").string(), "no/such/folder.txt", true));
  EXPECT_FALSE(ftp::PutFile(Local("new.txt").string(), "", true));
  EXPECT_FALSE(fs::exists(Remote("b.txt")));
}

TEST_P(FtpMemberTest, PutTextStoresTheTextInAsciiMode) {
  ASSERT_TRUE(ftp::PutText("Hello\r\nWorld\r\n", "text.txt"));
  EXPECT_EQ(ReadBytes(Remote("text.txt")), "Hello\nWorld\n");
  ASSERT_TRUE(ftp::PutText("", "empty.txt"));
  EXPECT_TRUE(fs::exists(Remote("empty.txt")));
  EXPECT_EQ(fs::file_size(Remote("empty.txt")), 0u);
  EXPECT_FALSE(ftp::PutText("x", "no/such/folder.txt"));
  EXPECT_FALSE(ftp::PutText("x", "docs")) << "a folder";
}

TEST_P(FtpMemberTest, RenameFileRenamesAndMoves) {
  EXPECT_TRUE(ftp::RenameFile("a.txt", "b.txt"));
  EXPECT_FALSE(fs::exists(Remote("a.txt")));
  EXPECT_EQ(ReadBytes(Remote("b.txt")), "twelve bytes");
  EXPECT_TRUE(ftp::RenameFile("b.txt", "docs/c.txt"));
  EXPECT_EQ(ReadBytes(Remote("docs/c.txt")), "twelve bytes");
  EXPECT_FALSE(ftp::RenameFile("missing.txt", "d.txt"));
  EXPECT_FALSE(fs::exists(Remote("d.txt")));
}

TEST_P(FtpMemberTest, DeleteFileDeletesFilesOnly) {
  EXPECT_FALSE(ftp::DeleteFile("docs"));
  EXPECT_TRUE(fs::is_directory(Remote("docs")));
  EXPECT_TRUE(ftp::DeleteFile("a.txt"));
  EXPECT_FALSE(fs::exists(Remote("a.txt")));
  EXPECT_FALSE(ftp::DeleteFile("a.txt"));
}

TEST_P(FtpMemberTest, FileMembersActInTheServersCurrentFolder) {
  ASSERT_TRUE(ftp::ChangeFolder("docs"));
  ASSERT_TRUE(ftp::PutText("note", "note.txt"));
  EXPECT_EQ(ReadBytes(Remote("docs/note.txt")), "note");
  EXPECT_TRUE(ftp::FileExists("note.txt"));
  ASSERT_TRUE(ftp::GetFile("note.txt", Local("note.txt").string(), true));
  EXPECT_EQ(ReadBytes(Local("note.txt")), "note");
  EXPECT_TRUE(ftp::RenameFile("note.txt", "renamed.txt"));
  EXPECT_TRUE(fs::exists(Remote("docs/renamed.txt")));
  ASSERT_TRUE(ftp::GetFile("/a.txt", Local("root.txt").string(), true)) << "absolute name";
  EXPECT_TRUE(ftp::DeleteFile("renamed.txt"));
  EXPECT_FALSE(fs::exists(Remote("docs/renamed.txt")));
  EXPECT_EQ(ftp::CurrentFolder(), "/docs");
  // Only ChangeFolder moved the server: nothing else sent a CWD of its own.
  EXPECT_EQ(server_->CountCommands("CWD"), 1);
}

TEST_P(FtpMemberTest, NamesWithSpacesAndUrlCharactersReachTheServerUnchanged) {
  const std::string name = "my file %20#?;.txt";
  ASSERT_TRUE(ftp::PutText("odd", name));
  EXPECT_EQ(ReadBytes(Remote(name)), "odd");
  EXPECT_TRUE(ftp::FileExists(name));
  ASSERT_TRUE(ftp::GetFile(name, Local("odd.txt").string(), true));
  EXPECT_EQ(ReadBytes(Local("odd.txt")), "odd");
  EXPECT_TRUE(ftp::CreateFolder("a folder"));
  EXPECT_TRUE(ftp::RenameFile(name, "a folder/" + name));
  EXPECT_EQ(ftp::ListFiles("a folder"), (Lines{name + "\t3"}));
  EXPECT_TRUE(ftp::ChangeFolder("a folder"));
  EXPECT_EQ(ftp::CurrentFolder(), "/a folder");
  EXPECT_TRUE(ftp::DeleteFile(name));
}

TEST_P(FtpMemberTest, LineBreaksInNamesAreRefusedBeforeSending) {
  for (const std::string& name : {std::string("x\r\nDELE a.txt"), std::string("x\nDELE a.txt"),
                                  std::string("x\0DELE a.txt", 12)}) {
    EXPECT_FALSE(ftp::CreateFolder(name));
    EXPECT_FALSE(ftp::DeleteFile(name));
    EXPECT_FALSE(ftp::PutText("x", name));
    EXPECT_FALSE(ftp::GetFile(name, Local("x").string(), true));
    EXPECT_EQ(ftp::ListFiles(name), Lines{});
  }
  EXPECT_TRUE(fs::exists(Remote("a.txt")));
  EXPECT_EQ(server_->CountCommands("DELE"), 0);
  EXPECT_TRUE(ftp::IsConnected());
}

INSTANTIATE_TEST_SUITE_P(Modes, FtpMemberTest, ::testing::Values(true, false),
                         [](const ::testing::TestParamInfo<bool>& mode) {
                           return mode.param ? "Passive" : "Active";
                         });

}  // namespace
}  // namespace voziroz::testing
