// ANSEL (ANSI/NISO Z39.47 with the GEDCOM additions) to Windows-1252, for files that declare it.
//
// A fixed, stateless byte mapping: special characters map one to one, and a combining mark is
// composed with the byte after it into one precomposed letter (or dropped where Windows-1252
// has no such letter). The output is never longer than the input.
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

// True when "1 CHAR ANSEL" (exactly so) lies within the first kDeclarationWindow characters.
bool DeclaresAnsel(std::string_view text);

}  // namespace voziroz
