#include "cli/gedcom_input.h"

#include <cstdio>
#include <utility>

#include "engine/gedcom_reader.h"

namespace voziroz::cli {

std::optional<TLines> ReadLines(const std::string& path, const std::string& name,
                                std::string& failure) {
  LoadedText loaded = LoadFileText(path);
  if (!loaded.Readable) {
    failure = "cannot read '" + name + "' (missing, not a regular file, or no access)";
    return std::nullopt;
  }
  std::optional<TLines> lines = PreParseLines(std::move(loaded.Text));
  if (!lines) failure = "'" + name + "' holds no GEDCOM line that could be stored";
  return lines;
}

std::optional<TLines> ReadLinesOrReport(const InputFile& input) {
  std::string failure;
  std::optional<TLines> lines = ReadLines(input.Path(), input.Name(), failure);
  if (!lines) std::fprintf(stderr, "voziroz: %s\n", failure.c_str());
  return lines;
}

int ReportOpenFailure(const char* command, const InputFile& input) {
  std::string failure;
  if (ReadLines(input.Path(), input.Name(), failure)) failure = "cannot open " + input.Name();
  std::fprintf(stderr, "voziroz %s: %s\n", command, failure.c_str());
  return 1;
}

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

void FlushWhenFull(std::string& out) {
  if (out.size() < (1u << 16)) return;
  std::fwrite(out.data(), 1, out.size(), stdout);
  out.clear();
}

bool FlushAll(std::string& out) {
  const bool written = std::fwrite(out.data(), 1, out.size(), stdout) == out.size();
  out.clear();
  return std::fflush(stdout) == 0 && written;
}

int FlushAllOrReport(const char* command, std::string& out) {
  if (FlushAll(out)) return 0;
  std::fprintf(stderr, "voziroz %s: cannot write the output\n", command);
  return 1;
}

}  // namespace voziroz::cli
