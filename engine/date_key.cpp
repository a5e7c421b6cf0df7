#include "engine/date_key.h"

#include <array>
#include <utility>

#include "engine/ansi_case.h"
#include "engine/blank_trim.h"

namespace voziroz {
namespace {

constexpr std::string_view kNoDate = "00000000";
constexpr std::array<std::string_view, 12> kMonths = {"JAN", "FEB", "MAR", "APR", "MAY", "JUN",
                                                      "JUL", "AUG", "SEP", "OCT", "NOV", "DEC"};

// The `count` characters from 1-based position `start`: empty for a count of zero or less, cut
// at the end of the text.
std::string_view Copy(std::string_view text, std::ptrdiff_t start, std::ptrdiff_t count) {
  if (count <= 0 || start < 1 || static_cast<std::size_t>(start) > text.size()) return {};
  return text.substr(static_cast<std::size_t>(start - 1), static_cast<std::size_t>(count));
}

// The 1-based position of the first `what` in `text`, 0 when there is none.
std::ptrdiff_t Pos(std::string_view what, std::string_view text) {
  std::size_t found = text.find(what);
  return found == std::string_view::npos ? 0 : static_cast<std::ptrdiff_t>(found) + 1;
}

// The characters up to and including the first blank of `rest`, which loses them. The text
// counts as ending in one more blank: when `rest` holds no blank its whole remainder is the word
// (once; then words are empty). The blank itself never matters, as words are trimmed.
std::string_view CutWord(std::string_view& rest, bool& end_blank_used) {
  std::size_t blank = rest.find(' ');
  if (blank == std::string_view::npos) {
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
  char upper[3];
  for (std::size_t k = 0; k < 3; ++k) upper[k] = AnsiUpper(word[k]);
  for (std::size_t m = 0; m < kMonths.size(); ++m)
    if (std::string_view(upper, 3) == kMonths[m]) return static_cast<int>(m) + 1;
  return 0;
}

}  // namespace

std::string PlainIsoDate(std::string_view date) {
  std::string key(kNoDate);  // year at 0, month at 4, day at 6
  std::string_view rest = date;
  bool end_blank_used = false;
  for (int w = 0; w < 3; ++w) {
    const std::string_view word = TrimBlanks(CutWord(rest, end_blank_used));
    switch (word.size()) {
      case 1:
        key[6] = '0';
        key[7] = word[0];
        break;
      case 2:
        key.replace(6, 2, word);
        break;
      case 3:
        if (int month = MonthOf(word); month > 0) {
          key[4] = static_cast<char>('0' + month / 10);
          key[5] = static_cast<char>('0' + month % 10);
        }
        break;
      case 4:
        key.replace(0, 4, word);
        break;
      default:
        break;
    }
  }
  return key;
}

std::string IsoDateOf(std::string_view date) {
  const std::string upper = AnsiUpperCase(date);
  const std::string_view u = TrimBlanks(upper);
  if (u.empty()) return std::string(kNoDate);
  const std::string_view qualifier = u.substr(0, 3);
  if (qualifier == "INT") return PlainIsoDate(Copy(u, 5, Pos("(", u) - 5));
  if (qualifier == "BEF" || qualifier == "ABT" || qualifier == "AFT")
    return PlainIsoDate(Copy(u, 5, 99));
  if (qualifier == "BET") return PlainIsoDate(Copy(u, 5, Pos("AND", u) - 5));
  return PlainIsoDate(u);
}

}  // namespace voziroz
