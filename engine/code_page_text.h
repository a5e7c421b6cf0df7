// Characters of the engine's text in either code page (engine/code_page.h): one byte each in the
// single-byte code page, one code point of one to four bytes each in the UTF-8 one, whose text
// the engine keeps valid. On bytes that are not valid UTF-8 the functions still stay inside the
// text.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstring>
#include <string_view>

#include "engine/code_page.h"

namespace voziroz {

// The bytes of the UTF-8 character that starts with `lead` (1 for a byte that starts none).
inline std::size_t Utf8CharacterSize(unsigned char lead) {
  return lead < 0xC0 ? 1 : lead < 0xE0 ? 2 : lead < 0xF0 ? 3 : 4;
}

// The byte offset just past the first `count` characters of UTF-8 text (its size when it holds
// fewer).
inline std::size_t Utf8OffsetOf(std::string_view text, std::size_t count) {
  std::size_t at = 0;
  for (; count > 0 && at < text.size(); --count)
    at += Utf8CharacterSize(static_cast<unsigned char>(text[at]));
  return at < text.size() ? at : text.size();
}

// The first `count` characters of `text`.
inline std::string_view FirstCharacters(std::string_view text, std::size_t count, CodePage page) {
  if (page == CodePage::SingleByte || text.size() <= count) return text.substr(0, count);
  return text.substr(0, Utf8OffsetOf(text, count));
}

// The number of characters of `text`.
inline std::size_t CharacterCount(std::string_view text, CodePage page) {
  if (page == CodePage::SingleByte) return text.size();
  std::size_t count = 0;
  for (char c : text) count += (static_cast<unsigned char>(c) & 0xC0) != 0x80;
  return count;
}

// True when every byte is below 0x80: such text reads the same in both code pages.
inline bool IsAscii(std::string_view text) {
  constexpr std::uint64_t kHighBits = 0x8080808080808080ull;
  std::size_t i = 0;
  for (; i + 8 <= text.size(); i += 8) {
    std::uint64_t word;
    std::memcpy(&word, text.data() + i, 8);
    if (word & kHighBits) return false;
  }
  for (; i < text.size(); ++i)
    if (static_cast<unsigned char>(text[i]) >= 0x80) return false;
  return true;
}

}  // namespace voziroz
