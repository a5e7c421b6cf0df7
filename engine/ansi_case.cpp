#include "engine/ansi_case.h"

#include <array>

namespace voziroz {
namespace {

constexpr unsigned char kSmallToCapital[][2] = {
    {0x9A, 0x8A}, {0x9C, 0x8C}, {0x9E, 0x8E}, {0xFF, 0x9F}};

constexpr unsigned char CapitalOf(unsigned char b) {
  if ((b >= 'a' && b <= 'z') || (b >= 0xE0 && b <= 0xFE && b != 0xF7))
    return static_cast<unsigned char>(b - 0x20);
  for (const auto& pair : kSmallToCapital) {
    if (b == pair[0]) return pair[1];
  }
  return b;
}

// Date keys upper-case every character they read: a table instead of the rules each time.
constexpr std::array<unsigned char, 256> kCapitals = [] {
  std::array<unsigned char, 256> capitals{};
  for (int b = 0; b < 256; ++b) capitals[b] = CapitalOf(static_cast<unsigned char>(b));
  return capitals;
}();

}  // namespace

char AnsiUpper(char c) {
  return static_cast<char>(kCapitals[static_cast<unsigned char>(c)]);
}

char AnsiLower(char c) {
  auto b = static_cast<unsigned char>(c);
  if ((b >= 'A' && b <= 'Z') || (b >= 0xC0 && b <= 0xDE && b != 0xD7))
    return static_cast<char>(b + 0x20);
  for (const auto& pair : kSmallToCapital) {
    if (b == pair[1]) return static_cast<char>(pair[0]);
  }
  return c;
}

std::string AnsiUpperCase(std::string_view text) {
  std::string out(text);
  for (char& c : out) c = AnsiUpper(c);
  return out;
}

std::string AnsiLowerCase(std::string_view text) {
  std::string out(text);
  for (char& c : out) c = AnsiLower(c);
  return out;
}

}  // namespace voziroz
