// voziroz ancestors FILE ID [GENERATIONS]: a person's known ancestors generation by generation,
// read through calls by name on a Parser (GetAncestors) and a Table on its PERSON table:
//
//   Person 6: Niels Peter /Dahl/, ancestors known to generation 1
//   Generation 1: 2 of 2 known
//     2         1       Søren /Dahl/
//     3         2       Anne Kirstine /Holm/
//
// Each ancestor line holds the Ahnentafel number (2^g + slot), the person's identifier and the
// full name (UTF-8, escaped as `voziroz lines` escapes); unknown ancestors are left out, and a
// known one without a PERSON record shows "(no PERSON row)".
// GENERATIONS (default 10) is how many generations to show, at most the deepest known one.
#include <algorithm>
#include <charconv>
#include <cstdio>
#include <exception>
#include <map>
#include <optional>
#include <string>
#include <string_view>

#include "automation/call_by_name.h"
#include "automation/parser_object.h"
#include "automation/table_object.h"
#include "cli/commands.h"
#include "cli/gedcom_input.h"
#include "engine/windows1252.h"

namespace voziroz::cli {
namespace {

constexpr std::int32_t kDefaultGenerations = 10;

std::optional<std::int32_t> NumberOf(std::string_view text) {
  std::int32_t number = 0;
  const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), number);
  if (error != std::errc() || end != text.data() + text.size() || text.empty()) return std::nullopt;
  return number;
}

// Full names by identifier, read from a Table on the parser's PERSON table and kept.
class PersonNames {
 public:
  explicit PersonNames(const ObjectPtr<AutomationObject>& parser) {
    CallByName(*table_, "Open", {Variant::Text("PERSON"), Variant::Object(parser)});
    const Variant columns = CallByName(*table_, "ColNames");
    if (columns.Kind() != VariantKind::Array) return;
    for (std::int32_t c = 0; c < columns.AsArray().Length(); ++c)
      if (ToText(columns.AsArray()[c]) == "Fullname") fullname_column_ = c;
  }

  // The escaped UTF-8 name; "(no PERSON row)" when the person has none.
  const std::string& Of(std::int32_t id) {
    auto [it, fresh] = names_.try_emplace(id);
    if (fresh) it->second = Lookup(id);
    return it->second;
  }

 private:
  std::string Lookup(std::int32_t id) {
    const std::int32_t row = ToInt32(CallByName(*table_, "FindRow", {Variant::I4(id)}));
    if (row < 0 || fullname_column_ < 0) return "(no PERSON row)";
    const Variant cells = CallByName(*table_, "Row", {Variant::I4(row)});
    std::string name;
    AppendEscaped(AnsiToUtf8(ToText(cells.AsArray()[fullname_column_])), name);
    return name;
  }

  ObjectPtr<TTable> table_ = MakeObject<TTable>();
  std::int32_t fullname_column_ = -1;
  std::map<std::int32_t, std::string> names_;
};

// Appends generation `g`'s known ancestors to `out`, writing it out as it fills.
void AppendGeneration(AutomationObject& parser, std::int32_t id, std::int32_t g, PersonNames& names,
                      std::string& out) {
  const Variant answer = CallByName(parser, "GetAncestors", {Variant::I4(id), Variant::I4(g)});
  const std::span<const Variant> slots = answer.AsArray().Elements();
  const auto known = std::count_if(slots.begin(), slots.end(),
                                   [](const Variant& slot) { return ToInt32(slot) != -1; });
  char line[64];
  std::snprintf(line, sizeof line, "Generation %d: %lld of %zu known\n", g,
                static_cast<long long>(known), slots.size());
  out += line;
  for (std::size_t k = 0; k < slots.size(); ++k) {
    const std::int32_t ancestor = ToInt32(slots[k]);
    if (ancestor == -1) continue;
    std::snprintf(line, sizeof line, "  %-9lld %-7d ",
                  static_cast<long long>((std::size_t{1} << g) + k), ancestor);
    out.append(line).append(names.Of(ancestor)).append("\n");
    FlushWhenFull(out);
  }
}

// Prints the report; returns the exit code.
int Report(const char* file_name, std::int32_t id, std::int32_t generations) {
  const ObjectPtr<AutomationObject> parser = MakeObject<TParser>();
  CallByName(*parser, "Open", {Variant::Text(file_name)});
  if (!ToBool(CallByName(*parser, "IsOpen"))) {
    std::fprintf(stderr, "voziroz ancestors: cannot open %s\n", file_name);
    return 1;
  }
  if (!ToBool(CallByName(*parser, "Execute"))) {
    std::fprintf(stderr, "voziroz ancestors: cannot build the tables of %s\n", file_name);
    return 1;
  }
  const Variant range = CallByName(*parser, "GetAncestors", {Variant::I4(id), Variant::I4(0)});
  const std::int32_t deepest = ToInt32(range.AsArray()[1]);
  PersonNames names(parser);
  std::string out = "Person " + std::to_string(id) + ": " + names.Of(id) +
                    ", ancestors known to generation " + std::to_string(deepest) + "\n";
  std::string failure;
  try {
    for (std::int32_t g = 1; g <= deepest && g <= generations; ++g)
      AppendGeneration(*parser, id, g, names, out);
  } catch (const CallFailure& e) {
    // The generations before stay printed; the failing one's message ends the report.
    failure = e.Outcome().Error.Description;
  }
  const bool written = FlushAll(out);
  if (!failure.empty() || !written) {
    std::fprintf(stderr, "voziroz ancestors: %s\n",
                 written ? failure.c_str() : "cannot write the output");
    return 1;
  }
  return 0;
}

}  // namespace

int RunAncestors(std::span<char*> args) {
  const std::optional<std::int32_t> id = args.size() >= 2 ? NumberOf(args[1]) : std::nullopt;
  const std::optional<std::int32_t> generations =
      args.size() == 3 ? NumberOf(args[2]) : std::optional(kDefaultGenerations);
  if (args.size() < 2 || args.size() > 3 || !id || !generations || *generations < 0) {
    std::fprintf(stderr, "usage: voziroz ancestors FILE ID [GENERATIONS]\n");
    return 2;
  }
  try {
    return Report(args[0], *id, *generations);
  } catch (const std::exception& e) {
    std::fprintf(stderr, "voziroz ancestors: %s\n", e.what());
    return 1;
  }
}

}  // namespace voziroz::cli
