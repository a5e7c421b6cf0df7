// voziroz info FILE: the metadata grid of a GEDCOM file for a person to read: one line per item
// under its group, values in UTF-8, a value of several lines (submitter, notes) continued below
// itself. Read through calls by name on a Parser of the server library, as a script reads it.
#include <algorithm>
#include <cstdio>
#include <string>
#include <string_view>

#include "cli/commands.h"
#include "cli/gedcom_input.h"
#include "cli/server_library.h"

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

// A cell as text: a number in decimal, text as it is, anything else empty.
std::string CellText(const VARIANT& cell) {
  return cell.vt == VT_BSTR ? TextOf(cell) : cell.vt == VT_EMPTY ? "" : std::to_string(IntOf(cell));
}

std::string Report(const ArrayView& grid) {
  std::size_t group_width = 0;
  std::size_t item_width = 0;
  for (std::int32_t r = 0; r < grid.Rows(); ++r) {
    group_width = std::max(group_width, CellText(grid.At(r, 0)).size() + kGap);
    item_width = std::max(item_width, CellText(grid.At(r, 1)).size() + kGap);
  }
  std::string out;
  std::string last_group;
  for (std::int32_t r = 0; r < grid.Rows(); ++r) {
    const std::string group = CellText(grid.At(r, 0));
    out += Padded(group == last_group ? "" : group, group_width);
    out += Padded(CellText(grid.At(r, 1)), item_width);
    out += IndentedLines(CellText(grid.At(r, 2)), group_width + item_width);
    out.erase(out.find_last_not_of(' ') + 1);
    out += '\n';
    last_group = group;
  }
  return out;
}

}  // namespace

int RunInfo(const Options& options) {
  const InputFile input(options.file);
  ScriptObject parser = CreateFromServer(CLSID_Parser);
  parser.Call("Open", {std::string_view(input.Path())});
  if (!BoolOf(parser.Call("IsOpen").get())) return ReportOpenFailure("info", input);
  const OwnedVariant grid = parser.Call("Metadata");
  std::string report = Report(ArrayView(grid.get()));
  return FlushAllOrReport("info", report);
}

}  // namespace voziroz::cli
