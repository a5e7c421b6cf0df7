// voziroz info FILE: the metadata grid of a GEDCOM file for a person to read: one line per item
// under its group, values in UTF-8, a value of several lines (submitter, notes) continued below
// itself. Read through calls by name on a Parser, as a script reads it.
#include <algorithm>
#include <cstdio>
#include <exception>
#include <string>
#include <string_view>

#include "automation/call_by_name.h"
#include "automation/parser_object.h"
#include "cli/commands.h"
#include "engine/windows1252.h"

namespace voziroz::cli {
namespace {

constexpr std::size_t kGap = 3;

std::string Padded(std::string_view text, std::size_t width) {
  std::string out(text);
  out.resize(std::max(width, text.size()), ' ');
  return out;
}

// The value's lines (CR LF, CR or LF end a line), each after the first indented by `indent`
// unless it is empty.
std::string IndentedLines(std::string_view text, std::size_t indent) {
  std::string out;
  bool line_start = false;
  for (std::size_t i = 0; i < text.size(); ++i) {
    if (text[i] == '\r' || text[i] == '\n') {
      if (text[i] == '\r' && i + 1 < text.size() && text[i + 1] == '\n') ++i;
      out += '\n';
      line_start = true;
      continue;
    }
    if (line_start) out.append(indent, ' ');
    line_start = false;
    out += text[i];
  }
  return out;
}

std::string Report(const VariantArray& grid) {
  std::size_t group_width = 0;
  std::size_t item_width = 0;
  for (std::int32_t r = 0; r < grid.Length(); ++r) {
    group_width = std::max(group_width, ToText(grid.At(r, 0)).size() + kGap);
    item_width = std::max(item_width, ToText(grid.At(r, 1)).size() + kGap);
  }
  std::string out;
  std::string last_group;
  for (std::int32_t r = 0; r < grid.Length(); ++r) {
    const std::string group = ToText(grid.At(r, 0));
    out += Padded(group == last_group ? "" : group, group_width);
    out += Padded(ToText(grid.At(r, 1)), item_width);
    out += IndentedLines(AnsiToUtf8(ToText(grid.At(r, 2))), group_width + item_width);
    out.erase(out.find_last_not_of(' ') + 1);
    out += '\n';
    last_group = group;
  }
  return out;
}

}  // namespace

int RunInfo(std::span<char*> args) {
  if (args.size() != 1) {
    std::fprintf(stderr, "usage: voziroz info FILE\n");
    return 2;
  }
  try {
    const ObjectPtr<TParser> parser = MakeObject<TParser>();
    CallByName(*parser, "Open", {Variant::Text(args[0])});
    if (!ToBool(CallByName(*parser, "IsOpen"))) {
      std::fprintf(stderr, "voziroz info: cannot open %s\n", args[0]);
      return 1;
    }
    const Variant grid = CallByName(*parser, "Metadata");
    const std::string report = Report(grid.AsArray());
    std::fwrite(report.data(), 1, report.size(), stdout);
  } catch (const std::exception& e) {
    std::fprintf(stderr, "voziroz info: %s\n", e.what());
    return 1;
  }
  return 0;
}

}  // namespace voziroz::cli
