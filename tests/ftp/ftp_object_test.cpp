// The FTP object called by name, as a script calls it, against a real server.
#include "ftp/ftp_object.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <thread>
#include <vector>

#include "tests/automation/call_helpers.h"
#include "tests/ftp/ftp_session_test.h"

namespace voziroz::testing {
namespace {

namespace fs = std::filesystem;

Variant Text(const std::string& text) {
  return Variant::Text(text);
}

Variant Texts(std::vector<std::string> texts) {
  return TextArray(texts);
}

const Variant kTrue = Variant::Bool(true);
const Variant kFalse = Variant::Bool(false);

class FtpObjectTest : public FtpServerTest {
 protected:
  void SetUp() override {
    FtpServerTest::SetUp();
    MakeDocsAndATxt();
  }
  static Variant Call(AutomationObject& ftp, std::string_view name,
                      std::initializer_list<Variant> args = {}) {
    return CallByName(ftp, name, args);
  }
  Variant Connect(AutomationObject& ftp, bool passive) {
    return Call(ftp, "Connect",
                {Text("127.0.0.1"), Text(TestFtpServer::kUser), Text(TestFtpServer::kPassword),
                 Variant::I4(server_->port()), Variant::Bool(passive)});
  }
  std::string Local(const std::string& name) const { return (server_->local() / name).string(); }

  ObjectPtr<AutomationObject> ftp_ = CreateFtp();
};

class FtpObjectModeTest : public FtpObjectTest, public ::testing::WithParamInterface<bool> {};

TEST_P(FtpObjectModeTest, EveryMemberByName) {
  AutomationObject& ftp = *ftp_;
  ASSERT_EQ(Connect(ftp, GetParam()), kTrue);
  EXPECT_EQ(Call(ftp, "IsConnected"), kTrue);
  EXPECT_EQ(Call(ftp, "CurrentFolder"), Text("/"));
  EXPECT_EQ(Call(ftp, "CreateFolder", {Variant::I4(12)}), kTrue);  // a number names "12"
  EXPECT_TRUE(fs::is_directory(server_->root() / "12"));
  EXPECT_EQ(Call(ftp, "ChangeFolder", {Text("12")}), kTrue);
  EXPECT_EQ(Call(ftp, "CurrentFolder"), Text("/12"));
  EXPECT_EQ(Call(ftp, "PutText", {Text("one\r\ntwo\r\n"), Text("notes.txt")}), kTrue);
  const std::string bytes("\0\r\n\xFF binary", 11);
  WriteBytes(Local("up.bin"), bytes);
  EXPECT_EQ(Call(ftp, "PutFile", {Text(Local("up.bin")), Text("b.bin"), kTrue}), kTrue);
  EXPECT_EQ(Call(ftp, "GetFile", {Text("b.bin"), Text(Local("down.bin")), kTrue}), kTrue);
  EXPECT_EQ(ReadBytes(Local("down.bin")), bytes);
  EXPECT_EQ(Call(ftp, "GetFile", {Text("notes.txt"), Text(Local("notes.txt")), kFalse}), kTrue);
  EXPECT_EQ(ReadBytes(Local("notes.txt")), "one\r\ntwo\r\n");
  EXPECT_EQ(Call(ftp, "ListFiles", {Text("")}), Texts({"b.bin\t11", "notes.txt\t8"}));
  EXPECT_EQ(Call(ftp, "FileExists", {Text("b.bin")}), kTrue);
  EXPECT_EQ(Call(ftp, "RenameFile", {Text("b.bin"), Text("/docs/c.bin")}), kTrue);
  EXPECT_EQ(Call(ftp, "FileExists", {Text("b.bin")}), kFalse);
  EXPECT_EQ(Call(ftp, "DeleteFile", {Text("notes.txt")}), kTrue);
  EXPECT_EQ(Call(ftp, "ListFiles", {Text("")}), Texts({}));
  EXPECT_EQ(Call(ftp, "ChangeFolder", {Text("/")}), kTrue);
  EXPECT_EQ(Call(ftp, "FileExists", {Text("docs")}), kFalse);  // a folder
  EXPECT_EQ(Call(ftp, "ListFiles", {Text("docs")}), Texts({"c.bin\t11"}));
  EXPECT_EQ(Call(ftp, "RemoveFolder", {Text("12")}), kTrue);
  EXPECT_EQ(Call(ftp, "ListFiles", {Variant()}), Texts({"/docs", "a.txt\t12"}));
  EXPECT_EQ(Call(ftp, "Disconnect"), kTrue);
  EXPECT_EQ(Call(ftp, "IsConnected"), kFalse);
  EXPECT_EQ(server_->CountCommands("EPSV") > 0, GetParam()) << server_->CommandLog();
  EXPECT_EQ(server_->CountCommands("EPRT") > 0, !GetParam()) << server_->CommandLog();
}

INSTANTIATE_TEST_SUITE_P(Modes, FtpObjectModeTest, ::testing::Values(true, false),
                         [](const ::testing::TestParamInfo<bool>& mode) {
                           return mode.param ? "Passive" : "Active";
                         });

TEST(FtpObject, EveryMemberOfTheInterfaceHasAHandler) {
  const MemberTable& members = CreateFtp()->Members();
  EXPECT_EQ(&members.Class(), &FtpClass());
  for (std::size_t i = 0; i < members.Interface().Members.size(); ++i)
    EXPECT_NE(members.HandlerAt(i), nullptr) << members.Interface().Members[i].Name;
}

TEST_F(FtpObjectTest, ConnectFailuresAndErrors) {
  EXPECT_EQ(Call(*ftp_, "Connect",
                 {Text("127.0.0.1"), Text(TestFtpServer::kUser), Text("wrong"),
                  Variant::I4(server_->port()), kTrue}),
            kFalse);
  const struct {
    Variant host;
    Variant port;
    const char* description;
  } kErrors[] = {
      {Text("127.0.0.1"), Variant::I4(65536), "Range check error"},
      {Text("127.0.0.1"), Variant::I4(-1), "Range check error"},
      {Variant::Null(), Variant::I4(server_->port()),
       "Could not convert variant of type (Null) into type (String)"},
  };
  for (const auto& c : kErrors) {
    const ErrorInfo error = ErrorOf([&] {
      Call(*ftp_, "Connect",
           {c.host, Text(TestFtpServer::kUser), Text(TestFtpServer::kPassword), c.port, kTrue});
    });
    EXPECT_EQ(error.Number, kUnexpected);
    EXPECT_EQ(error.Source, "Voziroz.FTP");
    EXPECT_EQ(error.Description, c.description);
  }
  EXPECT_EQ(Call(*ftp_, "IsConnected"), kFalse);
  EXPECT_EQ(server_->CountCommands("USER"), 1) << "only the refused login reached the server";
}

TEST_F(FtpObjectTest, ObjectsOnOneThreadShareItsConnection) {
  ObjectPtr<AutomationObject> second = CreateFtp();
  ASSERT_EQ(Connect(*ftp_, true), kTrue);
  EXPECT_EQ(Call(*second, "IsConnected"), kTrue);
  EXPECT_EQ(Call(*second, "ChangeFolder", {Text("docs")}), kTrue);
  EXPECT_EQ(Call(*ftp_, "CurrentFolder"), Text("/docs"));
  ftp_ = {};  // releasing an object closes nothing
  EXPECT_EQ(Call(*second, "IsConnected"), kTrue);
  ftp_ = CreateFtp();
  EXPECT_EQ(Call(*second, "Disconnect"), kTrue);
  EXPECT_EQ(Call(*ftp_, "IsConnected"), kFalse);
  EXPECT_EQ(Call(*second, "IsConnected"), kFalse);
  EXPECT_EQ(server_->CountCommands("USER"), 1);
}

TEST_F(FtpObjectTest, EachThreadHasItsOwnConnection) {
  ASSERT_EQ(Connect(*ftp_, true), kTrue);
  ASSERT_EQ(Call(*ftp_, "ChangeFolder", {Text("docs")}), kTrue);
  std::thread other([this] {
    ObjectPtr<AutomationObject> own = CreateFtp();
    EXPECT_EQ(Call(*own, "IsConnected"), kFalse);
    EXPECT_EQ(Call(*own, "CurrentFolder"), Text("-?-"));
    ASSERT_EQ(Connect(*own, false), kTrue);
    EXPECT_EQ(Call(*own, "CurrentFolder"), Text("/"));
    EXPECT_EQ(Call(*own, "Disconnect"), kTrue);
  });
  other.join();
  EXPECT_EQ(Call(*ftp_, "IsConnected"), kTrue);
  EXPECT_EQ(Call(*ftp_, "CurrentFolder"), Text("/docs"));
  EXPECT_EQ(server_->CountCommands("USER"), 2);
}

TEST_F(FtpObjectTest, EveryMemberBeforeConnectAndAfterDisconnect) {
  WriteBytes(Local("local.txt"), "local");
  const struct {
    const char* member;
    std::vector<Variant> args;
    Variant result;
  } kCases[] = {
      {"IsConnected", {}, kFalse},
      {"CurrentFolder", {}, Text("-?-")},
      {"CreateFolder", {Text("new")}, kFalse},
      {"RemoveFolder", {Text("docs")}, kFalse},
      {"ChangeFolder", {Text("docs")}, kFalse},
      {"FileExists", {Text("a.txt")}, kFalse},
      {"DeleteFile", {Text("a.txt")}, kFalse},
      {"RenameFile", {Text("a.txt"), Text("b.txt")}, kFalse},
      {"PutFile", {Text(Local("local.txt")), Text("put.txt"), kTrue}, kFalse},
      {"GetFile", {Text("a.txt"), Text(Local("local.txt")), kTrue}, kFalse},
      {"ListFiles", {Text("")}, Texts({})},
      {"PutText", {Text("text"), Text("text.txt")}, kFalse},
      {"Disconnect", {}, kTrue},
  };
  for (bool connected_before : {false, true}) {
    if (connected_before) {
      ASSERT_EQ(Connect(*ftp_, true), kTrue);
      ASSERT_EQ(Call(*ftp_, "Disconnect"), kTrue);
    }
    const std::string log = server_->CommandLog();
    for (const auto& c : kCases) {
      std::vector<Variant> args = c.args;
      EXPECT_EQ(CallByName(*ftp_, c.member, args), c.result) << c.member;
    }
    EXPECT_EQ(server_->CommandLog(), log) << "nothing sent";
  }
  EXPECT_EQ(ReadBytes(Local("local.txt")), "local");
}

}  // namespace
}  // namespace voziroz::testing
