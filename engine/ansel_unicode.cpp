// ANSEL to UTF-8: each byte is one character, and a run of combining marks joins the character
// after it, composed to NFC by utf8proc.
#include <utf8proc.h>

#include <algorithm>
#include <array>

#include "engine/ansel.h"
#include "engine/code_page.h"
#include "engine/unicode.h"

namespace voziroz {
namespace {

struct Mapping {
  unsigned char byte;
  char32_t code_point;
};

// The characters whose Unicode form is not their byte's Windows-1252 character.
constexpr Mapping kSpecials[] = {
    {0xA1, 0x0141}, {0xA2, 0x00D8}, {0xA3, 0x0110}, {0xA4, 0x00DE}, {0xA5, 0x00C6}, {0xA6, 0x0152},
    {0xA7, 0x02B9}, {0xA8, 0x00B7}, {0xA9, 0x266D}, {0xAA, 0x00AE}, {0xAB, 0x00B1}, {0xAC, 0x01A0},
    {0xAD, 0x01AF}, {0xAE, 0x02BC}, {0xB0, 0x02BB}, {0xB1, 0x0142}, {0xB2, 0x00F8}, {0xB3, 0x0111},
    {0xB4, 0x00FE}, {0xB5, 0x00E6}, {0xB6, 0x0153}, {0xB7, 0x02BA}, {0xB8, 0x0131}, {0xB9, 0x00A3},
    {0xBA, 0x00F0}, {0xBC, 0x01A1}, {0xBD, 0x01B0}, {0xBE, 0x25A1}, {0xBF, 0x25A0}, {0xC0, 0x00B0},
    {0xC1, 0x2113}, {0xC2, 0x2117}, {0xC3, 0x00A9}, {0xC4, 0x266F}, {0xC5, 0x00BF}, {0xC6, 0x00A1},
    {0xC7, 0x00DF}, {0xC8, 0x20AC}, {0xCD, 0x0065}, {0xCE, 0x006F}, {0xCF, 0x00DF},
};

// The combining marks 0xE0 to 0xFE; 0xFD means nothing (0: dropped).
constexpr char32_t kMarks[] = {
    0x0309, 0x0300, 0x0301, 0x0302, 0x0303, 0x0304, 0x0306, 0x0307,  // 0xE0
    0x0308, 0x030C, 0x030A, 0xFE20, 0xFE21, 0x0315, 0x030B, 0x0310,  // 0xE8
    0x0327, 0x0328, 0x0323, 0x0324, 0x0325, 0x0333, 0x0332, 0x0326,  // 0xF0
    0x031C, 0x032E, 0xFE22, 0xFE23, 0x0338, 0,      0x0313,          // 0xF8
};
constexpr unsigned char kFirstMark = 0xE0;
constexpr unsigned char kLastMark = 0xFE;

bool IsMark(unsigned char b) {
  return b >= kFirstMark && b <= kLastMark;
}

// Unicode's stream-safe format bounds a run of marks at 30; the marks of a longer run beyond
// that follow the composed character as they are, so nothing is lost and nothing overflows.
constexpr std::size_t kMaxComposedMarks = 30;
// A code point decomposes canonically into at most 4.
constexpr std::size_t kDecomposedRoom = 4 * (kMaxComposedMarks + 1);
constexpr std::size_t kMaxUtf8Length = 4;
// The reader may end the text with CR LF.
constexpr std::size_t kLineBreakRoom = 2;

using CodePoints = std::array<char32_t, 256>;

const CodePoints& CodePointOfByte() {
  static const CodePoints table = [] {
    CodePoints t{};
    const AnsiCodePage& windows1252 = Windows1252CodePage();
    for (int b = 0; b < 256; ++b) t[b] = windows1252.units[b];
    for (Mapping m : kSpecials) t[m.byte] = m.code_point;
    for (int b = kFirstMark; b <= kLastMark; ++b) t[b] = kMarks[b - kFirstMark];
    return t;
  }();
  return table;
}

// Writes the NFC form of the UTF-8 sequence [begin, end) at `out`, or the sequence as it is
// should utf8proc refuse it; returns the end.
char* PutNfc(const char* begin, const char* end, char* out) {
  utf8proc_int32_t code_points[kDecomposedRoom];
  utf8proc_ssize_t n =
      utf8proc_decompose(reinterpret_cast<const utf8proc_uint8_t*>(begin), end - begin, code_points,
                         kDecomposedRoom, utf8proc_option_t(UTF8PROC_STABLE | UTF8PROC_DECOMPOSE));
  if (n >= 0 && n <= static_cast<utf8proc_ssize_t>(kDecomposedRoom))
    n = utf8proc_normalize_utf32(code_points, n,
                                 utf8proc_option_t(UTF8PROC_STABLE | UTF8PROC_COMPOSE));
  if (n < 0 || n > static_cast<utf8proc_ssize_t>(kDecomposedRoom))
    return std::copy(begin, end, out);
  for (utf8proc_ssize_t i = 0; i < n; ++i) out = PutUtf8(char32_t(code_points[i]), out);
  return out;
}

// The most bytes PutWithMarks writes for a run of `marks` mark bytes.
constexpr std::size_t MaxComposedLength(std::size_t marks) {
  return kMaxUtf8Length * kDecomposedRoom + kMaxUtf8Length * marks;
}

// Writes `character` followed by the marks of `run` (mark bytes in input order) at `out`, the
// character and its first kMaxComposedMarks marks composed to NFC; returns the end.
char* PutWithMarks(char32_t character, std::string_view run, const CodePoints& code_points,
                   char* out) {
  char sequence[kMaxUtf8Length * (kMaxComposedMarks + 1)];
  char* end = PutUtf8(character, sequence);
  std::size_t composed = 0;
  std::size_t i = 0;
  for (; i < run.size() && composed < kMaxComposedMarks; ++i) {
    if (char32_t mark = code_points[static_cast<unsigned char>(run[i])]) {
      end = PutUtf8(mark, end);
      ++composed;
    }
  }
  out = composed == 0 ? PutUtf8(character, out) : PutNfc(sequence, end, out);
  for (; i < run.size(); ++i) {
    if (char32_t mark = code_points[static_cast<unsigned char>(run[i])]) out = PutUtf8(mark, out);
  }
  return out;
}

// A character with one mark in UTF-8 (length 0: too long to keep here, composed each time).
struct ComposedPair {
  unsigned char length;
  char bytes[7];
};
using ComposedPairs = std::array<std::array<ComposedPair, 256>, kLastMark - kFirstMark + 1>;

// Every character with each single mark, the common case, composed once: a text full of marks
// then costs a look-up per letter instead of a normalisation.
const ComposedPairs& ComposedPairOf() {
  static const ComposedPairs pairs = [] {
    ComposedPairs t{};
    const CodePoints& code_points = CodePointOfByte();
    for (int mark = kFirstMark; mark <= kLastMark; ++mark) {
      const char run = static_cast<char>(mark);
      for (int b = 0; b < 256; ++b) {
        char composed[MaxComposedLength(1)];
        char* end = PutWithMarks(code_points[b], {&run, 1}, code_points, composed);
        ComposedPair& pair = t[mark - kFirstMark][b];
        if (static_cast<std::size_t>(end - composed) > sizeof pair.bytes) continue;
        pair.length = static_cast<unsigned char>(end - composed);
        std::copy(composed, end, pair.bytes);
      }
    }
    return t;
  }();
  return pairs;
}

// Writes the character of `byte` followed by the marks of `run`, composed; returns the end.
char* PutMarked(unsigned char byte, std::string_view run, const CodePoints& code_points,
                const ComposedPairs& pairs, char* out) {
  if (run.size() == 1) {
    const ComposedPair& pair = pairs[static_cast<unsigned char>(run[0]) - kFirstMark][byte];
    if (pair.length != 0) return std::copy_n(pair.bytes, pair.length, out);
  }
  return PutWithMarks(code_points[byte], run, code_points, out);
}

// Grows `out` so that `need` bytes fit from `dst` on; returns where `dst` now is.
char* MakeRoom(TextBuffer& out, char* dst, std::size_t need) {
  const auto used = static_cast<std::size_t>(dst - out.data());
  if (out.capacity() - used >= need) return dst;
  out.Resize(used);
  out.Reserve(std::max(2 * out.capacity(), used + need));
  return out.data() + used;
}

}  // namespace

TextBuffer AnselToUtf8(std::string_view ansel) {
  const CodePoints& code_points = CodePointOfByte();
  const ComposedPairs& pairs = ComposedPairOf();
  const auto* in = reinterpret_cast<const unsigned char*>(ansel.data());
  const std::size_t n = ansel.size();
  // The room kept is always one byte per input byte still to come (plus the line break), so
  // ASCII, the bulk of any file, is copied without a check; the rest makes room per character.
  TextBuffer out;
  out.Reserve(n + n / 16 + kLineBreakRoom);
  char* dst = out.data();
  std::size_t i = 0;
  while (i < n) {
    const unsigned char b = in[i];
    if (b < 0x80) {
      *dst++ = static_cast<char>(b);
      ++i;
    } else if (!IsMark(b)) {
      ++i;
      dst = MakeRoom(out, dst, n - i + kLineBreakRoom + kMaxUtf8Length);
      dst = PutUtf8(code_points[b], dst);
    } else {
      const std::size_t run = i;
      while (i < n && IsMark(in[i])) ++i;
      if (i == n || in[i] == '\r' || in[i] == '\n') continue;  // marks with no character
      const std::size_t marks = i - run;
      ++i;
      dst = MakeRoom(out, dst, n - i + kLineBreakRoom + MaxComposedLength(marks));
      dst = PutMarked(in[i - 1], ansel.substr(run, marks), code_points, pairs, dst);
    }
  }
  out.Resize(static_cast<std::size_t>(dst - out.data()));
  return out;
}

}  // namespace voziroz
