// The FTP connection of the calling thread over WinInet, the internet client library of Windows
// (ftpx.cpp serves the same routines over libcurl elsewhere).
//
// WinInet keeps the control connection in the connect handle and the last reply per thread
// (InternetGetLastResponseInfo), which suits one connection per thread. A listing comes from
// FtpFindFirstFile, written out as DOS-form LIST lines for the shared listing reader; MLSD needs
// a data connection through FtpCommand, which some WinInet versions (Wine's) do not offer, and
// then fails so that callers fall back to LIST.
#include <windows.h>
#include <wininet.h>

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
};

thread_local ThreadConnection t_connection;

// The agent that the connection names: the title of the thread's active window, at most 30
// characters (empty without one).
std::string AgentName() {
  char title[32] = "";
  if (HWND window = GetActiveWindow()) GetWindowTextA(window, title, 31);
  return title;
}

void SetTimeouts(HINTERNET handle) {
  const struct {
    DWORD option;
    long seconds;
  } timeouts[] = {
      {INTERNET_OPTION_CONNECT_TIMEOUT, kConnectTimeoutSeconds},
      {INTERNET_OPTION_RECEIVE_TIMEOUT, kResponseTimeoutSeconds},
      {INTERNET_OPTION_SEND_TIMEOUT, kResponseTimeoutSeconds},
      {INTERNET_OPTION_DATA_RECEIVE_TIMEOUT, kStallSeconds},
      {INTERNET_OPTION_DATA_SEND_TIMEOUT, kStallSeconds},
  };
  for (const auto& t : timeouts) {
    DWORD milliseconds = static_cast<DWORD>(t.seconds * 1000);
    InternetSetOptionA(handle, t.option, &milliseconds, sizeof milliseconds);
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

// Reads a data connection to its end into `sink`; false when reading fails or the sink refuses.
bool ReadAll(HINTERNET data, const ByteSink& sink, bool& refused) {
  std::string buffer(kChunkBytes, '\0');
  for (;;) {
    DWORD got = 0;
    if (!InternetReadFile(data, buffer.data(), kChunkBytes, &got)) return false;
    if (got == 0) return true;
    if (!sink(std::string_view(buffer.data(), got))) {
      refused = true;
      return false;
    }
  }
}

std::optional<std::string> CommandListing(const std::string& line) {
  HINTERNET data = nullptr;
  if (!FtpCommandA(t_connection.connection, TRUE, FTP_TRANSFER_TYPE_ASCII, line.c_str(), 0,
                   &data) ||
      !data)
    return std::nullopt;
  std::string text;
  bool too_long = false;
  bool refused = false;
  const bool read = ReadAll(
      data,
      [&text, &too_long](std::string_view chunk) {
        too_long = too_long || text.size() + chunk.size() > kMaxListingBytes;
        if (!too_long) text.append(chunk);
        return true;  // past the limit the data is read and dropped, keeping the connection
      },
      refused);
  InternetCloseHandle(data);
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
  t_connection.connection = InternetConnectA(
      t_connection.internet, host.c_str(), login.port, login.user.c_str(), login.password.c_str(),
      INTERNET_SERVICE_FTP, login.passive ? INTERNET_FLAG_PASSIVE : 0, 0);
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
  const bool accepted = FtpCommandA(t_connection.connection, FALSE, FTP_TRANSFER_TYPE_ASCII,
                                    text.c_str(), 0, nullptr);
  if (!accepted) CloseIfLost();
  std::optional<Reply> reply = IsOpen() ? ParseReply(LastResponse()) : std::nullopt;
  // A refusal carries a 4xx or 5xx reply; a failed command whose last reply reads otherwise got
  // no reply at all (the connection is gone, and the reply is an earlier command's).
  if (!accepted && reply && reply->code < 400) {
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
  bool refused = false;
  const bool read = ReadAll(file, sink, refused);
  InternetCloseHandle(file);
  if (refused) Close();  // as on every platform: a transfer cut short ends the connection
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
  std::string buffer(kChunkBytes, '\0');
  std::int64_t sent = 0;
  bool failed = false;
  while (!failed) {
    const std::optional<std::size_t> count = source(buffer.data(), buffer.size());
    if (!count) failed = true;
    if (failed || *count == 0) break;
    DWORD written = 0;
    failed = !InternetWriteFile(file, buffer.data(), static_cast<DWORD>(*count), &written) ||
             written != *count;
    sent += static_cast<std::int64_t>(*count);
  }
  InternetCloseHandle(file);
  if (failed) Close();
  return !failed && sent == size && TransferConfirmed();
}

std::optional<std::string> Listing(std::string_view verb, std::string_view folder) {
  if (!IsOpen() || HasLineBreakOrNul(verb) || HasLineBreakOrNul(folder)) return std::nullopt;
  if (verb == "LIST") return FoundEntries(folder);
  std::string line(verb);
  if (!folder.empty()) line.append(" ").append(folder);
  return CommandListing(line);
}

}  // namespace voziroz::ftpx
