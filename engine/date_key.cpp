#include "engine/date_key.h"

#include <array>

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

// The characters up to and including the first blank of `rest`, which loses them; empty (and
// `rest` unchanged) when it holds no blank.
std::string_view CutWord(std::string_view& rest) {
  std::size_t blank = rest.find(' ');
  if (blank == std::string_view::npos) return {};
  std::string_view word = rest.substr(0, blank + 1);
  rest.remove_prefix(blank + 1);
  return word;
}

// Two digits for a month abbreviation, compared after upper-casing; empty for any other word.
std::string_view MonthDigits(std::string_view word) {
  static constexpr std::array<std::string_view, 12> kDigits = {"01", "02", "03", "04", "05", "06",
                                                               "07", "08", "09", "10", "11", "12"};
  const std::string upper = AnsiUpperCase(word);
  for (std::size_t m = 0; m < kMonths.size(); ++m)
    if (upper == kMonths[m]) return kDigits[m];
  return {};
}

}  // namespace

std::string PlainIsoDate(std::string_view date) {
  std::string text(date);
  text += ' ';
  std::string_view rest = text;
  std::string day = "00", month = "00", year = "0000";
  for (int w = 0; w < 3; ++w) {
    const std::string_view word = TrimBlanks(CutWord(rest));
    switch (word.size()) {
      case 1:
        day = std::string("0") + word[0];
        break;
      case 2:
        day = word;
        break;
      case 3:
        if (std::string_view digits = MonthDigits(word); !digits.empty()) month = digits;
        break;
      case 4:
        year = word;
        break;
      default:
        break;
    }
  }
  return year + month + day;
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
