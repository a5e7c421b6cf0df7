// Reading a GEDCOM file into lines: LoadFileText decodes a file into the engine's 8-bit text in
// its code page (engine/code_page.h), PreParseLines splits that text into coded lines.
//
// Engine error model: no exceptions escape; failures are reported by the results below.
#pragma once

#include <optional>
#include <string>

#include "engine/code_page.h"
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
// Only regular files are read. Never throws.
LoadedText LoadFileText(const std::string& file_name, CodePage page = TheCodePage());

// Decodes the bytes of a file into the engine's text that ends with CR or LF (the fallback text
// when it decodes to nothing). Tried in order: the marks EF BB BF (UTF-8), 00 00 FE FF (UTF-32
// big-endian), FF FE and FE FF (UTF-16); unmarked UTF-16 when the first two bytes are '0' and NUL
// (little-endian) or NUL and '0' (big-endian); then the bytes up to the first NUL. In the
// single-byte code page those are decoded as UTF-8 when "1 CHAR UTF-8" lies within the first
// 8192 characters and they are valid UTF-8, converted from ANSEL when they declare "1 CHAR ANSEL"
// there, and taken as they are otherwise. In the UTF-8 code page they are taken as they are when
// they are valid UTF-8, converted from ANSEL when they declare it, and read as Windows-1252
// otherwise. Reuses the buffer of `bytes` when it takes them as they are. Throws only
// std::bad_alloc.
TextBuffer DecodeFileBytes(TextBuffer bytes, CodePage page = TheCodePage());

// Splits the text into lines and takes ownership of it. Empty when no line could be stored.
// Positions and the cut of a value count characters of the code page. Never throws except
// std::bad_alloc.
std::optional<TLines> PreParseLines(TextBuffer text, CodePage page = TheCodePage());

}  // namespace voziroz
