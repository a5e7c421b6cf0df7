// Trimming as the engine does it everywhere: every byte of code 32 or below (blanks and control
// characters) goes at both ends; bytes of 128 and above are letters of the code page and stay.
#pragma once

#include <string_view>

namespace voziroz {

inline bool IsTrimmedByte(char c) {
  return static_cast<unsigned char>(c) <= 32;
}

// A view into `text` without its leading and trailing bytes of code 32 or below.
inline std::string_view TrimBlanks(std::string_view text) {
  while (!text.empty() && IsTrimmedByte(text.front())) text.remove_prefix(1);
  while (!text.empty() && IsTrimmedByte(text.back())) text.remove_suffix(1);
  return text;
}

}  // namespace voziroz
