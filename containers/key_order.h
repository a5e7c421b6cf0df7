// The order of KeyList keys: ordinal, by UTF-16 code unit, with no case folding and no locale.
//
// Keys are Windows-1252 text inside the component; each byte stands for the UTF-16 code unit of
// its code point, so "C" < "a" (0x43 < 0x61), 0xE9 (U+00E9) < 0x80 (U+20AC), and a key that is a
// prefix of another sorts first. Every Windows-1252 code point is in the Basic Multilingual Plane,
// so one byte is always one code unit.
#pragma once

#include <string_view>

namespace voziroz {

// -1 when a sorts before b, 0 when they are equal, +1 when a sorts after b.
int CompareKeys(std::string_view a, std::string_view b);

}  // namespace voziroz
