// Windows-1252 by its definition: no platform, no locale.
#include "engine/code_page.h"

namespace voziroz {
namespace {

// Code points of the bytes 0x80 to 0x9F; the five undefined bytes stand for themselves.
constexpr std::array<char16_t, 32> kHighControls = {
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021,  // 0x80
    0x02C6, 0x2030, 0x0160, 0x2039, 0x0152, 0x008D, 0x017D, 0x008F,  // 0x88
    0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014,  // 0x90
    0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178,  // 0x98
};

// Letters with case outside ASCII and the accented block: S/s caron, OE/oe, Z/z caron, Y/y
// diaeresis.
constexpr unsigned char kSmallToCapital[][2] = {
    {0x9A, 0x8A}, {0x9C, 0x8C}, {0x9E, 0x8E}, {0xFF, 0x9F}};

// ASCII letters and the accented letters 0xE0-0xFE (not the division sign); sharp s (0xDF) has
// no single-byte capital.
constexpr unsigned char CapitalOf(unsigned char b) {
  if ((b >= 'a' && b <= 'z') || (b >= 0xE0 && b <= 0xFE && b != 0xF7))
    return static_cast<unsigned char>(b - 0x20);
  for (const auto& pair : kSmallToCapital)
    if (b == pair[0]) return pair[1];
  return b;
}

constexpr unsigned char SmallOf(unsigned char b) {
  if ((b >= 'A' && b <= 'Z') || (b >= 0xC0 && b <= 0xDE && b != 0xD7))
    return static_cast<unsigned char>(b + 0x20);
  for (const auto& pair : kSmallToCapital)
    if (b == pair[1]) return pair[0];
  return b;
}

constexpr AnsiCodePage MakeWindows1252() {
  AnsiCodePage page{};
  for (auto& byte : page.bytes) byte = '?';
  for (int b = 0; b < 256; ++b) {
    const auto byte = static_cast<unsigned char>(b);
    const char16_t unit = b >= 0x80 && b <= 0x9F ? kHighControls[b - 0x80] : char16_t(b);
    page.units[byte] = unit;
    page.bytes[unit] = static_cast<char>(byte);
    page.upper[byte] = static_cast<char>(CapitalOf(byte));
    page.lower[byte] = static_cast<char>(SmallOf(byte));
  }
  return page;
}

constexpr AnsiCodePage kWindows1252 = MakeWindows1252();

}  // namespace

const AnsiCodePage& Windows1252CodePage() {
  return kWindows1252;
}

}  // namespace voziroz
