#include "engine/date_key.h"

#include <algorithm>
#include <array>
#include <cstdint>
#include <utility>

#include "engine/ansi_case.h"
#include "engine/blank_trim.h"

namespace voziroz {
namespace {

constexpr std::string_view kNoDate = "00000000";

// Three characters as one number, so that a word is compared with a name in one step.
constexpr std::uint32_t Packed(std::string_view three) {
  return static_cast<unsigned char>(three[0]) | static_cast<unsigned char>(three[1]) << 8 |
         static_cast<unsigned char>(three[2]) << 16;
}
// AnsiUpper, without the call for the bytes below 'a' (digits, blanks, capitals), which it
// leaves as they are.
char UpperOf(char c) {
  return static_cast<unsigned char>(c) < 'a' ? c : AnsiUpper(c);
}

std::uint32_t UpperPacked(std::string_view three) {
  const char upper[3] = {UpperOf(three[0]), UpperOf(three[1]), UpperOf(three[2])};
  return Packed({upper, 3});
}

constexpr std::array<std::uint32_t, 12> kMonths = {
    Packed("JAN"), Packed("FEB"), Packed("MAR"), Packed("APR"), Packed("MAY"), Packed("JUN"),
    Packed("JUL"), Packed("AUG"), Packed("SEP"), Packed("OCT"), Packed("NOV"), Packed("DEC")};

// The `count` characters from 1-based position `start`: empty for a count of zero or less, cut
// at the end of the text.
std::string_view Copy(std::string_view text, std::ptrdiff_t start, std::ptrdiff_t count) {
  if (count <= 0 || start < 1 || static_cast<std::size_t>(start) > text.size()) return {};
  return text.substr(static_cast<std::size_t>(start - 1), static_cast<std::size_t>(count));
}

// The 1-based position of the first `what` in `text`, 0 when there is none.
std::ptrdiff_t Pos(char what, std::string_view text) {
  std::size_t found = text.find(what);
  return found == std::string_view::npos ? 0 : static_cast<std::ptrdiff_t>(found) + 1;
}

// Pos of "AND" in the upper-cased text: only a and A upper-case to A (likewise N and D).
std::ptrdiff_t PosOfAnd(std::string_view text) {
  for (std::size_t k = 0; k + 3 <= text.size(); ++k) {
    if ((text[k] | 0x20) == 'a' && (text[k + 1] | 0x20) == 'n' && (text[k + 2] | 0x20) == 'd')
      return static_cast<std::ptrdiff_t>(k) + 1;
  }
  return 0;
}

// The characters up to and including the first blank of `rest`, which loses them. The text
// counts as ending in one more blank: when `rest` holds no blank its whole remainder is the word
// (once; then words are empty). The blank itself never matters, as words are trimmed.
std::string_view CutWord(std::string_view& rest, bool& end_blank_used) {
  std::size_t blank = 0;  // words are short: a plain loop beats a call to memchr
  while (blank < rest.size() && rest[blank] != ' ') ++blank;
  if (blank == rest.size()) {
    if (end_blank_used) return {};
    end_blank_used = true;
    return std::exchange(rest, std::string_view{});
  }
  std::string_view word = rest.substr(0, blank + 1);
  rest.remove_prefix(blank + 1);
  return word;
}

// The month number (1 to 12) of an abbreviation compared after upper-casing; 0 for any other.
int MonthOf(std::string_view word) {
  const std::uint32_t upper = UpperPacked(word);
  for (std::size_t m = 0; m < kMonths.size(); ++m)
    if (upper == kMonths[m]) return static_cast<int>(m) + 1;
  return 0;
}

// The key of a date without qualifier (see PlainIsoDate). With `upper_case`, the characters
// copied into the key are upper-cased, as if the whole date had been.
DateKey PlainKey(std::string_view date, bool upper_case) {
  DateKey key;
  std::copy(kNoDate.begin(), kNoDate.end(), key.Chars.begin());  // year 0-3, month 4-5, day 6-7
  const auto put = [&](std::size_t at, std::string_view word) {
    for (char c : word) key.Chars[at++] = upper_case ? UpperOf(c) : c;
  };
  std::string_view rest = date;
  bool end_blank_used = false;
  for (int w = 0; w < 3; ++w) {
    const std::string_view word = TrimBlanks(CutWord(rest, end_blank_used));
    switch (word.size()) {
      case 1:
        key.Chars[6] = '0';
        put(7, word);
        break;
      case 2:
        put(6, word);
        break;
      case 3:
        if (int month = MonthOf(word); month > 0) {
          key.Chars[4] = static_cast<char>('0' + month / 10);
          key.Chars[5] = static_cast<char>('0' + month % 10);
        }
        break;
      case 4:
        put(0, word);
        break;
      default:
        break;
    }
  }
  return key;
}

}  // namespace

std::string PlainIsoDate(std::string_view date) {
  return std::string(PlainKey(date, false).View());
}

// Upper-casing commutes with trimming and word cutting (no letter becomes a blank or a control
// character), so only the qualifier, "AND" and the characters copied into the key need it.
DateKey IsoDateKeyOf(std::string_view date) {
  const std::string_view u = TrimBlanks(date);
  if (u.size() < 3) return PlainKey(u, true);
  const std::uint32_t q = UpperPacked(u);
  if (q == Packed("INT")) return PlainKey(Copy(u, 5, Pos('(', u) - 5), true);
  if (q == Packed("BEF") || q == Packed("ABT") || q == Packed("AFT"))
    return PlainKey(Copy(u, 5, 99), true);
  if (q == Packed("BET")) return PlainKey(Copy(u, 5, PosOfAnd(u) - 5), true);
  return PlainKey(u, true);
}

std::string IsoDateOf(std::string_view date) {
  return std::string(IsoDateKeyOf(date).View());
}

}  // namespace voziroz
