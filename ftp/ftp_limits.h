// The limits that keep an unreachable, stalled or endless server from holding the calling thread
// (a script host's) for long, for every FTP transport. A call that reaches one fails as for any
// other failure; its connection is then dropped, since a reply may still be on its way.
#pragma once

#include <chrono>
#include <cstddef>
#include <cstdint>

namespace voziroz::ftpx {

using std::chrono::milliseconds;
using std::chrono::seconds;

// TCP connect, the server's greeting and the login, together.
inline constexpr milliseconds kConnectDeadline = seconds(30);
// A whole exchange of one command and its reply, and a whole folder listing.
inline constexpr milliseconds kReplyDeadline = seconds(60);
// Active mode: the server's data connection must come within this time.
inline constexpr milliseconds kAcceptDeadline = seconds(30);
// Every transfer (listings included) must move kLowSpeedBytes within each kLowSpeedWindow.
inline constexpr std::size_t kLowSpeedBytes = 1024;
inline constexpr milliseconds kLowSpeedWindow = seconds(30);
// The longest listing kept; the rest of a longer one is read and dropped, and the listing fails.
inline constexpr std::size_t kMaxListingBytes = std::size_t{64} << 20;

struct Deadlines {
  milliseconds connect = kConnectDeadline;
  milliseconds reply = kReplyDeadline;
  milliseconds accept = kAcceptDeadline;
  std::size_t low_speed_bytes = kLowSpeedBytes;
  milliseconds low_speed_window = kLowSpeedWindow;
};

// The deadlines in force: the constants above, unless a test shortened them.
const Deadlines& CurrentDeadlines();

// For tests only, so that a misbehaving server is given up on within seconds: replaces the
// deadlines of every thread's later calls and returns the ones it replaced. Not thread-safe:
// call it while no FTP call is running.
Deadlines SetDeadlinesForTesting(const Deadlines& deadlines);

// Applies the low-speed rule to one transfer, from its start: Moved, given the running count of
// bytes moved, turns false once a whole window has passed without low_speed_bytes more.
class LowSpeedWatch {
 public:
  LowSpeedWatch();
  bool Moved(std::uint64_t bytes);

 private:
  std::chrono::steady_clock::time_point mark_time_;
  std::uint64_t mark_bytes_ = 0;
};

}  // namespace voziroz::ftpx
