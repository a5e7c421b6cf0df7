// `voziroz lines FILE`: loads and pre-parses a file and prints its lines and row estimates.
//
// One line per stored line: number, level, tag and value separated by tabs, the value in UTF-8
// with backslash escapes for control characters and the backslash itself (\r, \n, \t, \\, \xHH),
// so that a value joined from CONT lines stays on one output line. Then a blank line and the
// five estimates, one "Name<TAB>number" line each.
#include <cstdio>
#include <string>
#include <string_view>

#include "cli/commands.h"
#include "engine/gedcom_reader.h"
#include "engine/windows1252.h"

namespace voziroz::cli {
namespace {

void AppendEscaped(std::string_view utf8, std::string& out) {
  for (char c : utf8) {
    switch (c) {
      case '\r':
        out += "\\r";
        break;
      case '\n':
        out += "\\n";
        break;
      case '\t':
        out += "\\t";
        break;
      case '\\':
        out += "\\\\";
        break;
      default:
        if (static_cast<unsigned char>(c) < 0x20 || c == 0x7F) {
          char hex[5];
          std::snprintf(hex, sizeof hex, "\\x%02X", static_cast<unsigned char>(c));
          out += hex;
        } else {
          out += c;
        }
    }
  }
}

void PrintLines(const TLines& lines) {
  std::string out;
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
    if (out.size() >= (1u << 16)) {
      std::fwrite(out.data(), 1, out.size(), stdout);
      out.clear();
    }
  }
  std::fwrite(out.data(), 1, out.size(), stdout);
}

void PrintEstimates(const TLines& lines) {
  const std::pair<const char*, std::int32_t> estimates[] = {
      {"PersonEstimate", lines.PersonEstimate}, {"FamilyEstimate", lines.FamilyEstimate},
      {"EventEstimate", lines.EventEstimate},   {"MultimediaEstimate", lines.MultimediaEstimate},
      {"SourceEstimate", lines.SourceEstimate},
  };
  std::printf("\n");
  for (const auto& [name, value] : estimates) std::printf("%s\t%d\n", name, int(value));
}

}  // namespace

int RunLines(std::span<char*> args) {
  if (args.size() != 1) {
    std::fprintf(stderr, "usage: voziroz lines FILE\n");
    return 2;
  }
  const char* file_name = args[0];
  LoadedText loaded = LoadFileText(file_name);
  if (!loaded.Readable) {
    std::fprintf(stderr, "voziroz: cannot read '%s' (missing, not a regular file, or no access)\n",
                 file_name);
    return 1;
  }
  std::optional<TLines> lines = PreParseLines(std::move(loaded.Text));
  if (!lines) {
    std::fprintf(stderr, "voziroz: '%s' holds no GEDCOM line that could be stored\n", file_name);
    return 1;
  }
  PrintLines(*lines);
  PrintEstimates(*lines);
  return std::fflush(stdout) == 0 ? 0 : 1;
}

}  // namespace voziroz::cli
