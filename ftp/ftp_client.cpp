#include "ftp/ftp_client.h"

#include <algorithm>
#include <cstring>
#include <optional>
#include <stdexcept>

#include "engine/code_page_text.h"
#include "ftp/ftp_listing.h"
#include "ftp/ftpx.h"
#include "ftp/local_file.h"

namespace voziroz::ftp {
namespace {

constexpr int kPathCreated = 257;                // the reply to PWD and MKD
constexpr int kPendingFurtherInformation = 350;  // the reply to RNFR

std::string Joined(std::string_view verb, std::string_view argument) {
  std::string line(verb);
  line.append(" ").append(argument);
  return line;
}

std::optional<int> ReplyCode(std::string_view verb, std::string_view argument) {
  std::optional<ftpx::Reply> reply = ftpx::Command(Joined(verb, argument));
  if (!reply) return std::nullopt;
  return reply->code;
}

bool Succeeds(std::string_view verb, std::string_view argument) {
  std::optional<int> code = ReplyCode(verb, argument);
  return code && *code / 100 == 2;
}

ftpx::TransferType TypeOf(bool binary) {
  return binary ? ftpx::TransferType::kBinary : ftpx::TransferType::kAscii;
}

// The folder quoted in a 257 reply's last line; a doubled quote stands for one quote.
std::optional<std::string> QuotedFolder(std::string_view reply_text) {
  std::string_view last_line = reply_text.substr(0, reply_text.size() - 1);
  last_line = last_line.substr(last_line.rfind('\n') + 1);
  std::size_t at = last_line.find('"');
  if (at == std::string_view::npos) return std::nullopt;
  std::string folder;
  for (++at; at < last_line.size(); ++at) {
    if (last_line[at] != '"') {
      folder.push_back(last_line[at]);
    } else if (at + 1 < last_line.size() && last_line[at + 1] == '"') {
      folder.push_back('"');
      ++at;
    } else {
      return folder;
    }
  }
  return std::nullopt;
}

// MLSD where the server offers it (it does not take a file name or a pattern: LIST does).
std::vector<ListEntry> ListEntries(std::string_view folder) {
  if (ftpx::ServerOffers("MLST")) {
    if (std::optional<std::string> data = ftpx::Listing("MLSD", folder)) return ParseMlsd(*data);
  }
  if (std::optional<std::string> data = ftpx::Listing("LIST", folder)) return ParseList(*data);
  return {};
}

// The fact lines of an MLST reply are the ones that start with a space.
bool MlstNamesFile(std::string_view reply_text) {
  std::string facts;
  std::size_t at = 0;
  while ((at = reply_text.find("\n ", at)) != std::string_view::npos) {
    std::size_t end = reply_text.find('\n', at + 1);
    facts.append(reply_text.substr(at + 2, end - at - 1));
    at = end;
  }
  std::vector<ListEntry> entries = ParseMlsd(facts);
  return entries.size() == 1 && !entries[0].is_folder;
}

}  // namespace

bool Connect(std::string_view host, std::string_view user, std::string_view password,
             std::int32_t port, bool passive) {
  if (port < 0 || port > 65535) throw std::out_of_range(kRangeCheckError);
  ftpx::Login login{std::string(host), static_cast<std::uint16_t>(port == 0 ? 21 : port),
                    std::string(user), std::string(password), passive};
  return ftpx::Open(login);
}

bool Disconnect() {
  ftpx::Close();
  return true;
}

bool IsConnected() {
  return ftpx::IsOpen();
}

bool CreateFolder(std::string_view name) {
  return Succeeds("MKD", name);
}
bool RemoveFolder(std::string_view name) {
  return Succeeds("RMD", name);
}
bool ChangeFolder(std::string_view name) {
  return Succeeds("CWD", name);
}

std::string CurrentFolder() {
  std::optional<ftpx::Reply> reply = ftpx::Command("PWD");
  if (!reply || reply->code != kPathCreated) return kUnknownFolder;
  std::optional<std::string> folder = QuotedFolder(reply->text);
  if (!folder || CharacterCount(*folder, TheCodePage()) > kMaxFolderLength) return kUnknownFolder;
  return *folder;
}

std::vector<std::string> ListFiles(std::string_view folder) {
  std::vector<std::string> lines;
  for (const ListEntry& entry : ListEntries(folder)) lines.push_back(ListLine(entry));
  SortIgnoringCase(lines);
  return lines;
}

bool FileExists(std::string_view name) {
  if (ftpx::ServerOffers("MLST")) {
    std::optional<ftpx::Reply> reply = ftpx::Command(Joined("MLST", name));
    return reply && reply->code / 100 == 2 && MlstNamesFile(reply->text);
  }
  // Without MLST, look the name up in its folder's listing: LIST of the name itself would list
  // a folder's content, where a file of the same name could stand.
  std::size_t slash = name.rfind('/');
  std::string_view folder = slash == std::string_view::npos ? std::string_view()
                            : slash == 0                    ? std::string_view("/")
                                                            : name.substr(0, slash);
  std::string_view last_part = name.substr(slash + 1);
  std::vector<ListEntry> entries = ListEntries(folder);
  return std::any_of(entries.begin(), entries.end(), [last_part](const ListEntry& entry) {
    return !entry.is_folder && entry.name == last_part;
  });
}

bool DeleteFile(std::string_view name) {
  return Succeeds("DELE", name);
}

bool RenameFile(std::string_view old_name, std::string_view new_name) {
  return ReplyCode("RNFR", old_name) == kPendingFurtherInformation && Succeeds("RNTO", new_name);
}

bool PutFile(std::string_view local_name, std::string_view remote_name, bool binary) {
  if (!ftpx::IsOpen()) return false;
  FileSource source{std::string(local_name)};
  if (!source.IsOpen()) return false;
  return ftpx::Upload(
      remote_name, TypeOf(binary), source.size(),
      [&source](char* buffer, std::size_t capacity) { return source.Read(buffer, capacity); });
}

bool GetFile(std::string_view remote_name, std::string_view local_name, bool binary) {
  if (!ftpx::IsOpen()) return false;
  ReplacingFile target{std::string(local_name)};
  if (!target.IsOpen()) return false;
  bool fetched = ftpx::Download(remote_name, TypeOf(binary),
                                [&target](std::string_view chunk) { return target.Write(chunk); });
  return fetched && target.Commit();
}

bool PutText(std::string_view text, std::string_view remote_name) {
  std::size_t sent = 0;
  bool stored =
      ftpx::Upload(remote_name, ftpx::TransferType::kAscii, static_cast<std::int64_t>(text.size()),
                   [text, &sent](char* buffer, std::size_t capacity) {
                     std::size_t count = std::min(capacity, text.size() - sent);
                     std::memcpy(buffer, text.data() + sent, count);
                     sent += count;
                     return std::optional<std::size_t>(count);
                   });
  return stored && sent == text.size();
}

}  // namespace voziroz::ftp
