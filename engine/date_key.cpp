#include "engine/date_key.h"

#include <algorithm>
#include <array>
#include <cstdint>
#include <utility>

#include "engine/ansi_case.h"
#include "engine/blank_trim.h"
#include "engine/code_page_text.h"
#include "engine/unicode.h"

namespace voziroz {
namespace {

constexpr std::string_view kNoDate = "00000000";

// Three characters as one number, so that a word is compared with a name in one step.
constexpr std::uint32_t Packed(std::string_view three) {
  return static_cast<unsigned char>(three[0]) | static_cast<unsigned char>(three[1]) << 8 |
         static_cast<unsigned char>(three[2]) << 16;
}
// AnsiUpper, without the call for the bytes below 'a' (digits, blanks, capitals), which it
// leaves as they are. UTF-8 text reaches it only when it is ASCII, which both code pages case
// alike.
char UpperOf(char c) {
  return static_cast<unsigned char>(c) < 'a' ? c : AnsiUpper(c, CodePage::SingleByte);
}

std::uint32_t UpperPacked(std::string_view three) {
  const char upper[3] = {UpperOf(three[0]), UpperOf(three[1]), UpperOf(three[2])};
  return Packed({upper, 3});
}

constexpr std::array<std::uint32_t, 12> kMonths = {
    Packed("JAN"), Packed("FEB"), Packed("MAR"), Packed("APR"), Packed("MAY"), Packed("JUN"),
    Packed("JUL"), Packed("AUG"), Packed("SEP"), Packed("OCT"), Packed("NOV"), Packed("DEC")};

// Byte index of the first "AND" in the upper-cased text, npos when there is none: only a and A
// upper-case to A (likewise N and D).
std::size_t FindAnd(std::string_view text) {
  for (std::size_t k = 0; k + 3 <= text.size(); ++k) {
    if ((text[k] | 0x20) == 'a' && (text[k + 1] | 0x20) == 'n' && (text[k + 2] | 0x20) == 'd')
      return k;
  }
  return std::string_view::npos;
}

// The text from the fifth character up to byte `stop`: empty when `stop` is npos or not past
// the fifth character. The qualifier is three ASCII letters, so only the fourth character may
// be longer than a byte.
template <bool kUtf8>
std::string_view AfterQualifier(std::string_view u, std::size_t stop) {
  const std::size_t from = kUtf8 ? Utf8OffsetOf(u, 4) : std::min<std::size_t>(4, u.size());
  if (stop == std::string_view::npos || stop <= from) return {};
  return u.substr(from, stop - from);
}

// The trimmed, not yet upper-cased date without a leading INT, BEF, ABT, AFT or BET qualifier.
template <bool kUtf8>
std::string_view WithoutQualifier(std::string_view u) {
  if (u.size() < 3) return u;
  const std::uint32_t q = UpperPacked(u);
  if (q == Packed("INT")) return AfterQualifier<kUtf8>(u, u.find('('));
  if (q == Packed("BEF") || q == Packed("ABT") || q == Packed("AFT")) {
    const std::string_view rest = AfterQualifier<kUtf8>(u, u.size());
    return FirstCharacters(rest, 99, kUtf8 ? CodePage::Utf8 : CodePage::SingleByte);
  }
  if (q == Packed("BET")) return AfterQualifier<kUtf8>(u, FindAnd(u));
  return u;
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

// One part of a UTF-8 key: up to four characters of up to four bytes each.
struct KeyPart {
  std::array<char, 16> bytes;
  std::size_t size;
};

// The characters of a word upper-cased; a malformed sequence is copied as it is.
void PutUpper(std::string_view word, KeyPart& part) {
  const auto* p = reinterpret_cast<const unsigned char*>(word.data());
  const auto* end = p + word.size();
  char* out = part.bytes.data() + part.size;
  while (p < end) {
    const Utf8Step step = NextUtf8(p, end);
    if (step.Valid)
      out = PutUtf8(Windows1252Upper(step.CodePoint), out);
    else
      out = std::copy(p, p + step.Length, out);
    p += step.Length;
  }
  part.size = static_cast<std::size_t>(out - part.bytes.data());
}

// The number of characters of a UTF-8 word, each malformed subpart counting as one, so that a
// word of n characters never holds more than 4n bytes.
std::size_t Utf8Steps(std::string_view word) {
  const auto* p = reinterpret_cast<const unsigned char*>(word.data());
  const auto* end = p + word.size();
  std::size_t steps = 0;
  for (; p < end; ++steps) p += NextUtf8(p, end).Length;
  return steps;
}

// PlainKey for UTF-8 text that is not all ASCII: words are measured in characters, and the key
// holds the bytes of the characters it takes, so it may be longer than eight bytes.
DateKey PlainUtf8Key(std::string_view date) {
  KeyPart year{{'0', '0', '0', '0'}, 4}, day{{'0', '0'}, 2};
  char month[2] = {'0', '0'};
  std::string_view rest = date;
  bool end_blank_used = false;
  for (int w = 0; w < 3; ++w) {
    const std::string_view word = TrimBlanks(CutWord(rest, end_blank_used));
    switch (Utf8Steps(word)) {
      case 1:
        day.bytes[0] = '0';
        day.size = 1;
        PutUpper(word, day);
        break;
      case 2:
        day.size = 0;
        PutUpper(word, day);
        break;
      case 3:
        if (int m = word.size() == 3 ? MonthOf(word) : 0; m > 0) {
          month[0] = static_cast<char>('0' + m / 10);
          month[1] = static_cast<char>('0' + m % 10);
        }
        break;
      case 4:
        year.size = 0;
        PutUpper(word, year);
        break;
      default:
        break;
    }
  }
  DateKey key;
  char* out = std::copy_n(year.bytes.data(), year.size, key.Chars.data());
  out = std::copy_n(month, 2, out);
  out = std::copy_n(day.bytes.data(), day.size, out);
  key.Size = static_cast<std::uint8_t>(out - key.Chars.data());
  return key;
}

}  // namespace

std::string PlainIsoDate(std::string_view date) {
  return std::string(PlainKey(date, false).View());
}

// Upper-casing commutes with trimming and word cutting (no letter becomes a blank or a control
// character), so only the qualifier, "AND" and the characters copied into the key need it. ASCII
// text reads the same in both code pages.
DateKey IsoDateKeyOf(std::string_view date, CodePage page) {
  const std::string_view u = TrimBlanks(date);
  if (page == CodePage::Utf8 && !IsAscii(u)) return PlainUtf8Key(WithoutQualifier<true>(u));
  return PlainKey(WithoutQualifier<false>(u), true);
}

std::string IsoDateOf(std::string_view date, CodePage page) {
  return std::string(IsoDateKeyOf(date, page).View());
}

}  // namespace voziroz
