#include "engine/ansel.h"

#include <array>
#include <cstdint>

namespace voziroz {
namespace {

using ByteMap = std::array<unsigned char, 256>;

constexpr ByteMap Identity() {
  ByteMap map{};
  for (int b = 0; b < 256; ++b) map[b] = static_cast<unsigned char>(b);
  return map;
}

struct Replacement {
  unsigned char from;
  unsigned char to;
};

// Special characters 0xA1 to 0xDF that Windows-1252 has (or approximates); the rest pass.
constexpr Replacement kSpecials[] = {
    {0xA1, 'L'},  {0xA2, 0xD8}, {0xA3, 0xD0}, {0xA4, 0xDE}, {0xA5, 0xC6}, {0xA6, 0x8C},
    {0xA7, 0xA7}, {0xA8, 0xB7}, {0xAA, 0xAE}, {0xAB, 0xB1}, {0xAC, 'O'},  {0xAD, 'U'},
    {0xB1, 'l'},  {0xB2, 0xF8}, {0xB3, 'd'},  {0xB4, 0xFE}, {0xB5, 0xE6}, {0xB6, 0x9C},
    {0xB9, 0xA3}, {0xBA, 0xF0}, {0xBC, 'o'},  {0xBD, 'u'},  {0xBE, 0x81}, {0xC0, 0xB0},
    {0xC3, 0xA9}, {0xC5, 0xBF}, {0xC6, 0xA1}, {0xCD, 'e'},  {0xCE, 'o'},  {0xCF, 0xDF},
};

constexpr ByteMap kSingle = [] {
  ByteMap map = Identity();
  for (Replacement r : kSpecials) map[r.from] = r.to;
  return map;
}();

constexpr unsigned char kFirstMark = 0xE0;
constexpr unsigned char kLastMark = 0xFE;

struct Composition {
  unsigned char mark;
  std::string_view letters;
  std::string_view results;
};

constexpr Composition kCompositions[] = {
    {0xE0, "AEIOUaeiou", "\xC0\xC8\xCC\xD2\xD9\xE0\xE8\xEC\xF2\xF9"},  // hook above: grave
    {0xE1, "AEIOUaeiou", "\xC0\xC8\xCC\xD2\xD9\xE0\xE8\xEC\xF2\xF9"},  // grave
    {0xE2, "AEIOUYaeiouy", "\xC1\xC9\xCD\xD3\xDA\xDD\xE1\xE9\xED\xF3\xFA\xFD"},  // acute
    {0xE3, "AEIOUaeiou", "\xC2\xCA\xCE\xD4\xDB\xE2\xEA\xEE\xF4\xFB"},            // circumflex
    {0xE4, "ANOano", "\xC3\xD1\xD5\xE3\xF1\xF5"},                                // tilde
    {0xE8, "AEIOUaeiouy", "\xC4\xCB\xCF\xD6\xDC\xE4\xEB\xEF\xF6\xFC\xFF"},       // umlaut
    {0xE9, "SZsz", "\x8A\x8E\x9A\x9E"},                                          // caron
    {0xEA, "Aa", "\xC5\xE5"},                                                    // ring above
    {0xF0, "Cc", "\xC7\xE7"},                                                    // cedilla
};

// kCompose[mark - 0xE0][next]: the byte that a mark and the byte after it become. A pair that
// has no precomposed letter keeps the byte after the mark unchanged.
constexpr auto kCompose = [] {
  std::array<ByteMap, kLastMark - kFirstMark + 1> table{};
  for (ByteMap& row : table) row = Identity();
  for (const Composition& c : kCompositions) {
    for (std::size_t i = 0; i < c.letters.size(); ++i) {
      table[c.mark - kFirstMark][static_cast<unsigned char>(c.letters[i])] =
          static_cast<unsigned char>(c.results[i]);
    }
  }
  return table;
}();

}  // namespace

TextBuffer AnselToAnsi(std::string_view ansel) {
  TextBuffer out;
  out.Reserve(ansel.size() + 2);  // room for the line break that the reader may append
  out.Resize(ansel.size());
  const auto* in = reinterpret_cast<const unsigned char*>(ansel.data());
  std::size_t n = ansel.size();
  char* dst = out.data();
  for (std::size_t i = 0; i < n; ++i) {
    unsigned char b = in[i];
    if (b < kFirstMark || b > kLastMark) {
      *dst++ = static_cast<char>(kSingle[b]);
    } else if (i + 1 < n) {
      *dst++ = static_cast<char>(kCompose[b - kFirstMark][in[++i]]);
    }  // a mark with nothing after it is dropped
  }
  out.Resize(static_cast<std::size_t>(dst - out.data()));
  return out;
}

bool DeclaresAnsel(std::string_view text) {
  return text.substr(0, kDeclarationWindow).find("1 CHAR ANSEL") != std::string_view::npos;
}

}  // namespace voziroz
