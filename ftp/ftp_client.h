// The members of the FTP automation object (IFTP), one function each, with plain types: 8-bit
// text in and out, true for success. The automation object converts its arguments and results
// and calls these; they hold no state of their own.
//
// Every member acts on the one connection of the calling thread (ftp/ftpx.h), whoever calls it:
// a Connect by one caller is seen by every other caller on that thread, Disconnect by any of
// them closes it for all, and a second thread has a connection of its own. Names of remote
// files and folders are relative to the server's current folder unless they start with '/'.
//
// Errors: failures are results (false, "-?-", an empty list). The one error thrown is
// std::out_of_range with the message "Range check error" from Connect (besides std::bad_alloc).
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace voziroz::ftp {

inline constexpr char kRangeCheckError[] = "Range check error";
inline constexpr char kUnknownFolder[] = "-?-";
// The longest current folder reported, in characters; a longer one is reported as unknown.
inline constexpr std::size_t kMaxFolderLength = 498;

// Closes the thread's connection if there is one, then connects to `host` on `port` (0 means
// 21) and logs in with `user` and `password` as given, for passive or active transfers. True
// when logged in: a refused login or an unreachable host gives false. A port outside 0..65535
// throws before anything else happens (an open connection stays open).
bool Connect(std::string_view host, std::string_view user, std::string_view password,
             std::int32_t port, bool passive);
// Closes the thread's connection; true, connected or not.
bool Disconnect();
bool IsConnected();

// MKD, RMD (the folder must be empty) and CWD: true when the server agreed.
bool CreateFolder(std::string_view name);
bool RemoveFolder(std::string_view name);
bool ChangeFolder(std::string_view name);
// The server's current folder as PWD reports it; "-?-" when not connected, when PWD fails, or
// when the folder is longer than kMaxFolderLength.
std::string CurrentFolder();

// The content of `folder` ("" for the current folder; a file name or a pattern where the
// server accepts one): "/" + name for a folder, name + TAB + size for a file, sorted ignoring
// case. "." and ".." appear only when the server lists them. Empty when there is nothing, on
// failure, and when not connected.
std::vector<std::string> ListFiles(std::string_view folder);
// True when `name` is a file on the server: false for a folder and for a missing name.
bool FileExists(std::string_view name);
bool DeleteFile(std::string_view name);
// Renames, or moves when `new_name` lies in another folder.
bool RenameFile(std::string_view old_name, std::string_view new_name);

// Transfers are binary (bytes unchanged) or ASCII (TYPE A: the server converts between its own
// line ends and CR LF; this side changes no byte). Local names are UTF-8 (ftp/local_file.h).
// Sends the local file `local_name` as `remote_name`, replacing a remote file of that name.
bool PutFile(std::string_view local_name, std::string_view remote_name, bool binary);
// Fetches `remote_name` into the local file `local_name`, replacing it; on failure an existing
// local file is left as it was.
bool GetFile(std::string_view remote_name, std::string_view local_name, bool binary);
// Stores `text` as the remote file `remote_name` in ASCII mode; true when the server confirmed
// and every byte was sent. An empty text makes an empty file.
bool PutText(std::string_view text, std::string_view remote_name);

}  // namespace voziroz::ftp
