// `voziroz lines FILE`: loads and pre-parses a file and prints its lines and row estimates.
//
// One line per stored line: number, level, tag and value separated by tabs, the value in UTF-8
// with backslash escapes for control characters and the backslash itself (\r, \n, \t, \\, \xHH),
// so that a value joined from CONT lines stays on one output line. Then a blank line and the
// five estimates, one "Name<TAB>number" line each.
#include <cstdio>
#include <optional>
#include <string>
#include <string_view>

#include "cli/commands.h"
#include "cli/gedcom_input.h"
#include "engine/windows1252.h"

namespace voziroz::cli {
namespace {

void AppendLines(const TLines& lines, std::string& out) {
  for (std::int32_t i = 0; i < lines.Count; ++i) {
    const TLine& line = lines.Lines[i];
    out += std::to_string(i);
    out += '\t';
    out += std::to_string(line.Level);
    out += '\t';
    out += CodeToTag(line.Code);
    out += '\t';
    AppendEscaped(AnsiToUtf8(lines.Value(line)), out);
    out += '\n';
    FlushWhenFull(out);
  }
}

void AppendEstimates(const TLines& lines, std::string& out) {
  const std::pair<const char*, std::int32_t> estimates[] = {
      {"PersonEstimate", lines.PersonEstimate}, {"FamilyEstimate", lines.FamilyEstimate},
      {"EventEstimate", lines.EventEstimate},   {"MultimediaEstimate", lines.MultimediaEstimate},
      {"SourceEstimate", lines.SourceEstimate},
  };
  out += '\n';
  for (const auto& [name, value] : estimates)
    out.append(name).append("\t").append(std::to_string(value)).append("\n");
}

}  // namespace

int RunLines(const Options& options) {
  const InputFile input(options.file);
  const std::optional<TLines> lines = ReadLinesOrReport(input);
  if (!lines) return 1;
  std::string out;
  AppendLines(*lines, out);
  AppendEstimates(*lines, out);
  return FlushAllOrReport("lines", out);
}

}  // namespace voziroz::cli
