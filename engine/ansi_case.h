// Upper- and lower-casing of ANSI text by the code page's rules (engine/code_page.h). For
// Windows-1252: ASCII letters, the accented letters 0xC0-0xDE / 0xE0-0xFE (not the multiplication
// and division signs), and the pairs S/s caron, OE/oe, Z/z caron, Y/y diaeresis.
#pragma once

#include <string>
#include <string_view>

namespace voziroz {

char AnsiUpper(char c);
char AnsiLower(char c);
std::string AnsiUpperCase(std::string_view text);
std::string AnsiLowerCase(std::string_view text);

}  // namespace voziroz
