// The FTP connection of the calling thread over WinInet, the internet client library of Windows
// (ftpx.cpp serves the same routines over libcurl elsewhere).
//
// WinInet keeps the control connection in the connect handle and the last reply per thread
// (InternetGetLastResponseInfo), which suits one connection per thread. A listing comes from
// FtpFindFirstFile, written out as DOS-form LIST lines for the shared listing reader; MLSD needs
// a data connection through FtpCommand, which some WinInet versions (Wine's) do not offer, and
// then fails so that callers fall back to LIST.
//
// Deadlines (ftp/ftp_limits.h): WinInet's own time-outs are set from them, a watchdog closes the
// handle of a call that overruns its deadline, and data read or written here follows the
// low-speed rule between chunks. Wine's WinInet ignores the time-outs for FTP and finishes a call
// before a handle closed under it goes, so under Wine only the rule between chunks holds.
#include <windows.h>
#include <wininet.h>

#include <atomic>
#include <chrono>
#include <string>

#include "ftp/ftp_reply.h"
#include "ftp/ftpx.h"

namespace voziroz::ftpx {
namespace {

constexpr DWORD kChunkBytes = 64 * 1024;

struct ThreadConnection {
  HINTERNET internet = nullptr;
  HINTERNET connection = nullptr;
  std::string features;

  ~ThreadConnection() { Reset(); }
  void Reset() {
    if (connection) InternetCloseHandle(connection);
    if (internet) InternetCloseHandle(internet);
    connection = nullptr;
    internet = nullptr;
    features.clear();
  }
  // After a watchdog closed `closed` (the connection or the internet handle): the rest goes too.
  void ResetAfterClosing(HINTERNET closed) {
    if (closed == internet) connection = nullptr;  // closing a handle closes those made from it
    if (closed == connection) connection = nullptr;
    if (closed == internet) internet = nullptr;
    Reset();
  }
};

thread_local ThreadConnection t_connection;

// Closes `handle` from a timer thread once `deadline` passes, which makes Windows' WinInet fail
// the call blocked on it (the way Microsoft documents to bound a synchronous call).
class Watchdog {
 public:
  Watchdog(HINTERNET handle, milliseconds deadline) : handle_(handle) {
    if (!CreateTimerQueueTimer(&timer_, nullptr, &Expire, this, Milliseconds(deadline), 0,
                               WT_EXECUTEONLYONCE))
      timer_ = nullptr;
  }
  Watchdog(const Watchdog&) = delete;
  Watchdog& operator=(const Watchdog&) = delete;
  ~Watchdog() { Finish(); }

  // Starts the deadline again, as for a transfer that moved data.
  void Restart(milliseconds deadline) {
    if (timer_) ChangeTimerQueueTimer(nullptr, timer_, Milliseconds(deadline), 0);
  }
  // Stops the watch (waiting for a closing in progress) and returns true when the handle was
  // closed: the caller must not use or close it again.
  bool Finish() {
    if (timer_) DeleteTimerQueueTimer(nullptr, timer_, INVALID_HANDLE_VALUE);
    timer_ = nullptr;
    return expired_;
  }

 private:
  static DWORD Milliseconds(milliseconds time) { return static_cast<DWORD>(time.count()); }
  static void CALLBACK Expire(void* self, BOOLEAN) {
    auto* watchdog = static_cast<Watchdog*>(self);
    watchdog->expired_ = true;
    InternetCloseHandle(watchdog->handle_);
  }

  HINTERNET handle_;
  HANDLE timer_ = nullptr;
  std::atomic<bool> expired_ = false;
};

// Runs `call` on the thread's connection under a watchdog; when the deadline closed the
// connection, the thread's state is closed and the result is `failed`.
template <typename Result, typename Call>
Result Watched(milliseconds deadline, Result failed, Call call) {
  const HINTERNET connection = t_connection.connection;
  Watchdog watchdog(connection, deadline);
  Result result = call();
  if (!watchdog.Finish()) return result;
  t_connection.ResetAfterClosing(connection);
  return failed;
}

// The agent that the connection names: the title of the thread's active window, at most 30
// characters (empty without one).
std::string AgentName() {
  char title[32] = "";
  if (HWND window = GetActiveWindow()) GetWindowTextA(window, title, 31);
  return title;
}

void SetTimeouts(HINTERNET handle) {
  const Deadlines& deadlines = CurrentDeadlines();
  const struct {
    DWORD option;
    milliseconds time;
  } timeouts[] = {
      {INTERNET_OPTION_CONNECT_TIMEOUT, deadlines.connect},
      {INTERNET_OPTION_RECEIVE_TIMEOUT, deadlines.reply},
      {INTERNET_OPTION_SEND_TIMEOUT, deadlines.reply},
      {INTERNET_OPTION_DATA_RECEIVE_TIMEOUT, deadlines.low_speed_window},
      {INTERNET_OPTION_DATA_SEND_TIMEOUT, deadlines.low_speed_window},
  };
  for (const auto& t : timeouts) {
    auto time = static_cast<DWORD>(t.time.count());
    InternetSetOptionA(handle, t.option, &time, sizeof time);
  }
}

// The server's last reply on this thread, as WinInet kept it.
std::string LastResponse() {
  std::string text(4096, '\0');
  for (;;) {
    DWORD error = 0;
    auto length = static_cast<DWORD>(text.size());
    if (InternetGetLastResponseInfoA(&error, text.data(), &length)) {
      text.resize(length);
      return text;
    }
    if (GetLastError() != ERROR_INSUFFICIENT_BUFFER) return {};
    text.resize(static_cast<std::size_t>(length) + 1);
  }
}

// True when the last transfer's closing reply says it completed.
bool TransferConfirmed() {
  const std::optional<Reply> reply = ParseReply(LastResponse());
  return reply && reply->code / 100 == 2;
}

// After a failed call: a failure other than a refusal by the server (which WinInet reports as
// ERROR_INTERNET_EXTENDED_ERROR) means the connection is gone; the thread's state is then closed.
void CloseIfLost() {
  if (GetLastError() != ERROR_INTERNET_EXTENDED_ERROR) t_connection.Reset();
}

DWORD TypeFlag(TransferType type) {
  return (type == TransferType::kAscii ? FTP_TRANSFER_TYPE_ASCII : FTP_TRANSFER_TYPE_BINARY) |
         INTERNET_FLAG_RELOAD;
}

// One find-data entry as a DOS-form LIST line ("01-01-70  12:00AM  <DIR>  name").
std::string DosListLine(const WIN32_FIND_DATAA& found) {
  std::string line = "01-01-70  12:00AM  ";
  if (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) {
    line += "<DIR>";
  } else {
    line += std::to_string((static_cast<unsigned long long>(found.nFileSizeHigh) << 32) |
                           found.nFileSizeLow);
  }
  return line.append("  ").append(found.cFileName).append("\r\n");
}

// The entries that match `pattern` (null: all) in the server's current folder.
std::optional<std::string> FoundEntriesHere(const char* pattern) {
  WIN32_FIND_DATAA found;
  HINTERNET search =
      FtpFindFirstFileA(t_connection.connection, pattern, &found, INTERNET_FLAG_RELOAD, 0);
  if (!search) {
    // An empty folder ends the search at once (ERROR_NO_MORE_FILES, or no error at all).
    const DWORD error = GetLastError();
    if (error == ERROR_NO_MORE_FILES || error == ERROR_SUCCESS) return std::string();
    CloseIfLost();
    return std::nullopt;
  }
  std::string data;
  bool too_long = false;
  do {
    const std::string_view name = found.cFileName;
    if (name != "." && name != "..") data += DosListLine(found);
    too_long = data.size() > kMaxListingBytes;
  } while (!too_long && InternetFindNextFileA(search, &found));
  InternetCloseHandle(search);
  if (too_long) return std::nullopt;
  return data;
}

// A folder is listed from inside it, and the server's current folder restored: some WinInet
// versions (Wine's) send a bare LIST and match the search argument against the names it
// returns, so searching "docs" would find the folder docs itself. A name that is no folder
// (a file name or a pattern) is searched for in the current folder.
std::optional<std::string> FoundEntries(std::string_view folder) {
  if (folder.empty()) return FoundEntriesHere(nullptr);
  const std::string name(folder);
  std::string current(1024, '\0');
  auto length = static_cast<DWORD>(current.size());
  if (!FtpGetCurrentDirectoryA(t_connection.connection, current.data(), &length)) {
    CloseIfLost();
    return std::nullopt;
  }
  current.resize(length);
  if (!FtpSetCurrentDirectoryA(t_connection.connection, name.c_str())) {
    CloseIfLost();
    return IsOpen() ? FoundEntriesHere(name.c_str()) : std::nullopt;
  }
  std::optional<std::string> found = FoundEntriesHere(nullptr);
  if (!FtpSetCurrentDirectoryA(t_connection.connection, current.c_str())) {
    Close();  // the connection cannot be trusted in a folder the caller did not choose
    return std::nullopt;
  }
  return found;
}

// The count of bytes that can be read from `data` without waiting for more (0 at its end); empty
// when the connection failed. Reading only those keeps a slow sender from holding a read that
// waits for a whole buffer (as Wine's does) past the low-speed rule.
std::optional<DWORD> Available(HINTERNET data) {
  for (;;) {
    DWORD available = 0;
    if (InternetQueryDataAvailable(data, &available, 0, 0)) return available;
    // Wine's answer once a byte arrived on a connection that had none: asking again counts it.
    if (GetLastError() != ERROR_IO_PENDING) return std::nullopt;
  }
}

// A data connection (an open remote file) under the low-speed rule: its watchdog closes it when
// a whole window passes without a chunk, and Moved fails a transfer that trickles.
class DataTransfer {
 public:
  explicit DataTransfer(HINTERNET data)
      : data_(data), window_(CurrentDeadlines().low_speed_window), watchdog_(data, window_) {}
  DataTransfer(const DataTransfer&) = delete;
  DataTransfer& operator=(const DataTransfer&) = delete;
  ~DataTransfer() { Close(); }

  HINTERNET handle() const { return data_; }
  bool Moved(std::size_t bytes) {
    total_ += bytes;
    watchdog_.Restart(window_);
    return speed_.Moved(total_);
  }
  // Closes the data connection (WinInet then reads the server's closing reply); true when the
  // watchdog had closed it already.
  bool Close() {
    if (!data_) return overran_;
    overran_ = watchdog_.Finish();
    if (!overran_) InternetCloseHandle(data_);
    data_ = nullptr;
    return overran_;
  }

 private:
  HINTERNET data_;
  milliseconds window_;
  Watchdog watchdog_;
  LowSpeedWatch speed_;
  std::uint64_t total_ = 0;
  bool overran_ = false;
};

// Reads a data connection to its end into `sink`; false when reading fails, is too slow, or the
// sink refuses (`refused`).
bool ReadAll(DataTransfer& data, const ByteSink& sink, bool& refused) {
  std::string buffer(kChunkBytes, '\0');
  for (;;) {
    const std::optional<DWORD> available = Available(data.handle());
    DWORD got = 0;
    if (!available ||
        (*available > 0 &&
         !InternetReadFile(data.handle(), buffer.data(), std::min(*available, kChunkBytes), &got)))
      return false;
    if (got == 0) return true;
    if (!sink(std::string_view(buffer.data(), got))) {
      refused = true;
      return false;
    }
    if (!data.Moved(got)) return false;
  }
}

std::optional<std::string> CommandListing(const std::string& line) {
  HINTERNET data = nullptr;
  if (!FtpCommandA(t_connection.connection, TRUE, FTP_TRANSFER_TYPE_ASCII, line.c_str(), 0,
                   &data) ||
      !data)
    return std::nullopt;
  DataTransfer transfer(data);
  std::string text;
  bool too_long = false;
  bool refused = false;
  const bool read = ReadAll(
      transfer,
      [&text, &too_long](std::string_view chunk) {
        too_long = too_long || text.size() + chunk.size() > kMaxListingBytes;
        if (!too_long) text.append(chunk);
        return true;  // past the limit the data is read and dropped, keeping the connection
      },
      refused);
  if (transfer.Close() || !read) Close();  // a listing cut short ends the connection
  if (!read || too_long || !TransferConfirmed()) return std::nullopt;
  return text;
}

}  // namespace

bool Open(const Login& login) {
  Close();
  if (login.host.empty() || HasLineBreakOrNul(login.host) || HasLineBreakOrNul(login.user) ||
      HasLineBreakOrNul(login.password))
    return false;
  std::string host = login.host;
  if (host.size() > 2 && host.front() == '[' && host.back() == ']')
    host = host.substr(1, host.size() - 2);
  t_connection.internet =
      InternetOpenA(AgentName().c_str(), INTERNET_OPEN_TYPE_PRECONFIG, nullptr, nullptr, 0);
  if (!t_connection.internet) return false;
  SetTimeouts(t_connection.internet);
  Watchdog watchdog(t_connection.internet, CurrentDeadlines().connect);
  t_connection.connection = InternetConnectA(
      t_connection.internet, host.c_str(), login.port, login.user.c_str(), login.password.c_str(),
      INTERNET_SERVICE_FTP, login.passive ? INTERNET_FLAG_PASSIVE : 0, 0);
  if (watchdog.Finish()) {
    t_connection.ResetAfterClosing(t_connection.internet);
    return false;
  }
  if (!t_connection.connection) {
    Close();
    return false;
  }
  std::optional<Reply> features = Command("FEAT");
  if (features && features->code / 100 == 2) t_connection.features = std::move(features->text);
  return IsOpen();
}

void Close() {
  t_connection.Reset();  // closing the connect handle sends QUIT
}

bool IsOpen() {
  return t_connection.connection != nullptr;
}

bool ServerOffers(std::string_view feature) {
  return FeaturesOffer(t_connection.features, feature);
}

std::optional<Reply> Command(std::string_view line) {
  if (!IsOpen() || HasLineBreakOrNul(line)) return std::nullopt;
  const std::string text(line);
  std::optional<bool> accepted = Watched(CurrentDeadlines().reply, std::optional<bool>(), [&text] {
    return std::optional<bool>(FtpCommandA(t_connection.connection, FALSE, FTP_TRANSFER_TYPE_ASCII,
                                           text.c_str(), 0, nullptr));
  });
  if (!accepted) return std::nullopt;
  if (!*accepted) CloseIfLost();
  std::optional<Reply> reply = IsOpen() ? ParseReply(LastResponse()) : std::nullopt;
  // A refusal carries a 4xx or 5xx reply; a failed command whose last reply reads otherwise got
  // no reply at all (the connection is gone, and the reply is an earlier command's).
  if (!*accepted && reply && reply->code < 400) {
    Close();
    return std::nullopt;
  }
  return reply;
}

bool Download(std::string_view remote_name, TransferType type, const ByteSink& sink) {
  if (!IsOpen() || !IsFileName(remote_name)) return false;
  const std::string name(remote_name);
  HINTERNET file =
      FtpOpenFileA(t_connection.connection, name.c_str(), GENERIC_READ, TypeFlag(type), 0);
  if (!file) {
    CloseIfLost();
    return false;
  }
  DataTransfer transfer(file);
  bool refused = false;
  const bool read = ReadAll(transfer, sink, refused);
  // As on every platform: a transfer cut short ends the connection.
  if (transfer.Close() || !read) Close();
  return read && TransferConfirmed();
}

bool Upload(std::string_view remote_name, TransferType type, std::int64_t size,
            const ByteSource& source) {
  if (!IsOpen() || !IsFileName(remote_name) || size < 0) return false;
  const std::string name(remote_name);
  HINTERNET file =
      FtpOpenFileA(t_connection.connection, name.c_str(), GENERIC_WRITE, TypeFlag(type), 0);
  if (!file) {
    CloseIfLost();
    return false;
  }
  DataTransfer transfer(file);
  std::string buffer(kChunkBytes, '\0');
  std::int64_t sent = 0;
  bool failed = false;
  while (!failed) {
    const std::optional<std::size_t> count = source(buffer.data(), buffer.size());
    if (!count) failed = true;
    if (failed || *count == 0) break;
    DWORD written = 0;
    failed = !InternetWriteFile(file, buffer.data(), static_cast<DWORD>(*count), &written) ||
             written != *count || !transfer.Moved(written);
    sent += static_cast<std::int64_t>(*count);
  }
  if (transfer.Close() || failed) Close();
  return !failed && sent == size && TransferConfirmed();
}

std::optional<std::string> Listing(std::string_view verb, std::string_view folder) {
  if (!IsOpen() || HasLineBreakOrNul(verb) || HasLineBreakOrNul(folder)) return std::nullopt;
  if (verb == "LIST") {
    return Watched(CurrentDeadlines().reply, std::optional<std::string>(),
                   [folder] { return FoundEntries(folder); });
  }
  std::string line(verb);
  if (!folder.empty()) line.append(" ").append(folder);
  return Watched(CurrentDeadlines().reply, std::optional<std::string>(),
                 [&line] { return CommandListing(line); });
}

}  // namespace voziroz::ftpx
