// Fuzzes the readers of folder listings on arbitrary server data (MLSD, and LIST in Unix and
// DOS form) and the sorting of the lines they give. Aborts when an entry breaks their promises.
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>
#include <vector>

#include "ftp/ftp_listing.h"

namespace {

void Require(bool condition) {
  if (!condition) std::abort();
}

void CheckEntries(const std::vector<voziroz::ftp::ListEntry>& entries) {
  std::vector<std::string> lines;
  for (const voziroz::ftp::ListEntry& entry : entries) {
    Require(!entry.name.empty() && entry.name.find('\n') == std::string::npos);
    Require(!entry.is_folder || entry.size == 0);
    lines.push_back(voziroz::ftp::ListLine(entry));
  }
  std::vector<std::string> sorted = lines;
  voziroz::ftp::SortIgnoringCase(sorted);
  Require(sorted.size() == lines.size());
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  std::string_view text(reinterpret_cast<const char*>(data), size);
  CheckEntries(voziroz::ftp::ParseMlsd(text));
  CheckEntries(voziroz::ftp::ParseList(text));
  return 0;
}
