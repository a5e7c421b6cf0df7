// Checks of the tool's arguments, as CLI11 validators that also normalise what they accept.
#pragma once

#include <CLI/Error.hpp>
#include <CLI/Validators.hpp>
#include <cstdint>
#include <optional>
#include <string_view>

namespace voziroz::cli {

// A person's identifier as the tables hold it: "12", "I12" or "@I12@" give 12.
std::optional<std::int32_t> PersonIdOf(std::string_view text);

// Accepts an identifier as above and leaves its number.
CLI::Validator PersonIdCheck();
// Accepts a table name in any case and leaves it upper-cased.
CLI::Validator TableNameCheck();

}  // namespace voziroz::cli
