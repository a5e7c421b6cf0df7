// The deadlines against a misbehaving server (faulty_ftp_server.py), shortened so that each case
// takes seconds: every call must give its thread back in time, fail as any failed call does, and
// leave the connection closed.
#include <gtest/gtest.h>

#include <chrono>
#include <functional>
#include <sstream>
#include <string>

#include "ftp/ftp_client.h"
#include "ftp/ftp_limits.h"
#include "tests/ftp/server_process.h"
#include "tests/ftp/test_ftp_server.h"
#include "tests/temp_dir.h"

namespace voziroz::testing {
namespace {

using std::chrono::milliseconds;
using std::chrono::seconds;

constexpr ftpx::Deadlines kShortDeadlines{.connect = seconds(1),
                                          .reply = seconds(4),
                                          .accept = seconds(1),
                                          .low_speed_bytes = 1024,
                                          .low_speed_window = seconds(1)};
// Leeway for a busy machine; still far below what the server would hold a call without deadlines.
constexpr milliseconds kLeeway = seconds(2);
// libcurl rounds its timers to the millisecond.
constexpr milliseconds kClockSlack = milliseconds(20);

class FtpDeadlineTest : public ::testing::Test {
 protected:
  void SetUp() override {
    std::istringstream ports(server_.first_line());
    ports >> ftp_port_ >> silent_port_;
    ASSERT_NE(silent_port_, 0) << "the faulty server did not start";
    replaced_ = ftpx::SetDeadlinesForTesting(kShortDeadlines);
  }
  void TearDown() override {
    ftp::Disconnect();
    ftpx::SetDeadlinesForTesting(replaced_);
  }
  bool ConnectAs(const std::string& behaviour) {
    return ftp::Connect("127.0.0.1", behaviour, "any", ftp_port_, true);
  }
  // Runs `call`, which the server stalls, and checks that it ended after `from` (when the deadline
  // that must end it falls due) and before `to` plus leeway.
  void ExpectEndsBetween(milliseconds from, milliseconds to, const std::function<void()>& call) {
    auto start = std::chrono::steady_clock::now();
    call();
    auto took = std::chrono::duration_cast<milliseconds>(std::chrono::steady_clock::now() - start);
    EXPECT_GE(took, from - kClockSlack);
    EXPECT_LE(took, to + kLeeway);
  }

  ServerProcess server_{VOZIROZ_FTP_FAULTY_SERVER, {}};
  int ftp_port_ = 0;
  int silent_port_ = 0;
  ftpx::Deadlines replaced_;
  TempDir local_;
};

TEST_F(FtpDeadlineTest, ASilentServerFailsConnect) {
  ExpectEndsBetween(kShortDeadlines.connect, kShortDeadlines.connect, [this] {
    EXPECT_FALSE(ftp::Connect("127.0.0.1", "u", "p", silent_port_, true));
  });
  EXPECT_FALSE(ftp::IsConnected());
}

TEST_F(FtpDeadlineTest, ADripFedReplyFailsWithinTheReplyDeadline) {
  ASSERT_TRUE(ConnectAs("drip-reply"));
  ExpectEndsBetween(kShortDeadlines.reply, kShortDeadlines.reply,
                    [] { EXPECT_EQ(ftp::CurrentFolder(), "-?-"); });
  EXPECT_FALSE(ftp::IsConnected());
}

// A transfer slower than the low-speed rule fails after one window, well before the reply
// deadline; an endless listing fails at the reply deadline.
TEST_F(FtpDeadlineTest, SlowAndEndlessTransfersFail) {
  const std::string kept = local_.Write("kept.txt", "kept");
  const std::string big = local_.Write("big.bin", std::string(std::size_t{16} << 20, 'x'));
  struct Case {
    const char* behaviour;
    const char* call;
    milliseconds from;
    milliseconds to;
    std::function<bool()> fails;
  } cases[] = {
      {"drip-data", "ListFiles", kShortDeadlines.low_speed_window, kShortDeadlines.low_speed_window,
       [] { return ftp::ListFiles("").empty(); }},
      {"drip-data", "GetFile", kShortDeadlines.low_speed_window, kShortDeadlines.low_speed_window,
       [&kept] { return !ftp::GetFile("a.txt", kept, true) && ReadBytes(kept) == "kept"; }},
      {"deaf-data", "PutFile", kShortDeadlines.low_speed_window, kShortDeadlines.low_speed_window,
       [&big] { return !ftp::PutFile(big, "big.bin", true); }},
      {"endless-data", "ListFiles", kShortDeadlines.reply, kShortDeadlines.reply,
       [] { return ftp::ListFiles("").empty(); }},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(std::string(c.behaviour) + " " + c.call);
    ASSERT_TRUE(ConnectAs(c.behaviour));
    ExpectEndsBetween(c.from, c.to, [&c] { EXPECT_TRUE(c.fails()); });
    EXPECT_FALSE(ftp::IsConnected());
  }
}

}  // namespace
}  // namespace voziroz::testing
