#include "ftp/ftp_reply.h"

#include <algorithm>
#include <cctype>
#include <string>

#include "ftp/text_lines.h"

namespace voziroz::ftpx {
namespace {

bool IsFinalReplyLine(std::string_view line) {
  return line.size() >= 3 && std::isdigit(static_cast<unsigned char>(line[0])) &&
         std::isdigit(static_cast<unsigned char>(line[1])) &&
         std::isdigit(static_cast<unsigned char>(line[2])) && (line.size() == 3 || line[3] == ' ');
}

bool StartsWithWordIgnoringCase(std::string_view line, std::string_view word) {
  line.remove_prefix(std::min(line.find_first_not_of(' '), line.size()));
  if (line.size() < word.size() || (line.size() > word.size() && line[word.size()] != ' ')) {
    return false;
  }
  return std::equal(word.begin(), word.end(), line.begin(), [](char a, char b) {
    return std::toupper(static_cast<unsigned char>(a)) ==
           std::toupper(static_cast<unsigned char>(b));
  });
}

}  // namespace

bool HasLineBreakOrNul(std::string_view text) {
  return text.find_first_of(std::string_view("\r\n\0", 3)) != std::string_view::npos;
}

bool IsFileName(std::string_view name) {
  return !name.empty() && name.back() != '/' && !HasLineBreakOrNul(name);
}

std::optional<Reply> ParseReply(std::string_view received) {
  Reply reply;
  ftp::ForEachLine(received, [&reply](std::string_view line) {
    reply.text.append(line).push_back('\n');
    if (IsFinalReplyLine(line)) reply.code = std::stoi(std::string(line.substr(0, 3)));
  });
  if (reply.code == 0) return std::nullopt;
  return reply;
}

bool FeaturesOffer(std::string_view features, std::string_view feature) {
  bool offered = false;
  ftp::ForEachLine(features, [feature, &offered](std::string_view line) {
    offered = offered || StartsWithWordIgnoringCase(line, feature);
  });
  return offered;
}

}  // namespace voziroz::ftpx
