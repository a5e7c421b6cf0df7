// The order of KeyList keys: ordinal, by UTF-16 code unit, with no case folding and no locale.
//
// Keys are text of the engine's code page inside the component. In the single-byte code page
// each byte stands for the UTF-16 code unit of its code point, so "C" < "a" (0x43 < 0x61), 0xE9
// (U+00E9) < 0x80 (U+20AC), and a key that is a prefix of another sorts first. In UTF-8 the
// first differing characters decide by their UTF-16 code units, so a character above U+FFFF (a
// surrogate pair) sorts before U+E000 ... U+FFFF, as it does in UTF-16.
#pragma once

#include <string_view>

#include "engine/code_page.h"

namespace voziroz {

// -1 when a sorts before b, 0 when they are equal, +1 when a sorts after b.
int CompareKeys(std::string_view a, std::string_view b, CodePage page = TheCodePage());

}  // namespace voziroz
