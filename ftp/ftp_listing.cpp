#include "ftp/ftp_listing.h"

#include <algorithm>
#include <array>
#include <charconv>
#include <optional>
#include <utility>

#include "engine/ansi_case.h"
#include "ftp/text_lines.h"

namespace voziroz::ftp {
namespace {

constexpr std::array<std::string_view, 12> kMonths = {"jan", "feb", "mar", "apr", "may", "jun",
                                                      "jul", "aug", "sep", "oct", "nov", "dec"};

// A word of a line and the offset just past it.
struct Token {
  std::string_view text;
  std::size_t end = 0;
};

std::vector<Token> SplitAtSpaces(std::string_view line) {
  std::vector<Token> tokens;
  std::size_t start = line.find_first_not_of(' ');
  while (start != std::string_view::npos) {
    std::size_t end = std::min(line.find(' ', start), line.size());
    tokens.push_back({line.substr(start, end - start), end});
    start = line.find_first_not_of(' ', end);
  }
  return tokens;
}

bool EqualsIgnoringCase(std::string_view a, std::string_view b) {
  return std::equal(a.begin(), a.end(), b.begin(), b.end(),
                    [](char x, char y) { return AnsiLower(x) == AnsiLower(y); });
}

bool IsDigits(std::string_view text, std::size_t min_size, std::size_t max_size) {
  return text.size() >= min_size && text.size() <= max_size &&
         std::all_of(text.begin(), text.end(), [](char c) { return c >= '0' && c <= '9'; });
}

std::optional<std::uint64_t> ParseSize(std::string_view digits) {
  std::uint64_t value = 0;
  const char* last = digits.data() + digits.size();
  auto [end, error] = std::from_chars(digits.data(), last, value);
  if (digits.empty() || error != std::errc() || end != last) return std::nullopt;
  return value;
}

// "9:05" or "21:05".
bool IsClock(std::string_view text) {
  std::size_t colon = text.find(':');
  return colon != std::string_view::npos && IsDigits(text.substr(0, colon), 1, 2) &&
         IsDigits(text.substr(colon + 1), 2, 2);
}

bool IsMonth(std::string_view text) {
  return std::any_of(kMonths.begin(), kMonths.end(),
                     [text](std::string_view month) { return EqualsIgnoringCase(text, month); });
}

std::optional<ListEntry> ParseMlsdLine(std::string_view line) {
  std::size_t space = line.find(' ');
  if (space == std::string_view::npos || space + 1 == line.size()) return std::nullopt;
  std::string_view facts = line.substr(0, space);
  if (!facts.empty() && facts.find('=') == std::string_view::npos) return std::nullopt;
  ListEntry entry{std::string(line.substr(space + 1))};
  while (!facts.empty()) {
    std::size_t end = facts.find(';');
    std::string_view fact = facts.substr(0, end);
    facts = end == std::string_view::npos ? std::string_view() : facts.substr(end + 1);
    std::size_t equals = fact.find('=');
    std::string_view key = fact.substr(0, equals);
    std::string_view value = equals == std::string_view::npos ? "" : fact.substr(equals + 1);
    if (EqualsIgnoringCase(key, "type")) {
      if (EqualsIgnoringCase(value, "cdir") || EqualsIgnoringCase(value, "pdir")) {
        return std::nullopt;
      }
      entry.is_folder = EqualsIgnoringCase(value, "dir");
    } else if (EqualsIgnoringCase(key, "size")) {
      entry.size = ParseSize(value).value_or(0);
    }
  }
  if (entry.is_folder) entry.size = 0;
  return entry;
}

// "drwxr-xr-x 2 owner group 4096 Dec 9 09:06 name": the size is the word before the month, and
// the name follows the time or year after one space. The group may be missing.
std::optional<ListEntry> ParseUnixLine(std::string_view line) {
  std::vector<Token> tokens = SplitAtSpaces(line);
  if (tokens.empty() || tokens[0].text.size() < 10 ||
      std::string_view("-dlbcps").find(line[0]) == std::string_view::npos) {
    return std::nullopt;
  }
  for (std::size_t i = 2; i + 2 < tokens.size(); ++i) {
    const std::string_view year_or_clock = tokens[i + 2].text;
    if (!IsMonth(tokens[i].text) || !IsDigits(tokens[i + 1].text, 1, 2) ||
        !(IsDigits(year_or_clock, 4, 4) || IsClock(year_or_clock))) {
      continue;
    }
    std::optional<std::uint64_t> size = ParseSize(tokens[i - 1].text);
    std::size_t name_start = tokens[i + 2].end + 1;
    if (!size || name_start >= line.size()) return std::nullopt;
    ListEntry entry{std::string(line.substr(name_start))};
    entry.is_folder = line[0] == 'd';
    if (line[0] == 'l') entry.name = entry.name.substr(0, entry.name.find(" -> "));
    if (entry.name.empty()) return std::nullopt;
    if (!entry.is_folder) entry.size = *size;
    return entry;
  }
  return std::nullopt;
}

// "12-09-26  09:06AM  <DIR>  name" or "12-09-26  09:06AM  1234 name".
std::optional<ListEntry> ParseDosLine(std::string_view line) {
  std::vector<Token> tokens = SplitAtSpaces(line);
  if (tokens.size() < 4) return std::nullopt;
  std::string_view date = tokens[0].text;
  std::string_view time = tokens[1].text;
  bool date_like = date.size() >= 8 && date.size() <= 10 && date[0] >= '0' && date[0] <= '9' &&
                   date.find_first_not_of("0123456789-/.") == std::string_view::npos;
  if (time.size() > 2 && (EqualsIgnoringCase(time.substr(time.size() - 2), "AM") ||
                          EqualsIgnoringCase(time.substr(time.size() - 2), "PM"))) {
    time.remove_suffix(2);
  }
  if (!date_like || !IsClock(time)) return std::nullopt;
  ListEntry entry{std::string(line.substr(line.find_first_not_of(' ', tokens[2].end)))};
  if (EqualsIgnoringCase(tokens[2].text, "<DIR>")) {
    entry.is_folder = true;
  } else if (std::optional<std::uint64_t> size = ParseSize(tokens[2].text)) {
    entry.size = *size;
  } else {
    return std::nullopt;
  }
  return entry;
}

}  // namespace

std::vector<ListEntry> ParseMlsd(std::string_view data) {
  std::vector<ListEntry> entries;
  ForEachLine(data, [&entries](std::string_view line) {
    if (std::optional<ListEntry> entry = ParseMlsdLine(line)) entries.push_back(std::move(*entry));
  });
  return entries;
}

std::vector<ListEntry> ParseList(std::string_view data) {
  std::vector<ListEntry> entries;
  ForEachLine(data, [&entries](std::string_view line) {
    std::optional<ListEntry> entry = ParseUnixLine(line);
    if (!entry) entry = ParseDosLine(line);
    if (entry) entries.push_back(std::move(*entry));
  });
  return entries;
}

std::string ListLine(const ListEntry& entry) {
  if (entry.is_folder) return "/" + entry.name;
  return entry.name + '\t' + std::to_string(entry.size);
}

void SortIgnoringCase(std::vector<std::string>& lines) {
  // Each line's lower-cased form, made once, compared byte by byte: in UTF-8 that is code point
  // order.
  std::vector<std::pair<std::string, std::string>> keyed;
  keyed.reserve(lines.size());
  for (std::string& line : lines) keyed.emplace_back(AnsiLowerCase(line), std::move(line));
  std::sort(keyed.begin(), keyed.end());
  for (std::size_t i = 0; i < lines.size(); ++i) lines[i] = std::move(keyed[i].second);
}

}  // namespace voziroz::ftp
