// The FTP connection of the calling thread: the only code that talks to libcurl.
//
// Each thread holds at most one connection (thread-local state), shared by every caller on that
// thread: it lives from Open until Close, the next Open, the loss of the connection, or the end
// of the thread. Texts are 8-bit bytes sent to the server as they stand; a text holding CR, LF
// or NUL is refused before anything is sent, so no argument can smuggle in a second command.
//
// The server's current folder is the connection's own state: nothing here changes folder on its
// own, and names are sent as given, so relative names act in the server's current folder.
// Should the control connection be lost, or a call overrun one of the limits of ftp/ftp_limits.h,
// the state becomes closed (IsOpen false) and the request fails; nothing is ever replayed on a
// new connection, where the folder would differ.
//
// Nothing here throws except std::bad_alloc: failures come back as false or an empty optional.
#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <string_view>

#include "ftp/ftp_limits.h"

namespace voziroz::ftpx {

struct Login {
  std::string host;  // a name or an address; an IPv6 address may come with or without brackets
  std::uint16_t port = 21;
  std::string user;
  std::string password;
  bool passive = true;  // passive (EPSV/PASV) or active (EPRT/PORT) data connections
};

// Closes the thread's connection if there is one, then connects and logs in. True when logged
// in; otherwise the thread is left without a connection.
bool Open(const Login& login);
// Closes the thread's connection (sending QUIT); does nothing when there is none.
void Close();
bool IsOpen();

// True when the server's FEAT reply, read during Open, names `feature` (e.g. "MLST").
bool ServerOffers(std::string_view feature);

struct Reply {
  int code = 0;
  std::string text;  // every line of the reply, each ended by '\n'
};
// Sends one command line on the control connection and returns the server's reply, whatever
// its code. Empty when not open, when `line` holds CR, LF or NUL, or when the exchange failed.
std::optional<Reply> Command(std::string_view line);

enum class TransferType { kBinary, kAscii };

// Receives downloaded bytes in order; returns false to abort the transfer.
using ByteSink = std::function<bool(std::string_view chunk)>;
// Fills `buffer` with up to `capacity` bytes and returns the count (0 at the end), or an empty
// optional when reading fails (the transfer is then aborted).
using ByteSource = std::function<std::optional<std::size_t>(char* buffer, std::size_t capacity)>;

// RETR of `remote_name` in the given type (TYPE A lets the server convert its line ends to
// CR LF; the bytes received are handed on unchanged). True when the server confirmed the
// transfer and the sink took every byte. The name must be non-empty and not end with '/'.
// A sink that refuses a chunk ends the connection too: libcurl cannot stop a transfer short
// and keep its control connection.
bool Download(std::string_view remote_name, TransferType type, const ByteSink& sink);
// STOR of exactly `size` bytes from `source` as `remote_name`, unchanged on this side. True when
// the server confirmed the transfer. The name must be non-empty and not end with '/'.
// A source that fails ends the connection too, as for Download.
bool Upload(std::string_view remote_name, TransferType type, std::int64_t size,
            const ByteSource& source);
// Runs a listing command ("MLSD", "LIST") on `folder` ("" for the current folder) and returns
// the data it sent. Empty when the command failed or sent more than kMaxListingBytes (the rest
// is read and dropped, so the connection stays).
std::optional<std::string> Listing(std::string_view verb, std::string_view folder);

}  // namespace voziroz::ftpx
