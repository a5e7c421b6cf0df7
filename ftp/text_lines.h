// Line-by-line reading of server text (replies, listings), whichever line end it uses.
#pragma once

#include <cstddef>
#include <string_view>

namespace voziroz::ftp {

// Calls `visit` with each line of `text`, its line end (LF or CR LF) removed; a last line
// without a line end counts too.
template <typename Visit>
void ForEachLine(std::string_view text, Visit visit) {
  while (!text.empty()) {
    std::size_t end = text.find('\n');
    std::string_view line = text.substr(0, end);
    text = end == std::string_view::npos ? std::string_view() : text.substr(end + 1);
    if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
    visit(line);
  }
}

}  // namespace voziroz::ftp
