// ANSEL (ANSI/NISO Z39.47 with the GEDCOM additions) to the engine's text, for files that declare
// it: Windows-1252 or UTF-8.
//
// To Windows-1252: a fixed, stateless byte mapping: special characters map one to one, and a
// combining mark is composed with the byte after it into one precomposed letter (or dropped where
// Windows-1252 has no such letter). The output is never longer than the input.
//
// To UTF-8 nothing is lost: every special character and mark has its Unicode character.
#pragma once

#include <cstddef>
#include <string_view>

#include "engine/text_buffer.h"

namespace voziroz {

// How far into a file a character-set declaration counts.
inline constexpr std::size_t kDeclarationWindow = 8192;

// Converts a whole ANSEL text. A mark consumes the byte after it, which is never converted on
// its own; a mark that is the last byte of the text is dropped. Never fails.
TextBuffer AnselToAnsi(std::string_view ansel);

// Converts a whole ANSEL text to valid UTF-8. Bytes below 0x80 stay as they are; the specials
// become their Unicode characters, and every other byte (0x80 to 0xDF, 0xFF) its Windows-1252
// character. The marks 0xE0 to 0xFE (0xFD means nothing and is dropped) precede the character they
// modify: a run of them and the character after it (any byte but a mark, CR or LF) become that
// character followed by the marks in their order, composed to NFC; marks before CR, LF or the end
// are dropped. Only such sequences are normalised. Never fails (but for std::bad_alloc).
TextBuffer AnselToUtf8(std::string_view ansel);

// True when "1 CHAR ANSEL" (exactly so) lies within the first kDeclarationWindow characters.
bool DeclaresAnsel(std::string_view text);

}  // namespace voziroz
