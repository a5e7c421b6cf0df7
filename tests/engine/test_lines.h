// LinesOf: TLines made by hand from GEDCOM-like text, one "LEVEL [@XREF@] TAG [VALUE]" a line,
// without the reader. A line whose first word is no number gets level -1 and that word as its
// tag; lines whose tag has no code or starts with '_' are dropped, as the pre-parse drops them.
#pragma once

#include <charconv>
#include <cstdint>
#include <string_view>

#include "engine/gedcom_lines.h"
#include "engine/tag_codes.h"

namespace voziroz::testkit {

inline std::string_view NextWord(std::string_view& rest) {
  std::size_t end = rest.find(' ');
  std::string_view word = rest.substr(0, end);
  rest = end == std::string_view::npos ? std::string_view{} : rest.substr(end + 1);
  return word;
}

inline void AddLine(TLines& lines, std::string_view text) {
  std::string_view rest = text;
  std::string_view word = NextWord(rest);
  int level = -1;
  auto [end, error] = std::from_chars(word.data(), word.data() + word.size(), level);
  if (error == std::errc() && end == word.data() + word.size()) {
    word = NextWord(rest);
  } else {
    level = -1;
  }
  std::string_view xref;
  if (!word.empty() && word.front() == '@') {
    xref = word;
    word = NextWord(rest);
  }
  const TagCode code = TagToCode(word);
  if (code == tag::UNKNOWN || word.empty() || word.front() == '_') return;
  const std::string_view value = xref.empty() ? rest : xref;
  TLine line;
  line.Offset = lines.Text.size();
  line.Length = static_cast<std::uint32_t>(value.size());
  line.Level = static_cast<std::int8_t>(level);
  line.Code = code;
  lines.Text.Append(value);
  lines.Lines.push_back(line);
  ++lines.Count;
}

// Every estimate is 1 unless given, so that building exercises the growth steps.
inline TLines LinesOf(std::string_view text, std::int32_t estimate = 1) {
  TLines lines;
  lines.PersonEstimate = lines.FamilyEstimate = lines.EventEstimate = estimate;
  lines.MultimediaEstimate = lines.SourceEstimate = estimate;
  while (!text.empty()) {
    std::size_t end = text.find('\n');
    std::string_view line = text.substr(0, end);
    text = end == std::string_view::npos ? std::string_view{} : text.substr(end + 1);
    while (!line.empty() && line.front() == ' ') line.remove_prefix(1);
    if (!line.empty()) AddLine(lines, line);
  }
  return lines;
}

}  // namespace voziroz::testkit
