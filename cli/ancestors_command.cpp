// voziroz ancestors FILE ID [GENERATIONS]: a person's known ancestors generation by generation,
// read through calls by name on a Parser of the server library (GetAncestors) and a Table on its
// PERSON table:
//
//   Person 6: Niels Peter /Dahl/, ancestors known to generation 1
//   Generation 1: 2 of 2 known
//     2         1       Søren /Dahl/
//     3         2       Anne Kirstine /Holm/
//
// Each ancestor line holds the Ahnentafel number (2^g + slot), the person's identifier and the
// full name (UTF-8, escaped as `voziroz lines` escapes); unknown ancestors are left out, and a
// known one without a PERSON record shows "(no PERSON row)". A person without a PERSON record
// fails.
// GENERATIONS (default 10) is how many generations to show, at most the deepest known one.
#include <algorithm>
#include <cstdio>
#include <map>
#include <optional>
#include <string>
#include <string_view>

#include "cli/commands.h"
#include "cli/gedcom_input.h"
#include "cli/server_library.h"

namespace voziroz::cli {
namespace {

// Full names by identifier, read from a Table on the parser's PERSON table and kept.
class PersonNames {
 public:
  explicit PersonNames(ScriptObject& parser) {
    table_.Call("Open", {std::string_view("PERSON"), parser.get()});
    const OwnedVariant columns = table_.Call("ColNames");
    const ArrayView names(columns.get());
    for (std::int32_t c = 0; c < names.Rows(); ++c)
      if (TextOf(names.At(c)) == "Fullname") fullname_column_ = c;
  }

  // The escaped UTF-8 name; "(no PERSON row)" when the person has none.
  const std::string& Of(std::int32_t id) {
    auto [it, fresh] = names_.try_emplace(id);
    if (fresh) it->second = Lookup(id).value_or("(no PERSON row)");
    return it->second;
  }

  // Whether the person has a PERSON record.
  bool Has(std::int32_t id) { return Lookup(id).has_value(); }

 private:
  std::optional<std::string> Lookup(std::int32_t id) {
    const std::int32_t row = IntOf(table_.Call("FindRow", {id}).get());
    if (row < 0 || fullname_column_ < 0) return std::nullopt;
    const OwnedVariant cells = table_.Call("Row", {row});
    std::string name;
    AppendEscaped(TextOf(ArrayView(cells.get()).At(fullname_column_)), name);
    return name;
  }

  ScriptObject table_ = CreateFromServer(CLSID_Table);
  std::int32_t fullname_column_ = -1;
  std::map<std::int32_t, std::string> names_;
};

// Appends generation `g`'s known ancestors to `out`, writing it out as it fills.
void AppendGeneration(ScriptObject& parser, std::int32_t id, std::int32_t g, PersonNames& names,
                      std::string& out) {
  const OwnedVariant answer = parser.Call("GetAncestors", {id, g});
  const ArrayView slots(answer.get());
  long long known = 0;
  for (std::int32_t k = 0; k < slots.Rows(); ++k) known += IntOf(slots.At(k)) != -1;
  char line[64];
  std::snprintf(line, sizeof line, "Generation %d: %lld of %d known\n", g, known, slots.Rows());
  out += line;
  for (std::int32_t k = 0; k < slots.Rows(); ++k) {
    const std::int32_t ancestor = IntOf(slots.At(k));
    if (ancestor == -1) continue;
    std::snprintf(line, sizeof line, "  %-9lld %-7d ",
                  static_cast<long long>((std::int64_t{1} << g) + k), ancestor);
    out.append(line).append(names.Of(ancestor)).append("\n");
    FlushWhenFull(out);
  }
}

// Prints the report; returns the exit code.
int Report(const InputFile& input, std::int32_t id, std::int32_t generations) {
  ScriptObject parser = CreateFromServer(CLSID_Parser);
  parser.Call("Open", {std::string_view(input.Path())});
  if (!BoolOf(parser.Call("IsOpen").get())) return ReportOpenFailure("ancestors", input);
  if (!BoolOf(parser.Call("Execute").get())) {
    std::fprintf(stderr, "voziroz ancestors: cannot build the tables of %s\n",
                 input.Name().c_str());
    return 1;
  }
  PersonNames names(parser);
  if (!names.Has(id)) {
    std::fprintf(stderr, "voziroz ancestors: no person %d in %s\n", id, input.Name().c_str());
    return 1;
  }
  const OwnedVariant range = parser.Call("GetAncestors", {id, 0});
  const std::int32_t deepest = IntOf(ArrayView(range.get()).At(1));
  std::string out = "Person " + std::to_string(id) + ": " + names.Of(id) +
                    ", ancestors known to generation " + std::to_string(deepest) + "\n";
  std::string failure;
  try {
    for (std::int32_t g = 1; g <= deepest && g <= generations; ++g)
      AppendGeneration(parser, id, g, names, out);
  } catch (const ScriptError& e) {
    // The generations before stay printed; the failing one's message ends the report.
    failure = e.Description().empty() ? e.what() : e.Description();
  }
  if (FlushAllOrReport("ancestors", out) != 0) return 1;
  if (failure.empty()) return 0;
  std::fprintf(stderr, "voziroz ancestors: %s\n", failure.c_str());
  return 1;
}

}  // namespace

int RunAncestors(const Options& options) {
  const InputFile input(options.file);
  return Report(input, options.id, options.generations);
}

}  // namespace voziroz::cli
