// Sortable date keys: the eight characters YYYYMMDD made from a free-form GEDCOM date, with
// "0000" and "00" for missing parts and "00000000" when nothing usable was found.
//
// The key is built purely by word length, so it is always eight characters long but is a real
// date only when the input was a well-formed GEDCOM date. Both functions are pure. Lengths and
// positions count characters of the code page (engine/code_page.h): in UTF-8 a key of non-ASCII
// characters is longer than eight bytes.
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <string_view>

#include "engine/code_page.h"

namespace voziroz {

// The key of a DATE value: upper-cases and trims it, strips a leading INT, BEF, ABT, AFT or BET
// qualifier (for INT up to the date phrase's "(", for BET up to "AND") and reads the rest with
// PlainIsoDate.
std::string IsoDateOf(std::string_view date, CodePage page = TheCodePage());

// A key held without allocating: eight characters of up to four bytes (year 4, month 2, day 2).
struct DateKey {
  std::array<char, 26> Chars;
  std::uint8_t Size = 8;
  std::string_view View() const { return {Chars.data(), Size}; }
};
// IsoDateOf without a string.
DateKey IsoDateKeyOf(std::string_view date, CodePage page = TheCodePage());

// The key of a date without qualifier, read from its first three blank-separated words: a word
// of one or two characters is the day, three a month abbreviation (JAN ... DEC), four the year;
// other words, and a run of blanks taking a word's place, count for nothing. Single-byte text.
std::string PlainIsoDate(std::string_view date);

}  // namespace voziroz
