#include "cli/argument_checks.h"

#include <cctype>
#include <charconv>
#include <string>

#include "engine/ansi_case.h"
#include "engine/table_layouts.h"

namespace voziroz::cli {

std::optional<std::int32_t> PersonIdOf(std::string_view text) {
  if (text.size() >= 2 && text.front() == '@' && text.back() == '@')
    text = text.substr(1, text.size() - 2);
  while (!text.empty() && std::isalpha(static_cast<unsigned char>(text.front())))
    text.remove_prefix(1);
  std::int32_t id = 0;
  const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), id);
  if (text.empty() || error != std::errc() || end != text.data() + text.size() || id < 0)
    return std::nullopt;
  return id;
}

CLI::Validator PersonIdCheck() {
  return CLI::Validator(
      [](std::string& text) -> std::string {
        const std::optional<std::int32_t> id = PersonIdOf(text);
        if (!id) return "'" + text + "' is not a person's identifier (12, I12 or @I12@)";
        text = std::to_string(*id);
        return "";
      },
      "ID");
}

CLI::Validator TableNameCheck() {
  return CLI::Validator(
      [](std::string& text) -> std::string {
        const std::string upper = AnsiUpperCase(text);
        for (const TableLayout* layout : kTableLayouts) {
          if (layout->Name != upper) continue;
          text = upper;
          return "";
        }
        return "no table named '" + text + "' (PERSON, FAMILY, EVENT, SOURCE or MULTIMEDIA)";
      },
      "NAME");
}

}  // namespace voziroz::cli
