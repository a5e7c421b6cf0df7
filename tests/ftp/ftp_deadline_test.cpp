// The deadlines against a misbehaving server (faulty_ftp_server.py), shortened so that each case
// takes seconds: every call must give its thread back when the right deadline falls due, fail as
// any failed call does, and leave the connection closed.
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

constexpr ftpx::Deadlines kShort{.connect = seconds(1),
                                 .reply = seconds(4),
                                 .accept = seconds(1),
                                 .low_speed_bytes = 1024,
                                 .low_speed_window = seconds(1)};
// Leeway for a busy machine (without deadlines these calls last minutes or for ever), and for
// libcurl's timers, which may fire a millisecond early.
constexpr milliseconds kLeeway = seconds(2);
constexpr milliseconds kEarly = milliseconds(20);

struct ShortDeadlines {
  ftpx::Deadlines replaced = ftpx::SetDeadlinesForTesting(kShort);
  ~ShortDeadlines() {
    ftp::Disconnect();
    ftpx::SetDeadlinesForTesting(replaced);
  }
};

TEST(FtpDeadlineTest, EachFaultEndsTheCallAtItsDeadline) {
  ServerProcess server(VOZIROZ_FTP_FAULTY_SERVER, {});
  int ftp_port = 0;
  int silent_port = 0;
  std::istringstream(server.first_line()) >> ftp_port >> silent_port;
  ASSERT_NE(silent_port, 0) << "the faulty server did not start";
  ShortDeadlines in_force;
  TempDir local;
  const std::string kept = local.Write("kept.txt", "kept");
  const std::string big = local.Write("big.bin", std::string(std::size_t{16} << 20, 'x'));
  const struct {
    const char* user;  // the server's behaviour; none: its silent port
    milliseconds deadline;
    std::function<bool()> fails;
  } cases[] = {
      {nullptr, kShort.connect,
       [&] { return !ftp::Connect("127.0.0.1", "u", "p", silent_port, true); }},
      {"drip-reply", kShort.reply, [] { return ftp::CurrentFolder() == "-?-"; }},
      {"drip-data", kShort.low_speed_window, [] { return ftp::ListFiles("").empty(); }},
      {"drip-data", kShort.low_speed_window,
       [&] { return !ftp::GetFile("a.txt", kept, true) && ReadBytes(kept) == "kept"; }},
      {"deaf-data", kShort.low_speed_window, [&] { return !ftp::PutFile(big, "big.bin", true); }},
      {"endless-data", kShort.reply, [] { return ftp::ListFiles("").empty(); }},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(::testing::Message() << (c.user ? c.user : "silent") << ", case " << &c - cases);
    if (c.user) {
      ASSERT_TRUE(ftp::Connect("127.0.0.1", c.user, "any", ftp_port, true));
    }
    auto start = std::chrono::steady_clock::now();
    EXPECT_TRUE(c.fails());
    auto took = std::chrono::steady_clock::now() - start;
    EXPECT_GE(took, c.deadline - kEarly);
    EXPECT_LE(took, c.deadline + kLeeway);
    EXPECT_FALSE(ftp::IsConnected());
  }
}

}  // namespace
}  // namespace voziroz::testing
