// Conversions between Unicode and the engine's ANSI code page (engine/code_page.h): Windows-1252
// by exact tables, or on Windows the system's single-byte ANSI code page.
//
// Decoding Unicode text (UTF-8, UTF-16, UTF-32) into the code page never fails: every code point
// without a byte in it, and every malformed sequence, becomes one '?'.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "engine/text_buffer.h"

namespace voziroz {

// The byte for a code point, or '?' when the code page has none. The five bytes Windows-1252
// leaves undefined (0x81, 0x8D, 0x8F, 0x90, 0x9D) map to and from U+0081 ... U+009D.
char CodePointToAnsi(char32_t code_point);
// The code point of a byte.
char32_t AnsiToCodePoint(unsigned char byte);

// Appends the decoded text to `out`, stopping at the first NUL character (as the reader does).
// UTF-8: 1 to 4 byte sequences, no overlong forms, no surrogates, nothing above U+10FFFF; a byte
// that does not start a valid sequence becomes one '?' and decoding resumes at the next byte.
void AppendUtf8AsAnsi(std::string_view bytes, TextBuffer& out);
// UTF-16 units in the given byte order; a surrogate pair is one code point, a lone one is '?'.
// An odd trailing byte is ignored.
void AppendUtf16AsAnsi(std::string_view bytes, bool big_endian, TextBuffer& out);
// UTF-32 big-endian units; an odd trailing 1 to 3 bytes are ignored.
void AppendUtf32BeAsAnsi(std::string_view bytes, TextBuffer& out);
// True when the bytes are valid UTF-8 throughout (the rules above).
bool IsValidUtf8(std::string_view bytes);

// ANSI text to UTF-8 and to UTF-16 (for output and for automation strings).
std::string AnsiToUtf8(std::string_view ansi);
// Appends the UTF-8 form of `ansi` to `out` (for writers that reuse one buffer).
void AppendAnsiAsUtf8(std::string_view ansi, std::string& out);
std::u16string AnsiToUtf16(std::string_view ansi);
// UTF-16 to ANSI text (unmapped code points become '?').
std::string Utf16ToAnsi(std::u16string_view text);

}  // namespace voziroz
