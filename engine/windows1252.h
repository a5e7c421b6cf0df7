// Conversions between Unicode and the engine's code page (engine/code_page.h): the single-byte
// one (Windows-1252 by exact tables, or on Windows the system's single-byte ANSI code page) or
// UTF-8. Each conversion takes the code page, by default the process's.
//
// Decoding Unicode text (UTF-8, UTF-16, UTF-32) never fails. In the single-byte code page every
// code point without a byte in it, and every malformed sequence, becomes one '?'. In the UTF-8
// code page every character survives; a malformed UTF-8 sequence becomes one U+FFFD per maximal
// invalid subpart, and an unpaired surrogate or a unit that is no code point one U+FFFD, so that
// the result is always valid UTF-8.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "engine/code_page.h"
#include "engine/text_buffer.h"

namespace voziroz {

// The byte for a code point, or '?' when the code page has none. The five bytes Windows-1252
// leaves undefined (0x81, 0x8D, 0x8F, 0x90, 0x9D) map to and from U+0081 ... U+009D.
char CodePointToAnsi(char32_t code_point);
// The code point of a byte.
char32_t AnsiToCodePoint(unsigned char byte);

// Appends the decoded text to `out`, stopping at the first NUL character (as the reader does).
// UTF-8: 1 to 4 byte sequences, no overlong forms, no surrogates, nothing above U+10FFFF; in the
// single-byte code page a byte that does not start a valid sequence becomes one '?' and decoding
// resumes at the next byte.
void AppendUtf8AsAnsi(std::string_view bytes, TextBuffer& out, CodePage page = TheCodePage());
// UTF-16 units in the given byte order; a surrogate pair is one code point, a lone one is '?'
// (U+FFFD in UTF-8). An odd trailing byte is ignored.
void AppendUtf16AsAnsi(std::string_view bytes, bool big_endian, TextBuffer& out,
                       CodePage page = TheCodePage());
// UTF-32 big-endian units; an odd trailing 1 to 3 bytes are ignored.
void AppendUtf32BeAsAnsi(std::string_view bytes, TextBuffer& out, CodePage page = TheCodePage());
// Appends each byte as the UTF-8 form of its Windows-1252 character (a NUL as U+0000).
void AppendWindows1252AsUtf8(std::string_view bytes, TextBuffer& out);
// True when the bytes are valid UTF-8 throughout (the rules above).
bool IsValidUtf8(std::string_view bytes);

// The engine's text to UTF-8 and to UTF-16 (for output and for automation strings). In the UTF-8
// code page the text is taken to be UTF-8 already.
std::string AnsiToUtf8(std::string_view ansi, CodePage page = TheCodePage());
// Appends the UTF-8 form of `ansi` to `out` (for writers that reuse one buffer).
void AppendAnsiAsUtf8(std::string_view ansi, std::string& out, CodePage page = TheCodePage());
std::u16string AnsiToUtf16(std::string_view ansi, CodePage page = TheCodePage());
// UTF-16 to the engine's text: unmapped code points become '?' in the single-byte code page, and
// unpaired surrogates U+FFFD in UTF-8.
std::string Utf16ToAnsi(std::u16string_view text, CodePage page = TheCodePage());

}  // namespace voziroz
