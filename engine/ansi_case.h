// Upper- and lower-casing of the engine's text (engine/code_page.h).
//
// In the single-byte code page each byte by the code page's table; for Windows-1252: ASCII
// letters, the accented letters 0xC0-0xDE / 0xE0-0xFE (not the multiplication and division
// signs), and the pairs S/s caron, OE/oe, Z/z caron, Y/y diaeresis. In the UTF-8 code page the
// rules stay Windows-1252's: a character that Windows-1252 holds changes case as it does there,
// every other character stays (so é/É and ÿ/Ÿ change, ł/Ł does not).
#pragma once

#include <string>
#include <string_view>

#include "engine/code_page.h"

namespace voziroz {

// One byte cased; in UTF-8 only ASCII letters change (a byte of a longer character stays).
char AnsiUpper(char c, CodePage page = TheCodePage());
char AnsiLower(char c, CodePage page = TheCodePage());
std::string AnsiUpperCase(std::string_view text, CodePage page = TheCodePage());
std::string AnsiLowerCase(std::string_view text, CodePage page = TheCodePage());
// A code point upper-cased by the rules of Windows-1252 (unchanged when it has no byte there).
char32_t Windows1252Upper(char32_t code_point);

}  // namespace voziroz
