#include "cli/gedcom_input.h"

#include <cstdio>
#include <utility>

#include "engine/gedcom_reader.h"

namespace voziroz::cli {

std::optional<TLines> ReadLinesOrReport(const char* file_name) {
  LoadedText loaded = LoadFileText(file_name);
  if (!loaded.Readable) {
    std::fprintf(stderr, "voziroz: cannot read '%s' (missing, not a regular file, or no access)\n",
                 file_name);
    return std::nullopt;
  }
  std::optional<TLines> lines = PreParseLines(std::move(loaded.Text));
  if (!lines)
    std::fprintf(stderr, "voziroz: '%s' holds no GEDCOM line that could be stored\n", file_name);
  return lines;
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

}  // namespace voziroz::cli
