// Reading a GEDCOM file into lines: LoadFileText decodes a file into 8-bit Windows-1252 text,
// PreParseLines splits that text into coded lines.
//
// Engine error model: no exceptions escape; failures are reported by the results below.
#pragma once

#include <optional>
#include <string>

#include "engine/gedcom_lines.h"
#include "engine/text_buffer.h"

namespace voziroz {

// "0 TRLR" CR LF: stands in for a file that cannot be read or decodes to nothing.
inline constexpr std::string_view kFallbackText = "0 TRLR\r\n";

struct LoadedText {
  TextBuffer Text;        // always ends with CR or LF; the fallback text when nothing was read
  bool Readable = false;  // false when the file could not be opened or read at all
};

// Reads and decodes the whole file (byte-order marks, UTF-8, UTF-16, UTF-32, ANSEL, ANSI).
// Never throws.
LoadedText LoadFileText(const std::string& file_name);

// Splits the text into lines and takes ownership of it. Empty when no line could be stored.
// Never throws except std::bad_alloc.
std::optional<TLines> PreParseLines(TextBuffer text);

}  // namespace voziroz
