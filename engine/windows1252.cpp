#include "engine/windows1252.h"

#include <algorithm>
#include <bit>
#include <cstring>

#include "engine/code_page.h"
#include "engine/unicode.h"

namespace voziroz {
namespace {

// The byte of a code point in the code page; '?' above the 16-bit range.
inline char ToAnsi(const AnsiCodePage& page, char32_t cp) {
  return cp < page.bytes.size() ? page.bytes[cp] : '?';
}

constexpr std::uint64_t kOnes = 0x0101010101010101ull;
constexpr std::uint64_t kHighBits = 0x8080808080808080ull;

// True when none of the eight bytes is NUL or at or above 0x80.
inline bool PlainAsciiWord(const unsigned char* p) {
  std::uint64_t word;
  std::memcpy(&word, p, 8);
  return ((word | (word - kOnes)) & kHighBits) == 0;
}

// Copies the next eight bytes when none of them is NUL or at or above 0x80.
inline bool CopiedAsciiWord(const unsigned char*& p, const unsigned char* end, char*& dst) {
  if (end - p < 8 || !PlainAsciiWord(p)) return false;
  std::memcpy(dst, p, 8);
  dst += 8;
  p += 8;
  return true;
}

// Grows `out` by at most `bound` bytes, lets `fill` write them at the returned pointer, and cuts
// `out` to what `fill` wrote.
template <typename Fill>
void AppendBounded(TextBuffer& out, std::size_t bound, Fill fill) {
  std::size_t old = out.size();
  out.Resize(old + bound);
  char* start = out.data() + old;
  char* stop = fill(start);
  out.Resize(old + static_cast<std::size_t>(stop - start));
}

inline char16_t Unit16(const unsigned char* p, bool big_endian) {
  return big_endian ? char16_t((p[0] << 8) | p[1]) : char16_t((p[1] << 8) | p[0]);
}

// Converts the UTF-16 units `unit(i)`, i < count, to bytes at `out`; returns the end of what it
// wrote. With `stop_at_nul` a zero unit ends the text.
template <typename Unit>
char* Utf16ToAnsiAt(std::size_t count, Unit unit, bool stop_at_nul, char* out) {
  const AnsiCodePage& page = TheAnsiCodePage();
  for (std::size_t i = 0; i < count; ++i) {
    char16_t u = unit(i);
    if (u == 0 && stop_at_nul) break;
    if (IsHighSurrogate(u) && i + 1 < count && IsLowSurrogate(unit(i + 1))) {
      ++i;  // a pair: one code point above U+FFFF, never in a single-byte code page
      *out++ = '?';
    } else {
      *out++ = ToAnsi(page, u);  // a lone surrogate has no byte: '?'
    }
  }
  return out;
}

constexpr std::string_view kReplacementUtf8 = "\xEF\xBF\xBD";

// Valid sequences are copied in runs; each maximal invalid subpart becomes U+FFFD.
void AppendRepairedUtf8(const unsigned char* p, const unsigned char* end, TextBuffer& out) {
  const unsigned char* run = p;
  const auto flush = [&](const unsigned char* stop) {
    out.Append({reinterpret_cast<const char*>(run), static_cast<std::size_t>(stop - run)});
  };
  while (p < end) {
    if (end - p >= 8 && PlainAsciiWord(p)) {
      p += 8;
      continue;
    }
    if (*p == 0) break;
    if (*p < 0x80) {
      ++p;
      continue;
    }
    const Utf8Step step = NextUtf8(p, end);
    if (!step.Valid) {
      flush(p);
      out.Append(kReplacementUtf8);
      run = p + step.Length;
    }
    p += step.Length;
  }
  flush(p);
}

}  // namespace

char CodePointToAnsi(char32_t code_point) {
  return ToAnsi(TheAnsiCodePage(), code_point);
}

char32_t AnsiToCodePoint(unsigned char byte) {
  return TheAnsiCodePage().units[byte];
}

void AppendUtf8AsAnsi(std::string_view bytes, TextBuffer& out, CodePage code_page) {
  const auto* p = reinterpret_cast<const unsigned char*>(bytes.data());
  const auto* end = p + bytes.size();
  if (code_page == CodePage::Utf8) return AppendRepairedUtf8(p, end, out);
  const AnsiCodePage& page = TheAnsiCodePage();
  AppendBounded(out, bytes.size(), [&](char* dst) {
    while (p < end) {
      if (CopiedAsciiWord(p, end, dst)) continue;
      unsigned char b = *p;
      if (b == 0) break;
      if (b < 0x80) {
        *dst++ = static_cast<char>(b);
        ++p;
        continue;
      }
      const Utf8Step step = NextUtf8(p, end);
      *dst++ = step.Valid ? ToAnsi(page, step.CodePoint) : '?';
      p += step.Valid ? step.Length : 1;
    }
    return dst;
  });
}

void AppendUtf16AsAnsi(std::string_view bytes, bool big_endian, TextBuffer& out,
                       CodePage code_page) {
  const auto* p = reinterpret_cast<const unsigned char*>(bytes.data());
  std::size_t count = bytes.size() / 2;
  auto unit = [&](std::size_t i) { return Unit16(p + 2 * i, big_endian); };
  if (code_page == CodePage::Utf8) {
    return AppendBounded(out, 3 * count,
                         [&](char* dst) { return PutUtf16AsUtf8(count, unit, true, dst); });
  }
  AppendBounded(out, count, [&](char* dst) { return Utf16ToAnsiAt(count, unit, true, dst); });
}

void AppendUtf32BeAsAnsi(std::string_view bytes, TextBuffer& out, CodePage code_page) {
  const auto* p = reinterpret_cast<const unsigned char*>(bytes.data());
  std::size_t count = bytes.size() / 4;
  const AnsiCodePage& page = TheAnsiCodePage();
  const bool utf8 = code_page == CodePage::Utf8;
  AppendBounded(out, utf8 ? 4 * count : count, [&](char* dst) {
    for (std::size_t i = 0; i < count; ++i, p += 4) {
      char32_t cp = (char32_t(p[0]) << 24) | (char32_t(p[1]) << 16) | (char32_t(p[2]) << 8) | p[3];
      if (cp == 0) break;
      if (!utf8) {
        *dst++ = ToAnsi(page, cp);  // surrogates and values past U+10FFFF have no byte: '?'
      } else {
        const bool no_code_point = cp > 0x10FFFF || IsHighSurrogate(cp) || IsLowSurrogate(cp);
        dst = PutUtf8(no_code_point ? kReplacementCharacter : cp, dst);
      }
    }
    return dst;
  });
}

void AppendWindows1252AsUtf8(std::string_view bytes, TextBuffer& out) {
  // Blocks bound what one step may add (three bytes a character); the room reserved up front
  // holds text whose characters beyond ASCII add up to an eighth, so that mostly-ASCII files are
  // converted without moving the text.
  constexpr std::size_t kBlock = std::size_t{64} << 10;
  out.Reserve(out.size() + bytes.size() + bytes.size() / 8 + 3 * kBlock);
  const AnsiCodePage& page = Windows1252CodePage();
  for (std::size_t at = 0; at < bytes.size(); at += kBlock) {
    const std::string_view block = bytes.substr(at, kBlock);
    const auto* p = reinterpret_cast<const unsigned char*>(block.data());
    const auto* end = p + block.size();
    AppendBounded(out, 3 * block.size(), [&](char* dst) {
      if constexpr (std::endian::native == std::endian::little) {
        // Eight bytes are stored at once and the ASCII ones before the first high byte kept.
        while (end - p >= 8) {
          std::uint64_t word;
          std::memcpy(&word, p, 8);
          std::memcpy(dst, &word, 8);
          const std::uint64_t high = word & kHighBits;
          const int ascii = high ? std::countr_zero(high) / 8 : 8;
          p += ascii;
          dst += ascii;
          if (ascii < 8) dst = PutUtf8(page.units[*p++], dst);
        }
      }
      while (p < end) dst = PutUtf8(page.units[*p++], dst);
      return dst;
    });
  }
}

bool IsValidUtf8(std::string_view bytes) {
  const auto* p = reinterpret_cast<const unsigned char*>(bytes.data());
  const auto* end = p + bytes.size();
  while (p < end) {
    if (end - p >= 8) {
      std::uint64_t word;
      std::memcpy(&word, p, 8);
      if ((word & kHighBits) == 0) {
        p += 8;
        continue;
      }
    }
    if (*p < 0x80) {
      ++p;
      continue;
    }
    const Utf8Step step = NextUtf8(p, end);
    if (!step.Valid) return false;
    p += step.Length;
  }
  return true;
}

void AppendAnsiAsUtf8(std::string_view ansi, std::string& out, CodePage code_page) {
  if (code_page == CodePage::Utf8) {
    out.append(ansi);
    return;
  }
  const AnsiCodePage& page = TheAnsiCodePage();
  for (unsigned char b : ansi) {
    const char32_t cp = page.units[b];
    if (cp < 0x80) {
      out += static_cast<char>(cp);
    } else if (cp < 0x800) {
      out += static_cast<char>(0xC0 | (cp >> 6));
      out += static_cast<char>(0x80 | (cp & 0x3F));
    } else {
      out += static_cast<char>(0xE0 | (cp >> 12));
      out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
      out += static_cast<char>(0x80 | (cp & 0x3F));
    }
  }
}

std::string AnsiToUtf8(std::string_view ansi, CodePage code_page) {
  std::string out;
  out.reserve(ansi.size());
  AppendAnsiAsUtf8(ansi, out, code_page);
  return out;
}

std::u16string AnsiToUtf16(std::string_view ansi, CodePage code_page) {
  if (code_page == CodePage::Utf8) return Utf8ToUtf16(ansi);
  const AnsiCodePage& page = TheAnsiCodePage();
  std::u16string out(ansi.size(), u'\0');
  std::transform(ansi.begin(), ansi.end(), out.begin(),
                 [&](char c) { return page.units[static_cast<unsigned char>(c)]; });
  return out;
}

std::string Utf16ToAnsi(std::u16string_view text, CodePage code_page) {
  if (code_page == CodePage::Utf8) return Utf16ToUtf8(text);
  std::string out(text.size(), '\0');
  auto unit = [&](std::size_t i) { return text[i]; };
  char* stop = Utf16ToAnsiAt(text.size(), unit, false, out.data());
  out.resize(static_cast<std::size_t>(stop - out.data()));
  return out;
}

}  // namespace voziroz
