#include "ftp/ftpx.h"

#include <curl/curl.h>

#include <memory>
#include <mutex>

#include "ftp/ftp_reply.h"

namespace voziroz::ftpx {
namespace {

constexpr std::size_t kMaxReplyBytes = std::size_t{1} << 20;
// libcurl 7.88 sometimes leaves a passive data connection unwatched until its default one-second
// wait ends; waking this often keeps such a transfer from stalling for that second.
constexpr int kPollIntervalMs = 10;

struct UrlFree {
  void operator()(CURLU* url) const { curl_url_cleanup(url); }
};
struct ListFree {
  void operator()(curl_slist* list) const { curl_slist_free_all(list); }
};
using UrlHandle = std::unique_ptr<CURLU, UrlFree>;
using CommandList = std::unique_ptr<curl_slist, ListFree>;

std::string BracketedIfIpv6(const std::string& host) {
  bool bare_ipv6 = host.find(':') != std::string::npos && host.front() != '[';
  return bare_ipv6 ? "[" + host + "]" : host;
}

long Milliseconds(milliseconds time) {
  return static_cast<long>(time.count());
}

// libcurl 7.88 takes the reply deadline in whole seconds only.
long WholeSeconds(milliseconds time) {
  return static_cast<long>(std::chrono::ceil<seconds>(time).count());
}

CommandList OneCommand(const std::string& line) {
  return CommandList(curl_slist_append(nullptr, line.c_str()));
}

size_t WriteToSink(char* data, size_t size, size_t count, void* sink) {
  std::size_t bytes = size * count;
  return (*static_cast<const ByteSink*>(sink))(std::string_view(data, bytes)) ? bytes : 0;
}

size_t ReadFromSource(char* buffer, size_t size, size_t count, void* source) {
  std::optional<std::size_t> read = (*static_cast<const ByteSource*>(source))(buffer, size * count);
  return read ? *read : CURL_READFUNC_ABORT;
}

// One thread's connection: an easy handle whose connection cache holds the control connection.
// Every request resets the handle and sets the same login, so libcurl reuses that connection;
// FTPFILE_NOCWD with relative paths keeps libcurl from sending CWD of its own.
class ThreadConnection {
 public:
  ThreadConnection() = default;
  ThreadConnection(const ThreadConnection&) = delete;
  ThreadConnection& operator=(const ThreadConnection&) = delete;
  ~ThreadConnection() { Close(); }

  bool Open(const Login& login);
  void Close();
  bool IsOpen() const { return easy_ != nullptr; }
  bool Offers(std::string_view feature) const;
  std::optional<Reply> Command(std::string_view line);
  bool Download(std::string_view remote_name, TransferType type, const ByteSink& sink);
  bool Upload(std::string_view remote_name, TransferType type, std::int64_t size,
              const ByteSource& source);
  std::optional<std::string> Listing(std::string_view verb, std::string_view folder);

 private:
  bool Begin(std::string_view path);
  void LimitTime(milliseconds time);
  void WatchSpeed();
  void SetTransferType(TransferType type);
  CURLcode RunToEnd();
  bool Perform();
  static size_t CollectReply(char* data, size_t size, size_t count, void* self);
  static int RefuseNewConnection(void* self, char*, char*, int, int);
  static int CheckSpeed(void* self, curl_off_t, curl_off_t downloaded, curl_off_t,
                        curl_off_t uploaded);

  CURLM* multi_ = nullptr;  // its connection cache keeps the connection between requests
  CURL* easy_ = nullptr;
  Login login_;
  bool logged_in_ = false;  // from then on, a new connection means the old one was lost
  bool lost_ = false;
  std::string replies_;
  std::string features_;
  UrlHandle url_;
  CommandList quote_;
  CommandList prequote_;
  LowSpeedWatch speed_;
};

thread_local ThreadConnection t_connection;

bool ThreadConnection::Open(const Login& login) {
  Close();
  if (login.host.empty() || HasLineBreakOrNul(login.host) || HasLineBreakOrNul(login.user) ||
      HasLineBreakOrNul(login.password)) {
    return false;
  }
  static std::once_flag curl_ready;
  std::call_once(curl_ready, [] { curl_global_init(CURL_GLOBAL_DEFAULT); });
  multi_ = curl_multi_init();
  easy_ = curl_easy_init();
  login_ = login;
  if (!multi_ || !easy_ || !Begin("")) {
    Close();
    return false;
  }
  curl_easy_setopt(easy_, CURLOPT_NOBODY, 1L);
  LimitTime(CurrentDeadlines().connect);
  if (!Perform()) {
    Close();
    return false;
  }
  logged_in_ = true;
  std::optional<Reply> features = Command("FEAT");
  if (features && features->code / 100 == 2) features_ = std::move(features->text);
  return IsOpen();
}

void ThreadConnection::Close() {
  if (multi_) curl_multi_cleanup(multi_);  // sends QUIT on the cached connection
  if (easy_) curl_easy_cleanup(easy_);
  multi_ = nullptr;
  easy_ = nullptr;
  logged_in_ = false;
  features_.clear();
  url_.reset();
  quote_.reset();
  prequote_.reset();
}

bool ThreadConnection::Offers(std::string_view feature) const {
  return FeaturesOffer(features_, feature);
}

// Readies the handle for one request on `path` (relative to the server's current folder; a
// leading '/' makes it absolute): everything but what the request itself adds.
bool ThreadConnection::Begin(std::string_view path) {
  curl_easy_reset(easy_);
  replies_.clear();
  quote_.reset();
  prequote_.reset();
  url_.reset(curl_url());
  std::string url_path = "/" + std::string(path);
  if (!url_ || curl_url_set(url_.get(), CURLUPART_SCHEME, "ftp", 0) != CURLUE_OK ||
      curl_url_set(url_.get(), CURLUPART_HOST, BracketedIfIpv6(login_.host).c_str(), 0) !=
          CURLUE_OK ||
      curl_url_set(url_.get(), CURLUPART_PORT, std::to_string(login_.port).c_str(), 0) !=
          CURLUE_OK ||
      curl_url_set(url_.get(), CURLUPART_PATH, url_path.c_str(), CURLU_URLENCODE) != CURLUE_OK) {
    return false;
  }
  curl_easy_setopt(easy_, CURLOPT_CURLU, url_.get());
  curl_easy_setopt(easy_, CURLOPT_PROTOCOLS_STR, "ftp");
  curl_easy_setopt(easy_, CURLOPT_PATH_AS_IS, 1L);
  curl_easy_setopt(easy_, CURLOPT_USERNAME, login_.user.c_str());
  curl_easy_setopt(easy_, CURLOPT_PASSWORD, login_.password.c_str());
  curl_easy_setopt(easy_, CURLOPT_FTP_FILEMETHOD, static_cast<long>(CURLFTPMETHOD_NOCWD));
  if (!login_.passive) curl_easy_setopt(easy_, CURLOPT_FTPPORT, "-");
  curl_easy_setopt(easy_, CURLOPT_NOSIGNAL, 1L);
  const Deadlines& deadlines = CurrentDeadlines();
  curl_easy_setopt(easy_, CURLOPT_CONNECTTIMEOUT_MS, Milliseconds(deadlines.connect));
  curl_easy_setopt(easy_, CURLOPT_SERVER_RESPONSE_TIMEOUT, WholeSeconds(deadlines.reply));
  curl_easy_setopt(easy_, CURLOPT_ACCEPTTIMEOUT_MS, Milliseconds(deadlines.accept));
  curl_easy_setopt(easy_, CURLOPT_HEADERFUNCTION, &CollectReply);
  curl_easy_setopt(easy_, CURLOPT_HEADERDATA, this);
  curl_easy_setopt(easy_, CURLOPT_PREREQFUNCTION, &RefuseNewConnection);
  curl_easy_setopt(easy_, CURLOPT_PREREQDATA, this);
  return true;
}

// The whole request, replies and data, must end within `time`.
void ThreadConnection::LimitTime(milliseconds time) {
  curl_easy_setopt(easy_, CURLOPT_TIMEOUT_MS, Milliseconds(time));
}

// Applies the low-speed rule to the request's transfer.
void ThreadConnection::WatchSpeed() {
  speed_ = LowSpeedWatch();
  curl_easy_setopt(easy_, CURLOPT_NOPROGRESS, 0L);
  curl_easy_setopt(easy_, CURLOPT_XFERINFOFUNCTION, &CheckSpeed);
  curl_easy_setopt(easy_, CURLOPT_XFERINFODATA, this);
}

int ThreadConnection::CheckSpeed(void* self, curl_off_t, curl_off_t downloaded, curl_off_t,
                                 curl_off_t uploaded) {
  auto bytes = static_cast<std::uint64_t>(downloaded + uploaded);
  return static_cast<ThreadConnection*>(self)->speed_.Moved(bytes) ? 0 : 1;
}

// libcurl's own TYPE follows its binary setting; the TYPE sent right before the transfer is
// the one asked for, and libcurl converts no line ends because it believes it is binary.
void ThreadConnection::SetTransferType(TransferType type) {
  bool ascii = type == TransferType::kAscii;
  prequote_ = OneCommand(ascii ? "TYPE A" : "TYPE I");
  curl_easy_setopt(easy_, CURLOPT_PREQUOTE, prequote_.get());
  // The size the server reports is that of its own file, not of the converted stream.
  if (ascii) curl_easy_setopt(easy_, CURLOPT_IGNORE_CONTENT_LENGTH, 1L);
}

// curl_easy_perform on the handle added to multi_, with a bounded wait between steps.
CURLcode ThreadConnection::RunToEnd() {
  int running = 1;
  CURLMcode state = CURLM_OK;
  while (running && state == CURLM_OK) {
    state = curl_multi_perform(multi_, &running);
    if (running && state == CURLM_OK) {
      state = curl_multi_poll(multi_, nullptr, 0, kPollIntervalMs, nullptr);
    }
  }
  CURLcode result = CURLE_FAILED_INIT;
  int queued = 0;
  while (CURLMsg* message = curl_multi_info_read(multi_, &queued)) {
    if (message->msg == CURLMSG_DONE) result = message->data.result;
  }
  return result;
}

// Runs the prepared request; when the control connection did not survive it, the thread's
// state is closed.
bool ThreadConnection::Perform() {
  lost_ = false;
  if (curl_multi_add_handle(multi_, easy_) != CURLM_OK) return false;
  CURLcode result = RunToEnd();
  curl_socket_t control = CURL_SOCKET_BAD;
  curl_easy_getinfo(easy_, CURLINFO_ACTIVESOCKET, &control);  // known only inside multi_
  curl_multi_remove_handle(multi_, easy_);
  if (lost_ || control == CURL_SOCKET_BAD) {
    Close();
    return false;
  }
  return result == CURLE_OK;
}

size_t ThreadConnection::CollectReply(char* data, size_t size, size_t count, void* self) {
  std::string& replies = static_cast<ThreadConnection*>(self)->replies_;
  std::size_t bytes = size * count;
  if (replies.size() + bytes > kMaxReplyBytes) return 0;
  replies.append(data, bytes);
  return bytes;
}

int ThreadConnection::RefuseNewConnection(void* self, char*, char*, int, int) {
  auto* connection = static_cast<ThreadConnection*>(self);
  long new_connections = 0;
  curl_easy_getinfo(connection->easy_, CURLINFO_NUM_CONNECTS, &new_connections);
  if (!connection->logged_in_ || new_connections == 0) return CURL_PREREQFUNC_OK;
  connection->lost_ = true;
  return CURL_PREREQFUNC_ABORT;
}

std::optional<Reply> ThreadConnection::Command(std::string_view line) {
  if (!IsOpen() || HasLineBreakOrNul(line) || !Begin("")) return std::nullopt;
  // The '*' lets a refusal through as a reply instead of a libcurl error that would drop the
  // connection.
  quote_ = OneCommand("*" + std::string(line));
  curl_easy_setopt(easy_, CURLOPT_QUOTE, quote_.get());
  curl_easy_setopt(easy_, CURLOPT_NOBODY, 1L);
  LimitTime(CurrentDeadlines().reply);
  if (!Perform()) return std::nullopt;
  return ParseReply(replies_);
}

bool ThreadConnection::Download(std::string_view remote_name, TransferType type,
                                const ByteSink& sink) {
  if (!IsOpen() || !IsFileName(remote_name) || !Begin(remote_name)) return false;
  SetTransferType(type);
  WatchSpeed();
  curl_easy_setopt(easy_, CURLOPT_WRITEFUNCTION, &WriteToSink);
  curl_easy_setopt(easy_, CURLOPT_WRITEDATA, &sink);
  return Perform();
}

bool ThreadConnection::Upload(std::string_view remote_name, TransferType type, std::int64_t size,
                              const ByteSource& source) {
  if (!IsOpen() || !IsFileName(remote_name) || !Begin(remote_name)) return false;
  SetTransferType(type);
  WatchSpeed();
  curl_easy_setopt(easy_, CURLOPT_UPLOAD, 1L);
  curl_easy_setopt(easy_, CURLOPT_INFILESIZE_LARGE, static_cast<curl_off_t>(size));
  curl_easy_setopt(easy_, CURLOPT_READFUNCTION, &ReadFromSource);
  curl_easy_setopt(easy_, CURLOPT_READDATA, &source);
  return Perform();
}

std::optional<std::string> ThreadConnection::Listing(std::string_view verb,
                                                     std::string_view folder) {
  if (!IsOpen() || HasLineBreakOrNul(verb) || HasLineBreakOrNul(folder)) return std::nullopt;
  // A trailing '/' makes libcurl list; with NOCWD it sends the folder as the command's argument.
  if (!Begin(folder.empty() ? std::string() : std::string(folder) + "/")) return std::nullopt;
  // Past the limit the data is read and dropped: aborting would end the connection.
  std::string data;
  bool too_long = false;
  ByteSink sink = [&data, &too_long](std::string_view chunk) {
    too_long = too_long || data.size() + chunk.size() > kMaxListingBytes;
    if (!too_long) data.append(chunk);
    return true;
  };
  std::string command(verb);
  curl_easy_setopt(easy_, CURLOPT_CUSTOMREQUEST, command.c_str());
  curl_easy_setopt(easy_, CURLOPT_WRITEFUNCTION, &WriteToSink);
  curl_easy_setopt(easy_, CURLOPT_WRITEDATA, &sink);
  WatchSpeed();
  LimitTime(CurrentDeadlines().reply);
  if (!Perform() || too_long) return std::nullopt;
  return data;
}

}  // namespace

bool Open(const Login& login) {
  return t_connection.Open(login);
}
void Close() {
  t_connection.Close();
}
bool IsOpen() {
  return t_connection.IsOpen();
}
bool ServerOffers(std::string_view feature) {
  return t_connection.Offers(feature);
}
std::optional<Reply> Command(std::string_view line) {
  return t_connection.Command(line);
}

bool Download(std::string_view remote_name, TransferType type, const ByteSink& sink) {
  return t_connection.Download(remote_name, type, sink);
}

bool Upload(std::string_view remote_name, TransferType type, std::int64_t size,
            const ByteSource& source) {
  return t_connection.Upload(remote_name, type, size, source);
}

std::optional<std::string> Listing(std::string_view verb, std::string_view folder) {
  return t_connection.Listing(verb, folder);
}

}  // namespace voziroz::ftpx
