// Exact conversions between UTF-8 and UTF-16, whatever the engine's code page: for text that
// must reach the operating system or a script whole (file names, the UTF-8 code page).
//
// Decoding never fails. A malformed UTF-8 sequence becomes one U+FFFD per maximal subpart (the
// longest start of a valid sequence, or a single byte), as Unicode recommends; an unpaired
// surrogate becomes U+FFFD.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace voziroz {

inline constexpr char32_t kReplacementCharacter = 0xFFFD;

// One step through UTF-8: a code point, or one maximal invalid subpart (`valid` false, the code
// point U+FFFD).
struct Utf8Step {
  int Length;  // 1 to 4 bytes
  char32_t CodePoint;
  bool Valid;
};

// Reads the step that starts at `p`; requires p < end. Accepts 1 to 4 byte sequences without
// overlong forms, surrogates or code points above U+10FFFF.
inline Utf8Step NextUtf8(const unsigned char* p, const unsigned char* end) {
  const unsigned char lead = p[0];
  if (lead < 0x80) return {1, lead, true};
  int trail = 0;
  char32_t cp = 0;
  unsigned char low = 0x80, high = 0xBF;  // the range of the first trail byte
  if (lead >= 0xC2 && lead <= 0xDF) {
    trail = 1;
    cp = lead & 0x1F;
  } else if (lead >= 0xE0 && lead <= 0xEF) {
    trail = 2;
    cp = lead & 0x0F;
    if (lead == 0xE0) low = 0xA0;   // overlong
    if (lead == 0xED) high = 0x9F;  // surrogates
  } else if (lead >= 0xF0 && lead <= 0xF4) {
    trail = 3;
    cp = lead & 0x07;
    if (lead == 0xF0) low = 0x90;   // overlong
    if (lead == 0xF4) high = 0x8F;  // above U+10FFFF
  } else {
    return {1, kReplacementCharacter, false};
  }
  for (int i = 1; i <= trail; ++i) {
    if (end - p <= i || p[i] < low || p[i] > high) return {i, kReplacementCharacter, false};
    cp = (cp << 6) | (p[i] & 0x3F);
    low = 0x80;
    high = 0xBF;
  }
  return {trail + 1, cp, true};
}

// True for the bytes that continue a UTF-8 sequence (never the start of a character).
inline bool IsUtf8Continuation(unsigned char b) {
  return (b & 0xC0) == 0x80;
}

// Writes the UTF-8 form of a code point (at most U+10FFFF) at `out`; returns the end.
inline char* PutUtf8(char32_t cp, char* out) {
  if (cp < 0x80) {
    *out++ = static_cast<char>(cp);
  } else if (cp < 0x800) {
    *out++ = static_cast<char>(0xC0 | (cp >> 6));
    *out++ = static_cast<char>(0x80 | (cp & 0x3F));
  } else if (cp < 0x10000) {
    *out++ = static_cast<char>(0xE0 | (cp >> 12));
    *out++ = static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
    *out++ = static_cast<char>(0x80 | (cp & 0x3F));
  } else {
    *out++ = static_cast<char>(0xF0 | (cp >> 18));
    *out++ = static_cast<char>(0x80 | ((cp >> 12) & 0x3F));
    *out++ = static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
    *out++ = static_cast<char>(0x80 | (cp & 0x3F));
  }
  return out;
}

inline bool IsHighSurrogate(char32_t u) {
  return u >= 0xD800 && u <= 0xDBFF;
}
inline bool IsLowSurrogate(char32_t u) {
  return u >= 0xDC00 && u <= 0xDFFF;
}

// Writes the UTF-8 form of the UTF-16 units `unit(i)`, i < count, at `out` (at most three bytes a
// unit); a lone surrogate becomes U+FFFD, and with `stop_at_nul` a zero unit ends the text.
// Returns the end of what it wrote.
template <typename Unit>
char* PutUtf16AsUtf8(std::size_t count, Unit unit, bool stop_at_nul, char* out) {
  for (std::size_t i = 0; i < count; ++i) {
    char32_t u = unit(i);
    if (u == 0 && stop_at_nul) break;
    if (IsHighSurrogate(u) && i + 1 < count && IsLowSurrogate(unit(i + 1))) {
      u = 0x10000 + ((u - 0xD800) << 10) + (unit(++i) - 0xDC00);
    } else if (IsHighSurrogate(u) || IsLowSurrogate(u)) {
      u = kReplacementCharacter;
    }
    out = PutUtf8(u, out);
  }
  return out;
}

void AppendUtf8(char32_t code_point, std::string& out);

std::u16string Utf8ToUtf16(std::string_view utf8);
std::string Utf16ToUtf8(std::u16string_view utf16);

}  // namespace voziroz
